// The card panes and the card side of a run, over the stand-in PC/SC library (which answers every
// command with the command itself and 90 00): the trace's rows as a run makes them, the link from
// a row to the line of its call (also in a unit), copying, saving, clearing at each run; the
// readers pane drawn from recorded pictures; Sleep that keeps the window alive and ends at Stop;
// the GET RESPONSE menu item.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "card/reader_functions.h"
#include "fake_prompts.h"
#include "ui/editor_window.h"
#include "ui/readers_pane.h"
#include "ui/script_editor.h"
#include "ui/trace_pane.h"
#include "ui_test_support.h"

namespace quoll_test {

using quoll::EditorWindow;
using quoll::MainWindow;
using quoll::ReaderSnapshot;
using quoll::TracePane;

namespace {

// The trace's column of every row.
QStringList Column(TracePane* pane, int column) {
  QStringList texts;
  for (int row = 0; row < pane->RowCount(); ++row)
    texts << pane->Model()->index(row, column).data().toString();
  return texts;
}

enum TraceColumn {
  kTime,
  kReader,
  kName,
  kKind,
  kCommand,
  kData,
  kSw,
  kMeaning,
  kMs,
  kModule,
  kLine,
  kFailure
};

void RunText(MainWindow& form, const QString& text) {
  if (!form.ActiveEditor()) Action(form, "newFileAction")->trigger();
  form.ActiveEditor()->Editor()->setText(text);
  Action(form, "runAction")->trigger();
}

void DoubleClickRow(TracePane* pane, int row) {
  pane->show();
  Flush();
  QTableView* view = pane->View();
  view->scrollTo(pane->Model()->index(row, kKind));
  const QRect cell = view->visualRect(pane->Model()->index(row, kKind));
  // Qt's double click comes after the press of the first click.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
}

const QString kExchangeScript =
    "begin\r\n"
    "  OpenReader(1);\r\n"
    "  Writeln(SendAPDU(1, '00 B0 00 00 02'));\r\n"
    "  CloseReader(1);\r\n"
    "end.";

}  // namespace

class CardPanesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString oldDir_;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    oldDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
  }
  void cleanupTestCase() { QDir::setCurrent(oldDir_); }

  void TraceRowsFollowTheRunAndLinkToTheLineOfTheirCall() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    TracePane* pane = form.Trace();
    QVERIFY(!pane->isVisible());
    Action(form, "viewTraceAction")->trigger();
    QVERIFY(pane->isVisible());
    RunText(form, kExchangeScript);
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "00B00000029000", "Script finished, no errors."}));
    QCOMPARE(Column(pane, kKind), QStringList({"connect", "transmit", "disconnect"}));
    QCOMPARE(Column(pane, kReader), QStringList({"1", "1", "1"}));
    QCOMPARE(Column(pane, kName), QStringList(3, "Stand-in Reader 0"));
    QCOMPARE(Column(pane, kCommand), QStringList({"", "00 B0 00 00 02", ""}));
    QCOMPARE(Column(pane, kData), QStringList({"", "00 B0 00 00 02", ""}));
    QCOMPARE(Column(pane, kSw), QStringList({"", "9000", ""}));
    QCOMPARE(Column(pane, kMeaning), QStringList({"T=0", "normal processing", ""}));
    QCOMPARE(Column(pane, kModule), QStringList(3, "MAIN"));
    QCOMPARE(Column(pane, kLine), QStringList({"2", "3", "4"}));
    for (const QString& time : Column(pane, kTime))
      QVERIFY2(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d$").match(time).hasMatch(),
               qPrintable(time));
    for (const QString& ms : Column(pane, kMs))
      QVERIFY2(QRegularExpression("^\\d+\\.\\d$").match(ms).hasMatch(), qPrintable(ms));

    EditorWindow* editor = form.ActiveEditor();
    editor->Editor()->setCursorPosition(0, 0);
    DoubleClickRow(pane, 1);
    QCOMPARE(editor->Editor()->selectedText(), QString("  Writeln(SendAPDU(1, '00 B0 00 00 02'));"));
    DoubleClickRow(pane, 2);
    QCOMPARE(editor->Editor()->selectedText(), QString("  CloseReader(1);"));

    // Rows copy as trace lines: the selected ones, twelve tab-separated fields each.
    pane->View()->selectRow(0);
    pane->View()->selectionModel()->select(pane->Model()->index(1, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    pane->CopySelection();
    const QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(copied.size(), 2);
    QCOMPARE(copied[1].split('\t').size(), 12);
    QCOMPARE(copied[1].split('\t').mid(1),
             QStringList({"1", "Stand-in Reader 0", "transmit", "00 B0 00 00 02", "00 B0 00 00 02", "9000",
                          "normal processing", Column(pane, kMs)[1], "MAIN", "3", ""}));
  }

  void TraceClearsAtEachRunUnlessTurnedOffAndSavesAsText() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    TracePane* pane = form.Trace();
    RunText(form, kExchangeScript);
    RunText(form, kExchangeScript);
    QCOMPARE(pane->RowCount(), 3);
    pane->SetClearsAtRun(false);
    RunText(form, kExchangeScript);
    QCOMPARE(pane->RowCount(), 6);

    const QString path = dir_.filePath("trace.txt");
    prompts.fileNames = {path, dir_.filePath("missing/trace.txt")};
    QVERIFY(pane->Save());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[4].section('\t', 3, 3), QString("transmit"));
    QVERIFY(!pane->Save());
    QCOMPARE(prompts.errors.size(), 1);
    QVERIFY(prompts.errors[0].startsWith("Cannot save "));
    pane->Clear();
    QCOMPARE(pane->RowCount(), 0);
  }

  void ARowOfAUnitOpensTheUnitAndSelectsItsLine() {
    QFile unit(dir_.filePath("CARDUNIT.qs"));
    QVERIFY(unit.open(QIODevice::WriteOnly));
    unit.write(
        "unit CardUnit;\r\n\r\nprocedure Probe;\r\nbegin\r\n  SendAPDU(1, '00 84 00 00 "
        "08');\r\nend;\r\n\r\nend.\r\n");
    unit.close();
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    RunText(form, "uses CardUnit;\r\nbegin\r\n  OpenReader(1);\r\n  Probe;\r\nend.");
    TracePane* pane = form.Trace();
    QCOMPARE(Column(pane, kModule), QStringList({"MAIN", "CARDUNIT"}));
    QCOMPARE(Column(pane, kLine), QStringList({"3", "5"}));
    DoubleClickRow(pane, 1);
    QCOMPARE(form.Editors().size(), 2);
    EditorWindow* unitEditor = form.ActiveEditor();
    QVERIFY(unitEditor->FileName().endsWith("CARDUNIT.qs"));
    QCOMPARE(unitEditor->Editor()->selectedText(), QString("  SendAPDU(1, '00 84 00 00 08');"));
    // Again: the open editor is used.
    DoubleClickRow(pane, 1);
    QCOMPARE(form.Editors().size(), 2);
    QVERIFY(!form.ShowTraceStatement("NOSUCHUNIT", 1));
    RunText(form, "begin CloseReader(1); end.");
  }

  void SleepKeepsTheWindowUsableAndStopEndsItAtOnce() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    bool timerRan = false;
    QTimer::singleShot(50, &form, [&] { timerRan = true; });
    QTimer::singleShot(150, &form, [&] { Action(form, "stopAction")->trigger(); });
    QElapsedTimer clock;
    clock.start();
    RunText(form, "begin\r\n  Sleep(10000);\r\n  Writeln('after');\r\nend.");
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(timerRan);
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "User break.", "Script finished, no errors."}));
    // A Sleep that is not stopped waits its time and the script goes on.
    clock.restart();
    RunText(form, "begin\r\n  Sleep(60);\r\n  Writeln('after');\r\nend.");
    QVERIFY(clock.elapsed() >= 60);
    QCOMPARE(OutputLines(form), QStringList({"Script is running.", "after", "Script finished, no errors."}));
  }

  void WithoutReadersARunSaysWhyFirstAndTheNextRunFindsThem() {
    qputenv("QUOLL_STAND_IN_PCSC", "readers=0");
    FakePrompts prompts;
    MainWindow form(prompts);
    RunText(form, "begin\r\n  GetReaderCount;\r\nend.");
    QCOMPARE(OutputLines(form),
             QStringList({"PC/SC unavailable, reader functions removed: SCardListReaders: 0x8010002E",
                          "Script is running.", "Error in MAIN(9) unknown identifier: GETREADERCOUNT"}));
    qputenv("QUOLL_STAND_IN_PCSC", "readers=1");
    RunText(form, "begin\r\n  Writeln(IntToStr(GetReaderCount));\r\nend.");
    QCOMPARE(OutputLines(form), QStringList({"Script is running.", "1", "Script finished, no errors."}));
    qunsetenv("QUOLL_STAND_IN_PCSC");
  }

  void GetResponseIsAMenuItemOffByDefault() {
    quoll::SetAutoGetResponse(true);
    FakePrompts prompts;
    MainWindow form(prompts);
    QAction* item = Action(form, "getResponseAction");
    QVERIFY(item->isCheckable());
    QVERIFY(!item->isChecked());
    QVERIFY(!quoll::AutoGetResponse());
    item->trigger();
    QVERIFY(quoll::AutoGetResponse());
    item->trigger();
    QVERIFY(!quoll::AutoGetResponse());
  }

  void ReadersPaneShowsStatesIndexesAndTheParsedAtr() {
    FakePrompts prompts;
    MainWindow form(prompts);
    quoll::ReadersPane* pane = form.Readers();
    QCOMPARE(pane->Tree()->topLevelItem(0)->text(0), QString("Waiting for the PC/SC service..."));
    ReaderSnapshot snapshot{true, "", {}};
    snapshot.readers = {{"Reader A", SCARD_STATE_PRESENT, {0x3B, 0x00}},
                        {"Reader B", SCARD_STATE_EMPTY, {}},
                        {"Reader C", SCARD_STATE_PRESENT | SCARD_STATE_INUSE, {0x3B, 0x80, 0x01, 0x81}},
                        {"Reader D", SCARD_STATE_PRESENT | SCARD_STATE_MUTE, {}}};
    pane->ShowSnapshot(snapshot);
    pane->ShowScriptReaders({"Reader A", "Reader B"}, {"Reader A"});
    QCOMPARE(pane->StateOf("Reader A"), QString("connected by this program"));
    QCOMPARE(pane->StateOf("Reader B"), QString("no card"));
    QCOMPARE(pane->StateOf("Reader C"), QString("in use by another"));
    QCOMPARE(pane->StateOf("Reader D"), QString("card mute"));
    QTreeWidget* tree = pane->Tree();
    QCOMPARE(tree->topLevelItem(0)->text(1), QString("1"));
    QCOMPARE(tree->topLevelItem(1)->text(1), QString("2"));
    QCOMPARE(tree->topLevelItem(2)->text(1), QString());
    QCOMPARE(tree->topLevelItem(2)->text(3), QString("3B 80 01 81"));
    QVERIFY(tree->topLevelItem(2)->childCount() > 3);
    QCOMPARE(tree->topLevelItem(2)->child(0)->text(0), QString("ATR = 3B 80 01 81"));
    QCOMPARE(tree->topLevelItem(1)->childCount(), 0);
    // The connection closed: the card is just present again.
    pane->ShowScriptReaders({"Reader A", "Reader B"}, {});
    QCOMPARE(pane->StateOf("Reader A"), QString("card present"));
    pane->ShowSnapshot({false, "SCardEstablishContext: Service not available. (0x8010001D)", {}});
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->text(0),
             QString("PC/SC unavailable: SCardEstablishContext: Service not available. (0x8010001D)"));
    pane->ShowSnapshot({true, "", {}});
    QCOMPARE(tree->topLevelItem(0)->text(0), QString("No reader attached"));
  }
};

std::unique_ptr<QObject> NewCardPanesTest() {
  return std::make_unique<CardPanesTest>();
}

}  // namespace quoll_test

#include "card_panes_test.moc"
