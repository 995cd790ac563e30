// quoll-screenshots: renders the documentation's pictures of the workbench: the main window with a
// coloured script and the output of its run, and the help dialog. Run under a display server
// (`make screenshots` uses Xvfb).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>

#include "ui/editor_window.h"
#include "ui/help_dialog.h"
#include "ui/icons.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"

namespace {

bool Save(QWidget* widget, const QString& path) {
  QCoreApplication::processEvents();
  if (widget->grab().save(path)) return true;
  std::fprintf(stderr, "quoll-screenshots: cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quoll");
  const QStringList args = QApplication::arguments();
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: quoll-screenshots SCRIPT OUTPUT-DIRECTORY\n");
    return 2;
  }
  QDir().mkpath(args[2]);
  const QDir out(args[2]);
  quoll::QtUserPrompts prompts;
  quoll::TMainForm mainForm(prompts);
  mainForm.resize(900, 620);
  mainForm.show();
  mainForm.CreateEditorWindow(QFileInfo(args[1]).absoluteFilePath());
  QCoreApplication::processEvents();
  mainForm.findChild<QAction*>("ScriptRun")->trigger();
  bool ok = Save(&mainForm, out.filePath("main-window.png"));

  quoll::TdlgPageHelp* help = mainForm.HelpDialog();
  help->show();
  ok = Save(help, out.filePath("help-demo.png")) && ok;
  help->Pages()->setCurrentIndex(0);
  ok = Save(help, out.filePath("help-functions.png")) && ok;
  help->hide();
  return ok ? 0 : 1;
}
