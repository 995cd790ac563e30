// quoll-workbench-run: runs one script inside the workbench window, as F5 would, for `make bench`.
// The window is real (offscreen unless a platform is chosen) and the run goes through the same
// statement hook, event pumping and output pane as in `quoll`. The output pane's lines go to
// stdout; the time of the run itself (from Run to its end, without Qt's start-up) goes to stderr
// as "run seconds: S". With --marks the script gets a bookmark on its last line, which no
// statement reaches: the run then pays for the caret following every statement.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "ui/editor_window.h"
#include "ui/main_window.h"
#include "ui/script_editor.h"
#include "ui/user_prompts.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  bool marks = false;
  const char* script = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--marks") == 0)
      marks = true;
    else
      script = argv[i];
  }
  if (!script) {
    std::fprintf(stderr, "usage: quoll-workbench-run [--marks] SCRIPT\n");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quoll");
  quoll::QtUserPrompts prompts;
  quoll::MainWindow form(prompts);
  form.resize(900, 640);
  form.show();
  quoll::EditorWindow* editor =
      form.CreateEditorWindow(QFileInfo(QString::fromLocal8Bit(script)).absoluteFilePath());
  if (!editor->Named()) {
    std::fprintf(stderr, "quoll-workbench-run: cannot read %s\n", script);
    return 2;
  }
  if (marks) {
    quoll::ScriptEditor* text = editor->Editor();
    text->setCursorPosition(text->lines() - 1, 0);
    text->ToggleBookmark(1);
  }
  QCoreApplication::processEvents();

  const auto start = std::chrono::steady_clock::now();
  form.findChild<QAction*>("runAction")->trigger();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

  const QString output = form.Output()->toPlainText();
  std::fputs(output.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
  std::fprintf(stderr, "run seconds: %.6f\n", elapsed.count());
  return output.endsWith("Script finished, no errors.") ? 0 : 1;
}
