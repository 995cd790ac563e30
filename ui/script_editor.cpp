// ScriptEditor: QScintilla configured for scripts. Positions are byte offsets in the document, and
// the document always holds CR LF line breaks, so an engine position is an editor position.
#include "ui/script_editor.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QStringDecoder>
#include <algorithm>
#include <limits>

#include "ui/editor_font.h"
#include "ui/icons.h"
#include "ui/pascal_lexer.h"

namespace quoll {

namespace {

constexpr int kExecutionMarker = 11;    // red background of the execution line
constexpr int kExecutionIndicator = 8;  // its white text
constexpr int kNumberMargin = 0;
constexpr int kMarkMargin = 1;

using SB = QsciScintillaBase;

unsigned long U(long v) {
  return static_cast<unsigned long>(v);
}

bool HasStrayLineBreak(const char* text, long length) {
  for (long i = 0; i < length; ++i) {
    if (text[i] == '\r') {
      if (i + 1 >= length || text[i + 1] != '\n') return true;
      ++i;
    } else if (text[i] == '\n') {
      return true;
    }
  }
  return false;
}

// The digit of a bookmark key: Ctrl+0..9, and with Shift the digit or the symbol a US keyboard
// gives for Shift+digit.
int BookmarkDigit(int key, bool shifted) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
  if (!shifted) return -1;
  static const int kShiftedDigits[] = {
      Qt::Key_ParenRight, Qt::Key_Exclam,      Qt::Key_At,        Qt::Key_NumberSign, Qt::Key_Dollar,
      Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,   Qt::Key_ParenLeft};
  const int* found = std::find(std::begin(kShiftedDigits), std::end(kShiftedDigits), key);
  return found == std::end(kShiftedDigits) ? -1 : static_cast<int>(found - std::begin(kShiftedDigits));
}

}  // namespace

ScriptEditor::ScriptEditor(QWidget* parent) : QsciScintilla(parent) {
  setUtf8(true);
  setEolMode(EolWindows);
  SendScintilla(SB::SCI_SETPASTECONVERTENDINGS, 1UL);
  setFont(EditorFont());
  setLexer(new PascalLexer(this));  // owned by this widget through the Qt parent
  setAutoIndent(true);
  setTabWidth(4);
  setIndentationsUseTabs(true);
  SendScintilla(SB::SCI_SETSCROLLWIDTH, 1UL);
  SendScintilla(SB::SCI_SETSCROLLWIDTHTRACKING, 1UL);
  SendScintilla(SB::SCI_SETVIRTUALSPACEOPTIONS, U(SB::SCVS_USERACCESSIBLE | SB::SCVS_RECTANGULARSELECTION));

  // Gutter: line numbers, then the marks.
  setMarginsFont(EditorFont());
  setMarginType(kNumberMargin, NumberMargin);
  setMarginLineNumbers(kNumberMargin, true);
  setMarginWidth(kNumberMargin, QStringLiteral("00000"));
  setMarginType(kMarkMargin, SymbolMargin);
  setMarginWidth(kMarkMargin, 18);
  setMarginMarkerMask(kMarkMargin, static_cast<int>(kMarkMask));
  setMarginMarkerMask(kNumberMargin, 0);
  for (int digit = 0; digit <= 9; ++digit) markerDefine(icons::Bookmark(digit), digit);
  markerDefine(icons::Breakpoint(), kBreakpointMarker);

  // The execution line: pure red background, white text.
  markerDefine(Background, kExecutionMarker);
  setMarkerBackgroundColor(QColor(255, 0, 0), kExecutionMarker);
  indicatorDefine(TextColorIndicator, kExecutionIndicator);
  setIndicatorForegroundColor(QColor(255, 255, 255), kExecutionIndicator);

  connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
          [this](int, int type, const char*, int, int, int, int, int, int, int) {
            if (type & (SB::SC_MOD_CHANGEMARKER | SB::SC_MOD_INSERTTEXT | SB::SC_MOD_DELETETEXT)) {
              hasMarks_ = -1;
              breakpointSpansKnown_ = false;
            }
          });
  BindKeys();
  setText("Program noname;\r\nbegin\r\n\r\nend.");
  SendScintilla(SB::SCI_EMPTYUNDOBUFFER);
}

// The editing keys scripts are written with, where they differ from QScintilla's own.
void ScriptEditor::BindKeys() {
  QsciCommandSet* commands = standardCommands();
  auto unbind = [commands](int key) {
    while (QsciCommand* c = commands->boundTo(key)) {
      if (c->key() == key) c->setKey(0);
      if (c->alternateKey() == key) c->setAlternateKey(0);
    }
  };
  auto bind = [&](QsciCommand::Command command, int key, int alternate) {
    unbind(key);
    if (alternate) unbind(alternate);
    QsciCommand* c = commands->find(command);
    if (!c) return;
    c->setKey(key);
    c->setAlternateKey(alternate);
  };
  const int ctrl = Qt::CTRL;
  const int shift = Qt::SHIFT;
  const int alt = Qt::ALT;
  bind(QsciCommand::Undo, ctrl | Qt::Key_Z, alt | Qt::Key_Backspace);
  bind(QsciCommand::Redo, ctrl | shift | Qt::Key_Z, alt | shift | Qt::Key_Backspace);
  bind(QsciCommand::DeleteWordRight, ctrl | Qt::Key_T, ctrl | Qt::Key_Delete);
  bind(QsciCommand::LineDelete, ctrl | Qt::Key_Y, 0);
  bind(QsciCommand::DeleteLineRight, ctrl | shift | Qt::Key_Y, ctrl | shift | Qt::Key_Delete);
  bind(QsciCommand::Newline, Qt::Key_Return, ctrl | Qt::Key_M);
  bind(QsciCommand::Tab, Qt::Key_Tab, ctrl | shift | Qt::Key_I);
  bind(QsciCommand::Backtab, shift | Qt::Key_Backtab, ctrl | shift | Qt::Key_U);
  bind(QsciCommand::StutteredPageUp, ctrl | Qt::Key_PageUp, 0);
  bind(QsciCommand::StutteredPageDown, ctrl | Qt::Key_PageDown, 0);
  // Selection modes and the bracket jump are handled in keyPressEvent.
  unbind(ctrl | shift | Qt::Key_L);
  unbind(ctrl | shift | Qt::Key_N);
  unbind(ctrl | shift | Qt::Key_C);
  unbind(ctrl | shift | Qt::Key_B);
}

bool ScriptEditor::HandleOwnKey(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods =
      event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  const bool ctrl = mods & Qt::ControlModifier;
  const bool shift = mods & Qt::ShiftModifier;
  if (!ctrl || (mods & Qt::AltModifier)) return false;
  const int digit = BookmarkDigit(event->key(), shift);
  if (digit >= 0) {
    if (shift)
      ToggleBookmark(digit);
    else
      GotoBookmark(digit);
    return true;
  }
  if (!shift) return false;
  switch (event->key()) {
    case Qt::Key_N:
      SendScintilla(SB::SCI_SETSELECTIONMODE, U(SB::SC_SEL_STREAM));
      return true;
    case Qt::Key_C:
      SendScintilla(SB::SCI_SETSELECTIONMODE, U(SB::SC_SEL_RECTANGLE));
      return true;
    case Qt::Key_L:
      SendScintilla(SB::SCI_SETSELECTIONMODE, U(SB::SC_SEL_LINES));
      return true;
    case Qt::Key_B:
      moveToMatchingBrace();
      return true;
    default:
      return false;
  }
}

void ScriptEditor::keyPressEvent(QKeyEvent* event) {
  if (HandleOwnKey(event)) {
    event->accept();
    return;
  }
  QsciScintilla::keyPressEvent(event);
}

void ScriptEditor::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  emit ContextMenuWanted(event->globalPos());
}

QByteArray ScriptEditor::ScriptText() {
  long length = SendScintilla(SB::SCI_GETTEXTLENGTH);
  auto* text = reinterpret_cast<const char*>(SendScintilla(SB::SCI_GETCHARACTERPOINTER));
  if (text && HasStrayLineBreak(text, length)) {
    SendScintilla(SB::SCI_CONVERTEOLS, U(SB::SC_EOL_CRLF));
    length = SendScintilla(SB::SCI_GETTEXTLENGTH);
    text = reinterpret_cast<const char*>(SendScintilla(SB::SCI_GETCHARACTERPOINTER));
  }
  QByteArray bytes(text ? text : "", text ? length : 0);
  if (!bytes.isEmpty() && !bytes.endsWith("\r\n")) bytes += "\r\n";
  return bytes;
}

void ScriptEditor::LoadBytes(const QByteArray& bytes) {
  QStringDecoder decoder(QStringConverter::Utf8);
  (void)decoder.decode(bytes);
  setUtf8(!decoder.hasError());
  SendScintilla(SB::SCI_CLEARALL);
  SendScintilla(SB::SCI_APPENDTEXT, U(bytes.size()), bytes.constData());
  SendScintilla(SB::SCI_CONVERTEOLS, U(SB::SC_EOL_CRLF));
  SendScintilla(SB::SCI_EMPTYUNDOBUFFER);
  SendScintilla(SB::SCI_GOTOPOS, 0UL);
}

void ScriptEditor::SelectEngineCharacter(int32_t position) {
  const long length = SendScintilla(SB::SCI_GETTEXTLENGTH);
  const long start = std::clamp<long>(position, 0, length);
  const long end = SendScintilla(SB::SCI_POSITIONAFTER, U(start));
  SendScintilla(SB::SCI_SETSEL, U(start), end);
}

int ScriptEditor::CaretLine() const {
  const long caret = SendScintilla(SB::SCI_GETCURRENTPOS);
  return static_cast<int>(SendScintilla(SB::SCI_LINEFROMPOSITION, U(caret))) + 1;
}

int ScriptEditor::CaretColumn() const {
  const long caret = SendScintilla(SB::SCI_GETCURRENTPOS);
  const long main = SendScintilla(SB::SCI_GETMAINSELECTION);
  const long virtualSpace = SendScintilla(SB::SCI_GETSELECTIONNCARETVIRTUALSPACE, U(main));
  return static_cast<int>(SendScintilla(SB::SCI_GETCOLUMN, U(caret)) + virtualSpace) + 1;
}

int ScriptEditor::SelectionLength() const {
  return static_cast<int>(SendScintilla(SB::SCI_GETSELECTIONEND) - SendScintilla(SB::SCI_GETSELECTIONSTART));
}

unsigned ScriptEditor::MarksOnLine(int line) const {
  return static_cast<unsigned>(SendScintilla(SB::SCI_MARKERGET, U(line))) & kMarkMask;
}

bool ScriptEditor::FindMarks() const {
  hasMarks_ = SendScintilla(SB::SCI_MARKERNEXT, 0UL, static_cast<long>(kMarkMask)) >= 0;
  return hasMarks_ != 0;
}

bool ScriptEditor::IsBreakpointMarks(unsigned marks) {
  if (marks == 0) return false;
  if (marks & (marks - 1)) return true;
  return marks == (1u << kBreakpointMarker);
}

bool ScriptEditor::HasBreakpointLines() const {
  FindBreakpointSpans();
  return !breakpointSpans_.empty();
}

void ScriptEditor::FindBreakpointSpans() const {
  if (!breakpointSpansKnown_) {
    breakpointSpans_.clear();
    const long lines = SendScintilla(SB::SCI_GETLINECOUNT);
    for (long line = 0; line < lines; ++line) {
      if (!IsBreakpointMarks(MarksOnLine(static_cast<int>(line)))) continue;
      // A negative position belongs to the first line; the last line reaches to any position after it.
      const int32_t start = line == 0
                                ? std::numeric_limits<int32_t>::min()
                                : static_cast<int32_t>(SendScintilla(SB::SCI_POSITIONFROMLINE, U(line)));
      const int32_t end = line + 1 == lines
                              ? std::numeric_limits<int32_t>::max()
                              : static_cast<int32_t>(SendScintilla(SB::SCI_POSITIONFROMLINE, U(line + 1)));
      breakpointSpans_.emplace_back(start, end);
    }
    breakpointSpansKnown_ = true;
  }
}

bool ScriptEditor::IsBreakpointLineAt(int32_t position) const {
  FindBreakpointSpans();
  if (breakpointSpans_.empty()) return false;  // only bookmarks: the common marked run
  // The last span starting at or before the position.
  auto after =
      std::upper_bound(breakpointSpans_.begin(), breakpointSpans_.end(), position,
                       [](int32_t p, const std::pair<int32_t, int32_t>& span) { return p < span.first; });
  return after != breakpointSpans_.begin() && position < std::prev(after)->second;
}

void ScriptEditor::AddBreakpoint(int line) {
  markerAdd(line, kBreakpointMarker);
}

void ScriptEditor::RemoveBreakpoint(int line) {
  markerDelete(line, kBreakpointMarker);
}

void ScriptEditor::ToggleBookmark(int digit) {
  const long was = SendScintilla(SB::SCI_MARKERNEXT, 0UL, static_cast<long>(1u << digit));
  const int line = CaretLine() - 1;
  markerDeleteAll(digit);
  if (was != line) markerAdd(line, digit);
}

void ScriptEditor::GotoBookmark(int digit) {
  const long line = SendScintilla(SB::SCI_MARKERNEXT, 0UL, static_cast<long>(1u << digit));
  if (line < 0) return;
  setCursorPosition(static_cast<int>(line), 0);
  ensureLineVisible(static_cast<int>(line));
}

void ScriptEditor::ShowExecutionLine(int line) {
  const long lines = SendScintilla(SB::SCI_GETLINECOUNT);
  if (line >= lines) line = -1;
  markerDeleteAll(kExecutionMarker);
  SendScintilla(SB::SCI_SETINDICATORCURRENT, U(kExecutionIndicator));
  SendScintilla(SB::SCI_INDICATORCLEARRANGE, 0UL, SendScintilla(SB::SCI_GETTEXTLENGTH));
  executionLine_ = line;
  if (line < 0) return;
  markerAdd(line, kExecutionMarker);
  const long from = SendScintilla(SB::SCI_POSITIONFROMLINE, U(line));
  const long to = SendScintilla(SB::SCI_GETLINEENDPOSITION, U(line));
  SendScintilla(SB::SCI_INDICATORFILLRANGE, U(from), to - from);
}

}  // namespace quoll
