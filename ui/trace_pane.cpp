// The trace pane: a table over the exchange records, its context menu (copy, select all, save,
// clear, clear at each run) and the row link to the statement.
#include "ui/trace_pane.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>

#include "host/atomic_file.h"
#include "ui/editor_font.h"
#include "ui/user_prompts.h"

namespace quoll {

namespace {
// The column headings, in the order of TraceColumns.
const char* const kHeadings[] = {"Time", "#",       "Reader", "Kind",   "Command", "Data",
                                 "SW",   "Meaning", "ms",     "Module", "Line",    "Failure"};
constexpr int kColumnCount = static_cast<int>(std::size(kHeadings));

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

// ---- TraceModel ----

void TraceModel::Append(const ExchangeRecord& record) {
  if (rows_.size() >= kMaxRows) {
    beginRemoveRows({}, 0, 0);
    rows_.pop_front();
    endRemoveRows();
  }
  const int at = static_cast<int>(rows_.size());
  beginInsertRows({}, at, at);
  rows_.push_back({TraceFields(record), record.place, !record.failure.empty()});
  endInsertRows();
}

void TraceModel::Clear() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

QString TraceModel::LineText(int row) const {
  QStringList fields;
  for (const std::string& field : At(row).fields) fields << FromUtf8(field);
  return fields.join('\t');
}

int TraceModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TraceModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant TraceModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Row& row = At(index.row());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return FromUtf8(row.fields[static_cast<size_t>(index.column())]);
    case Qt::ForegroundRole:
      if (row.failed) return QColor(Qt::red);
      return {};
    case Qt::TextAlignmentRole:
      if (index.column() == 8 || index.column() == 10 || index.column() == 1)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      return {};
    default:
      return {};
  }
}

QVariant TraceModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return QString(kHeadings[section]);
  if (role == Qt::ToolTipRole) return FromUtf8(TraceColumns()[static_cast<size_t>(section)]);
  return {};
}

// ---- TracePane ----

TracePane::TracePane(UserPrompts& prompts, QWidget* parent)
    : QDockWidget("Trace", parent), prompts_(prompts) {
  setObjectName("tracePane");
  model_ = new TraceModel(this);
  view_ = new QTableView(this);
  view_->setObjectName("traceView");
  view_->setModel(model_);
  view_->setFont(OutputFont());
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setWordWrap(false);
  view_->verticalHeader()->hide();
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
  view_->horizontalHeader()->setStretchLastSection(true);
  view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  const int digit = view_->fontMetrics().horizontalAdvance('0');
  const int widths[] = {12, 2, 17, 12, 21, 22, 4, 22, 5, 9, 4};
  for (int c = 0; c < static_cast<int>(std::size(widths)); ++c)
    view_->setColumnWidth(c, digit * widths[c] + 8);
  setWidget(view_);

  auto* show = new QAction("Show &statement", view_);
  show->setObjectName("traceShowStatementAction");
  show->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  show->setShortcutContext(Qt::WidgetShortcut);
  auto* copy = new QAction("&Copy", view_);
  copy->setObjectName("traceCopyAction");
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, &TracePane::CopySelection);
  auto* selectAll = new QAction("Select &All", view_);
  selectAll->setShortcut(QKeySequence::SelectAll);
  selectAll->setShortcutContext(Qt::WidgetShortcut);
  connect(selectAll, &QAction::triggered, view_, &QTableView::selectAll);
  auto* save = new QAction("&Save...", view_);
  save->setObjectName("traceSaveAction");
  connect(save, &QAction::triggered, this, [this] { Save(); });
  auto* clear = new QAction("C&lear", view_);
  clear->setObjectName("traceClearAction");
  connect(clear, &QAction::triggered, this, &TracePane::Clear);
  clearAtRunAction_ = new QAction("Clear at each &run", view_);
  clearAtRunAction_->setObjectName("traceClearAtRunAction");
  clearAtRunAction_->setCheckable(true);
  clearAtRunAction_->setChecked(true);
  view_->addActions({show, copy, selectAll});
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view_, &QWidget::customContextMenuRequested, this, [=, this](const QPoint& at) {
    QMenu menu(view_);
    menu.addActions({show, copy, selectAll, save, clear});
    menu.addSeparator();
    menu.addAction(clearAtRunAction_);
    menu.exec(view_->viewport()->mapToGlobal(at));
  });
  // A double click, or Enter, on a row.
  connect(view_, &QAbstractItemView::doubleClicked, this, &TracePane::OpenRow);
  connect(show, &QAction::triggered, this, [this] { OpenRow(view_->currentIndex()); });
}

void TracePane::Record(const ExchangeRecord& record) {
  QScrollBar* bar = view_->verticalScrollBar();
  const bool atEnd = bar->value() == bar->maximum();
  model_->Append(record);
  if (atEnd) view_->scrollToBottom();
  if (record.kind == ExchangeKind::kConnect || record.kind == ExchangeKind::kDisconnect ||
      record.kind == ExchangeKind::kContext || !record.failure.empty())
    emit ConnectionsChanged();
}

void TracePane::RunStarting() {
  if (ClearsAtRun()) Clear();
}

void TracePane::Clear() {
  model_->Clear();
}

bool TracePane::ClearsAtRun() const {
  return clearAtRunAction_->isChecked();
}

void TracePane::SetClearsAtRun(bool on) {
  clearAtRunAction_->setChecked(on);
}

void TracePane::OpenRow(const QModelIndex& index) {
  if (!index.isValid()) return;
  const StatementPlace& place = model_->At(index.row()).place;
  if (place.module.empty()) return;
  emit StatementWanted(FromUtf8(place.module), place.position, place.line);
}

QString TracePane::SelectedText() const {
  QList<int> rows;
  for (const QModelIndex& index : view_->selectionModel()->selectedRows()) rows << index.row();
  if (rows.isEmpty())
    for (int row = 0; row < model_->rowCount(); ++row) rows << row;
  std::sort(rows.begin(), rows.end());
  QString text;
  for (int row : rows) text += model_->LineText(row) + '\n';
  return text;
}

void TracePane::CopySelection() {
  QApplication::clipboard()->setText(SelectedText());
}

bool TracePane::SaveTo(const QString& path, QString& error) const {
  QByteArray bytes;
  for (int row = 0; row < model_->rowCount(); ++row) bytes += model_->LineText(row).toUtf8() + '\n';
  const SaveFileResult saved = WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                                   std::string_view(bytes.constData(), bytes.size()));
  if (saved.Ok()) return true;
  error = QString::fromLocal8Bit(saved.error);
  return false;
}

bool TracePane::Save() {
  const QString path = prompts_.SaveTraceFileName(this);
  if (path.isEmpty()) return false;
  QString error;
  if (SaveTo(path, error)) return true;
  prompts_.ShowError(this, QString("Cannot save %1: %2").arg(path, error));
  return false;
}

}  // namespace quoll
