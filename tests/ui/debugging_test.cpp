// Debugging in the workbench: the run states driven by the Run, Step, Stop and BreakPoint actions,
// the execution line, the caret following a run with marks, and the watch window's rows. The
// user's actions happen at exact statements through the scripted user, never after delays.
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "fake_prompts.h"
#include "ui/editor_window.h"
#include "ui/script_editor.h"
#include "ui/watch_window.h"
#include "ui_test_support.h"

namespace quoll_test {

using quoll::EditorWindow;
using quoll::MainWindow;
using quoll::RunState;
using quoll::ScriptEditor;

namespace {

QTreeWidget* WatchList(MainWindow& form) {
  return form.Watches()->List();
}

QString WatchName(MainWindow& form, int row) {
  return WatchList(form)->topLevelItem(row)->text(0);
}

QString WatchValue(MainWindow& form, int row) {
  return WatchList(form)->topLevelItem(row)->text(1);
}

bool Paused(MainWindow& form) {
  return form.Host().State() == RunState::Paused;
}

// A step of the scripted user for the next pause.
void WhenPaused(MainWindow& form, std::function<void()> action) {
  When(
      form, [&form] { return Paused(form); }, std::move(action));
}

// The run state as the title shows it: "run", "break" or "" when idle.
QString TitleState(MainWindow& form) {
  const QString title = form.windowTitle();
  if (title.contains("[break]")) return "break";
  if (title.contains("[run]")) return "run";
  return QString();
}

// What a paused script shows: the title's state, the execution line (0-based) and the first
// watch's value.
QString PauseView(MainWindow& form, EditorWindow* editor) {
  return QString("%1 %2 %3")
      .arg(TitleState(form))
      .arg(editor->Editor()->ExecutionLine())
      .arg(WatchValue(form, 0));
}

// The colours the editor paints on a line: the background right of its text and the lightest
// pixel among its characters (the text colour, blended at the glyph edges).
struct LineColours {
  QColor background;
  int lightestText = 0;  // the smallest of the red, green and blue values of the lightest pixel
};

LineColours ColoursOfLine(ScriptEditor* editor, int line) {
  using SB = QsciScintillaBase;
  const long start = editor->SendScintilla(SB::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
  const long end = editor->SendScintilla(SB::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
  const int y =
      static_cast<int>(editor->SendScintilla(SB::SCI_POINTYFROMPOSITION, 0UL, start)) +
      static_cast<int>(editor->SendScintilla(SB::SCI_TEXTHEIGHT, static_cast<unsigned long>(line))) / 2;
  const int x0 = static_cast<int>(editor->SendScintilla(SB::SCI_POINTXFROMPOSITION, 0UL, start));
  const int x1 = static_cast<int>(editor->SendScintilla(SB::SCI_POINTXFROMPOSITION, 0UL, end));
  const QImage image = editor->viewport()->grab().toImage();
  LineColours colours;
  colours.background = image.pixelColor(x1 + 20, y);
  for (int x = x0; x < x1; ++x) {
    const QColor c = image.pixelColor(x, y);
    colours.lightestText = std::max(colours.lightestText, std::min({c.red(), c.green(), c.blue()}));
  }
  return colours;
}

void PressKey(QWidget* target, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(target, &press);
}

}  // namespace

class DebuggingTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString oldDir_;

  // A shown main window with one editor holding `text`.
  static EditorWindow* OpenScript(MainWindow& form, const QString& text) {
    form.resize(900, 640);
    form.show();
    Action(form, "newFileAction")->trigger();
    EditorWindow* editor = form.ActiveEditor();
    editor->Editor()->setText(text);
    return editor;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    oldDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
  }
  void cleanupTestCase() { QDir::setCurrent(oldDir_); }

  // Step from Idle pauses at the first statement with the watches refreshed and the execution
  // line white on red; the next Step pauses at the next statement; Run finishes the script.
  void StepPausesAtEachStatementAndRunFinishes() {
    FakePrompts prompts;
    MainWindow form(prompts);
    EditorWindow* editor =
        OpenScript(form, "var Count: Integer;\r\nbegin\r\n  count := 4;\r\n  Writeln('a');\r\nend.");
    form.AddWatch("count");
    QCOMPARE(WatchValue(form, 0), QString("???"));  // no run yet
    QStringList seen;
    LineColours colours;
    WhenPaused(form, [&] {
      seen << PauseView(form, editor);
      colours = ColoursOfLine(editor->Editor(), 2);
      Action(form, "stepAction")->trigger();
    });
    WhenPaused(form, [&] {
      seen << PauseView(form, editor);
      Action(form, "runAction")->trigger();
    });
    Action(form, "stepAction")->trigger();
    QCOMPARE(seen, QStringList({"break 2 0", "break 3 4"}));
    QCOMPARE(colours.background, QColor(255, 0, 0));
    QVERIFY2(colours.lightestText > 200, qPrintable(QString::number(colours.lightestText)));
    QCOMPARE(OutputLines(form), QStringList({"Script is running.", "a", "Script finished, no errors."}));
    QCOMPARE(TitleState(form), QString());
    QCOMPARE(editor->Editor()->ExecutionLine(), -1);
    QCOMPARE(WatchValue(form, 0), QString("4"));  // the last value shown stays after the run
    QVERIFY(ScriptedUser::Of(form).Done());
  }

  // Running, a breakpoint inside a loop pauses on every pass; Run resumes each time.
  void ABreakpointInALoopPausesOnEveryPass() {
    FakePrompts prompts;
    MainWindow form(prompts);
    EditorWindow* editor = OpenScript(
        form,
        "var i: Integer;\r\nbegin\r\n  for i := 1 to 3 do\r\n  begin\r\n    Writeln('x');\r\n  end;\r\nend.");
    editor->Editor()->setCursorPosition(4, 0);
    Action(form, "breakpointAction")->trigger();
    form.AddWatch("I");
    QStringList seen;
    for (int pass = 0; pass < 3; ++pass) {
      WhenPaused(form, [&] {
        seen << PauseView(form, editor);
        Action(form, "runAction")->trigger();
      });
    }
    Action(form, "runAction")->trigger();
    QCOMPARE(seen, QStringList({"break 4 1", "break 4 2", "break 4 3"}));
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "x", "x", "x", "Script finished, no errors."}));
    QVERIFY(ScriptedUser::Of(form).Done());
  }

  // Stop while paused: "User break.", then the normal end; the title and the actions are idle
  // again, and no editor keeps an execution line.
  void StopWhilePausedEndsTheRun() {
    FakePrompts prompts;
    MainWindow form(prompts);
    EditorWindow* editor = OpenScript(form, "begin\r\n  Writeln('a');\r\n  Writeln('b');\r\nend.");
    bool stopEnabled = false;
    WhenPaused(form, [&] {
      stopEnabled = Action(form, "stopAction")->isEnabled();
      Action(form, "stopAction")->trigger();
    });
    Action(form, "stepAction")->trigger();
    QVERIFY(stopEnabled);
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "User break.", "Script finished, no errors."}));
    QCOMPARE(TitleState(form), QString());
    QVERIFY(!Action(form, "stopAction")->isEnabled());
    QCOMPARE(editor->Editor()->ExecutionLine(), -1);
  }

  // With any mark in the running editor (a bookmark will do) the selection follows the
  // statements; without marks the editor is left alone.
  void WithMarksTheCaretFollowsTheRun() {
    FakePrompts prompts;
    MainWindow form(prompts);
    const QString text = "begin\r\n  Writeln('a');\r\n  Writeln('b');\r\nend.";
    EditorWindow* editor = OpenScript(form, text);
    editor->Editor()->setCursorPosition(0, 0);
    Action(form, "runAction")->trigger();
    QCOMPARE(editor->Editor()->CaretLine(), 1);
    editor->Editor()->ToggleBookmark(1);
    QStringList followed;
    auto selected = [editor] {
      return editor->Editor()->selectedText() + QString::number(editor->Editor()->CaretLine());
    };
    When(
        form, [&] { return OutputLines(form).contains("a"); }, [&] { followed << selected(); });
    Action(form, "runAction")->trigger();
    followed << selected();
    // Events come before the selection moves on: the statement that wrote "a" is still selected.
    QCOMPARE(followed, QStringList({"W2", "W3"}));
    QCOMPARE(OutputLines(form), QStringList({"Script is running.", "a", "b", "Script finished, no errors."}));
  }

  // A breakpoint set while the script runs takes effect at the next pass through its line.
  void ABreakpointSetDuringARunPausesThere() {
    FakePrompts prompts;
    MainWindow form(prompts);
    EditorWindow* editor = OpenScript(form,
                                      "var i: Integer;\r\nbegin\r\n  for i := 1 to 5 do\r\n  begin\r\n"
                                      "    Writeln(IntToStr(i));\r\n  end;\r\nend.");
    editor->Editor()->setCursorPosition(0, 0);
    editor->Editor()->ToggleBookmark(1);  // a mark, so the breakpoint test runs from the start
    form.AddWatch("i");
    QString atPause;
    When(
        form, [&] { return OutputLines(form).contains("2"); },
        [&] {
          editor->Editor()->setCursorPosition(4, 0);
          Action(form, "breakpointAction")->trigger();
        });
    WhenPaused(form, [&] {
      atPause = PauseView(form, editor);
      Action(form, "breakpointAction")->trigger();  // the caret is on the breakpoint: off again
      Action(form, "runAction")->trigger();
    });
    Action(form, "runAction")->trigger();
    QCOMPARE(atPause, QString("break 4 3"));
    QCOMPARE(OutputLines(form),
             QStringList({"Script is running.", "1", "2", "3", "4", "5", "Script finished, no errors."}));
  }

  // "Add to watch" while paused shows the value at once; the watch window is shown and hidden
  // with Alt+3 and keeps its rows.
  void AddToWatchWhilePausedAndAltThreeKeepsTheRows() {
    FakePrompts prompts;
    MainWindow form(prompts);
    EditorWindow* window =
        OpenScript(form, "var Flag: Boolean;\r\nbegin\r\n  Flag := True;\r\n  Writeln('a');\r\nend.");
    QCOMPARE(Action(form, "viewWatchAction")->shortcut(), QKeySequence("Alt+3"));
    Action(form, "viewWatchAction")->trigger();
    QVERIFY(form.Watches()->isVisible());
    QVERIFY(form.Watches()->windowFlags() & Qt::WindowStaysOnTopHint);
    QString valueWhenAdded;
    WhenPaused(form, [&] { Action(form, "stepAction")->trigger(); });
    WhenPaused(form, [&] {                         // after Flag := True
      window->Editor()->setSelection(0, 4, 0, 8);  // "Flag" in the declaration
      QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                              window->Editor()->mapToGlobal(QPoint(5, 5)));
      QCoreApplication::sendEvent(window->Editor()->viewport(), &event);
      window->PopupMenu()->findChild<QAction*>("addToWatchAction")->trigger();
      window->PopupMenu()->hide();
      valueWhenAdded = WatchValue(form, 0);
      Action(form, "runAction")->trigger();
    });
    Action(form, "stepAction")->trigger();
    QCOMPARE(WatchName(form, 0), QString("Flag"));
    QCOMPARE(valueWhenAdded, QString("True"));
    // The keys work from the watch window as well.
    form.Watches()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.Watches()));
    QTest::keyClick(WatchList(form), Qt::Key_3, Qt::AltModifier);
    QVERIFY(!form.Watches()->isVisible());
    QVERIFY(!Action(form, "viewWatchAction")->isChecked());
    Action(form, "viewWatchAction")->trigger();
    QCOMPARE(WatchName(form, 0), QString("Flag"));
    QCOMPARE(WatchList(form)->topLevelItemCount(), 16);
  }

  // The rows' rules: any case finds a variable, Boolean and real formats, arrays give the empty
  // text even below a row with a value, unknown names "???", blank names are skipped.
  void WatchRowsShowEachKindOfValue() {
    FakePrompts prompts;
    MainWindow form(prompts);
    OpenScript(form,
               "var\r\n  MixedCase: Integer;\r\n  Ok: Boolean;\r\n  R: Real;\r\n  A: array of Integer;\r\n"
               "begin\r\n  MixedCase := 12;\r\n  Ok := False;\r\n  R := 2;\r\n  SetArrayLength(A, 3);\r\n"
               "  Writeln('set');\r\n  Writeln('end');\r\nend.");
    for (const char* name : {"mixedcase", "ok", "r", "a", "nosuch", " MIXEDCASE\t"}) form.AddWatch(name);
    WatchList(form)->topLevelItem(6)->setText(0, " \t ");
    When(
        form, [&] { return OutputLines(form).contains("set"); }, [&] { form.RefreshWatches(); });
    Action(form, "runAction")->trigger();
    QStringList values;
    for (int row = 0; row < 7; ++row) values << WatchValue(form, row);
    QCOMPARE(values, QStringList({"12", "False", "2.000000000000", "", "???", "12", ""}));
    QVERIFY(WatchList(form)->topLevelItem(6)->text(1).isNull());  // a blank name never gets a value
  }

  // Delete empties a name but keeps its value; the next watch reuses that row. When all 16
  // rows are named, a 17th watch appends a row.
  void DeleteKeepsTheValueAndTheSeventeenthWatchAppendsARow() {
    FakePrompts prompts;
    MainWindow form(prompts);
    OpenScript(form,
               "var X: Integer;\r\nbegin\r\n  X := 5;\r\n  Writeln('set');\r\n  Writeln('end');\r\nend.");
    form.AddWatch("a");
    form.AddWatch("x");
    When(
        form, [&] { return OutputLines(form).contains("set"); }, [&] { form.RefreshWatches(); });
    Action(form, "runAction")->trigger();
    QTreeWidget* list = WatchList(form);
    list->setCurrentItem(list->topLevelItem(1));
    PressKey(list, Qt::Key_Delete);
    QCOMPARE(WatchName(form, 1), QString());
    QCOMPARE(WatchValue(form, 1), QString("5"));
    form.AddWatch("b");
    QCOMPARE(WatchName(form, 1), QString("b"));
    for (int i = 0; i < 14; ++i) form.AddWatch(QString("w%1").arg(i));
    QCOMPARE(list->topLevelItemCount(), 16);
    form.AddWatch("seventeenth");
    QCOMPARE(list->topLevelItemCount(), 17);
    QCOMPARE(WatchName(form, 16), QString("seventeenth"));
  }

  // F2 or a typed character edits the selected row's name (the character starts the new name);
  // a changed name is looked up at once; nothing is edited without a selected row.
  void NamesAreEditedInPlace() {
    FakePrompts prompts;
    MainWindow form(prompts);
    OpenScript(
        form,
        "var Total: Integer;\r\nbegin\r\n  Total := 9;\r\n  Writeln('set');\r\n  Writeln('end');\r\nend.");
    form.Watches()->show();
    QTreeWidget* list = WatchList(form);
    QVERIFY(QTest::qWaitForWindowExposed(form.Watches()));
    list->setFocus();
    list->clearSelection();
    PressKey(list, Qt::Key_T, "t");
    QVERIFY(!list->findChild<QLineEdit*>());  // no selected row: no edit

    list->setCurrentItem(list->topLevelItem(0), 1);  // on the value cell: the name is still edited
    QVERIFY(list->topLevelItem(0)->isSelected());
    PressKey(list, Qt::Key_T, "t");
    auto* edit = list->findChild<QLineEdit*>();
    QVERIFY(edit);
    QCOMPARE(edit->text(), QString("t"));
    edit->setText("total");
    PressKey(edit, Qt::Key_Return);
    QCoreApplication::processEvents();  // the edit ends through a queued call
    QCOMPARE(WatchName(form, 0), QString("total"));
    QCOMPARE(WatchValue(form, 0), QString("???"));  // no run yet: no variables

    // F2 during a pause, and the new name is shown with the paused script's value.
    When(
        form, [&] { return OutputLines(form).contains("set"); },
        [&] {
          list->setCurrentItem(list->topLevelItem(1));
          PressKey(list, Qt::Key_F2);
          auto* f2Edit = list->findChild<QLineEdit*>();
          QVERIFY(f2Edit);
          f2Edit->setText("TOTAL");
          PressKey(f2Edit, Qt::Key_Return);
          QCoreApplication::processEvents();
        });
    Action(form, "runAction")->trigger();
    QCOMPARE(WatchName(form, 1), QString("TOTAL"));
    QCOMPARE(WatchValue(form, 1), QString("9"));
  }
};

std::unique_ptr<QObject> NewDebuggingTest() {
  return std::make_unique<DebuggingTest>();
}

}  // namespace quoll_test

#include "debugging_test.moc"
