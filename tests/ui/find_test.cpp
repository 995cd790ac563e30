// Find, replace and go to line in the editor windows and the output pane, through the Edit menu's
// actions and the find bar, as the user works them.
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "fake_prompts.h"
#include "ui/editor_window.h"
#include "ui/find_bar.h"
#include "ui/script_editor.h"
#include "ui_test_support.h"

namespace quoll_test {

using quoll::FindBar;
using quoll::MainWindow;
using quoll::ScriptEditor;

namespace {

const char kText[] =
    "program Find;\n"
    "var Count, Counter: Integer;\n"
    "begin\n"
    "  Count := 1;\n"
    "  Counter := count + 2;\n"
    "  Writeln(IntToStr(Counter));\n"
    "end.\n";

struct Workbench {
  FakePrompts prompts;
  MainWindow window{prompts};
  ScriptEditor* editor = nullptr;

  explicit Workbench(const QString& text) {
    window.show();
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
    Action(window, "newFileAction")->trigger();
    editor = window.ActiveEditor()->Editor();
    editor->setText(text);
    editor->setCursorPosition(0, 0);
    editor->setFocus();
  }
  FindBar& Bar() { return *window.Finder(); }
  // The selection as (line, index) of its start, and its text.
  QString Selected() const {
    int line = 0, index = 0, toLine = 0, toIndex = 0;
    editor->getSelection(&line, &index, &toLine, &toIndex);
    return QString("%1:%2 %3").arg(line + 1).arg(index).arg(editor->selectedText());
  }
  void Search(const QString& text, bool matchCase = false, bool wholeWord = false, bool regex = false) {
    Action(window, "findAction")->trigger();
    const QList<QCheckBox*> boxes = Bar().findChildren<QCheckBox*>();
    boxes[0]->setChecked(matchCase);
    boxes[1]->setChecked(wholeWord);
    boxes[2]->setChecked(regex);
    Bar().SearchField()->setText(text);
  }
};

}  // namespace

class FindTest : public QObject {
  Q_OBJECT

 private slots:
  // The options decide which words match; F3 walks forward and wraps, Shift+F3 walks back.
  void FindOptionsAndDirections() {
    struct Case {
      const char* text;
      bool matchCase, wholeWord, regex;
      QStringList forward;  // the selections F3 gives, in order, from the top
    };
    const Case cases[] = {
        {"count", false, false, false, {"2:4 Count", "2:11 Count", "4:2 Count", "5:2 Count"}},
        {"count", true, false, false, {"5:13 count", "5:13 count"}},
        {"count", false, true, false, {"2:4 Count", "4:2 Count", "5:13 count", "2:4 Count"}},
        {"Count(er)?\\b", true, false, true, {"2:4 Count", "2:11 Counter", "4:2 Count"}},
        {"c[a-z]+t\\b", true, true, true, {"5:13 count"}},
    };
    for (const Case& c : cases) {
      Workbench w(kText);
      w.Search(c.text, c.matchCase, c.wholeWord, c.regex);
      QStringList got;
      for (qsizetype i = 0; i < c.forward.size(); ++i) {
        Action(w.window, "findNextAction")->trigger();
        got << w.Selected();
      }
      QCOMPARE(got, c.forward);
    }
    Workbench w(kText);
    w.Search("Counter", true);
    Action(w.window, "findNextAction")->trigger();
    Action(w.window, "findNextAction")->trigger();
    QCOMPARE(w.Selected(), QString("5:2 Counter"));
    Action(w.window, "findPreviousAction")->trigger();
    QCOMPARE(w.Selected(), QString("2:11 Counter"));
    Action(w.window, "findPreviousAction")->trigger();  // round the top to the last one
    QCOMPARE(w.Selected(), QString("6:19 Counter"));
  }

  void NothingFoundSaysSoAndKeepsTheSelection() {
    Workbench w(kText);
    w.Search("Count", true);
    Action(w.window, "findNextAction")->trigger();
    w.Bar().SearchField()->setText("nowhere");
    QVERIFY(!w.Bar().FindNext(true));
    QCOMPARE(w.Selected(), QString("2:4 Count"));
    QCOMPARE(w.Bar().Message(), QString("\"nowhere\" not found"));
    w.Bar().SearchField()->setText("(unclosed");  // not an expression: found nowhere
    w.Bar().findChildren<QCheckBox*>()[2]->setChecked(true);
    QVERIFY(!w.Bar().FindNext(true));
  }

  // Replace all is one step of undo; a regular expression's groups go into the replacement.
  void ReplaceAllIsOneUndoStep() {
    Workbench w(kText);
    Action(w.window, "replaceAction")->trigger();
    QVERIFY(w.Bar().ReplaceField()->isVisible());
    w.Bar().findChildren<QCheckBox*>()[2]->setChecked(true);
    w.Bar().findChildren<QCheckBox*>()[0]->setChecked(true);
    w.Bar().SearchField()->setText("Count(er)?");
    w.Bar().ReplaceField()->setText("Total\\1");
    QCOMPARE(w.Bar().ReplaceAll(), 5);
    QCOMPARE(w.Bar().Message(), QString("5 replacements"));
    QCOMPARE(w.editor->text(), QString("program Find;\nvar Total, Totaler: Integer;\nbegin\n  Total := 1;\n"
                                       "  Totaler := count + 2;\n  Writeln(IntToStr(Totaler));\nend.\n"));
    w.editor->undo();
    QCOMPARE(w.editor->text(), QString(kText));
  }

  void ReplaceAllEndsOnEmptyMatches() {
    Workbench w("abc\n");
    Action(w.window, "replaceAction")->trigger();
    w.Bar().findChildren<QCheckBox*>()[2]->setChecked(true);
    w.Bar().SearchField()->setText("x*");
    w.Bar().ReplaceField()->setText("-");
    QVERIFY(w.Bar().ReplaceAll() <= 5);  // ends, whatever it made of the empty matches
  }

  // Replace changes the match that is selected and moves on to the next one.
  void ReplaceOneAtATime() {
    Workbench w(kText);
    Action(w.window, "replaceAction")->trigger();
    w.Bar().findChildren<QCheckBox*>()[0]->setChecked(true);
    w.Bar().findChildren<QCheckBox*>()[1]->setChecked(true);
    w.Bar().SearchField()->setText("Count");
    w.Bar().ReplaceField()->setText("N");
    w.Bar().ReplaceOne();  // nothing selected yet: finds the first one
    QCOMPARE(w.Selected(), QString("2:4 Count"));
    w.Bar().ReplaceOne();
    QCOMPARE(w.Selected(), QString("4:2 Count"));
    QVERIFY(w.editor->text().startsWith("program Find;\nvar N, Counter"));
  }

  void GoToLineMovesTheCaret() {
    Workbench w(kText);
    w.prompts.lineNumbers = {5, 0, 99};
    Action(w.window, "goToLineAction")->trigger();
    QCOMPARE(w.editor->CaretLine(), 5);
    QCOMPARE(w.prompts.inputPrompts.last(), QString("Go to line|1-8"));
    Action(w.window, "goToLineAction")->trigger();  // cancelled
    QCOMPARE(w.editor->CaretLine(), 5);
    Action(w.window, "goToLineAction")->trigger();  // beyond the end: the last line
    QCOMPARE(w.editor->CaretLine(), 8);
  }

  // With the keyboard in the output pane the bar searches there; it never replaces there.
  void FindInTheOutputPane() {
    Workbench w(kText);
    w.window.Output()->setPlainText("Script is running.\nresult 3\nresult 4\nScript finished, no errors.");
    w.window.Output()->setFocus();
    QVERIFY(w.window.Output()->hasFocus());
    Action(w.window, "replaceAction")->trigger();  // for an editor only
    Action(w.window, "findAction")->trigger();
    QVERIFY(!w.Bar().ReplaceField()->isVisible());
    w.Bar().SearchField()->setText("result");
    QVERIFY(w.Bar().FindNext(true));
    QCOMPARE(w.window.Output()->textCursor().blockNumber(), 1);
    QVERIFY(w.Bar().FindNext(true));
    QCOMPARE(w.window.Output()->textCursor().blockNumber(), 2);
    QVERIFY(w.Bar().FindNext(true));  // round the end
    QCOMPARE(w.window.Output()->textCursor().blockNumber(), 1);
    QCOMPARE(w.Bar().ReplaceAll(), 0);
  }

  // The bar's fields take typing, but the workbench's own keys still reach the workbench.
  void WorkbenchShortcutsWorkFromTheFindBar() {
    Workbench w("begin\n  Writeln('ran');\nend.\n");
    Action(w.window, "findAction")->trigger();
    QVERIFY(w.Bar().SearchField()->hasFocus());
    QTest::keyClicks(w.Bar().SearchField(), "Writeln");
    QCOMPARE(w.Bar().SearchField()->text(), QString("Writeln"));
    QTest::keyClick(w.Bar().SearchField(), Qt::Key_F3);
    QCOMPARE(w.Selected(), QString("2:2 Writeln"));
    QTest::keyClick(w.Bar().SearchField(), Qt::Key_F5);
    QVERIFY(OutputLines(w.window).contains("ran"));
    QTest::keyClick(w.Bar().SearchField(), Qt::Key_Escape);
    QVERIFY(!w.Bar().isVisible());
    QVERIFY(w.editor->hasFocus());
  }
};

std::unique_ptr<QObject> NewFindTest() {
  return std::make_unique<FindTest>();
}

}  // namespace quoll_test

#include "find_test.moc"
