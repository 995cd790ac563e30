// quoll: the desktop workbench. File names on the command line open in editor windows.
#include <QApplication>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "libs/automation/script/automation_library.h"
#include "libs/forms/forms_host.h"
#include "libs/forms/qt_toolkit_scope.h"
#include "libs/native_calls/native_call_library.h"
#include "ui/icons.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"

namespace {

const char kUsage[] =
    "Usage: quoll [OPTION...] [FILE...]\n"
    "Opens the Quoll workbench with each FILE in an editor window (a FILE that does not\n"
    "exist yet opens as an empty editor under its name and is created when saved).\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "  --             end of the options: every argument after it is a FILE\n"
    "Qt's own options are understood as well, e.g. -platform NAME, -style NAME, -reverse.\n"
    "Exit status: 0 when the workbench was closed, 2 after a wrong argument,\n"
    "3 when the answer to --help or --version could not be written.\n";

// Prints text on stdout; when it cannot be written, says why on stderr and gives false.
bool PrintToStdout(const char* text) {
  if (std::fputs(text, stdout) != EOF && std::fflush(stdout) == 0) return true;
  std::fprintf(stderr, "quoll: cannot write to standard output: %s\n", std::strerror(errno));
  return false;
}

enum class EarlyAnswer { None, Help, Version };

// --help and --version are answered before the toolkit starts, so they need no display.
EarlyAnswer FindEarlyAnswer(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) break;
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return EarlyAnswer::Help;
    if (std::strcmp(argv[i], "--version") == 0) return EarlyAnswer::Version;
  }
  return EarlyAnswer::None;
}

// The files named by the arguments Qt left (it removes the options it understood). An argument
// that still looks like an option is a mistake, not a file to create: false, with a message.
bool CollectFiles(const QStringList& args, QStringList& files) {
  bool optionsEnded = false;
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg.startsWith('-')) {
      std::fprintf(stderr, "quoll: unknown option %s (try --help)\n", arg.toLocal8Bit().constData());
      return false;
    } else {
      files << QFileInfo(arg).absoluteFilePath();
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  switch (FindEarlyAnswer(argc, argv)) {
    case EarlyAnswer::Help:
      return PrintToStdout(kUsage) ? 0 : 3;
    case EarlyAnswer::Version:
      return PrintToStdout("quoll " QUOLL_VERSION "\n") ? 0 : 3;
    case EarlyAnswer::None:
      break;
  }
  QApplication app(argc, argv);
  QStringList files;
  if (!CollectFiles(QApplication::arguments(), files)) return 2;
  QApplication::setApplicationName("Quoll");
  QApplication::setDesktopFileName("quoll");  // the installed quoll.desktop: its name and icon
  QApplication::setWindowIcon(quoll::icons::ProgramIcon());
  quoll::QtUserPrompts prompts;
  quoll::forms::ScopedQtToolkit forms;  // outlives the main window, whose host frees controls
  // The libraries that live outside the host are added once, before the host's first start (the
  // window starts it again before a run when the first start failed).
  bool librariesAdded = false;
  quoll::MainWindow mainWindow(prompts, nullptr, [librariesAdded](quoll::ScriptHost& host) mutable {
    if (!librariesAdded) {
      host.AddLibrary(quoll::LibraryStep::Automation, quoll::RegisterAutomation);
      host.AddLibrary(quoll::LibraryStep::NativeCalls, quoll::RegisterNativeCallLibrary);
      quoll::forms::AddFormsLibrary(host);
      librariesAdded = true;
    }
    host.Initialize();
  });
  for (const QString& file : files) mainWindow.CreateEditorWindow(file);
  mainWindow.showMaximized();
  return QApplication::exec();
}
