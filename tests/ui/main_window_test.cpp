// The main window: action enable and check rules in each run state, the title, NONAME numbering,
// running with output, Stop, Readln, the output-pane toggle and closing the program.
#include <QDir>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

#include "fake_prompts.h"
#include "ui/editor_window.h"
#include "ui/script_editor.h"
#include "ui/watch_window.h"
#include "ui_test_support.h"

namespace quoll_test {

using quoll::EditorWindow;
using quoll::MainWindow;

// The enabled state of the named actions, for compact comparisons.
QString Enabled(MainWindow& form, const QStringList& names) {
  QStringList on;
  for (const QString& name : names)
    if (Action(form, name.toLatin1().constData())->isEnabled()) on << name;
  return on.join(' ');
}

const QStringList kRunActions = {"runAction", "stepAction", "stopAction", "breakpointAction"};

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString oldDir_;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    oldDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());  // NONAME files of a test may not come from elsewhere
  }
  void cleanupTestCase() { QDir::setCurrent(oldDir_); }

  void WithoutEditorOnlyTheAlwaysActionsAreEnabled() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    QCOMPARE(form.windowTitle(), QString("Quoll"));
    QCOMPARE(Enabled(form, {"newFileAction", "openFileAction", "closeFileAction", "saveFileAction",
                            "saveFileAsAction", "exitAction", "cascadeAction", "helpAction", "aboutAction"}),
             QString("newFileAction openFileAction exitAction helpAction aboutAction"));
    QCOMPARE(Enabled(form, kRunActions), QString());
    QVERIFY(Action(form, "viewToolBarAction")->isChecked());
    QVERIFY(Action(form, "viewOutputAction")->isChecked());
    QVERIFY(!Action(form, "viewWatchAction")->isChecked());
    Action(form, "viewWatchAction")->trigger();
    QVERIFY(form.Watches()->isVisible());
    QVERIFY(Action(form, "viewWatchAction")->isChecked());
    Action(form, "viewToolBarAction")->trigger();
    QVERIFY(!Action(form, "viewToolBarAction")->isChecked());
    QCOMPARE(Action(form, "stopAction")->shortcut(), QKeySequence("Shift+F5"));
    QCOMPARE(Action(form, "newFileAction")->toolTip(), QString("New"));
    QCOMPARE(Action(form, "newFileAction")->statusTip(), QString("Create a new file"));
  }

  void NewWindowsAreNumberedByTheWindowsOpenNow() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    EditorWindow* first = form.ActiveEditor();
    QCOMPARE(first->windowTitle(), QString("NONAME1"));
    QVERIFY(first->parentWidget()->isMaximized());
    Action(form, "newFileAction")->trigger();
    QCOMPARE(form.ActiveEditor()->windowTitle(), QString("NONAME2"));
    QCOMPARE(Enabled(form, kRunActions), QString("runAction stepAction breakpointAction"));
    Action(form, "closeFileAction")->trigger();  // unchanged: closes without a question
    Flush();
    Action(form, "newFileAction")->trigger();
    QCOMPARE(form.ActiveEditor()->windowTitle(), QString("NONAME2"));
    QCOMPARE(form.Editors().size(), 2);
    QVERIFY(prompts.questions.isEmpty());
  }

  void RunWritesTheOutputAndStopEndsARunningScript() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    form.ActiveEditor()->Editor()->setText(
        "begin\r\n  Writeln('looping');\r\n  while True do begin end;\r\nend.");
    QString title, enabled;
    auto looping = [&form] { return OutputLines(form).contains("looping"); };
    When(form, looping, [&] {
      title = form.windowTitle();
      enabled = Enabled(form, kRunActions);
      Action(form, "stopAction")->trigger();
    });
    Action(form, "runAction")->trigger();
    QVERIFY2(title.startsWith("Quoll [run]"), qPrintable(title));
    QCOMPARE(enabled, QString("stopAction breakpointAction"));
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "looping", "User break.", "Script finished, no errors."}));
    QCOMPARE(form.windowTitle(), QString("Quoll - [NONAME1*]"));  // with the maximised window's name
    QCOMPARE(Enabled(form, kRunActions), QString("runAction stepAction breakpointAction"));
  }

  void StepPausesAtTheFirstStatementAndRunContinues() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    EditorWindow* editor = form.ActiveEditor();
    editor->Editor()->setText("begin\r\n  Writeln('a');\r\n  Writeln('b');\r\nend.");
    QString title, enabled;
    int executionLine = -2;
    QStringList outputWhilePaused;
    When(form, InState(form, quoll::RunState::Paused), [&] {
      title = form.windowTitle();
      enabled = Enabled(form, kRunActions);
      executionLine = editor->Editor()->ExecutionLine();
      outputWhilePaused = OutputLines(form);
      Action(form, "runAction")->trigger();
    });
    Action(form, "stepAction")->trigger();
    QVERIFY2(title.startsWith("Quoll [break]"), qPrintable(title));
    QCOMPARE(enabled, QString("runAction stepAction stopAction breakpointAction"));
    QCOMPARE(executionLine, 1);
    QCOMPARE(outputWhilePaused, QStringList({"Script is running."}));
    QCOMPARE(OutputLines(form), QStringList({"Script is running.", "a", "b", "Script finished, no errors."}));
    QCOMPARE(editor->Editor()->ExecutionLine(), -1);
  }

  // Step while paused with another window active: the paused script goes on in its own window.
  void StepWhilePausedKeepsTheRunningWindow() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    EditorWindow* running = form.ActiveEditor();
    running->Editor()->setText("begin\r\n  Writeln('a');\r\n  Writeln('b');\r\nend.");
    EditorWindow* other = nullptr;
    int runningLine = -2, otherLine = -2;
    When(form, InState(form, quoll::RunState::Paused), [&] {
      other = form.CreateEditorWindow("other");
      auto atSecondStatement = [&form] {
        return form.Host().State() == quoll::RunState::Paused && form.Host().LastPausePosition() > 9;
      };
      When(form, atSecondStatement, [&] {
        runningLine = running->Editor()->ExecutionLine();
        otherLine = other->Editor()->ExecutionLine();
        QVERIFY(form.RunningEditor() == running);
        Action(form, "runAction")->trigger();
      });
      Action(form, "stepAction")->trigger();
    });
    Action(form, "stepAction")->trigger();
    QVERIFY(other);
    QCOMPARE(runningLine, 2);
    QCOMPARE(otherLine, -1);
    QCOMPARE(OutputLines(form), QStringList({"Script is running.", "a", "b", "Script finished, no errors."}));
  }

  // A failing initialisation is reported and the window opens; Run first retries it and runs only
  // once it succeeds.
  void AFailedHostInitialisationIsReportedAndRetriedByRun() {
    FakePrompts prompts;
    int calls = 0;
    MainWindow form(prompts, nullptr, [&calls](quoll::ScriptHost& host) {
      if (++calls < 3) throw std::runtime_error("no engine");
      host.Initialize();
    });
    form.show();
    QCOMPARE(prompts.messages, QStringList({"Script init error!"}));
    QCOMPARE(form.windowTitle(), QString("Quoll"));
    Action(form, "newFileAction")->trigger();
    form.ActiveEditor()->Editor()->setText("begin\r\n  Writeln('up');\r\nend.");
    Action(form, "runAction")->trigger();
    QCOMPARE(prompts.messages.size(), 2);
    QCOMPARE(form.Host().State(), quoll::RunState::Idle);
    QVERIFY(form.RunningEditor() == nullptr);
    Action(form, "runAction")->trigger();
    QCOMPARE(OutputLines(form), QStringList({"Script is running.", "up", "Script finished, no errors."}));
    QCOMPARE(prompts.messages.size(), 2);
  }

  // Stop clears the running editor; the execution line still goes when the run ends.
  void StopAtABreakpointEndsTheRunAndRemovesTheExecutionLine() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    EditorWindow* editor = form.ActiveEditor();
    editor->Editor()->setText(
        "var i: Integer;\r\nbegin\r\n  for i := 1 to 3 do\r\n    Writeln('x');\r\nend.");
    editor->Editor()->setCursorPosition(3, 0);
    Action(form, "breakpointAction")->trigger();
    QString title;
    int executionLine = -2;
    When(form, InState(form, quoll::RunState::Paused), [&] {
      title = form.windowTitle();
      executionLine = editor->Editor()->ExecutionLine();
      Action(form, "stopAction")->trigger();
    });
    Action(form, "runAction")->trigger();
    QVERIFY2(title.startsWith("Quoll [break]"), qPrintable(title));
    QCOMPARE(executionLine, 3);
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "User break.", "Script finished, no errors."}));
    QCOMPARE(editor->Editor()->ExecutionLine(), -1);
    QVERIFY(form.RunningEditor() == nullptr);
  }

  // The window whose script is paused goes away inside the run; the run still ends cleanly.
  void ClosingTheProgramWhilePausedStopsTheScript() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    form.ActiveEditor()->Editor()->setText("begin\r\n  Writeln('a');\r\nend.");
    bool closed = false;
    When(form, InState(form, quoll::RunState::Paused), [&] {
      prompts.answers = {quoll::UserPrompts::Answer::Yes, quoll::UserPrompts::Answer::No};
      closed = form.close();
      Flush();
    });
    Action(form, "stepAction")->trigger();
    Flush();
    QVERIFY(closed);
    QCOMPARE(prompts.questions, QStringList({"The script is running, stop?", "Script changed, save?"}));
    QCOMPARE(form.Editors().size(), 0);
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "User break.", "Script finished, no errors."}));
  }

  void ReadlnAsksWithCaptionAndPromptAndCancelGivesTheEmptyText() {
    FakePrompts prompts;
    prompts.inputs = {QString("card 1"), QString()};
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    form.ActiveEditor()->Editor()->setText(
        "begin\r\n  Writeln('<' + Readln('Title', 'Value?') + '>');\r\n  Writeln('<' + Readln('T', 'P') + "
        "'>');\r\n"
        "end.");
    Action(form, "runAction")->trigger();
    QCOMPARE(prompts.inputPrompts, QStringList({"Title|Value?", "T|P"}));
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "<card 1>", "<>", "Script finished, no errors."}));
  }

  void OutputToggleFocusesThenHidesThenShows() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    Action(form, "newFileAction")->trigger();
    EditorWindow* editor = form.ActiveEditor();
    editor->Editor()->setFocus();
    QVERIFY(editor->Editor()->hasFocus());
    QAction* toggle = Action(form, "viewOutputAction");
    toggle->trigger();
    QVERIFY(form.Output()->isVisible());
    QVERIFY(form.Output()->hasFocus());
    toggle->trigger();
    QVERIFY(!form.Output()->isVisible());
    QVERIFY(!toggle->isChecked());
    QVERIFY(editor->Editor()->hasFocus());
    toggle->trigger();
    QVERIFY(form.Output()->isVisible());
    QVERIFY(form.Output()->hasFocus());
    QVERIFY(toggle->isChecked());
  }

  void EditActionsServeTheOutputPaneOnly() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    Action(form, "newFileAction")->trigger();
    form.WriteOutput("9000 61 1C");
    form.Output()->setFocus();
    form.Output()->selectAll();
    QCOMPARE(Enabled(form, {"cutAction", "copyAction"}), QString("cutAction copyAction"));
    Action(form, "copyAction")->trigger();
    QVERIFY(Action(form, "pasteAction")->isEnabled());
    form.ActiveEditor()->Editor()->setFocus();
    QCOMPARE(Enabled(form, {"cutAction", "copyAction", "pasteAction"}), QString());
  }

  void ClosingTheProgramAsksForChangedScriptsAndCancelKeepsItRunning() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    Action(form, "newFileAction")->trigger();
    form.ActiveEditor()->Editor()->insert("x");
    prompts.answers = {quoll::UserPrompts::Answer::Cancel};
    QVERIFY(!form.close());
    QCOMPARE(prompts.questions, QStringList({"Script changed, save?"}));
    QVERIFY(form.isVisible());
    QCOMPARE(form.Editors().size(), 2);
    prompts.answers = {quoll::UserPrompts::Answer::No};
    QVERIFY(form.close());
    Flush();
    QCOMPARE(form.Editors().size(), 0);
  }
};

std::unique_ptr<QObject> NewMainWindowTest() {
  return std::make_unique<MainWindowTest>();
}

}  // namespace quoll_test

#include "main_window_test.moc"
