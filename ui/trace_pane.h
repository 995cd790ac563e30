// TracePane: the card trace as a dock: one row per exchange with a reader (time, reader, kind,
// command, response data, SW1 SW2 and their meaning, duration, module and line of the call,
// PC/SC's failure). Double-clicking a row asks for the statement that made it; rows copy as
// tab-separated text and the whole trace saves to a text file in the format of quoll-run --trace.
#pragma once

#include <QAbstractTableModel>
#include <QDockWidget>
#include <deque>
#include <string>
#include <vector>

#include "card/trace_sink.h"

class QAction;
class QTableView;

namespace quoll {

class UserPrompts;

// The rows behind the pane: each exchange's fields, computed once when it arrives.
class TraceModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  struct Row {
    std::vector<std::string> fields;
    StatementPlace place;
    bool failed = false;
  };
  // The oldest rows go when a long run records more than this.
  static constexpr size_t kMaxRows = 100000;

  using QAbstractTableModel::QAbstractTableModel;
  void Append(const ExchangeRecord& record);
  void Clear();
  const Row& At(int row) const { return rows_[static_cast<size_t>(row)]; }
  // One row as a trace line: its fields joined by tabs.
  QString LineText(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::deque<Row> rows_;
};

class TracePane : public QDockWidget, public TraceSink {
  Q_OBJECT

 public:
  TracePane(UserPrompts& prompts, QWidget* parent);

  // TraceSink: a new row, the view following it when it showed the last row.
  void Record(const ExchangeRecord& record) override;

  // A run starts: the rows go, unless clearing at each run is turned off.
  void RunStarting();
  void Clear();
  bool ClearsAtRun() const;
  void SetClearsAtRun(bool on);

  int RowCount() const { return model_->rowCount(); }
  // The selected rows (all rows when none is selected) as trace lines, one per line.
  QString SelectedText() const;
  void CopySelection();
  // Asks for a file name and writes every row; a failure is shown. True when saved.
  bool Save();
  // Writes every row as a trace line to `path`; the system's reason when it cannot.
  bool SaveTo(const QString& path, QString& error) const;

  QTableView* View() const { return view_; }
  TraceModel* Model() const { return model_; }

 signals:
  // The user wants to see the statement behind a row.
  void StatementWanted(const QString& module, int position, int line);
  // A connection was made or dropped (the readers pane shows which are this program's).
  void ConnectionsChanged();

 private:
  void OpenRow(const QModelIndex& index);

  UserPrompts& prompts_;
  TraceModel* model_;
  QTableView* view_;
  QAction* clearAtRunAction_;
};

}  // namespace quoll
