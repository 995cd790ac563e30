// The card panes against the real stack (pcscd, vpcd, quoll-vcard; the ctest fixture starts it):
// the readers pane follows the card taken out and put back and the program's own connection,
// and the trace shows every exchange of automatic GET RESPONSE.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>

#include "fake_prompts.h"
#include "ui/editor_window.h"
#include "ui/readers_pane.h"
#include "ui/script_editor.h"
#include "ui/trace_pane.h"
#include "ui_test_support.h"

namespace quoll_test {

using quoll::MainWindow;

namespace {

const QString kReader = "Virtual PCD 00 00";
constexpr int kWaitMs = 15000;

// tests/card/pcsc_stack.py remove|insert|stop-service|start-service with the fixture's state file.
bool ChangeCard(const char* action) {
  const QString script = qEnvironmentVariable("QUOLL_PCSC_STACK_SCRIPT");
  const QString state = qEnvironmentVariable("QUOLL_PCSC_STATE");
  if (script.isEmpty() || state.isEmpty()) return false;
  return QProcess::execute("python3", {script, action, "--state", state}) == 0;
}

void RunText(MainWindow& form, const QString& text) {
  if (!form.ActiveEditor()) Action(form, "newFileAction")->trigger();
  form.ActiveEditor()->Editor()->setText(text);
  Action(form, "runAction")->trigger();
}

QStringList Kinds(quoll::TracePane* pane) {
  QStringList kinds;
  for (int row = 0; row < pane->RowCount(); ++row) kinds << pane->Model()->index(row, 3).data().toString();
  return kinds;
}

}  // namespace

class CardStackTest : public QObject {
  Q_OBJECT

 private slots:
  void ReadersPaneFollowsTheCardAndTheProgramsConnection() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    quoll::ReadersPane* pane = form.Readers();
    Action(form, "viewReadersAction")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(pane->StateOf(kReader), QString("card present"), kWaitMs);
    QTreeWidget* tree = pane->Tree();
    QTreeWidgetItem* reader = tree->findItems(kReader, Qt::MatchExactly).value(0);
    QVERIFY(reader);
    QCOMPARE(reader->text(1), QString("1"));
    QCOMPARE(reader->text(3), QString("3B 00"));
    QCOMPARE(reader->child(0)->text(0), QString("ATR = 3B 00"));
    // The second reader has no card.
    QCOMPARE(pane->StateOf("Virtual PCD 00 01"), QString("no card"));

    RunText(form, "begin OpenReader(1); end.");
    QCOMPARE(pane->StateOf(kReader), QString("connected by this program"));
    RunText(form, "begin CloseReader(1); end.");
    QTRY_COMPARE_WITH_TIMEOUT(pane->StateOf(kReader), QString("card present"), kWaitMs);

    QVERIFY(ChangeCard("remove"));
    QTRY_COMPARE_WITH_TIMEOUT(pane->StateOf(kReader), QString("no card"), kWaitMs);
    QVERIFY(ChangeCard("insert"));
    QTRY_COMPARE_WITH_TIMEOUT(pane->StateOf(kReader), QString("card present"), kWaitMs);
  }

  // Only a pcscd the fixture started may be stopped: another one belongs to someone else.
  void ReadersPaneFollowsPcscdStoppingAndStartingAgain() {
    QFile stateFile(qEnvironmentVariable("QUOLL_PCSC_STATE"));
    QVERIFY(stateFile.open(QIODevice::ReadOnly));
    const QJsonObject state = QJsonDocument::fromJson(stateFile.readAll()).object();
    if (state.value("pcscd").isNull()) QSKIP("the running pcscd was not started by the fixture");
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    quoll::ReadersPane* pane = form.Readers();
    Action(form, "viewReadersAction")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(pane->StateOf(kReader), QString("card present"), kWaitMs);
    // The other card tests need the service back, whatever fails here.
    struct Restart {
      ~Restart() { ChangeCard("start-service"); }
    } restart;
    QVERIFY(ChangeCard("stop-service"));
    // The watcher's wait may first end with a transport error; then the service is missing.
    QTRY_VERIFY_WITH_TIMEOUT(pane->Tree()->topLevelItem(0)->text(0).startsWith("PC/SC unavailable: ") &&
                                 pane->Tree()->topLevelItem(0)->text(0).endsWith("(0x8010001D)"),
                             kWaitMs);
    // A run meanwhile says why the reader functions are missing, before anything else.
    RunText(form, "begin Writeln(IntToStr(GetReaderCount)); end.");
    QVERIFY2(OutputLines(form).value(0).startsWith("PC/SC unavailable, reader functions removed: "),
             qPrintable(OutputLines(form).join('|')));
    QVERIFY(ChangeCard("start-service"));
    QTRY_COMPARE_WITH_TIMEOUT(pane->StateOf(kReader), QString("card present"), kWaitMs);
    // And the next run has its readers back, without a restart.
    RunText(form, "begin Writeln(GetReaderName(1)); end.");
    QCOMPARE(OutputLines(form), QStringList({"Script is running.", kReader, "Script finished, no errors."}));
  }

  void TraceShowsEveryExchangeOfAutomaticGetResponse() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    const QString script =
        "begin\r\n  OpenReader(1);\r\n  Writeln(SendAPDU(1, '00 A4 00 00 02 3F 00'));\r\n  "
        "CloseReader(1);\r\nend.";
    RunText(form, script);
    QCOMPARE(OutputLines(form), QStringList({"Script is running.", "6109", "Script finished, no errors."}));
    QCOMPARE(Kinds(form.Trace()), QStringList({"connect", "transmit", "disconnect"}));
    Action(form, "getResponseAction")->trigger();
    RunText(form, script);
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "6F0783023F008201389000", "Script finished, no errors."}));
    QCOMPARE(Kinds(form.Trace()), QStringList({"connect", "transmit", "get-response", "disconnect"}));
    QCOMPARE(form.Trace()->Model()->index(2, 4).data().toString(), QString("00 C0 00 00 09"));
    QCOMPARE(form.Trace()->Model()->index(2, 10).data().toString(), QString("3"));
  }
};

std::unique_ptr<QObject> NewCardStackTest() {
  return std::make_unique<CardStackTest>();
}

}  // namespace quoll_test

#include "card_stack_test.moc"
