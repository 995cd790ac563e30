// quoll-screenshots: renders the documentation's pictures of the workbench: the main window with a
// coloured script and the output of its run, the same script paused at a breakpoint with the watch
// window, and the help dialog; or, with --script-form, the first form a script opens, after a
// click on its default button. Run under a display server (`make screenshots` uses Xvfb).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <cstdio>

#include "libs/forms/forms_host.h"
#include "libs/forms/qt_toolkit_scope.h"
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

// The visible window of a script form, if one is open.
QWidget* ScriptFormWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->property("quollControl").isValid() && w->isVisible()) return w;
  return nullptr;
}

// Runs the script in the workbench; once its form shows, clicks the form's default button, saves
// the form's picture and closes it.
int ScriptFormPicture(const QString& script, const QString& picture) {
  quoll::QtUserPrompts prompts;
  quoll::MainWindow mainWindow(prompts, nullptr, [](quoll::ScriptHost& host) {
    quoll::forms::AddFormsLibrary(host);
    host.Initialize();
  });
  mainWindow.resize(900, 620);
  mainWindow.show();
  mainWindow.CreateEditorWindow(QFileInfo(script).absoluteFilePath());
  bool ok = false;
  bool done = false;
  mainWindow.SetMessagePump([&](bool) {
    QCoreApplication::processEvents();
    QWidget* form = done ? nullptr : ScriptFormWindow();
    if (!form) return;
    done = true;
    for (QPushButton* button : form->findChildren<QPushButton*>())
      if (button->isDefault()) button->click();
    form->activateWindow();
    ok = Save(form, picture);
    form->close();
  });
  mainWindow.findChild<QAction*>("runAction")->trigger();
  mainWindow.SetMessagePump({});
  if (!done) std::fprintf(stderr, "quoll-screenshots: %s opened no form\n", qPrintable(script));
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quoll");
  quoll::forms::ScopedQtToolkit forms;
  const QStringList args = QApplication::arguments();
  if (args.size() == 4 && args[1] == "--script-form") return ScriptFormPicture(args[2], args[3]);
  if (args.size() < 3 || args.size() == 4) {
    std::fprintf(stderr,
                 "usage: quoll-screenshots SCRIPT OUTPUT-DIRECTORY [LINE PAUSES WATCH...]\n"
                 "       quoll-screenshots --script-form SCRIPT PICTURE.png\n");
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
