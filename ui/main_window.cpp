// MainWindow: actions with their enable and check rules, the MDI frame, the output pane, and the
// host's user interface. A run executes inside the Run or Step command; the statement hook pumps
// the event loop every few milliseconds of run time, so the window stays usable and Stop works.
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QStringDecoder>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "card/reader_functions.h"
#include "card/reader_watcher.h"

#include "host/watch_values.h"
#include "ui/about_box.h"
#include "ui/editor_font.h"
#include "ui/editor_window.h"
#include "ui/find_bar.h"
#include "ui/help_dialog.h"
#include "ui/icons.h"
#include "ui/readers_pane.h"
#include "ui/trace_pane.h"
#include "ui/user_prompts.h"
#include "ui/watch_window.h"

namespace quoll {

namespace {

// Script strings are bytes: UTF-8 where they are valid UTF-8, else Latin-1.
QString FromScriptBytes(const std::string& bytes) {
  QStringDecoder decoder(QStringConverter::Utf8);
  QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (decoder.hasError()) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return text;
}

}  // namespace

MainWindow::MainWindow(UserPrompts& prompts, QWidget* parent, HostInitializer initializeHost)
    : QMainWindow(parent), prompts_(prompts), initializeHost_(std::move(initializeHost)) {
  setObjectName("mainWindow");
  setWindowTitle("Quoll");
  setWindowIcon(icons::ProgramIcon());
  resize(900, 640);

  mdiArea_ = new QMdiArea(this);
  mdiArea_->setBackground(palette().brush(QPalette::Dark));  // the application workspace colour
  mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  outputPanel_ = new QWidget(this);
  outputPanel_->setObjectName("outputPanel");
  outputPane_ = new QPlainTextEdit(outputPanel_);
  outputPane_->setObjectName("outputPane");
  outputPane_->setFont(OutputFont());
  QPalette outputPalette = outputPane_->palette();
  outputPalette.setColor(QPalette::Text, Qt::black);
  outputPane_->setPalette(outputPalette);
  auto* panelLayout = new QVBoxLayout(outputPanel_);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  panelLayout->addWidget(outputPane_);

  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setObjectName("splitter");
  splitter_->setHandleWidth(4);
  splitter_->setChildrenCollapsible(false);
  // The editor windows with the find bar below them.
  auto* editors = new QWidget(this);
  auto* editorsLayout = new QVBoxLayout(editors);
  editorsLayout->setContentsMargins(0, 0, 0, 0);
  editorsLayout->setSpacing(0);
  editorsLayout->addWidget(mdiArea_, 1);
  findBar_ = new FindBar(editors);
  editorsLayout->addWidget(findBar_);
  splitter_->addWidget(editors);
  splitter_->addWidget(outputPanel_);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);
  splitter_->setSizes({height() - 76, 76});
  setCentralWidget(splitter_);

  caretPanel_ = new QLabel(this);
  caretPanel_->setObjectName("caretPanel");
  caretPanel_->setMinimumWidth(120);
  statusBar()->setObjectName("statusBar");
  statusBar()->addPermanentWidget(caretPanel_);

  CreateCardPanes();
  CreateActions();
  CreateMenusAndToolBar();

  connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
    if (window)
      if (auto* editor = qobject_cast<EditorWindow*>(window->widget())) editor->ReportCaret();
    UpdateActions();
  });
  connect(qApp, &QApplication::focusChanged, this, &MainWindow::UpdateActions);
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &MainWindow::UpdateActions);
  connect(outputPane_, &QPlainTextEdit::selectionChanged, this, &MainWindow::UpdateActions);

  // The host: one engine for every run. When its initialisation fails the window still opens.
  host_ = std::make_unique<ScriptHost>(*this);
  host_->SetTrace(tracePane_);
  SetAutoGetResponse(false);
  if (!initializeHost_) initializeHost_ = [](ScriptHost& host) { host.Initialize(); };
  InitializeHost();
  baseCaption_ = windowTitle();

  // The dialogs and the watch window live as long as the main window.
  aboutBox_ = new AboutBox(this);
  helpDialog_ = new HelpDialog(this);
  watchWindow_ = new WatchWindow(this);
  connect(watchWindow_, &WatchWindow::VisibilityChanged, this, &MainWindow::UpdateActions);
  connect(watchWindow_, &WatchWindow::NameEdited, this, [this] { RefreshWatches(); });
  RefreshReaderConnections();
  UpdateActions();
}

// The trace and readers panes, docked at the bottom and hidden until the View menu shows them.
void MainWindow::CreateCardPanes() {
  tracePane_ = new TracePane(prompts_, this);
  readersPane_ = new ReadersPane(this);
  for (QDockWidget* pane : {static_cast<QDockWidget*>(tracePane_), static_cast<QDockWidget*>(readersPane_)}) {
    addDockWidget(Qt::BottomDockWidgetArea, pane);
    pane->hide();
  }
  splitDockWidget(tracePane_, readersPane_, Qt::Horizontal);
  connect(tracePane_, &TracePane::StatementWanted, this,
          [this](const QString& module, int, int line) { ShowTraceStatement(module, line); });
  connect(tracePane_, &TracePane::ConnectionsChanged, this, &MainWindow::RefreshReaderConnections);
  // The watcher's thread posts what it sees to this thread; a post that arrives after the pane
  // is gone is dropped with it.
  connect(readersPane_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (!visible || readerWatcher_) return;
    readerWatcher_ = std::make_unique<ReaderWatcher>([pane = readersPane_](const ReaderSnapshot& snapshot) {
      QMetaObject::invokeMethod(
          pane, [pane, snapshot] { pane->ShowSnapshot(snapshot); }, Qt::QueuedConnection);
    });
    readerWatcher_->Start();
  });
}

void MainWindow::RefreshReaderConnections() {
  readersPane_->ShowScriptReaders(ListedReaderNames(), ConnectedReaderNames());
}

bool MainWindow::ShowTraceStatement(const QString& module, int line) {
  if (line < 1) return false;
  EditorWindow* editor = nullptr;
  const ScriptEngine* engine = host_ ? host_->Engine() : nullptr;
  if (traceEditor_ && engine && module.toStdString() == engine->ModuleName()) editor = traceEditor_;
  // A unit: the editor of its file, or its file opened as the host would load it.
  for (EditorWindow* open : Editors())
    if (!editor && QFileInfo(open->FileName()).fileName().compare(module + ".qs", Qt::CaseInsensitive) == 0)
      editor = open;
  if (!editor) {
    const QStringList files =
        QDir::current().entryList({module + ".qs"}, QDir::Files);  // the name filter ignores case
    if (files.size() == 1) editor = CreateEditorWindow(QDir::current().absoluteFilePath(files.front()));
  }
  if (!editor) {
    statusBar()->showMessage(QString("No editor holds the module %1").arg(module), 5000);
    return false;
  }
  for (QMdiSubWindow* window : mdiArea_->subWindowList())
    if (window->widget() == editor) mdiArea_->setActiveSubWindow(window);
  editor->SelectLine(line);
  return true;
}

MainWindow::~MainWindow() {
  // Deleting the child widgets moves the focus; the actions may not hear of it any more.
  destroying_ = true;
  for (QObject* source : {static_cast<QObject*>(qApp), static_cast<QObject*>(QApplication::clipboard()),
                          static_cast<QObject*>(mdiArea_), static_cast<QObject*>(outputPane_),
                          static_cast<QObject*>(watchWindow_)})
    disconnect(source, nullptr, this, nullptr);
  // The watcher's thread ends before the panes it posts to.
  readerWatcher_.reset();
  // The editor windows go while this window is still whole: they talk to it until they are gone.
  std::unique_ptr<QWidget> central(takeCentralWidget());
  central.reset();
  host_->SetTrace(nullptr);
  host_->Shutdown();
}

QAction* MainWindow::MakeAction(const char* name, const QString& caption, const QKeySequence& shortcut,
                                const QString& hint, const QIcon& icon) {
  auto* action = new QAction(icon, caption, this);
  action->setObjectName(name);
  action->setShortcut(shortcut);
  // "tool tip|status text"; one text serves both when there is no bar.
  const qsizetype bar = hint.indexOf('|');
  action->setToolTip(bar < 0 ? hint : hint.left(bar));
  action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
  return action;
}

void MainWindow::CreateActions() {
  QStyle* s = style();
  newFileAction_ = MakeAction("newFileAction", "&New", QKeySequence("Ctrl+N"), "New|Create a new file",
                              s->standardIcon(QStyle::SP_FileIcon));
  openFileAction_ = MakeAction("openFileAction", "&Open...", QKeySequence("Ctrl+O"), "Open|Open a file",
                               s->standardIcon(QStyle::SP_DialogOpenButton));
  closeFileAction_ = MakeAction("closeFileAction", "&Close", QKeySequence(), "Close|Close current file");
  saveFileAction_ = MakeAction("saveFileAction", "&Save", QKeySequence("Ctrl+S"), "Save|Save current file",
                               s->standardIcon(QStyle::SP_DialogSaveButton));
  saveFileAsAction_ = MakeAction("saveFileAsAction", "Save &As...", QKeySequence(),
                                 "Save As|Save current file with different name");
  exitAction_ = MakeAction("exitAction", "E&xit", QKeySequence(), "Exit|Exit application");
  cutAction_ = MakeAction("cutAction", "Cu&t", QKeySequence("Ctrl+X"),
                          "Cut|Cuts the selection and puts it on the Clipboard", icons::Cut());
  copyAction_ = MakeAction("copyAction", "&Copy", QKeySequence("Ctrl+C"),
                           "Copy|Copies the selection and puts it on the Clipboard", icons::Copy());
  pasteAction_ = MakeAction("pasteAction", "&Paste", QKeySequence("Ctrl+V"),
                            "Paste|Inserts Clipboard contents", icons::Paste());
  findAction_ = MakeAction("findAction", "&Find...", QKeySequence("Ctrl+F"), "Find|Find text");
  findNextAction_ =
      MakeAction("findNextAction", "Find &Next", QKeySequence("F3"), "Find next|Find the next match");
  findPreviousAction_ = MakeAction("findPreviousAction", "Find Pre&vious", QKeySequence("Shift+F3"),
                                   "Find previous|Find the previous match");
  replaceAction_ = MakeAction("replaceAction", "&Replace...", QKeySequence("Ctrl+R"), "Replace|Replace text");
  goToLineAction_ = MakeAction("goToLineAction", "&Go to Line...", QKeySequence("Ctrl+G"),
                               "Go to line|Move the caret to a line");
  viewToolBarAction_ =
      MakeAction("viewToolBarAction", "&Toolbar", QKeySequence(), "View toolbar|Show/Hide toolbar");
  viewOutputAction_ =
      MakeAction("viewOutputAction", "&Output", QKeySequence("Alt+2"), "View output|Show/Hide output");
  viewWatchAction_ =
      MakeAction("viewWatchAction", "&Watch", QKeySequence("Alt+3"), "View watch|Show/Hide watch");
  runAction_ = MakeAction("runAction", "&Run", QKeySequence("F5"), "Run|Run current script",
                          s->standardIcon(QStyle::SP_MediaPlay));
  stepAction_ = MakeAction("stepAction", "Ste&p", QKeySequence("F10"), "Step Over|Step over",
                           s->standardIcon(QStyle::SP_MediaSkipForward));
  stopAction_ = MakeAction("stopAction", "&Stop", QKeySequence("Shift+F5"), "Stop|Stop",
                           s->standardIcon(QStyle::SP_MediaStop));
  breakpointAction_ = MakeAction("breakpointAction", "&BreakPoint", QKeySequence("F9"),
                                 "breakpoint|Taggle breakpoint", QIcon(icons::Breakpoint()));
  cascadeAction_ = MakeAction("cascadeAction", "&Cascade", QKeySequence(), "Cascade");
  tileHorizontallyAction_ =
      MakeAction("tileHorizontallyAction", "Tile &Horizontally", QKeySequence(), "Tile Horizontally");
  tileVerticallyAction_ =
      MakeAction("tileVerticallyAction", "Tile &Vertically", QKeySequence(), "Tile Vertically");
  minimizeAllAction_ = MakeAction("minimizeAllAction", "&Minimize All", QKeySequence(), "Minimize All");
  arrangeAllAction_ = MakeAction("arrangeAllAction", "&Arrange All", QKeySequence(), "Arrange All");
  helpAction_ = MakeAction("helpAction", "&Help...", QKeySequence(), QString());
  aboutAction_ = MakeAction("aboutAction", "&About...", QKeySequence(),
                            "About|Displays program information, version number, and copyright");
  for (QAction* a : {viewToolBarAction_, viewOutputAction_, viewWatchAction_}) a->setCheckable(true);
  viewTraceAction_ = tracePane_->toggleViewAction();
  viewTraceAction_->setObjectName("viewTraceAction");
  viewTraceAction_->setText("T&race");
  viewTraceAction_->setShortcut(QKeySequence("Alt+4"));
  viewTraceAction_->setToolTip("View trace");
  viewTraceAction_->setStatusTip("Show/Hide the card trace");
  viewReadersAction_ = readersPane_->toggleViewAction();
  viewReadersAction_->setObjectName("viewReadersAction");
  viewReadersAction_->setText("&Readers");
  viewReadersAction_->setShortcut(QKeySequence("Alt+5"));
  viewReadersAction_->setToolTip("View readers");
  viewReadersAction_->setStatusTip("Show/Hide the readers and their cards");
  getResponseAction_ =
      MakeAction("getResponseAction", "Automatic &GET RESPONSE", QKeySequence(),
                 "GET RESPONSE|Answer 61xx with GET RESPONSE and 6Cxx with the command resent");
  getResponseAction_->setCheckable(true);
  connect(getResponseAction_, &QAction::toggled, this, [](bool on) { SetAutoGetResponse(on); });

  connect(newFileAction_, &QAction::triggered, this, &MainWindow::NewFile);
  connect(openFileAction_, &QAction::triggered, this, &MainWindow::OpenFile);
  connect(closeFileAction_, &QAction::triggered, this, [this] {
    if (QMdiSubWindow* w = mdiArea_->currentSubWindow()) w->close();
  });
  connect(saveFileAction_, &QAction::triggered, this, [this] {
    if (EditorWindow* e = ActiveEditor()) e->SaveScript(false);
  });
  connect(saveFileAsAction_, &QAction::triggered, this, [this] {
    if (EditorWindow* e = ActiveEditor()) e->SaveScript(true);
  });
  connect(exitAction_, &QAction::triggered, this, &QWidget::close);
  connect(cutAction_, &QAction::triggered, this,
          [this] { EditCommand([](QPlainTextEdit* t) { t->cut(); }); });
  connect(copyAction_, &QAction::triggered, this,
          [this] { EditCommand([](QPlainTextEdit* t) { t->copy(); }); });
  connect(pasteAction_, &QAction::triggered, this,
          [this] { EditCommand([](QPlainTextEdit* t) { t->paste(); }); });
  connect(findAction_, &QAction::triggered, this, [this] { OpenFindBar(false); });
  connect(replaceAction_, &QAction::triggered, this, [this] { OpenFindBar(true); });
  connect(findNextAction_, &QAction::triggered, this, [this] {
    if (findBar_->SearchField()->text().isEmpty())
      OpenFindBar(false);
    else
      findBar_->FindNext(true);
  });
  connect(findPreviousAction_, &QAction::triggered, this, [this] {
    if (findBar_->SearchField()->text().isEmpty())
      OpenFindBar(false);
    else
      findBar_->FindNext(false);
  });
  connect(goToLineAction_, &QAction::triggered, this, &MainWindow::GoToLine);
  connect(viewToolBarAction_, &QAction::triggered, this, [this] {
    toolBar_->setVisible(toolBar_->isHidden());
    UpdateActions();
  });
  connect(viewOutputAction_, &QAction::triggered, this, &MainWindow::ToggleOutput);
  connect(viewWatchAction_, &QAction::triggered, this, [this] {
    watchWindow_->setVisible(watchWindow_->isHidden());
    UpdateActions();
  });
  connect(runAction_, &QAction::triggered, this, [this] { RunActive(false); });
  connect(stepAction_, &QAction::triggered, this, [this] { RunActive(true); });
  connect(stopAction_, &QAction::triggered, this, &MainWindow::StopScript);
  connect(breakpointAction_, &QAction::triggered, this, [this] {
    if (EditorWindow* e = ActiveEditor()) e->ToggleBreakpoint();
  });
  connect(cascadeAction_, &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
  connect(tileHorizontallyAction_, &QAction::triggered, this, [this] { TileSubWindows(Qt::Vertical); });
  connect(tileVerticallyAction_, &QAction::triggered, this, [this] { TileSubWindows(Qt::Horizontal); });
  connect(minimizeAllAction_, &QAction::triggered, this, [this] {
    for (QMdiSubWindow* w : mdiArea_->subWindowList()) w->showMinimized();
  });
  connect(arrangeAllAction_, &QAction::triggered, this, &MainWindow::ArrangeIcons);
  connect(helpAction_, &QAction::triggered, this, [this] { helpDialog_->exec(); });
  connect(aboutAction_, &QAction::triggered, this, [this] { aboutBox_->exec(); });
}

void MainWindow::CreateMenusAndToolBar() {
  QMenu* file = menuBar()->addMenu("&File");
  file->menuAction()->setStatusTip("File related commands");
  file->addActions({newFileAction_, openFileAction_, closeFileAction_, saveFileAction_, saveFileAsAction_});
  file->addSeparator();
  file->addAction(exitAction_);
  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->menuAction()->setStatusTip("Edit commands");
  edit->addActions({cutAction_, copyAction_, pasteAction_});
  edit->addSeparator();
  edit->addActions({findAction_, findNextAction_, findPreviousAction_, replaceAction_});
  edit->addSeparator();
  edit->addAction(goToLineAction_);
  QMenu* view = menuBar()->addMenu("&View");
  view->addActions(
      {viewToolBarAction_, viewOutputAction_, viewWatchAction_, viewTraceAction_, viewReadersAction_});
  QMenu* script = menuBar()->addMenu("&Script");
  script->addActions({runAction_, stepAction_, stopAction_});
  script->addSeparator();
  script->addAction(breakpointAction_);
  script->addSeparator();
  script->addAction(getResponseAction_);
  windowMenu_ = menuBar()->addMenu("&Window");
  windowMenu_->menuAction()->setStatusTip("Window related commands");
  windowMenu_->addActions({cascadeAction_, tileHorizontallyAction_, tileVerticallyAction_, minimizeAllAction_,
                           arrangeAllAction_});
  windowListSeparator_ = windowMenu_->addSeparator();
  connect(windowMenu_, &QMenu::aboutToShow, this, &MainWindow::FillWindowMenu);
  QMenu* help = menuBar()->addMenu("&Help");
  help->menuAction()->setStatusTip("Help topics");
  help->addActions({helpAction_, aboutAction_});
  for (QMenu* menu : {file, edit, view, script, windowMenu_, help})
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateActions);

  toolBar_ = addToolBar("Toolbar");
  toolBar_->setObjectName("toolBar");
  toolBar_->setFixedHeight(30);
  toolBar_->setMovable(false);
  toolBar_->toggleViewAction()->setVisible(false);
  toolBar_->addActions({newFileAction_, openFileAction_, saveFileAction_});
  toolBar_->addSeparator();
  toolBar_->addActions({cutAction_, copyAction_, pasteAction_});
  toolBar_->addSeparator();
  toolBar_->addActions({runAction_, breakpointAction_});
}

// The open editor windows after the fixed items; choosing one activates it.
void MainWindow::FillWindowMenu() {
  const QList<QAction*> all = windowMenu_->actions();
  for (qsizetype i = all.indexOf(windowListSeparator_) + 1; i < all.size(); ++i) {
    windowMenu_->removeAction(all[i]);
    all[i]->deleteLater();
  }
  const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
  windowListSeparator_->setVisible(!windows.isEmpty());
  for (qsizetype i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    QAction* item = windowMenu_->addAction(QString("&%1 %2").arg(i + 1).arg(window->windowTitle()));
    item->setCheckable(true);
    item->setChecked(window == mdiArea_->currentSubWindow());
    connect(item, &QAction::triggered, this, [this, guarded = QPointer<QMdiSubWindow>(window)] {
      if (guarded) mdiArea_->setActiveSubWindow(guarded);
    });
  }
}

void MainWindow::UpdateActions() {
  if (destroying_) return;
  const bool hasEditor = ActiveEditor() != nullptr;
  const bool hasWindows = !mdiArea_->subWindowList().isEmpty();
  const RunState state = host_ ? host_->State() : RunState::Idle;
  closeFileAction_->setEnabled(hasEditor);
  saveFileAction_->setEnabled(hasEditor);
  saveFileAsAction_->setEnabled(hasEditor);
  QPlainTextEdit* box = FocusedTextBox();
  const bool selected = box && box->textCursor().hasSelection();
  cutAction_->setEnabled(selected && !box->isReadOnly());
  copyAction_->setEnabled(selected);
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  pasteAction_->setEnabled(box && !box->isReadOnly() && clip && clip->hasText());
  viewToolBarAction_->setChecked(!toolBar_->isHidden());
  viewOutputAction_->setChecked(!outputPanel_->isHidden());
  viewWatchAction_->setChecked(watchWindow_ && !watchWindow_->isHidden());
  runAction_->setEnabled(hasEditor && state != RunState::Running);
  stepAction_->setEnabled(hasEditor && state != RunState::Running);
  stopAction_->setEnabled(state != RunState::Idle);
  breakpointAction_->setEnabled(hasEditor);
  const bool searchable = hasEditor || (box && box == outputPane_);
  for (QAction* a : {findAction_, findNextAction_, findPreviousAction_}) a->setEnabled(searchable);
  replaceAction_->setEnabled(hasEditor);
  goToLineAction_->setEnabled(hasEditor);
  for (QAction* a : {cascadeAction_, tileHorizontallyAction_, tileVerticallyAction_, minimizeAllAction_,
                     arrangeAllAction_})
    a->setEnabled(hasWindows);
}

void MainWindow::OpenFindBar(bool replace) {
  // From the bar itself, Find and Replace keep what it searches.
  if (findBar_->isAncestorOf(QApplication::focusWidget()) && (findBar_->Editor() || findBar_->Output())) {
    findBar_->Open(findBar_->Editor(), findBar_->Output(), replace);
    return;
  }
  if (outputPane_->hasFocus()) {
    findBar_->Open(nullptr, outputPane_, false);
    return;
  }
  if (EditorWindow* e = ActiveEditor()) findBar_->Open(e->Editor(), nullptr, replace);
}

void MainWindow::GoToLine() {
  EditorWindow* e = ActiveEditor();
  if (!e) return;
  ScriptEditor* editor = e->Editor();
  const std::optional<int> line = prompts_.LineNumber(this, editor->CaretLine(), editor->lines());
  if (!line || !ActiveEditor()) return;
  const int target = std::clamp(*line, 1, std::max(1, editor->lines())) - 1;
  editor->setCursorPosition(target, 0);
  editor->ensureLineVisible(target);
  editor->setFocus();
}

QPlainTextEdit* MainWindow::FocusedTextBox() const {
  auto* box = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
  return box && box->window() == this ? box : nullptr;
}

void MainWindow::EditCommand(void (*command)(QPlainTextEdit*)) {
  if (QPlainTextEdit* box = FocusedTextBox()) command(box);
  UpdateActions();
}

EditorWindow* MainWindow::CreateEditorWindow(const QString& name) {
  const bool hadActive = ActiveEditor() != nullptr;
  // The MDI area's sub-window takes the editor as its child and owns it from here on.
  QMdiSubWindow* window = mdiArea_->addSubWindow(new EditorWindow(*this, name));
  auto* editor = static_cast<EditorWindow*>(window->widget());
  if (hadActive)
    window->show();
  else
    window->showMaximized();
  if (QFileInfo(name).isFile()) editor->LoadFile(name);
  editor->setFocus();
  UpdateActions();
  return editor;
}

EditorWindow* MainWindow::ActiveEditor() const {
  QMdiSubWindow* window = mdiArea_->currentSubWindow();
  return window ? qobject_cast<EditorWindow*>(window->widget()) : nullptr;
}

QList<EditorWindow*> MainWindow::Editors() const {
  QList<EditorWindow*> editors;
  for (QMdiSubWindow* window : mdiArea_->subWindowList())
    if (auto* editor = qobject_cast<EditorWindow*>(window->widget())) editors << editor;
  return editors;
}

// NONAME and the number of open windows plus one: after closing windows a name can repeat.
void MainWindow::NewFile() {
  CreateEditorWindow(QString("NONAME%1").arg(mdiArea_->subWindowList().size() + 1));
}

void MainWindow::OpenFile() {
  const QString path = prompts_.OpenFileName(this);
  if (!path.isEmpty()) CreateEditorWindow(QFileInfo(path).absoluteFilePath());
}

bool MainWindow::InitializeHost() {
  try {
    initializeHost_(*host_);
    return true;
  } catch (...) {
    prompts_.ShowMessage(this, "Script init error!");
    return false;
  }
}

// A new run takes the active window. A paused script goes on in the window whose text it runs,
// whichever window is active: its breakpoints and execution line belong to that text.
void MainWindow::RunActive(bool step) {
  // After a failed start-up the host gets its engine before the first run, or the run does not start.
  if (!host_->Engine() && !InitializeHost()) return;
  const bool starting = host_->State() == RunState::Idle;
  if (starting || !runningEditor_) runningEditor_ = ActiveEditor();
  EditorWindow* editor = runningEditor_;
  if (editor && starting) {
    tracePane_->RunStarting();
    traceEditor_ = editor;
  }
  if (editor) editor->RunScript(step ? EditorWindow::RunMode::Step : EditorWindow::RunMode::Run);
  // The run may have read the reader list again.
  if (starting) RefreshReaderConnections();
  UpdateActions();
}

void MainWindow::StopScript() {
  ShowSelectedPosition();
  host_->Stop();
  if (waitLoop_) waitLoop_->quit();
  runningEditor_ = nullptr;
  UpdateActions();
}

// First press: the visible pane gets the keyboard; next press hides it; then shows it again.
void MainWindow::ToggleOutput() {
  if (!outputPanel_->isHidden() && !outputPane_->hasFocus()) {
    outputPane_->setFocus();
    UpdateActions();
    return;
  }
  const bool show = outputPanel_->isHidden();
  outputPanel_->setVisible(show);  // the splitter bar goes with the pane
  if (show)
    outputPane_->setFocus();
  else if (EditorWindow* editor = ActiveEditor())
    editor->setFocus();
  UpdateActions();
}

// Qt::Vertical stacks the windows one above the other, Qt::Horizontal puts them side by side.
void MainWindow::TileSubWindows(Qt::Orientation orientation) {
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* w : mdiArea_->subWindowList())
    if (!w->isMinimized()) windows << w;
  if (windows.isEmpty()) return;
  const QRect area = mdiArea_->viewport()->rect();
  const int n = static_cast<int>(windows.size());
  for (int i = 0; i < n; ++i) {
    QRect r = orientation == Qt::Vertical
                  ? QRect(0, area.height() * i / n, area.width(),
                          area.height() * (i + 1) / n - area.height() * i / n)
                  : QRect(area.width() * i / n, 0, area.width() * (i + 1) / n - area.width() * i / n,
                          area.height());
    windows[i]->showNormal();
    windows[i]->setGeometry(r);
  }
}

// Lines the minimised windows up along the bottom edge.
void MainWindow::ArrangeIcons() {
  const QRect area = mdiArea_->viewport()->rect();
  int x = 0;
  int y = area.bottom();
  for (QMdiSubWindow* w : mdiArea_->subWindowList()) {
    if (!w->isMinimized()) continue;
    const QSize size = w->size();
    if (x > 0 && x + size.width() > area.width()) {
      x = 0;
      y -= size.height();
    }
    w->move(x, y - size.height() + 1);
    x += size.width();
  }
}

void MainWindow::SetCaretText(const QString& text) {
  if (caretPanel_->text() != text) caretPanel_->setText(text);
}

QString MainWindow::CaretText() const {
  return caretPanel_->text();
}

void MainWindow::AddWatch(const QString& name) {
  watchWindow_->AddWatch(name);
  RefreshWatches();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  const QList<EditorWindow*> editors = Editors();
  for (EditorWindow* editor : editors) {
    if (!editor->CloseQuery()) {
      event->ignore();
      return;
    }
  }
  StopScript();
  for (EditorWindow* editor : editors) editor->CloseAfterQuery();
  watchWindow_->hide();
  event->accept();
}

// ---- HostUi ----

void MainWindow::WriteOutput(const std::string& line) {
  outputPane_->appendPlainText(FromScriptBytes(line));
}

void MainWindow::ClearOutput() {
  outputPane_->clear();
}

std::string MainWindow::ReadLine(const std::string& caption, const std::string& prompt) {
  std::optional<QString> text = prompts_.InputText(this, FromScriptBytes(caption), FromScriptBytes(prompt));
  return text ? text->toStdString() : std::string();
}

void MainWindow::ShowRunState(RunState state) {
  switch (state) {
    case RunState::Idle:
      setWindowTitle(baseCaption_);
      break;
    case RunState::Running:
    case RunState::Stepping:
      setWindowTitle(baseCaption_ + " [run]");
      break;
    case RunState::Paused:
      setWindowTitle(baseCaption_ + " [break]");
      break;
  }
  UpdateActions();
}

// Between statements, every few milliseconds of a run (a scripted user: before every statement).
void MainWindow::ProcessMessages() {
  ShowSelectedPosition();
  if (pump_)
    pump_(false);
  else
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int32_t MainWindow::MessageIntervalMs() const {
  return pump_ ? 0 : 5;
}

// Whatever the windows show next, the running editor's selection is the last statement's.
void MainWindow::ShowSelectedPosition() {
  host_->SelectLastQuietStatement();
  if (runningEditor_) runningEditor_->ShowSelectedPosition();
}

void MainWindow::WaitForMessages() {
  ShowSelectedPosition();
  if (pump_) {
    pump_(true);
    return;
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// Sleep in a script: the event loop runs meanwhile, so the window stays usable, and Stop ends the
// wait at once. A scripted user is asked as between statements.
bool MainWindow::Wait(int32_t milliseconds) {
  ShowSelectedPosition();
  if (pump_) {
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired() && host_->State() != RunState::Idle) {
      pump_(false);
      QThread::msleep(1);
    }
    return host_->State() != RunState::Idle;
  }
  if (host_->State() == RunState::Idle) return false;
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  waitLoop_ = &loop;
  loop.exec();
  waitLoop_ = nullptr;
  return host_->State() != RunState::Idle;
}

bool MainWindow::HasMarks() {
  const EditorWindow* editor = runningEditor_.data();
  return editor && editor->HasMarks();
}

void MainWindow::SelectPosition(int32_t position) {
  if (runningEditor_) runningEditor_->SelectPosition(position);
}

bool MainWindow::IsBreakpointLine() {
  return runningEditor_ && runningEditor_->IsBreakpointLine();
}

bool MainWindow::HasBreakpointLines() {
  return runningEditor_ && runningEditor_->Editor()->HasBreakpointLines();
}

// After Stop no editor is running any more; once idle, no editor may keep an execution line.
void MainWindow::UpdateCurrentLine() {
  if (runningEditor_) {
    runningEditor_->UpdateCurrentLine();
  } else if (host_ && host_->State() == RunState::Idle) {
    for (EditorWindow* editor : Editors()) editor->ClearExecutionLine();
  }
}

// Values come from the engine as it stands: inside a paused routine its locals hide globals.
void MainWindow::RefreshWatches() {
  ScriptEngine* engine = host_ ? host_->Engine() : nullptr;
  watchWindow_->RefreshWatches([engine](const QString& name) -> std::optional<QString> {
    std::optional<std::string> text = WatchText(engine, name.toStdString());
    if (!text) return std::nullopt;
    return FromScriptBytes(*text);
  });
}

}  // namespace quoll
