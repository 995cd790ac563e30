// FindBar and the searches behind it.
#include "ui/find_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextDocument>

#include "ui/script_editor.h"

namespace quoll {

namespace {

bool FindInEditorFrom(ScriptEditor& editor, const QString& text, const FindOptions& o, bool forward, int line,
                      int index) {
  // ECMAScript expressions (cxx11), the same dialect QRegularExpression reads for the output pane.
  return editor.findFirst(text, o.regularExpression, o.matchCase, o.wholeWord, /*wrap=*/true, forward, line,
                          index, /*show=*/true, /*posix=*/false, /*cxx11=*/true);
}

// The output pane's expression: the text itself unless it is one, words bounded when asked.
QRegularExpression TextBoxExpression(const QString& text, const FindOptions& o) {
  QString pattern = o.regularExpression ? text : QRegularExpression::escape(text);
  if (o.wholeWord) pattern = "\\b(?:" + pattern + ")\\b";
  return QRegularExpression(
      pattern, o.matchCase ? QRegularExpression::NoPatternOption : QRegularExpression::CaseInsensitiveOption);
}

}  // namespace

bool FindInEditor(ScriptEditor& editor, const QString& text, const FindOptions& options, bool forward) {
  if (text.isEmpty()) return false;
  if (!forward && editor.hasSelectedText()) {
    // Backwards from the start of the selection, so the match selected now is not found again.
    int line = 0, index = 0, toLine = 0, toIndex = 0;
    editor.getSelection(&line, &index, &toLine, &toIndex);
    return FindInEditorFrom(editor, text, options, false, line, index);
  }
  return FindInEditorFrom(editor, text, options, forward, -1, -1);
}

bool FindInTextBox(QPlainTextEdit& box, const QString& text, const FindOptions& options, bool forward) {
  const QRegularExpression expression = TextBoxExpression(text, options);
  if (text.isEmpty() || !expression.isValid()) return false;
  const QTextDocument::FindFlags flags = forward ? QTextDocument::FindFlags() : QTextDocument::FindBackward;
  if (box.find(expression, flags)) return true;
  // Round the end of the text and once more.
  QTextCursor restart = box.textCursor();
  const QTextCursor before = restart;
  restart.movePosition(forward ? QTextCursor::Start : QTextCursor::End);
  box.setTextCursor(restart);
  if (box.find(expression, flags)) return true;
  box.setTextCursor(before);
  return false;
}

int ReplaceAllInEditor(ScriptEditor& editor, const QString& text, const QString& replacement,
                       const FindOptions& o) {
  if (text.isEmpty()) return 0;
  int line = 0, index = 0;
  editor.getCursorPosition(&line, &index);
  int count = 0;
  editor.beginUndoAction();
  bool found = editor.findFirst(text, o.regularExpression, o.matchCase, o.wholeWord, /*wrap=*/false,
                                /*forward=*/true, 0, 0, /*show=*/false, false, true);
  long lastStart = -1;
  const long length = editor.length();
  while (found && count <= length) {
    int fromLine = 0, fromIndex = 0, toLine = 0, toIndex = 0;
    editor.getSelection(&fromLine, &fromIndex, &toLine, &toIndex);
    const long start = editor.positionFromLineIndex(fromLine, fromIndex);
    const bool empty = fromLine == toLine && fromIndex == toIndex;
    // An empty match where the last one was (an expression such as `x*`) would be found for ever.
    if (empty && start == lastStart) break;
    editor.replace(replacement);
    ++count;
    lastStart =
        empty ? editor.positionFromLineIndex(fromLine, fromIndex) + replacement.toUtf8().size() : start;
    found = editor.findNext();
  }
  editor.endUndoAction();
  editor.setCursorPosition(std::min(line, std::max(0, editor.lines() - 1)), index);
  return count;
}

FindBar::FindBar(QWidget* parent)
    : QWidget(parent),
      findField_(new QLineEdit(this)),
      replaceField_(new QLineEdit(this)),
      matchCase_(new QCheckBox("Match &case", this)),
      wholeWord_(new QCheckBox("&Whole word", this)),
      regularExpression_(new QCheckBox("Regular e&xpression", this)),
      replaceButton_(new QPushButton("&Replace", this)),
      replaceAllButton_(new QPushButton("Replace &all", this)),
      replaceLabel_(new QLabel("Replace with:", this)),
      message_(new QLabel(this)) {
  setObjectName("findBar");
  findField_->setObjectName("findField");
  replaceField_->setObjectName("replaceField");
  findField_->setPlaceholderText("Find");
  replaceField_->setPlaceholderText("Replace with");
  auto* next = new QPushButton("&Next", this);
  auto* previous = new QPushButton("&Previous", this);
  auto* close = new QPushButton("Close", this);
  next->setToolTip("Find next (F3)");
  previous->setToolTip("Find previous (Shift+F3)");
  close->setToolTip("Close (Esc)");
  for (QPushButton* b : {next, previous, replaceButton_, replaceAllButton_, close}) b->setAutoDefault(false);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(new QLabel("Find:", this));
  layout->addWidget(findField_, 2);
  layout->addWidget(next);
  layout->addWidget(previous);
  layout->addWidget(replaceLabel_);
  layout->addWidget(replaceField_, 2);
  layout->addWidget(replaceButton_);
  layout->addWidget(replaceAllButton_);
  layout->addWidget(matchCase_);
  layout->addWidget(wholeWord_);
  layout->addWidget(regularExpression_);
  layout->addWidget(message_, 1);
  layout->addWidget(close);
  connect(next, &QPushButton::clicked, this, [this] { FindNext(true); });
  connect(previous, &QPushButton::clicked, this, [this] { FindNext(false); });
  connect(replaceButton_, &QPushButton::clicked, this, &FindBar::ReplaceOne);
  connect(replaceAllButton_, &QPushButton::clicked, this, &FindBar::ReplaceAll);
  connect(close, &QPushButton::clicked, this, &FindBar::Close);
  connect(findField_, &QLineEdit::returnPressed, this,
          [this] { FindNext(!(QApplication::keyboardModifiers() & Qt::ShiftModifier)); });
  connect(replaceField_, &QLineEdit::returnPressed, this, &FindBar::ReplaceOne);
  hide();
}

void FindBar::Open(ScriptEditor* editor, QPlainTextEdit* output, bool replace) {
  editor_ = editor;
  output_ = editor ? nullptr : output;
  const bool canReplace = replace && editor_;
  for (QWidget* w :
       std::initializer_list<QWidget*>{replaceLabel_, replaceField_, replaceButton_, replaceAllButton_})
    w->setVisible(canReplace);
  QString selected;
  if (editor_) selected = editor_->selectedText();
  if (output_) selected = output_->textCursor().selectedText();
  if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) && !selected.contains('\n'))
    findField_->setText(selected);
  Say(QString());
  show();
  findField_->setFocus();
  findField_->selectAll();
}

ScriptEditor* FindBar::Editor() const {
  return editor_;
}

QPlainTextEdit* FindBar::Output() const {
  return output_;
}

FindOptions FindBar::Options() const {
  return {matchCase_->isChecked(), wholeWord_->isChecked(), regularExpression_->isChecked()};
}

QString FindBar::Message() const {
  return message_->text();
}

void FindBar::Say(const QString& message) {
  message_->setText(message);
}

bool FindBar::FindNext(bool forward) {
  const QString text = findField_->text();
  bool found = false;
  if (editor_)
    found = FindInEditor(*editor_, text, Options(), forward);
  else if (output_)
    found = FindInTextBox(*output_, text, Options(), forward);
  Say(found || text.isEmpty() ? QString() : QString("\"%1\" not found").arg(text));
  if (!found && !text.isEmpty()) QApplication::beep();
  return found;
}

// Whether the editor's selection is a whole match of the search, so Replace replaces it rather
// than first finding one.
bool FindBar::SelectionMatches() const {
  if (!editor_ || !editor_->hasSelectedText()) return false;
  const FindOptions o = Options();
  const QString text = findField_->text();
  QString pattern = o.regularExpression ? text : QRegularExpression::escape(text);
  const QRegularExpression whole(
      QRegularExpression::anchoredPattern(pattern),
      o.matchCase ? QRegularExpression::NoPatternOption : QRegularExpression::CaseInsensitiveOption);
  return whole.isValid() && whole.match(editor_->selectedText()).hasMatch();
}

void FindBar::ReplaceOne() {
  if (!editor_ || editor_->isReadOnly()) return;
  if (SelectionMatches()) {
    // Find the selection again so that QScintilla knows the match it replaces (and its groups).
    int line = 0, index = 0, toLine = 0, toIndex = 0;
    editor_->getSelection(&line, &index, &toLine, &toIndex);
    const FindOptions o = Options();
    if (editor_->findFirst(findField_->text(), o.regularExpression, o.matchCase, o.wholeWord, false, true,
                           line, index, true, false, true))
      editor_->replace(replaceField_->text());
  }
  FindNext(true);
}

int FindBar::ReplaceAll() {
  if (!editor_ || editor_->isReadOnly()) return 0;
  const int count = ReplaceAllInEditor(*editor_, findField_->text(), replaceField_->text(), Options());
  Say(count == 1 ? QString("1 replacement") : QString("%1 replacements").arg(count));
  return count;
}

void FindBar::Close() {
  hide();
  if (editor_)
    editor_->setFocus();
  else if (output_)
    output_->setFocus();
}

void FindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace quoll
