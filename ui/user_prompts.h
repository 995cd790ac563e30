// UserPrompts: every question the workbench asks the user (message boxes, file dialogs, the input
// box of Readln) goes through this interface, so tests can answer them.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace quoll {

class UserPrompts {
 public:
  enum class Answer { Yes, No, Cancel };

  virtual ~UserPrompts() = default;
  // A warning box with the buttons Yes and No.
  virtual Answer AskYesNo(QWidget* parent, const QString& text) = 0;
  // A warning box with the buttons Yes, No and Cancel.
  virtual Answer AskYesNoCancel(QWidget* parent, const QString& text) = 0;
  // A plain message box.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
  // An error box (a file that cannot be read or written).
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
  // The open and save dialogs; the empty text when cancelled.
  virtual QString OpenFileName(QWidget* parent) = 0;
  virtual QString SaveFileName(QWidget* parent) = 0;
  // The save dialog for the card trace, a text file.
  virtual QString SaveTraceFileName(QWidget* parent) = 0;
  // The modal text input box: caption, prompt, empty default text; nothing when cancelled.
  virtual std::optional<QString> InputText(QWidget* parent, const QString& caption,
                                           const QString& prompt) = 0;
  // Go to line: a line number from 1 to lineCount, proposing `current`; nothing when cancelled.
  virtual std::optional<int> LineNumber(QWidget* parent, int current, int lineCount) = 0;
};

// The real dialogs.
class QtUserPrompts : public UserPrompts {
 public:
  Answer AskYesNo(QWidget* parent, const QString& text) override;
  Answer AskYesNoCancel(QWidget* parent, const QString& text) override;
  void ShowMessage(QWidget* parent, const QString& text) override;
  void ShowError(QWidget* parent, const QString& text) override;
  QString OpenFileName(QWidget* parent) override;
  QString SaveFileName(QWidget* parent) override;
  QString SaveTraceFileName(QWidget* parent) override;
  std::optional<QString> InputText(QWidget* parent, const QString& caption, const QString& prompt) override;
  std::optional<int> LineNumber(QWidget* parent, int current, int lineCount) override;
};

}  // namespace quoll
