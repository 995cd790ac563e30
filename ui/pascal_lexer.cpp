// PascalLexer: styles whole lines with PascalScanner and the editor window's colours.
#include "ui/pascal_lexer.h"

#include <Qsci/qsciscintilla.h>

#include <QGuiApplication>
#include <QPalette>

#include <string_view>

#include "ui/editor_font.h"
#include "ui/pascal_scanner.h"

namespace quoll {

PascalLexer::PascalLexer(QObject* parent) : QsciLexerCustom(parent) {
  const QFont base = EditorFont();
  setDefaultFont(base);
  setDefaultColor(QGuiApplication::palette().color(QPalette::WindowText));
  for (int style = 0; style < kPasTokenClassCount; ++style) {
    setFont(base, style);
    setColor(defaultColor(), style);
  }
  QFont italic = base;
  italic.setItalic(true);
  QFont bold = base;
  bold.setBold(true);
  setColor(QColor(0, 128, 128), static_cast<int>(PasTokenClass::Comment));  // teal
  setFont(italic, static_cast<int>(PasTokenClass::Comment));
  setColor(QColor(0, 0, 255), static_cast<int>(PasTokenClass::ReservedWord));  // blue
  setFont(bold, static_cast<int>(PasTokenClass::ReservedWord));
  setColor(QColor(255, 0, 0), static_cast<int>(PasTokenClass::Number));  // red
}

QString PascalLexer::description(int style) const {
  if (style < 0 || style >= kPasTokenClassCount) return QString();
  return PascalScanner::ClassName(static_cast<PasTokenClass>(style));
}

void PascalLexer::styleText(int start, int end) {
  QsciScintilla* ed = editor();
  if (!ed) return;
  const long lineCount = ed->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
  long line = ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start));
  const long lastLine =
      ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end));
  PasLineState state;
  if (line > 0)
    state = PasLineState::Decode(static_cast<int>(
        ed->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, static_cast<unsigned long>(line - 1))));
  for (; line < lineCount; ++line) {
    const long from =
        ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long textEnd =
        ed->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    const long next = line + 1 < lineCount ? ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                                               static_cast<unsigned long>(line + 1))
                                           : textEnd;
    const auto* text = reinterpret_cast<const char*>(ed->SendScintilla(
        QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), textEnd - from));
    std::string_view lineText(text ? text : "", text ? static_cast<size_t>(textEnd - from) : 0);
    startStyling(static_cast<int>(from));
    for (const PasToken& token : PascalScanner::ScanLine(lineText, state))
      setStyling(static_cast<int>(token.length), static_cast<int>(token.cls));
    if (next > textEnd) setStyling(static_cast<int>(next - textEnd), static_cast<int>(PasTokenClass::Space));
    const int encoded = state.Encode();
    const long previous =
        ed->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, static_cast<unsigned long>(line));
    ed->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, static_cast<unsigned long>(line),
                      static_cast<long>(encoded));
    // Past the requested range, stop once a line ends in the state the next line was styled with.
    if (line >= lastLine && previous == encoded) break;
  }
}

}  // namespace quoll
