// quoll: the desktop workbench. File names on the command line open in editor windows.
#include <QApplication>
#include <QFileInfo>

#include "ui/icons.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quoll");
  QApplication::setWindowIcon(quoll::icons::ProgramIcon());
  quoll::QtUserPrompts prompts;
  quoll::MainWindow mainForm(prompts);
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i)
    mainForm.CreateEditorWindow(QFileInfo(args[i]).absoluteFilePath());
  mainForm.showMaximized();
  return QApplication::exec();
}
