// ScriptEditor: the source editor control of an editor window (QScintilla) set up for scripts:
// CR LF lines, Pascal colouring, the gutter with line numbers and marks, the execution-line
// colours, the key bindings scripts are edited with, and the mapping between engine positions
// (0-based byte offsets into the CR LF text) and the editor's caret and selection.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace quoll {

class ScriptEditor : public QsciScintilla {
  Q_OBJECT

 public:
  // Marks are markers: bookmarks 0..9 use the markers 0..9, a breakpoint the marker 10.
  static constexpr int kBreakpointMarker = 10;
  static constexpr unsigned kMarkMask = (1u << 11) - 1;

  explicit ScriptEditor(QWidget* parent = nullptr);

  // The text as the engine gets it: every line followed by CR LF. Stray CR or LF line breaks
  // are turned into CR LF first, so engine positions are editor byte offsets.
  QByteArray ScriptText();
  // Replaces the text with a file's bytes (UTF-8, or Latin-1 when they are not valid UTF-8).
  void LoadBytes(const QByteArray& bytes);

  // Selects the one character at an engine position; the caret goes to its end.
  void SelectEngineCharacter(int32_t position);
  // 1-based caret line and column (tabs expanded, virtual space counted).
  int CaretLine() const;
  int CaretColumn() const;
  // Number of bytes selected.
  int SelectionLength() const;

  // The marks on a 0-based line, one bit per marker (bookmarks 0..9, breakpoint 10).
  unsigned MarksOnLine(int line) const;
  bool HasMarks() const { return hasMarks_ >= 0 ? hasMarks_ != 0 : FindMarks(); }
  // A line with two marks of any kind, or with a breakpoint alone, is a breakpoint line.
  static bool IsBreakpointMarks(unsigned marks);
  // Whether the line holding the character at an engine position is a breakpoint line. A run with
  // marks asks before every statement, so the answer comes from the spans of the breakpoint
  // lines, kept until the text or the marks change.
  bool IsBreakpointLineAt(int32_t position) const;
  bool HasBreakpointLines() const;
  void AddBreakpoint(int line);
  void RemoveBreakpoint(int line);
  // Bookmark n on the caret line (again on the same line: removes it), and going to it.
  void ToggleBookmark(int digit);
  void GotoBookmark(int digit);

  // Shows the 0-based line as the execution line (white on red); -1 removes it.
  void ShowExecutionLine(int line);
  int ExecutionLine() const { return executionLine_; }

 signals:
  // The right mouse button (or the menu key) at a screen position.
  void ContextMenuWanted(const QPoint& globalPos);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void BindKeys();
  bool FindMarks() const;
  bool HandleOwnKey(QKeyEvent* event);
  void FindBreakpointSpans() const;

  int executionLine_ = -1;
  // Whether any mark exists: asked before every statement of a run, so it is kept, not searched.
  mutable int hasMarks_ = -1;  // -1: not known since the last change
  // The breakpoint lines as spans of positions [start, next line's start), in text order;
  // asked before every statement of a marked run, so kept, not searched. Built when first asked
  // after a change.
  mutable bool breakpointSpansKnown_ = false;
  mutable std::vector<std::pair<int32_t, int32_t>> breakpointSpans_;
};

}  // namespace quoll
