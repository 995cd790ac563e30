// HelpDialog: fixed texts on a fixed-size dialog.
#include "ui/help_dialog.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace quoll {

namespace {

const char* const kFunctionList[] = {
    "//===============================",
    "// 1. card functions",
    "",
    "GetReaderCount() : Integer;",
    "",
    "GetReaderName(nIndex : Integer) : string;",
    "  // nIndex: 1..n",
    "",
    "OpenReader(nIndex : Integer) : Boolean;",
    "CloseReader(nIndex : Integer);",
    "",
    "SendAPDU(nIndex : Integer; strIN : string) : string;",
    "Sleep(nTime : Integer);",
    "",
    "writeln(str : string);",
    "readln(strCaption, strPrompt : string) : string;",
    "",
    "//===============================",
    "// 2. cipher functions",
    "Des_Encode(strKey : string; strIN : string) : string;",
    "Des_Decode(strKey : string; strIN : string) : string;",
    "Des_MAC(strKey : string; strIN : string) : string;",
    "",
    "TriDes_Encode(strKey : string; strIN : string) : string;",
    "TriDes_Decode(strKey : string; strIN : string) : string;",
    "TriDes_MAC(strKey : string; strIN : string) : string;",
    "",
    "//===============================",
    "// 3. Build in functions",
    "Function StrGet(S : String; I : Integer) : Char;",
    "Function StrSet(c : Char; I : Integer; var s : String) : Char;",
    "Function Ord(C : Char) : Byte;",
    "Function Chr(B : Byte) : Char;",
    "Function StrToInt(s : string;def : Longint) : Longint;",
    "Function IntToStr(i : Longint) : String;",
    "Function Uppercase(s : string) : string;",
    "Function Lowercase(s : string) : string;",
    "Function Trim(s : string) : string;",
    "Function Copy(S : String; Indx, Count : Integer) : String;",
    "Procedure Delete(var S : String; Indx, Count : Integer);",
    "Function Pos(SubStr, S : String) : Integer;",
    "Procedure Insert(Source : String; var Dest : String; Indx : Integer);",
    "Function Length(s : String) : Longint;",
    "Function Sin(e : Extended) : Extended;",
    "Function Cos(e : Extended) : Extended;",
    "Function Sqrt(e : Extended) : Extended;",
    "Function Round(e : Extended) : Longint;",
    "Function Trunc(e : Extended) : Longint;",
    "Function Int(e : Extended) : Longint;",
    "Function Pi : Extended;",
    "Function Abs(e : Extended) : Extended;",
    "Function Sqrt(e : Extended) : Extended;",
    "Function FloatToStr(e : Extended) : String;",
    "Function Padl(s : string;I : longInt) : string;",
    "Function Padr(s : string;I : longInt) : string;",
    "Function Padz(s : string;I : longInt) : string;",
    "Function Replicate(c : char;I : longInt) : string;",
    "Function StringOfChar(c : char;I : longInt) : string;",
    "procedure SetArrayLength(var u: array; Length: Longint);",
    "function GetArrayLengtH(var u: array): Longint;",
};

const char* const kDemoScript[] = {
    "{just a demo}",
    "Program noname;",
    "",
    "{ if use functions in other unit, add 'USES fn',",
    "  fn should be a unit file}",
    "",
    "function Success(ret : string) : Boolean;",
    "begin",
    "  if '61' = copy(ret, 1, 2) then",
    "    Result := True",
    "  else",
    "    Result := False;",
    "end;",
    "",
    "var",
    "  r, nCount : Integer;",
    "  strName,ret: string;",
    "begin",
    "  nCount := GetReaderCount();",
    "  writeln(IntToStr(nCount));",
    "  strName := GetReaderName(1);",
    "  writeln(strName);",
    "",
    "  r := 1;",
    "  OpenReader(r);",
    "",
    "  ret := SendAPDU(r, '00 a4 00 00 02 3f 00');",
    "  writeln(ret);",
    "  // shoud be '61xx'",
    "",
    "  if Success(ret) then",
    "  begin",
    "    ret := SendAPDU(r, '00 c0 00 00' + copy(ret, 3, 2));",
    "    writeln(ret);",
    "  end else",
    "  begin",
    "     writeln('Select MF error!');",
    "    exit;",
    "  end;",
    "",
    "  CloseReader(r);",
    "end.",
};

template <size_t N>
QString JoinLines(const char* const (&lines)[N]) {
  QStringList list;
  for (const char* line : lines) list << QString::fromLatin1(line);
  return list.join('\n');
}

QPlainTextEdit* MakeMemo(QWidget* page, const char* name, const QString& text, bool wrap) {
  auto* memo = new QPlainTextEdit(page);
  memo->setObjectName(name);
  memo->setGeometry(8, 8, 289, 217);
  memo->setReadOnly(true);  // still selectable and copyable, with the mouse and the keyboard
  memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  memo->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  memo->setPlainText(text);
  return memo;
}

}  // namespace

HelpDialog::HelpDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName("helpDialog");
  setWindowTitle("Help");
  setFixedSize(331, 300);
  pages_ = new QTabWidget(this);
  pages_->setObjectName("pages");
  pages_->setGeometry(8, 8, 313, 257);
  auto* functions = new QWidget(pages_);
  functions->setObjectName("functionsPage");
  auto* demo = new QWidget(pages_);
  demo->setObjectName("demoPage");
  functionList_ = MakeMemo(functions, "functionList", JoinLines(kFunctionList), false);
  demoScript_ = MakeMemo(demo, "demoScript", JoinLines(kDemoScript), true);
  pages_->addTab(functions, "Functions");
  pages_->addTab(demo, "Demo");
  pages_->setCurrentIndex(1);
  auto* btnOK = new QPushButton("OK", this);
  btnOK->setObjectName("okButton");
  btnOK->setGeometry(128, 272, 73, 25);
  btnOK->setDefault(true);
  btnOK->setAutoDefault(true);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);  // Escape rejects, which also hides
}

}  // namespace quoll
