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

EditorWindow::EditorWindow(MainWindow& mainForm, const QString& name)
    : mainForm_(mainForm), mmoScript_(new ScriptEditor(this)), menuPop_(new QMenu(this)), fileName_(name) {
  setAttribute(Qt::WA_DeleteOnClose);
  mmoScript_->setObjectName("mmoScript");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(mmoScript_);
  setFocusProxy(mmoScript_);
  menuPop_->setObjectName("menuPop");
  QAction* addToWatch = menuPop_->addAction("&Add to watch");
  addToWatch->setObjectName("Addtowatch1");
  connect(addToWatch, &QAction::triggered, this, [this] { mainForm_.AddWatch(watchText_); });
  connect(mmoScript_, &QsciScintilla::textChanged, this, [this] { SetModified(true); });
  connect(mmoScript_, &QsciScintilla::cursorPositionChanged, this, &EditorWindow::ReportCaret);
  connect(mmoScript_, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
    if (updated & QsciScintillaBase::SC_UPDATE_SELECTION) ReportCaret();
  });
  connect(mmoScript_, &ScriptEditor::ContextMenuWanted, this, &EditorWindow::OnContextMenu);
  UpdateTitle();
}

bool EditorWindow::LoadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    mainForm_.Prompts().ShowError(this, QString("Cannot open %1: %2").arg(path, file.errorString()));
    return false;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    mainForm_.Prompts().ShowError(this, QString("Cannot read %1: %2").arg(path, file.errorString()));
    return false;
  }
  mmoScript_->LoadBytes(bytes);
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
    path = mainForm_.Prompts().SaveFileName(this);
    if (path.isEmpty()) return false;
  }
  const QByteArray bytes = mmoScript_->ScriptText();
  const SaveFileResult saved = WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                                   std::string_view(bytes.constData(), bytes.size()));
  if (!saved.Ok()) {
    // The system's error texts come in the locale's encoding.
    mainForm_.Prompts().ShowError(
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
  const QByteArray text = mmoScript_->ScriptText();
  int32_t errorPos = -1;
  ScriptHost& host = mainForm_.Host();
  const bool ok =
      mode == RunMode::Run ? host.Run(text.toStdString(), errorPos) : host.Step(text.toStdString(), errorPos);
  if (!ok && self) {
    mmoScript_->SelectEngineCharacter(errorPos);
    mmoScript_->setFocus();
  }
}

void EditorWindow::ToggleBreakpoint() {
  const int line = mmoScript_->CaretLine() - 1;
  if (mmoScript_->MarksOnLine(line) & (1u << ScriptEditor::kBreakpointMarker))
    mmoScript_->RemoveBreakpoint(line);
  else
    mmoScript_->AddBreakpoint(line);
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
  if (mainForm_.RunningEditor() == this && mainForm_.Host().State() != RunState::Idle) {
    if (mainForm_.Prompts().AskYesNo(this, "The script is running, stop?") != UserPrompts::Answer::Yes)
      return false;
    mainForm_.StopScript();
  }
  if (!modified_) return true;
  switch (mainForm_.Prompts().AskYesNoCancel(this, "Script changed, save?")) {
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
  mainForm_.SetCaretText(QString());
}

// The caret line, or the line of a statement selected but not yet shown.
bool EditorWindow::IsBreakpointLine() const {
  if (pendingPosition_ >= 0) return mmoScript_->IsBreakpointLineAt(pendingPosition_);
  return ScriptEditor::IsBreakpointMarks(mmoScript_->MarksOnLine(mmoScript_->CaretLine() - 1));
}

void EditorWindow::UpdateCurrentLine() {
  ShowSelectedPosition();
  currentLine_ = mmoScript_->CaretLine();
  const bool running = mainForm_.Host().State() != RunState::Idle;
  mmoScript_->ShowExecutionLine(running ? currentLine_ - 1 : -1);
}

void EditorWindow::SelectPosition(int32_t position) {
  pendingPosition_ = position;
}

void EditorWindow::ShowSelectedPosition() {
  if (pendingPosition_ < 0) return;
  mmoScript_->SelectEngineCharacter(pendingPosition_);
  pendingPosition_ = -1;
}

void EditorWindow::ClearExecutionLine() {
  if (mmoScript_->ExecutionLine() >= 0) mmoScript_->ShowExecutionLine(-1);
}

void EditorWindow::ReportCaret() {
  mainForm_.SetCaretText(
      QString("X = %1, Y = %2").arg(mmoScript_->CaretColumn()).arg(mmoScript_->CaretLine()));
}

// A selection of 1 to 63 characters can become a watch; anything else opens nothing.
void EditorWindow::OnContextMenu(const QPoint& globalPos) {
  const int length = mmoScript_->SelectionLength();
  if (length < 1 || length > 63) return;
  watchText_ = mmoScript_->selectedText();
  menuPop_->popup(globalPos);
}

}  // namespace quoll
