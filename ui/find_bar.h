// FindBar: the strip below the editor windows that finds text (match case, whole word, regular
// expression) in the active editor or the output pane, and replaces it in the editor. It is part of
// the main window, so the workbench's shortcuts (F5, F9, F10, Alt+2 ...) keep working while its
// fields have the keyboard.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quoll {

class ScriptEditor;

struct FindOptions {
  bool matchCase = false;
  bool wholeWord = false;
  bool regularExpression = false;
};

// Searches from the selection on, wrapping at the end of the text; selects what it finds. False
// (nothing changed) when the text is nowhere or the expression is not valid.
bool FindInEditor(ScriptEditor& editor, const QString& text, const FindOptions& options, bool forward);
bool FindInTextBox(QPlainTextEdit& box, const QString& text, const FindOptions& options, bool forward);
// Replaces every match in the editor as one undo step; returns how many. A regular expression's
// replacement may name its groups (\1 ... \9).
int ReplaceAllInEditor(ScriptEditor& editor, const QString& text, const QString& replacement,
                       const FindOptions& options);

class FindBar : public QWidget {
  Q_OBJECT

 public:
  explicit FindBar(QWidget* parent);

  // Shows the bar for a search in `editor` (or in `output` when it is given instead): with the
  // replace field when `replace` (an editor only), the selected text as the search text, and
  // the keyboard in the search field.
  void Open(ScriptEditor* editor, QPlainTextEdit* output, bool replace);
  // Finds the next or previous match in the bar's target; false when there is none.
  bool FindNext(bool forward);
  // Replaces the selection when it is a match, then finds the next one.
  void ReplaceOne();
  int ReplaceAll();
  // Hides the bar and gives the keyboard back to the text it searched.
  void Close();

  // What the bar searches now (one of them, or neither).
  ScriptEditor* Editor() const;
  QPlainTextEdit* Output() const;

  FindOptions Options() const;
  QLineEdit* SearchField() const { return findField_; }
  QLineEdit* ReplaceField() const { return replaceField_; }
  QString Message() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool SelectionMatches() const;
  void Say(const QString& message);

  QPointer<ScriptEditor> editor_;
  QPointer<QPlainTextEdit> output_;
  QLineEdit* findField_;
  QLineEdit* replaceField_;
  QCheckBox* matchCase_;
  QCheckBox* wholeWord_;
  QCheckBox* regularExpression_;
  QPushButton* replaceButton_;
  QPushButton* replaceAllButton_;
  QLabel* replaceLabel_;
  QLabel* message_;
};

}  // namespace quoll
