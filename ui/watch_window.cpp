// WatchWindow: the list of watches with 16 empty rows to start with, and its editing keys.
#include "ui/watch_window.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quoll {

// The two-column list. Only the name column is ever edited, whichever cell the user is on, and
// only on a selected row.
class WatchList : public QTreeWidget {
 public:
  explicit WatchList(QWidget* parent) : QTreeWidget(parent) {}

  std::function<void()> onNameEdited;

  QTreeWidgetItem* AddRow(const QString& name = QString()) {
    auto* row = new QTreeWidgetItem(this, {name});
    row->setFlags(row->flags() | Qt::ItemIsEditable);
    return row;
  }

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
    if (!index.isValid()) return false;
    if (trigger != AllEditTriggers && !selectionModel()->isSelected(index.siblingAtColumn(0))) return false;
    return QTreeWidget::edit(index.siblingAtColumn(0), trigger, event);
  }

  void keyPressEvent(QKeyEvent* event) override {
    QTreeWidgetItem* row = currentItem();
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && state() != EditingState) {
      // The value stays until the row is given a name again.
      if (row && row->isSelected()) row->setText(0, QString());
      event->accept();
      return;
    }
    QTreeWidget::keyPressEvent(event);
  }

  void commitData(QWidget* editor) override {
    QTreeWidgetItem* row = currentItem();
    const QString before = row ? row->text(0) : QString();
    QTreeWidget::commitData(editor);
    if (row && row->text(0) != before && onNameEdited) onNameEdited();
  }
};

WatchWindow::WatchWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName("watchWindow");
  setWindowTitle("Watch");
  setGeometry(212, 253, 435, 154);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);
  watchList_ = new WatchList(this);
  watchList_->setObjectName("watchList");
  watchList_->setRootIsDecorated(false);
  watchList_->setItemsExpandable(false);
  watchList_->setAllColumnsShowFocus(true);
  watchList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  watchList_->setSelectionMode(QAbstractItemView::SingleSelection);
  watchList_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  watchList_->setStyleSheet(
      "QTreeView::item { border-right: 1px solid #d0d0d0; border-bottom: 1px solid #d0d0d0; }");
  watchList_->setHeaderLabels({"Variant Name", "Value"});
  watchList_->header()->setSectionsClickable(false);
  watchList_->header()->setStretchLastSection(true);
  watchList_->setColumnWidth(0, 212);
  for (int i = 0; i < 16; ++i) watchList_->AddRow();
  watchList_->onNameEdited = [this] { emit NameEdited(); };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(watchList_);
}

QTreeWidget* WatchWindow::List() const {
  return watchList_;
}

QString WatchWindow::TrimName(const QString& name) {
  qsizetype from = 0, to = name.size();
  while (from < to && name[from].unicode() <= ' ') ++from;
  while (to > from && name[to - 1].unicode() <= ' ') --to;
  return name.mid(from, to - from);
}

void WatchWindow::AddWatch(const QString& name) {
  for (int i = 0; i < watchList_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = watchList_->topLevelItem(i);
    if (TrimName(row->text(0)).isEmpty()) {
      row->setText(0, name);
      return;
    }
  }
  watchList_->AddRow(name);
}

void WatchWindow::RefreshWatches(const ValueLookup& lookup) {
  for (int i = 0; i < watchList_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = watchList_->topLevelItem(i);
    const QString name = TrimName(row->text(0));
    if (name.isEmpty()) continue;
    const std::optional<QString> value = lookup(name);
    const QString text = value ? *value : QString("???");
    if (row->text(1) != text) row->setText(1, text);
  }
}

void WatchWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  emit VisibilityChanged();
}

void WatchWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  emit VisibilityChanged();
}

}  // namespace quoll
