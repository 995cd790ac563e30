// quoll-screenshots: renders the documentation's pictures of the workbench: the main window with a
// coloured script and the output of its run, the same script paused at a breakpoint with the watch
// window, and the help dialog. Run under a display server
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
#include "ui/script_editor.h"
#include "ui/user_prompts.h"
#include "ui/watch_window.h"

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
  if (args.size() < 3 || args.size() == 4) {
    std::fprintf(stderr, "usage: quoll-screenshots SCRIPT OUTPUT-DIRECTORY [LINE PAUSES WATCH...]\n");
    return 2;
  }
  QDir().mkpath(args[2]);
  const QDir out(args[2]);
  quoll::QtUserPrompts prompts;
  quoll::MainWindow mainWindow(prompts);
  mainWindow.resize(900, 620);
  mainWindow.show();
  mainWindow.CreateEditorWindow(QFileInfo(args[1]).absoluteFilePath());
  QCoreApplication::processEvents();
  mainWindow.findChild<QAction*>("runAction")->trigger();
  bool ok = Save(&mainWindow, out.filePath("main-window.png"));

  // A breakpoint on the caret line given as the optional third argument (1-based), watches on
  // the names that follow, and the run paused there for the PAUSES-th time.
  if (args.size() > 4) {
    quoll::EditorWindow* editor = mainWindow.ActiveEditor();
    editor->Editor()->setCursorPosition(args[3].toInt() - 1, 0);
    mainWindow.findChild<QAction*>("breakpointAction")->trigger();
    const int wanted = args[4].toInt();
    for (qsizetype i = 5; i < args.size(); ++i) mainWindow.AddWatch(args[i]);
    quoll::WatchWindow* watch = mainWindow.Watches();
    watch->show();
    int pauses = 0;
    mainWindow.SetMessagePump([&](bool paused) {
      QCoreApplication::processEvents();
      if (!paused) return;
      if (++pauses < wanted) {
        mainWindow.findChild<QAction*>("runAction")->trigger();
        return;
      }
      ok = Save(&mainWindow, out.filePath("debugging.png")) && ok;
      ok = Save(watch, out.filePath("watch.png")) && ok;
      mainWindow.StopScript();
    });
    mainWindow.findChild<QAction*>("runAction")->trigger();
    mainWindow.SetMessagePump({});
    watch->hide();
  }

  quoll::HelpDialog* help = mainWindow.Help();
  help->show();
  ok = Save(help, out.filePath("help-demo.png")) && ok;
  help->Pages()->setCurrentIndex(0);
  ok = Save(help, out.filePath("help-functions.png")) && ok;
  help->hide();
  return ok ? 0 : 1;
}
