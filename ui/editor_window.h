// EditorWindow: one script document in the main window: the editor, the file it belongs to, whether
// its text changed, saving, the close query, running its text, breakpoints and the execution line.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "ui/script_editor.h"

class QMenu;

namespace quoll {

class MainWindow;

class EditorWindow : public QWidget {
  Q_OBJECT

 public:
  enum class RunMode { Run = 0, Step = 1 };

  EditorWindow(MainWindow& mainWindow, const QString& name);

  // Loads a file's lines; false (with the error shown) when it cannot be read.
  bool LoadFile(const QString& path);
  // Saves to the file (asking for a name when unnamed or saveAs); true when saved.
  bool SaveScript(bool saveAs);
  // Hands the text to the host to run or step; after a failed run selects the error character.
  void RunScript(RunMode mode);
  void ToggleBreakpoint();

  void SetModified(bool flag);
  bool Modified() const { return modified_; }
  bool Named() const { return named_; }
  QString FileName() const { return fileName_; }

  // Whether the window may close: asks about a running script and about changed text.
  bool CloseQuery();
  // Closes without asking again (the main window has asked already).
  void CloseAfterQuery();

  // What the host asks of the running editor.
  bool HasMarks() const { return editor_->HasMarks(); }
  bool IsBreakpointLine() const;
  void UpdateCurrentLine();
  // Selects the character at an engine position. A running script selects every statement it
  // reaches, far more often than anyone can see: the position is kept and the editor selects it
  // at the next ShowSelectedPosition, which the main window calls before every event-loop pass.
  // Until then the breakpoint test looks at the line of that position.
  void SelectPosition(int32_t position);
  void ShowSelectedPosition();
  // Selects a whole 1-based line (without its line break) and shows it; the trace's link.
  void SelectLine(int line);
  // Removes the execution-line colours.
  void ClearExecutionLine();
  int CurrentLine() const { return currentLine_; }

  // Puts "X = column, Y = line" into the main window's status bar.
  void ReportCaret();

  ScriptEditor* Editor() const { return editor_; }
  QMenu* PopupMenu() const { return popupMenu_; }
  QString WatchText() const { return watchText_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void UpdateTitle();
  void OnContextMenu(const QPoint& globalPos);

  MainWindow& mainWindow_;
  ScriptEditor* editor_;
  QMenu* popupMenu_;
  QString fileName_;  // the title without the "*" of a changed text
  bool modified_ = false;
  bool named_ = false;
  bool queried_ = false;
  int currentLine_ = 0;
  int32_t pendingPosition_ = -1;  // selected by SelectPosition, not yet shown
  QString watchText_;
};

}  // namespace quoll
