// quoll-screenshots: renders the documentation's pictures of the workbench: the main window with a
// coloured script and the output of its run, the same script paused at a breakpoint with the watch
// window, the help dialog, and the card panes (trace and readers) drawn from recorded exchanges and
// reader states, since no card stack can be counted on here; or, with --script-form, the first form
// a script opens, after a click on its default button. Run under a display server (`make
// screenshots` uses Xvfb).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <cstdio>

#include "card/exchange_record.h"
#include "card/reader_watcher.h"
#include "libs/forms/forms_host.h"
#include "libs/forms/qt_toolkit_scope.h"
#include "ui/editor_window.h"
#include "ui/help_dialog.h"
#include "ui/icons.h"
#include "ui/main_window.h"
#include "ui/readers_pane.h"
#include "ui/script_editor.h"
#include "ui/trace_pane.h"
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

// A session with the virtual card as the trace recorded it: SELECT answered 61xx and completed
// by automatic GET RESPONSE, a read, GET CHALLENGE resent with the Le the card asked for, a
// missing file, and the card pulled before the last command.
std::vector<quoll::ExchangeRecord> RecordedExchanges() {
  using quoll::ExchangeKind;
  struct Exchange {
    ExchangeKind kind;
    quoll::Bytes command, response;
    int line;
    int64_t durationNs;
    const char* failure = "";
  };
  const quoll::Bytes fci = {0x6F, 0x07, 0x83, 0x02, 0x3F, 0x00, 0x82, 0x01, 0x38, 0x90, 0x00};
  quoll::Bytes file(16);
  for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i);
  file.insert(file.end(), {0x90, 0x00});
  const Exchange exchanges[] = {
      {ExchangeKind::kConnect, {}, {0x3B, 0x80, 0x01, 0x81}, 4, 412'000},
      {ExchangeKind::kTransmit, {0x00, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00}, {0x61, 0x09}, 5, 183'000},
      {ExchangeKind::kGetResponse, {0x00, 0xC0, 0x00, 0x00, 0x09}, fci, 5, 142'000},
      {ExchangeKind::kTransmit, {0x00, 0xA4, 0x00, 0x0C, 0x02, 0x00, 0x01}, {0x90, 0x00}, 6, 131'000},
      {ExchangeKind::kTransmit, {0x00, 0xB0, 0x00, 0x00, 0x10}, file, 7, 156'000},
      {ExchangeKind::kTransmit, {0x00, 0x84, 0x00, 0x00}, {0x6C, 0x08}, 8, 128'000},
      {ExchangeKind::kResend,
       {0x00, 0x84, 0x00, 0x00, 0x08},
       {0x5A, 0x1F, 0xC3, 0x07, 0x9E, 0x44, 0xB2, 0x61, 0x90, 0x00},
       8,
       137'000},
      {ExchangeKind::kTransmit, {0x00, 0xA4, 0x00, 0x0C, 0x02, 0x00, 0x09}, {0x6A, 0x82}, 9, 129'000},
      {ExchangeKind::kTransmit,
       {0x00, 0xB0, 0x00, 0x00, 0x02},
       {},
       11,
       1'870'000,
       "Card was removed. (0x80100069)"},
  };
  std::vector<quoll::ExchangeRecord> records;
  timespec wall{};
  clock_gettime(CLOCK_REALTIME, &wall);
  for (const Exchange& e : exchanges) {
    quoll::ExchangeRecord r;
    r.wallTime = wall;
    wall.tv_nsec += 3'000'000 + e.durationNs;
    if (wall.tv_nsec >= 1'000'000'000) {
      wall.tv_nsec -= 1'000'000'000;
      ++wall.tv_sec;
    }
    r.durationNs = e.durationNs;
    r.kind = e.kind;
    r.readerIndex = 1;
    r.readerName = "Virtual PCD 00 00";
    r.command = e.command;
    r.response = e.response;
    r.failure = e.failure;
    r.detail = e.kind == ExchangeKind::kConnect ? "T=1" : "";
    r.place = {"CARDDEMO", -1, e.line};
    records.push_back(r);
  }
  return records;
}

// Three readers: the program's own connection to the virtual card, an empty reader, and a
// contactless reader another program holds.
quoll::ReaderSnapshot RecordedReaders() {
  quoll::ReaderSnapshot snapshot{true, "", {}};
  snapshot.readers = {
      {"Virtual PCD 00 00", SCARD_STATE_PRESENT | SCARD_STATE_INUSE, {0x3B, 0x80, 0x01, 0x81}},
      {"Virtual PCD 00 01", SCARD_STATE_EMPTY, {}},
      {"ACS ACR122U PICC Interface 00 00",
       SCARD_STATE_PRESENT | SCARD_STATE_INUSE,
       {0x3B, 0x8F, 0x80, 0x01, 0x80, 0x4F, 0x0C, 0xA0, 0x00, 0x00,
        0x03, 0x06, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x6A}},
  };
  return snapshot;
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

  // The card panes, floating at a size that shows their columns.
  quoll::TracePane* trace = mainWindow.Trace();
  trace->Clear();
  for (const quoll::ExchangeRecord& record : RecordedExchanges()) trace->Record(record);
  trace->setFloating(true);
  trace->resize(1270, 250);
  trace->show();
  trace->View()->selectRow(2);
  ok = Save(trace, out.filePath("trace.png")) && ok;
  trace->hide();
  quoll::ReadersPane* readers = mainWindow.Readers();
  // The recorded states, not the machine's: the pane's watcher is not started.
  QObject::disconnect(readers, &QDockWidget::visibilityChanged, &mainWindow, nullptr);
  readers->ShowSnapshot(RecordedReaders());
  readers->ShowScriptReaders({"Virtual PCD 00 00", "Virtual PCD 00 01"}, {"Virtual PCD 00 00"});
  readers->setFloating(true);
  readers->resize(1000, 420);
  readers->show();
  ok = Save(readers, out.filePath("readers.png")) && ok;
  readers->hide();
  return ok ? 0 : 1;
}
