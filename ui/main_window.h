// MainWindow: the workbench's MDI main window. It owns the script host and every user command
// (actions shared by the menu bar and the tool bar), holds the editor windows, the output pane and
// the status bar, and is the host's user interface: output lines, the input box, the run state in
// the title, and the running editor's marks and execution line.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "host/script_host.h"
#include "ui/editor_window.h"

class QAction;
class QEventLoop;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QToolBar;

namespace quoll {

class AboutBox;
class FindBar;
class HelpDialog;
class ReaderWatcher;
class ReadersPane;
class TracePane;
class WatchWindow;
class UserPrompts;

class MainWindow : public QMainWindow, public HostUi {
  Q_OBJECT

 public:
  // Prepares the host for its first run; an exception from it is reported as "Script init error!".
  using HostInitializer = std::function<void(ScriptHost&)>;

  // `initializeHost` defaults to ScriptHost::Initialize.
  explicit MainWindow(UserPrompts& prompts, QWidget* parent = nullptr, HostInitializer initializeHost = {});
  ~MainWindow() override;

  // A new editor window titled `name`, loaded from the file of that name when one exists.
  EditorWindow* CreateEditorWindow(const QString& name);
  EditorWindow* ActiveEditor() const;
  QList<EditorWindow*> Editors() const;
  EditorWindow* RunningEditor() const { return runningEditor_; }

  // The host's stop operation: the run state becomes Idle and no editor is running.
  void StopScript();
  void SetCaretText(const QString& text);
  void AddWatch(const QString& name);

  ScriptHost& Host() { return *host_; }
  UserPrompts& Prompts() { return prompts_; }
  QPlainTextEdit* Output() const { return outputPane_; }
  QString CaretText() const;
  HelpDialog* Help() const { return helpDialog_; }
  AboutBox* About() const { return aboutBox_; }
  WatchWindow* Watches() const { return watchWindow_; }
  FindBar* Finder() const { return findBar_; }
  TracePane* Trace() const { return tracePane_; }
  ReadersPane* Readers() const { return readersPane_; }
  // Selects the line of a trace row's statement: in the editor whose run made it when the
  // module is the script's own, else in the editor of the unit MODULE.qs (opened when needed).
  // False when no editor holds the module.
  bool ShowTraceStatement(const QString& module, int line);

  // HostUi
  void WriteOutput(const std::string& line) override;
  void ClearOutput() override;
  std::string ReadLine(const std::string& caption, const std::string& prompt) override;
  void ShowRunState(RunState state) override;
  bool WantsLineHook() const override { return true; }
  void ProcessMessages() override;
  int32_t MessageIntervalMs() const override;
  void WaitForMessages() override;
  bool Wait(int32_t milliseconds) override;
  bool HasMarks() override;
  void SelectPosition(int32_t position) override;
  bool IsBreakpointLine() override;
  bool HasBreakpointLines() override;
  void UpdateCurrentLine() override;
  void RefreshWatches() override;

  // Replaces the statement hook's event-loop pass: called before every statement with paused
  // false, and over and over with paused true while a script is paused. Tests use it to act as
  // the user at exact points of a run; an empty pump restores the event loop.
  using MessagePump = std::function<void(bool paused)>;
  void SetMessagePump(MessagePump pump) { pump_ = std::move(pump); }

 public slots:
  // Re-evaluates every action's enable and check rule.
  void UpdateActions();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* MakeAction(const char* name, const QString& caption, const QKeySequence& shortcut,
                      const QString& hint, const QIcon& icon = QIcon());
  void CreateActions();
  void CreateMenusAndToolBar();
  void NewFile();
  void OpenFile();
  // Runs the host initializer; false (after "Script init error!") when it throws.
  bool InitializeHost();
  void RunActive(bool step);
  void ShowSelectedPosition();
  void ToggleOutput();
  void EditCommand(void (*command)(QPlainTextEdit*));
  void TileSubWindows(Qt::Orientation orientation);
  void ArrangeIcons();
  void FillWindowMenu();
  QPlainTextEdit* FocusedTextBox() const;
  // Opens the find bar on the output pane when it has the keyboard, else on the active editor.
  void OpenFindBar(bool replace);
  void GoToLine();
  void CreateCardPanes();
  // The readers pane learns which readers the scripts number and which this program holds.
  void RefreshReaderConnections();

  UserPrompts& prompts_;
  HostInitializer initializeHost_;
  std::unique_ptr<ScriptHost> host_;
  QString baseCaption_;
  QPointer<EditorWindow> runningEditor_;
  MessagePump pump_;
  bool destroying_ = false;

  QMdiArea* mdiArea_;
  QSplitter* splitter_;
  QWidget* outputPanel_;
  QPlainTextEdit* outputPane_;
  QToolBar* toolBar_ = nullptr;
  QLabel* caretPanel_;
  QMenu* windowMenu_ = nullptr;
  QAction* windowListSeparator_ = nullptr;
  AboutBox* aboutBox_ = nullptr;
  HelpDialog* helpDialog_ = nullptr;
  WatchWindow* watchWindow_ = nullptr;
  FindBar* findBar_ = nullptr;
  TracePane* tracePane_ = nullptr;
  ReadersPane* readersPane_ = nullptr;
  // Started when the readers pane is first shown; stopped before the windows go.
  std::unique_ptr<ReaderWatcher> readerWatcher_;
  // The editor whose run the trace shows.
  QPointer<EditorWindow> traceEditor_;
  // The event loop of a Sleep in progress; Stop ends it.
  QEventLoop* waitLoop_ = nullptr;

  QAction *newFileAction_, *openFileAction_, *closeFileAction_, *saveFileAction_, *saveFileAsAction_,
      *exitAction_;
  QAction *cutAction_, *copyAction_, *pasteAction_;
  QAction *findAction_, *findNextAction_, *findPreviousAction_, *replaceAction_, *goToLineAction_;
  QAction *viewToolBarAction_, *viewOutputAction_, *viewWatchAction_, *viewTraceAction_, *viewReadersAction_;
  QAction *runAction_, *stepAction_, *stopAction_, *breakpointAction_, *getResponseAction_;
  QAction *cascadeAction_, *tileHorizontallyAction_, *tileVerticallyAction_, *minimizeAllAction_,
      *arrangeAllAction_;
  QAction *helpAction_, *aboutAction_;
};

}  // namespace quoll
