// Script forms in the workbench: real widgets driven by QTest clicks and keys at exact statements
// of a run (the scripted user), every notification reaching its handler with the control as
// Sender, keys replaced and suppressed, close queries, and the hard cases: a click while the
// script is paused, Stop inside a handler, a failing or re-entrant handler, a handler that frees
// its own control, and the workbench closed while a script form is open.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "fake_prompts.h"
#include "libs/forms/forms_host.h"
#include "libs/forms/forms_library.h"
#include "ui/editor_window.h"
#include "ui/script_editor.h"
#include "ui_test_support.h"

namespace quoll_test {

using quoll::MainWindow;
using quoll::RunState;

namespace {

// A workbench whose host offers the forms library.
std::unique_ptr<MainWindow> Workbench(FakePrompts& prompts) {
  auto form = std::make_unique<MainWindow>(prompts, nullptr, [](quoll::ScriptHost& host) {
    quoll::forms::AddFormsLibrary(host);
    host.Initialize();
  });
  form->show();
  Action(*form, "newFileAction")->trigger();
  return form;
}

// The script's lines joined as the editor holds them.
void SetScript(MainWindow& form, const QStringList& lines) {
  form.ActiveEditor()->Editor()->setText(lines.join("\r\n"));
}

// The visible window of a script form with that title.
QWidget* ScriptWindow(const QString& title) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->property("quollControl").isValid() && w->isVisible() && w->windowTitle() == title) return w;
  return nullptr;
}

std::function<bool()> FormShown(const QString& title) {
  return [title] { return ScriptWindow(title) != nullptr; };
}

template <typename W>
W* Child(const QString& title, int index = 0) {
  QWidget* window = ScriptWindow(title);
  if (!window) return nullptr;
  const QList<W*> all = window->findChildren<W*>(Qt::FindDirectChildrenOnly);
  return index < all.size() ? all[index] : nullptr;
}

// The output lines after "Script is running." up to the status line.
QStringList ScriptLinesRaw(MainWindow& form);
QStringList ScriptLines(MainWindow& form) {
  QStringList l = ScriptLinesRaw(form);
  if (qEnvironmentVariableIsSet("FORMS_DEBUG")) qDebug() << l;
  return l;
}
QStringList ScriptLinesRaw(MainWindow& form) {
  QStringList lines = OutputLines(form);
  if (!lines.isEmpty() && lines.front() == "Script is running.") lines.removeFirst();
  return lines;
}

// A form titled T with a button B, an edit E, a label L and a memo M, each handler writing what
// it heard and from whom; the script waits until the form is closed.
const QStringList kEveryNotification = {
    "var F: TForm; B: TButton; E: TEdit; L: TLabel; M: TMemo; Closes: Integer;",
    "procedure Clicked(Sender: TObject); begin Writeln('click ' + Sender.ClassName); end;",
    "procedure Doubled(Sender: TObject); begin Writeln('dblclick ' + Sender.ClassName); end;",
    "procedure Changed(Sender: TObject); begin Writeln('change ' + Sender.ClassName); end;",
    "procedure Typed(Sender: TObject; var Key: Char);",
    "begin if Key = Chr(13) then Writeln('key enter ' + Sender.ClassName) else Writeln('key ' + Key + ' ' + "
    "Sender.ClassName); end;",
    "procedure Closing(Sender: TObject; var CanClose: Boolean);",
    "begin Closes := Closes + 1; CanClose := Closes > 1; Writeln('close query ' + TForm(Sender).Caption); "
    "end;",
    "begin",
    "  F := TForm.Create; F.Caption := 'T'; F.SetBounds(0, 0, 300, 240);",
    "  F.OnClick := @Clicked; F.OnDblClick := @Doubled; F.OnCloseQuery := @Closing;",
    "  B := TButton.Create(F); B.SetBounds(10, 10, 75, 25); B.Caption := 'Go'; B.Default := True;",
    "  B.OnClick := @Clicked; B.OnKeyPress := @Typed;",
    "  E := TEdit.Create(F); E.SetBounds(10, 50, 120, 24);",
    "  E.OnClick := @Clicked; E.OnDblClick := @Doubled; E.OnChange := @Changed; E.OnKeyPress := @Typed;",
    "  L := TLabel.Create(F); L.SetBounds(10, 90, 60, 20); L.Caption := 'Label';",
    "  L.OnClick := @Clicked; L.OnDblClick := @Doubled;",
    "  M := TMemo.Create(F); M.SetBounds(10, 120, 200, 80);",
    "  M.OnClick := @Clicked; M.OnDblClick := @Doubled; M.OnChange := @Changed; M.OnKeyPress := @Typed;",
    "  F.Visible := True;",
    "  while F.Visible do ProcessMessages;",
    "  Writeln('edit ' + E.Text);",
    "end."};

// A form T with a button whose click handler is the procedure `handler` given.
QStringList ButtonScript(const QStringList& handler,
                         const QStringList& afterShow = {"while F.Visible do ProcessMessages;"}) {
  QStringList lines = {"var F: TForm; B: TButton; Depth, Zero: Integer;"};
  lines << handler;
  lines << "begin"
        << "  F := TForm.Create; F.Caption := 'T';"
        << "  B := TButton.Create(F); B.Caption := 'Go'; B.OnClick := @Clicked;"
        << "  F.Visible := True;";
  lines << afterShow;
  lines << "end.";
  return lines;
}

}  // namespace

class FormsTest : public QObject {
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
  // Whatever a test did, its run's clean-up freed every control.
  void cleanup() { QCOMPARE(quoll::forms::LiveControlCount(), size_t{0}); }

  void EveryNotificationReachesItsHandlerWithTheControlAsSender() {
    FakePrompts prompts;
    auto form = Workbench(prompts);
    SetScript(*form, kEveryNotification);
    When(*form, FormShown("T"), [] {
      QWidget* window = ScriptWindow("T");
      QTest::mouseClick(Child<QPushButton>("T"), Qt::LeftButton);
      auto* edit = Child<QLineEdit>("T");
      QTest::mouseClick(edit, Qt::LeftButton);
      QTest::mouseDClick(edit, Qt::LeftButton);
      edit->setFocus();
      QTest::keyClick(edit, Qt::Key_A);
      QTest::keyClick(edit, Qt::Key_Return);  // Enter: the default button
      QTest::keyClick(edit, Qt::Key_Left);    // no character: no key handler
      auto* label = Child<QLabel>("T");
      QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
      QTest::mouseDClick(label, Qt::LeftButton, {}, QPoint(5, 5));
      auto* memo = Child<QPlainTextEdit>("T");
      QTest::mouseClick(memo->viewport(), Qt::LeftButton);
      QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
      memo->setFocus();
      QTest::keyClick(memo, Qt::Key_Z);
      QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(250, 220));
      QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(250, 220));
      window->close();  // refused by the handler the first time
      QVERIFY(window->isVisible());
      window->close();
    });
    Action(*form, "runAction")->trigger();
    QVERIFY(ScriptedUser::Of(*form).Done());
    const QStringList expected = {"click TBUTTON",
                                  "click TEDIT",
                                  "dblclick TEDIT",
                                  "key a TEDIT",
                                  "change TEDIT",
                                  "key enter TEDIT",
                                  "click TBUTTON",
                                  "click TLABEL",
                                  "dblclick TLABEL",
                                  "click TMEMO",
                                  "dblclick TMEMO",
                                  "key z TMEMO",
                                  "change TMEMO",
                                  "click TFORM",
                                  "dblclick TFORM",
                                  "close query T",
                                  "close query T",
                                  "edit a",
                                  "Script finished, no errors."};
    QCOMPARE(ScriptLines(*form), expected);
  }

  void AKeyPressHandlerReplacesOrSuppressesTheKey() {
    FakePrompts prompts;
    auto form = Workbench(prompts);
    SetScript(*form,
              {"var F: TForm; E: TEdit; M: TMemo;", "procedure Typed(Sender: TObject; var Key: Char);",
               "begin if Key = Chr(97) then Key := 'b'; if Key = Chr(120) then Key := Chr(0); end;", "begin",
               "  F := TForm.Create; F.Caption := 'K';", "  E := TEdit.Create(F); E.OnKeyPress := @Typed;",
               "  M := TMemo.Create(F); M.Top := 40; M.OnKeyPress := @Typed;", "  F.Visible := True;",
               "  while F.Visible do ProcessMessages;", "  Writeln(E.Text + '|' + M.Text);", "end."});
    When(*form, FormShown("K"), [] {
      auto* edit = Child<QLineEdit>("K");
      auto* memo = Child<QPlainTextEdit>("K");
      QTest::keyClicks(edit, "axca");
      QTest::keyClicks(memo, "xa");
      // Beyond the byte range: no handler, the character as typed.
      QKeyEvent smiley(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x263A)));
      QApplication::sendEvent(edit, &smiley);
      ScriptWindow("K")->close();
    });
    Action(*form, "runAction")->trigger();
    QCOMPARE(ScriptLines(*form), QStringList({"bcb\u263A|b", "Script finished, no errors."}));
  }

  // A paused script runs none of its handlers: the click is held back, not queued.
  void AClickWhilePausedAtABreakpointRunsNoHandler() {
    FakePrompts prompts;
    auto form = Workbench(prompts);
    SetScript(*form, ButtonScript({"procedure Clicked(Sender: TObject); begin Writeln('clicked'); end;"},
                                  {"  Writeln('shown');", "  Writeln('after');"}));
    quoll::EditorWindow* editor = form->ActiveEditor();
    editor->Editor()->setCursorPosition(7, 0);  // Writeln('after')
    Action(*form, "breakpointAction")->trigger();
    bool pausedClickRan = true;
    When(*form, InState(*form, RunState::Paused), [&] {
      QTest::mouseClick(Child<QPushButton>("T"), Qt::LeftButton);
      pausedClickRan = ScriptLines(*form).contains("clicked");
      Action(*form, "runAction")->trigger();
    });
    Action(*form, "runAction")->trigger();
    QVERIFY(!pausedClickRan);
    QCOMPARE(ScriptLines(*form), QStringList({"shown", "after", "Script finished, no errors."}));
  }

  void StopWhileAHandlerRunsEndsTheRun() {
    FakePrompts prompts;
    auto form = Workbench(prompts);
    SetScript(*form, ButtonScript({"procedure Clicked(Sender: TObject);",
                                   "begin Writeln('in handler'); while True do begin end; end;"}));
    When(*form, FormShown("T"), [] { Child<QPushButton>("T")->click(); });
    When(
        *form, [&] { return ScriptLines(*form).contains("in handler"); },
        [&] { Action(*form, "stopAction")->trigger(); });
    Action(*form, "runAction")->trigger();
    QCOMPARE(ScriptLines(*form), QStringList({"in handler", "User break.", "Script finished, no errors."}));
    QVERIFY(!ScriptWindow("T"));
  }

  void AnErrorInAHandlerEndsTheRunWithIt() {
    FakePrompts prompts;
    auto form = Workbench(prompts);
    SetScript(*form,
              ButtonScript({"procedure Clicked(Sender: TObject);", "begin Depth := 1 div Zero; end;"}));
    When(*form, FormShown("T"), [] {
      Child<QPushButton>("T")->click();
      Child<QPushButton>("T")->click();  // the run has failed: no second handler
    });
    Action(*form, "runAction")->trigger();
    const QStringList lines = ScriptLines(*form);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith("Error in MAIN(") && lines[0].endsWith(") divide by zero"),
             qPrintable(lines[0]));
    QVERIFY(!ScriptWindow("T"));
  }

  // A handler that pumps again hears the next click inside its own run.
  void AHandlerThatCallsProcessMessagesAgainNests() {
    FakePrompts prompts;
    auto form = Workbench(prompts);
    SetScript(
        *form,
        ButtonScript({"var Inner: Boolean;", "procedure Clicked(Sender: TObject);",
                      "begin Depth := Depth + 1;", "  if Depth = 1 then begin Writeln('outer enter');",
                      "    while not Inner do ProcessMessages;", "    Writeln('outer leave'); F.Close; end",
                      "  else begin Writeln('inner'); Inner := True; end;", "end;"}));
    When(*form, FormShown("T"), [] { Child<QPushButton>("T")->click(); });
    When(
        *form, [&] { return ScriptLines(*form).contains("outer enter"); },
        [] { QTest::mouseClick(Child<QPushButton>("T"), Qt::LeftButton); });
    Action(*form, "runAction")->trigger();
    QCOMPARE(ScriptLines(*form),
             QStringList({"outer enter", "inner", "outer leave", "Script finished, no errors."}));
  }

  void AHandlerMayFreeItsOwnControl() {
    FakePrompts prompts;
    auto form = Workbench(prompts);
    SetScript(*form,
              {"var F: TForm; B: TButton; E: TEdit; Done: Boolean;",
               "procedure Clicked(Sender: TObject); begin Sender.Free; Writeln('freed'); end;",
               "procedure Typed(Sender: TObject; var Key: Char); begin E.Free; Key := 'q'; end;",
               "procedure Closing(Sender: TObject; var CanClose: Boolean); begin F.Free; Done := True; end;",
               "begin", "  F := TForm.Create; F.Caption := 'T'; F.OnCloseQuery := @Closing;",
               "  B := TButton.Create(F); B.OnClick := @Clicked;",
               "  E := TEdit.Create(F); E.Top := 40; E.OnKeyPress := @Typed;", "  F.Visible := True;",
               "  while not Done do ProcessMessages;",
               "  try B.Caption := 'x'; except Writeln('button gone'); end;",
               "  try E.Text := 'x'; except Writeln('edit gone'); end;",
               "  try F.Caption := 'x'; except Writeln('form gone'); end;", "end."});
    When(*form, FormShown("T"), [] {
      QPointer<QLineEdit> edit = Child<QLineEdit>("T");
      QTest::mouseClick(Child<QPushButton>("T"), Qt::LeftButton);
      QTest::keyClick(edit.data(), Qt::Key_A);
      ScriptWindow("T")->close();
    });
    Action(*form, "runAction")->trigger();
    QCOMPARE(ScriptLines(*form),
             QStringList({"freed", "button gone", "edit gone", "form gone", "Script finished, no errors."}));
  }

  void AFormLeftBehindGoesWithTheRun() {
    FakePrompts prompts;
    auto form = Workbench(prompts);
    SetScript(*form, {"var F: TForm; B: TButton;", "begin", "  F := TForm.Create; F.Caption := 'Left';",
                      "  B := TButton.Create(F); F.Visible := True; ProcessMessages;",
                      "  if F.Visible then Writeln('shown');", "end."});
    Action(*form, "runAction")->trigger();
    QCOMPARE(ScriptLines(*form), QStringList({"shown", "Script finished, no errors."}));
    QVERIFY(!ScriptWindow("Left"));
  }

  void ClosingTheWorkbenchWithAScriptFormOpenStopsTheRun() {
    FakePrompts prompts;
    auto form = Workbench(prompts);
    SetScript(*form, ButtonScript({"procedure Clicked(Sender: TObject); begin end;"}));
    bool closed = false;
    When(*form, FormShown("T"), [&] {
      prompts.answers = {quoll::UserPrompts::Answer::Yes, quoll::UserPrompts::Answer::No};
      closed = form->close();
    });
    Action(*form, "runAction")->trigger();
    QVERIFY(closed);
    QVERIFY(!form->isVisible());
    QCOMPARE(ScriptLines(*form), QStringList({"User break.", "Script finished, no errors."}));
    QVERIFY(!ScriptWindow("T"));
    form.reset();
    Flush();
  }
};

std::unique_ptr<QObject> NewFormsTest() {
  return std::make_unique<FormsTest>();
}

}  // namespace quoll_test

#include "forms_test.moc"
