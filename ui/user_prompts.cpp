// QtUserPrompts: message boxes, file dialogs and the input box with the workbench's filters.
#include "ui/user_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace quoll {

namespace {

UserPrompts::Answer ToAnswer(int button) {
  if (button == QMessageBox::Yes) return UserPrompts::Answer::Yes;
  if (button == QMessageBox::No) return UserPrompts::Answer::No;
  return UserPrompts::Answer::Cancel;
}

QString RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filters,
                      const QString& suffix = "qs") {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilter(filters);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

}  // namespace

UserPrompts::Answer QtUserPrompts::AskYesNo(QWidget* parent, const QString& text) {
  return ToAnswer(QMessageBox::warning(parent, QApplication::applicationName(), text,
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes));
}

UserPrompts::Answer QtUserPrompts::AskYesNoCancel(QWidget* parent, const QString& text) {
  return ToAnswer(QMessageBox::warning(parent, QApplication::applicationName(), text,
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                       QMessageBox::Yes));
}

void QtUserPrompts::ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QApplication::applicationName(), text);
}

void QtUserPrompts::ShowError(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QApplication::applicationName(), text);
}

QString QtUserPrompts::OpenFileName(QWidget* parent) {
  return RunFileDialog(parent, QFileDialog::AcceptOpen, "Quoll files (*.qs);;Object Pascal files (*.pas)");
}

QString QtUserPrompts::SaveFileName(QWidget* parent) {
  // Qt's save dialog asks before overwriting an existing file.
  return RunFileDialog(parent, QFileDialog::AcceptSave, "Quoll files (*.qs)");
}

QString QtUserPrompts::SaveTraceFileName(QWidget* parent) {
  return RunFileDialog(parent, QFileDialog::AcceptSave, "Text files (*.txt);;All files (*)", "txt");
}

std::optional<QString> QtUserPrompts::InputText(QWidget* parent, const QString& caption,
                                                const QString& prompt) {
  bool ok = false;
  QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, QString(), &ok);
  if (!ok) return std::nullopt;
  return text;
}

std::optional<int> QtUserPrompts::LineNumber(QWidget* parent, int current, int lineCount) {
  bool ok = false;
  const int line = QInputDialog::getInt(parent, "Go to line", QString("Line number (1-%1):").arg(lineCount),
                                        current, 1, std::max(1, lineCount), 1, &ok);
  if (!ok) return std::nullopt;
  return line;
}

}  // namespace quoll
