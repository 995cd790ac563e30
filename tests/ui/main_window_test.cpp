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

using quoll::MainWindow;
using quoll::EditorWindow;

// The enabled state of the named actions, for compact comparisons.
QString Enabled(MainWindow& form, const QStringList& names) {
  QStringList on;
  for (const QString& name : names)
    if (Action(form, name.toLatin1().constData())->isEnabled()) on << name;
  return on.join(' ');
}

const QStringList kRunActions = {"ScriptRun", "ScriptStep", "ScriptStop", "ScriptBreakPoint"};

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
    QCOMPARE(Enabled(form, {"FileNew1", "FileOpen1", "FileClose1", "FileSave1", "FileSaveAs1", "FileExit1",
                            "WindowCascade1", "HelpHelp", "HelpAbout1"}),
             QString("FileNew1 FileOpen1 FileExit1 HelpHelp HelpAbout1"));
    QCOMPARE(Enabled(form, kRunActions), QString());
    QVERIFY(Action(form, "ViewToolbar")->isChecked());
    QVERIFY(Action(form, "ViewOutput")->isChecked());
    QVERIFY(!Action(form, "ViewWatch")->isChecked());
    Action(form, "ViewWatch")->trigger();
    QVERIFY(form.Watches()->isVisible());
    QVERIFY(Action(form, "ViewWatch")->isChecked());
    Action(form, "ViewToolbar")->trigger();
    QVERIFY(!Action(form, "ViewToolbar")->isChecked());
    QCOMPARE(Action(form, "ScriptStop")->shortcut(), QKeySequence("Shift+F5"));
    QCOMPARE(Action(form, "FileNew1")->toolTip(), QString("New"));
    QCOMPARE(Action(form, "FileNew1")->statusTip(), QString("Create a new file"));
  }

  void NewWindowsAreNumberedByTheWindowsOpenNow() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "FileNew1")->trigger();
    EditorWindow* first = form.ActiveEditor();
    QCOMPARE(first->windowTitle(), QString("NONAME1"));
    QVERIFY(first->parentWidget()->isMaximized());
    Action(form, "FileNew1")->trigger();
    QCOMPARE(form.ActiveEditor()->windowTitle(), QString("NONAME2"));
    QCOMPARE(Enabled(form, kRunActions), QString("ScriptRun ScriptStep ScriptBreakPoint"));
    Action(form, "FileClose1")->trigger();  // unchanged: closes without a question
    Flush();
    Action(form, "FileNew1")->trigger();
    QCOMPARE(form.ActiveEditor()->windowTitle(), QString("NONAME2"));
    QCOMPARE(form.Editors().size(), 2);
    QVERIFY(prompts.questions.isEmpty());
  }

  void RunWritesTheOutputAndStopEndsARunningScript() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "FileNew1")->trigger();
    form.ActiveEditor()->Editor()->setText(
        "begin\r\n  Writeln('looping');\r\n  while True do begin end;\r\nend.");
    QString title, enabled;
    auto looping = [&form] { return OutputLines(form).contains("looping"); };
    When(form, looping, [&] {
      title = form.windowTitle();
      enabled = Enabled(form, kRunActions);
      Action(form, "ScriptStop")->trigger();
    });
    Action(form, "ScriptRun")->trigger();
    QVERIFY2(title.startsWith("Quoll [run]"), qPrintable(title));
    QCOMPARE(enabled, QString("ScriptStop ScriptBreakPoint"));
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "looping", "User break.", "Script finished, no errors."}));
    QCOMPARE(form.windowTitle(), QString("Quoll - [NONAME1*]"));  // with the maximised window's name
    QCOMPARE(Enabled(form, kRunActions), QString("ScriptRun ScriptStep ScriptBreakPoint"));
  }

  void StepPausesAtTheFirstStatementAndRunContinues() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "FileNew1")->trigger();
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
      Action(form, "ScriptRun")->trigger();
    });
    Action(form, "ScriptStep")->trigger();
    QVERIFY2(title.startsWith("Quoll [break]"), qPrintable(title));
    QCOMPARE(enabled, QString("ScriptRun ScriptStep ScriptStop ScriptBreakPoint"));
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
    Action(form, "FileNew1")->trigger();
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
        Action(form, "ScriptRun")->trigger();
      });
      Action(form, "ScriptStep")->trigger();
    });
    Action(form, "ScriptStep")->trigger();
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
    Action(form, "FileNew1")->trigger();
    form.ActiveEditor()->Editor()->setText("begin\r\n  Writeln('up');\r\nend.");
    Action(form, "ScriptRun")->trigger();
    QCOMPARE(prompts.messages.size(), 2);
    QCOMPARE(form.Host().State(), quoll::RunState::Idle);
    QVERIFY(form.RunningEditor() == nullptr);
    Action(form, "ScriptRun")->trigger();
    QCOMPARE(OutputLines(form), QStringList({"Script is running.", "up", "Script finished, no errors."}));
    QCOMPARE(prompts.messages.size(), 2);
  }

  // Stop clears the running editor; the execution line still goes when the run ends.
  void StopAtABreakpointEndsTheRunAndRemovesTheExecutionLine() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "FileNew1")->trigger();
    EditorWindow* editor = form.ActiveEditor();
    editor->Editor()->setText(
        "var i: Integer;\r\nbegin\r\n  for i := 1 to 3 do\r\n    Writeln('x');\r\nend.");
    editor->Editor()->setCursorPosition(3, 0);
    Action(form, "ScriptBreakPoint")->trigger();
    QString title;
    int executionLine = -2;
    When(form, InState(form, quoll::RunState::Paused), [&] {
      title = form.windowTitle();
      executionLine = editor->Editor()->ExecutionLine();
      Action(form, "ScriptStop")->trigger();
    });
    Action(form, "ScriptRun")->trigger();
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
    Action(form, "FileNew1")->trigger();
    form.ActiveEditor()->Editor()->setText("begin\r\n  Writeln('a');\r\nend.");
    bool closed = false;
    When(form, InState(form, quoll::RunState::Paused), [&] {
      prompts.answers = {quoll::UserPrompts::Answer::Yes, quoll::UserPrompts::Answer::No};
      closed = form.close();
      Flush();
    });
    Action(form, "ScriptStep")->trigger();
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
    Action(form, "FileNew1")->trigger();
    form.ActiveEditor()->Editor()->setText(
        "begin\r\n  Writeln('<' + Readln('Title', 'Value?') + '>');\r\n  Writeln('<' + Readln('T', 'P') + "
        "'>');\r\n"
        "end.");
    Action(form, "ScriptRun")->trigger();
    QCOMPARE(prompts.inputPrompts, QStringList({"Title|Value?", "T|P"}));
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "<card 1>", "<>", "Script finished, no errors."}));
  }

  void OutputToggleFocusesThenHidesThenShows() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    Action(form, "FileNew1")->trigger();
    EditorWindow* editor = form.ActiveEditor();
    editor->Editor()->setFocus();
    QVERIFY(editor->Editor()->hasFocus());
    QAction* toggle = Action(form, "ViewOutput");
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
    Action(form, "FileNew1")->trigger();
    form.WriteOutput("9000 61 1C");
    form.Output()->setFocus();
    form.Output()->selectAll();
    QCOMPARE(Enabled(form, {"EditCut1", "EditCopy1"}), QString("EditCut1 EditCopy1"));
    Action(form, "EditCopy1")->trigger();
    QVERIFY(Action(form, "EditPaste1")->isEnabled());
    form.ActiveEditor()->Editor()->setFocus();
    QCOMPARE(Enabled(form, {"EditCut1", "EditCopy1", "EditPaste1"}), QString());
  }

  void ClosingTheProgramAsksForChangedScriptsAndCancelKeepsItRunning() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "FileNew1")->trigger();
    Action(form, "FileNew1")->trigger();
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
