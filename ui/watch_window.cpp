// TfrmWatch: the list of watches with 16 empty rows to start with.
#include "ui/watch_window.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quoll {

TfrmWatch::TfrmWatch(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName("frmWatch");
  setWindowTitle("Watch");
  setGeometry(212, 253, 435, 154);
  lvVar_ = new QTreeWidget(this);
  lvVar_->setObjectName("lvVar");
  lvVar_->setRootIsDecorated(false);
  lvVar_->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvVar_->setHeaderLabels({"Variant Name", "Value"});
  lvVar_->header()->setSectionsClickable(false);
  lvVar_->setColumnWidth(0, 212);
  for (int i = 0; i < 16; ++i) {
    auto* row = new QTreeWidgetItem(lvVar_);
    row->setFlags(row->flags() | Qt::ItemIsEditable);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(lvVar_);
}

void TfrmWatch::AddWatch(const QString& name) {
  for (int i = 0; i < lvVar_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = lvVar_->topLevelItem(i);
    if (row->text(0).trimmed().isEmpty()) {
      row->setText(0, name);
      return;
    }
  }
  auto* row = new QTreeWidgetItem(lvVar_, {name});
  row->setFlags(row->flags() | Qt::ItemIsEditable);
}

void TfrmWatch::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  emit VisibilityChanged();
}

void TfrmWatch::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  emit VisibilityChanged();
}

}  // namespace quoll
