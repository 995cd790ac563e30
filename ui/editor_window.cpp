// EditorWindow: document state and the flows of saving, closing and running one script.
#include "ui/editor_window.h"

#include <QCloseEvent>
#include <QFile>
#include <QMenu>
#include <QVBoxLayout>

#include "host/atomic_file.h"
#include "host/script_host.h"
#include "ui/main_window.h"
#include "ui/script_editor.h"
#include "ui/user_prompts.h"

namespace quoll {

EditorWindow::EditorWindow(MainWindow& mainWindow, const QString& name)
    : mainWindow_(mainWindow), editor_(new ScriptEditor(this)), popupMenu_(new QMenu(this)), fileName_(name) {
  setAttribute(Qt::WA_DeleteOnClose);
  editor_->setObjectName("editor");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(editor_);
  setFocusProxy(editor_);
  popupMenu_->setObjectName("popupMenu");
  QAction* addToWatch = popupMenu_->addAction("&Add to watch");
  addToWatch->setObjectName("addToWatchAction");
  connect(addToWatch, &QAction::triggered, this, [this] { mainWindow_.AddWatch(watchText_); });
  connect(editor_, &QsciScintilla::textChanged, this, [this] { SetModified(true); });
  connect(editor_, &QsciScintilla::cursorPositionChanged, this, &EditorWindow::ReportCaret);
  connect(editor_, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
    if (updated & QsciScintillaBase::SC_UPDATE_SELECTION) ReportCaret();
  });
  connect(editor_, &ScriptEditor::ContextMenuWanted, this, &EditorWindow::OnContextMenu);
  UpdateTitle();
}

bool EditorWindow::LoadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    mainWindow_.Prompts().ShowError(this, QString("Cannot open %1: %2").arg(path, file.errorString()));
    return false;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    mainWindow_.Prompts().ShowError(this, QString("Cannot read %1: %2").arg(path, file.errorString()));
    return false;
  }
  editor_->LoadBytes(bytes);
  fileName_ = path;
  named_ = true;
  SetModified(false);
  return true;
}

// The text goes to a temporary file beside the target, which replaces the target only once it is
// written in full and synced, so a failed save leaves the old file as it was.
bool EditorWindow::SaveScript(bool saveAs) {
  QString path = fileName_;
  if (!named_ || saveAs) {
    path = mainWindow_.Prompts().SaveFileName(this);
    if (path.isEmpty()) return false;
  }
  const QByteArray bytes = editor_->ScriptText();
  const SaveFileResult saved = WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                                   std::string_view(bytes.constData(), bytes.size()));
  if (!saved.Ok()) {
    // The system's error texts come in the locale's encoding.
    mainWindow_.Prompts().ShowError(
        this, QString("Cannot save %1: %2").arg(path, QString::fromLocal8Bit(saved.error)));
    return false;
  }
  fileName_ = path;
  named_ = true;
  SetModified(false);
  return true;
}

void EditorWindow::RunScript(RunMode mode) {
  // The run re-enters the event loop, where this window may be closed and deleted.
  QPointer<EditorWindow> self(this);
  const QByteArray text = editor_->ScriptText();
  int32_t errorPos = -1;
  ScriptHost& host = mainWindow_.Host();
  const bool ok =
      mode == RunMode::Run ? host.Run(text.toStdString(), errorPos) : host.Step(text.toStdString(), errorPos);
  if (!ok && self) {
    editor_->SelectEngineCharacter(errorPos);
    editor_->setFocus();
  }
}

void EditorWindow::ToggleBreakpoint() {
  const int line = editor_->CaretLine() - 1;
  if (editor_->MarksOnLine(line) & (1u << ScriptEditor::kBreakpointMarker))
    editor_->RemoveBreakpoint(line);
  else
    editor_->AddBreakpoint(line);
}

void EditorWindow::SetModified(bool flag) {
  if (modified_ == flag) return;
  modified_ = flag;
  UpdateTitle();
}

void EditorWindow::UpdateTitle() {
  setWindowTitle(modified_ ? fileName_ + "*" : fileName_);
}

bool EditorWindow::CloseQuery() {
  if (mainWindow_.RunningEditor() == this && mainWindow_.Host().State() != RunState::Idle) {
    if (mainWindow_.Prompts().AskYesNo(this, "The script is running, stop?") != UserPrompts::Answer::Yes)
      return false;
    mainWindow_.StopScript();
  }
  if (!modified_) return true;
  switch (mainWindow_.Prompts().AskYesNoCancel(this, "Script changed, save?")) {
    case UserPrompts::Answer::Yes:
      return SaveScript(false);
    case UserPrompts::Answer::No:
      return true;
    case UserPrompts::Answer::Cancel:
      return false;
  }
  return false;
}

void EditorWindow::CloseAfterQuery() {
  queried_ = true;
  if (QWidget* frame = parentWidget())
    frame->close();
  else
    close();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (!queried_ && !CloseQuery()) {
    event->ignore();
    return;
  }
  queried_ = true;
  event->accept();
  mainWindow_.SetCaretText(QString());
}

// The caret line, or the line of a statement selected but not yet shown.
bool EditorWindow::IsBreakpointLine() const {
  if (pendingPosition_ >= 0) return editor_->IsBreakpointLineAt(pendingPosition_);
  return ScriptEditor::IsBreakpointMarks(editor_->MarksOnLine(editor_->CaretLine() - 1));
}

void EditorWindow::UpdateCurrentLine() {
  ShowSelectedPosition();
  currentLine_ = editor_->CaretLine();
  const bool running = mainWindow_.Host().State() != RunState::Idle;
  editor_->ShowExecutionLine(running ? currentLine_ - 1 : -1);
}

void EditorWindow::SelectPosition(int32_t position) {
  pendingPosition_ = position;
}

void EditorWindow::ShowSelectedPosition() {
  if (pendingPosition_ < 0) return;
  editor_->SelectEngineCharacter(pendingPosition_);
  pendingPosition_ = -1;
}

void EditorWindow::ClearExecutionLine() {
  if (editor_->ExecutionLine() >= 0) editor_->ShowExecutionLine(-1);
}

void EditorWindow::ReportCaret() {
  mainWindow_.SetCaretText(QString("X = %1, Y = %2").arg(editor_->CaretColumn()).arg(editor_->CaretLine()));
}

// A selection of 1 to 63 characters can become a watch; anything else opens nothing.
void EditorWindow::OnContextMenu(const QPoint& globalPos) {
  const int length = editor_->SelectionLength();
  if (length < 1 || length > 63) return;
  watchText_ = editor_->selectedText();
  popupMenu_->popup(globalPos);
}

void EditorWindow::SelectLine(int line) {
  const int index = line - 1;
  if (index < 0 || index >= editor_->lines()) return;
  QString text = editor_->text(index);
  while (text.endsWith('\n') || text.endsWith('\r')) text.chop(1);
  editor_->setSelection(index, 0, index, static_cast<int>(text.size()));
  editor_->ensureLineVisible(index);
  editor_->setFocus();
}

}  // namespace quoll
