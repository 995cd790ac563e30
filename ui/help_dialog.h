// HelpDialog: the help dialog: the list of functions scripts can call and a demonstration script
// on two pages. The same dialog is shown each time, so it keeps the page the user chose last.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QTabWidget;

namespace quoll {

class HelpDialog : public QDialog {
  Q_OBJECT

 public:
  explicit HelpDialog(QWidget* parent = nullptr);

  QTabWidget* Pages() const { return pages_; }
  QPlainTextEdit* FunctionList() const { return functionList_; }
  QPlainTextEdit* DemoScript() const { return demoScript_; }

 private:
  QTabWidget* pages_;
  QPlainTextEdit* functionList_;
  QPlainTextEdit* demoScript_;
};

}  // namespace quoll
