// Editor windows: titles and saving, a failed save (a file size limit, a full disk), the close query, engine
// positions in the editor, marks, the "Add to watch" rule and the caret text.
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "fake_prompts.h"
#include "ui/editor_window.h"
#include "ui/pascal_scanner.h"
#include "ui/script_editor.h"
#include "ui/watch_window.h"
#include "ui_test_support.h"

namespace quoll_test {

using quoll::EditorWindow;
using quoll::MainWindow;
using quoll::ScriptEditor;
using Answer = quoll::UserPrompts::Answer;

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Limits the size of files this process may write, for as long as it lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

 private:
  rlimit old_{};
};

// A tmpfs of the given size mounted on a directory for as long as it lives; it needs root, and
// Problem() says why it is not mounted when it is not.
class SmallTmpfs {
 public:
  SmallTmpfs(const QString& dir, const QByteArray& options) : dir_(QFile::encodeName(dir)) {
    if (::geteuid() != 0)
      problem_ = "mounting a tmpfs needs root";
    else if (::mount("tmpfs", dir_.constData(), "tmpfs", 0, options.constData()) != 0)
      problem_ = QString("mount failed: ") + std::strerror(errno);
  }
  ~SmallTmpfs() {
    if (problem_.isEmpty()) ::umount2(dir_.constData(), MNT_DETACH);
  }
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;

  const QString& Problem() const { return problem_; }

 private:
  QByteArray dir_;
  QString problem_;
};

// Writes a new file until its file system has no room left; true when it ends that way.
bool FillFileSystem(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) return false;
  const QByteArray block(4096, 'f');
  ssize_t n = 0;
  while ((n = ::write(fd, block.constData(), block.size())) > 0) {
  }
  const bool full = n < 0 && errno == ENOSPC;
  ::close(fd);
  return full;
}

class EditorWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const char* name) const { return dir_.filePath(name); }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void SavingANewWindowAsksForANameOnceAndSaveAsAlways() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    EditorWindow* editor = form.ActiveEditor();
    QCOMPARE(editor->windowTitle(), QString("NONAME1"));
    editor->Editor()->insert("{x}");
    QCOMPARE(editor->windowTitle(), QString("NONAME1*"));
    prompts.fileNames = {Path("first.qs")};
    Action(form, "saveFileAction")->trigger();
    QCOMPARE(prompts.saveDialogs, 1);
    QCOMPARE(editor->windowTitle(), Path("first.qs"));
    QCOMPARE(ReadAll(Path("first.qs")), QByteArray("{x}Program noname;\r\nbegin\r\n\r\nend.\r\n"));
    editor->Editor()->insert("//");
    Action(form, "saveFileAction")->trigger();
    QCOMPARE(prompts.saveDialogs, 1);
    QVERIFY(ReadAll(Path("first.qs")).startsWith("//{x}"));
    QVERIFY(!editor->Modified());
    prompts.fileNames = {QString()};  // Save As, cancelled
    Action(form, "saveFileAsAction")->trigger();
    QCOMPARE(prompts.saveDialogs, 2);
    QCOMPARE(editor->windowTitle(), Path("first.qs"));
  }

  // A path may hold a "*"; only the mark of a changed text is taken off the title.
  void AStarInTheFileNameSurvivesModifyAndSave() {
    FakePrompts prompts;
    MainWindow form(prompts);
    const QString path = Path("a*b.qs");
    QVERIFY(WriteAll(path, "begin\r\nend.\r\n"));
    EditorWindow* editor = form.CreateEditorWindow(path);
    editor->Editor()->insert(" ");
    QCOMPARE(editor->windowTitle(), path + "*");
    QVERIFY(editor->SaveScript(false));
    QCOMPARE(editor->windowTitle(), path);
    QCOMPARE(ReadAll(path), QByteArray(" begin\r\nend.\r\n"));
  }

  void AFailedSaveKeepsTheOldFileAndTheWindowState() {
    FakePrompts prompts;
    MainWindow form(prompts);
    const QString path = Path("keep.qs");
    QVERIFY(WriteAll(path, "old\r\n"));
    EditorWindow* editor = form.CreateEditorWindow(path);
    editor->Editor()->setText(QString(2 << 20, 'x'));  // past the limit; the test log stays below it
    {
      FileSizeLimit limit(1 << 20);
      QVERIFY(!editor->SaveScript(false));
    }
    QCOMPARE(prompts.errors.size(), 1);
    QVERIFY2(prompts.errors[0].startsWith("Cannot save " + path), qPrintable(prompts.errors[0]));
    QCOMPARE(ReadAll(path), QByteArray("old\r\n"));
    QCOMPARE(QDir(dir_.path()).entryList({"keep.qs*"}, QDir::Files), QStringList({"keep.qs"}));
    QVERIFY(editor->Modified());
    QCOMPARE(editor->windowTitle(), path + "*");
  }

  // A save onto a full disk: the write of the new text fails, which the save must notice before it
  // replaces the old file.
  void SavingOntoAFullDiskKeepsTheOldFileAndSaysWhy() {
    const QString dir = Path("full");
    QVERIFY(QDir().mkpath(dir));
    SmallTmpfs disk(dir, "size=64k");
    if (!disk.Problem().isEmpty()) QSKIP(qPrintable("no full file system to save onto: " + disk.Problem()));
    const QString path = dir + "/full.qs";
    const QByteArray old = "begin\r\n  Writeln('old');\r\nend.\r\n";
    QVERIFY(WriteAll(path, old));
    QVERIFY(FillFileSystem(dir + "/filler"));
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    EditorWindow* editor = form.CreateEditorWindow(path);
    QCOMPARE(form.ActiveEditor(), editor);
    editor->Editor()->insert("x");
    Action(form, "saveFileAction")->trigger();
    QCOMPARE(ReadAll(path), old);
    QVERIFY(editor->Modified());
    QCOMPARE(editor->windowTitle(), path + "*");
    QCOMPARE(prompts.errors, QStringList({"Cannot save " + path + ": " + std::strerror(ENOSPC)}));
    QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList({"filler", "full.qs"}));
  }

  void LoadingAndSavingKeepsTheBytesAndMakesLineBreaksCrLf() {
    FakePrompts prompts;
    MainWindow form(prompts);
    const QString path = Path("latin1.qs");
    QVERIFY(WriteAll(path, "s := 'caf\xe9';\nt := 1;\r\n"));
    EditorWindow* editor = form.CreateEditorWindow(path);
    QVERIFY(editor->Named());
    QVERIFY(!editor->Modified());
    QCOMPARE(editor->windowTitle(), path);
    QVERIFY(editor->SaveScript(false));
    QCOMPARE(ReadAll(path), QByteArray("s := 'caf\xe9';\r\nt := 1;\r\n"));
  }

  void CloseQueryOfAChangedScript() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    form.ActiveEditor()->Editor()->insert("x");
    prompts.answers = {Answer::Yes};  // save, then cancel the save dialog
    prompts.fileNames = {QString()};
    Action(form, "closeFileAction")->trigger();
    Flush();
    QCOMPARE(form.Editors().size(), 1);
    prompts.answers = {Answer::Cancel};
    Action(form, "closeFileAction")->trigger();
    Flush();
    QCOMPARE(form.Editors().size(), 1);
    prompts.answers = {Answer::No};
    Action(form, "closeFileAction")->trigger();
    Flush();
    QCOMPARE(form.Editors().size(), 0);
    QCOMPARE(prompts.questions, QStringList(3, "Script changed, save?"));
    QCOMPARE(form.CaretText(), QString());
  }

  void ClosingTheRunningScriptsWindowAsksToStopIt() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    EditorWindow* editor = form.ActiveEditor();
    editor->Editor()->setText("begin\r\n  while True do begin end;\r\nend.");
    editor->SetModified(false);
    bool openAfterNo = false;
    When(form, InState(form, quoll::RunState::Running), [&] {
      prompts.answers = {Answer::No};
      editor->parentWidget()->close();
      openAfterNo = form.Editors().size() == 1 && form.Host().State() == quoll::RunState::Running;
      prompts.answers = {Answer::Yes};
      editor->parentWidget()->close();
    });
    Action(form, "runAction")->trigger();
    Flush();
    QVERIFY(openAfterNo);
    QCOMPARE(prompts.questions, QStringList(2, "The script is running, stop?"));
    QCOMPARE(form.Editors().size(), 0);
    QCOMPARE(OutputLines(form).mid(1), QStringList({"User break.", "Script finished, no errors."}));
  }

  void FailedRunSelectsTheErrorCharacter_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("line");
    QTest::newRow("first character") << "?begin\r\nend."
                                     << "?" << 1;
    QTest::newRow("after multibyte text") << "begin\r\n  Writeln('\u00e4\u00f6');\r\n  Foo := 1;\r\nend."
                                          << "F" << 3;
    QTest::newRow("lone line feeds") << "begin\n  Writeln('a');\n  Bar := 1;\nend."
                                     << "B" << 3;
  }
  void FailedRunSelectsTheErrorCharacter() {
    QFETCH(QString, script);
    QFETCH(QString, selected);
    QFETCH(int, line);
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    ScriptEditor* editor = form.ActiveEditor()->Editor();
    editor->setText(script);
    Action(form, "runAction")->trigger();
    QVERIFY(OutputLines(form).last().startsWith("Error in MAIN("));
    QCOMPARE(editor->selectedText(), selected);
    QCOMPARE(editor->CaretLine(), line);
  }

  // A running script's positions are looked up in the breakpoint lines before every statement;
  // the table follows every change of marks and text.
  void BreakpointLinesAreFoundByEnginePosition() {
    ScriptEditor editor;
    editor.setText("ab\r\ncd\r\nef");  // lines start at 0, 4 and 8
    const struct {
      std::vector<int> breakpoints;
      std::vector<std::pair<int32_t, bool>> positions;
    } cases[] = {
        {{}, {{-5, false}, {0, false}, {9, false}}},
        {{0}, {{-5, true}, {0, true}, {3, true}, {4, false}, {100, false}}},
        {{1}, {{3, false}, {4, true}, {7, true}, {8, false}}},
        {{2}, {{7, false}, {8, true}, {10, true}, {100, true}}},
        {{0, 2}, {{2, true}, {5, false}, {9, true}}},
    };
    for (const auto& c : cases) {
      for (int line = 0; line < 3; ++line) editor.RemoveBreakpoint(line);
      for (int line : c.breakpoints) editor.AddBreakpoint(line);
      for (const auto& [position, expected] : c.positions) {
        if (editor.IsBreakpointLineAt(position) != expected)
          QFAIL(qPrintable(QString("breakpoints %1, position %2").arg(c.breakpoints.size()).arg(position)));
      }
    }
    for (int line = 0; line < 3; ++line) editor.RemoveBreakpoint(line);
    editor.AddBreakpoint(1);
    editor.insertAt("x\r\n", 0, 0);  // the breakpoint line moves down by a line
    QVERIFY(!editor.IsBreakpointLineAt(4));
    QVERIFY(editor.IsBreakpointLineAt(7));
  }

  void BreakpointsAndBookmarksShareALine() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    EditorWindow* window = form.ActiveEditor();
    ScriptEditor* editor = window->Editor();
    editor->setCursorPosition(1, 0);
    QVERIFY(!window->HasMarks());
    QTest::keyClick(editor, Qt::Key_1, Qt::ControlModifier | Qt::ShiftModifier);  // bookmark 1
    QCOMPARE(editor->MarksOnLine(1), 1u << 1);
    QVERIFY(window->HasMarks());
    QVERIFY(!window->IsBreakpointLine());
    Action(form, "breakpointAction")->trigger();
    QCOMPARE(editor->MarksOnLine(1), (1u << 1) | (1u << ScriptEditor::kBreakpointMarker));
    QVERIFY(window->IsBreakpointLine());
    Action(form, "breakpointAction")->trigger();
    QCOMPARE(editor->MarksOnLine(1), 1u << 1);
    editor->ToggleBookmark(2);
    QVERIFY(window->IsBreakpointLine());  // two marks of any kind
    editor->setCursorPosition(3, 0);
    QTest::keyClick(editor, Qt::Key_1, Qt::ControlModifier);  // go to bookmark 1
    QCOMPARE(editor->CaretLine(), 2);
  }

  // The keys where the script editor differs from QScintilla's own bindings.
  void EditingKeysDeleteWordsAndLines() {
    ScriptEditor editor;
    editor.setText("one two\r\nthree four\r\nfive");
    editor.setCursorPosition(0, 0);
    QTest::keyClick(&editor, Qt::Key_T, Qt::ControlModifier);  // next word
    QCOMPARE(editor.text(0), QString("two\r\n"));
    QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier);  // the line
    QCOMPARE(editor.text(), QString("three four\r\nfive"));
    editor.setCursorPosition(0, 5);
    QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier);  // to the end of the line
    QCOMPARE(editor.text(), QString("three\r\nfive"));
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.text(), QString("three four\r\nfive"));
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // redo
    QCOMPARE(editor.text(), QString("three\r\nfive"));
  }

  // A comment opened or closed on one line recolours the lines below it, also ones already coloured.
  void ColouringFollowsCommentsOpenedAndClosedAbove() {
    ScriptEditor editor;
    editor.resize(400, 300);
    editor.setText("a\r\nb\r\nc\r\nd");
    auto classes = [&editor] {
      editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
      QString out;
      for (int line = 0; line < editor.lines(); ++line) {
        const long pos = editor.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line) - 1;
        out += QString::number(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos));
      }
      return out;
    };
    const QString identifiers(4, QChar('0' + int(quoll::PasTokenClass::Identifier)));
    const QChar comment('0' + int(quoll::PasTokenClass::Comment));
    QCOMPARE(classes(), identifiers);
    editor.insertAt("{", 0, 0);
    QCOMPARE(classes(), QString(4, comment));
    editor.insertAt("}", 1, 1);
    QCOMPARE(classes(), QString(comment) + comment + identifiers.left(2));
    editor.setSelection(0, 0, 0, 1);
    editor.removeSelectedText();
    QCOMPARE(classes(), identifiers.left(1) + QString("%1").arg(int(quoll::PasTokenClass::Symbol)) +
                            identifiers.left(2));
  }

  void AddToWatchOpensForOneTo63SelectedCharacters() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    EditorWindow* window = form.ActiveEditor();
    ScriptEditor* editor = window->Editor();
    editor->setText(QString(64, 'a'));
    auto rightClick = [&] {
      QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), editor->mapToGlobal(QPoint(5, 5)));
      QCoreApplication::sendEvent(editor->viewport(), &event);
      const bool open = window->PopupMenu()->isVisible();
      window->PopupMenu()->hide();
      return open;
    };
    QVERIFY(!rightClick());
    editor->setSelection(0, 0, 0, 64);
    QVERIFY(!rightClick());
    editor->setSelection(0, 1, 0, 64);
    QVERIFY(rightClick());
    QCOMPARE(window->WatchText(), QString(63, 'a'));
    window->PopupMenu()->findChild<QAction*>("addToWatchAction")->trigger();
    QCOMPARE(form.Watches()->List()->topLevelItem(0)->text(0), QString(63, 'a'));
  }

  void CaretTextShowsColumnAndLine() {
    FakePrompts prompts;
    MainWindow form(prompts);
    form.show();
    Action(form, "newFileAction")->trigger();
    ScriptEditor* editor = form.ActiveEditor()->Editor();
    editor->setText("begin\r\n\tx\r\nend.");
    editor->setCursorPosition(1, 1);
    Flush();
    QCOMPARE(form.CaretText(), QString("X = 5, Y = 2"));  // after a tab of width 4
  }
};

std::unique_ptr<QObject> NewEditorWindowTest() {
  return std::make_unique<EditorWindowTest>();
}

}  // namespace quoll_test

#include "editor_window_test.moc"
