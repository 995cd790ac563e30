// The readers pane: one top-level row per reader, the parsed ATR as its children.
#include "ui/readers_pane.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>

#include "card/atr.h"
#include "ui/editor_font.h"

namespace quoll {

namespace {
enum Column { kReader, kIndex, kState, kAtr };

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

ReadersPane::ReadersPane(QWidget* parent) : QDockWidget("Readers", parent) {
  setObjectName("readersPane");
  tree_ = new QTreeWidget(this);
  tree_->setObjectName("readersTree");
  tree_->setColumnCount(4);
  tree_->setHeaderLabels({"Reader", "#", "State", "ATR"});
  tree_->headerItem()->setToolTip(kIndex, "The reader's index for scripts (GetReaderName)");
  tree_->setRootIsDecorated(true);
  tree_->setUniformRowHeights(true);
  tree_->setFont(OutputFont());
  tree_->header()->setStretchLastSection(true);
  const int digit = tree_->fontMetrics().horizontalAdvance('0');
  tree_->setColumnWidth(kReader, digit * 32);
  tree_->setColumnWidth(kIndex, digit * 3 + 8);
  tree_->setColumnWidth(kState, digit * 26);
  setWidget(tree_);
  Rebuild();
}

void ReadersPane::ShowSnapshot(const ReaderSnapshot& snapshot) {
  snapshot_ = snapshot;
  hasSnapshot_ = true;
  Rebuild();
}

void ReadersPane::ShowScriptReaders(std::vector<std::string> listed, std::vector<std::string> connected) {
  if (listed == listed_ && connected == connected_) return;
  listed_ = std::move(listed);
  connected_ = std::move(connected);
  Rebuild();
}

QString ReadersPane::StateOf(const QString& reader) const {
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = tree_->topLevelItem(i);
    if (item->text(kReader) == reader) return item->text(kState);
  }
  return {};
}

void ReadersPane::Rebuild() {
  tree_->clear();
  if (!hasSnapshot_) {
    auto* item = new QTreeWidgetItem(tree_);
    item->setText(kReader, "Waiting for the PC/SC service...");
    item->setFirstColumnSpanned(true);
    return;
  }
  if (!snapshot_.serviceAvailable) {
    auto* item = new QTreeWidgetItem(tree_);
    item->setText(kReader, "PC/SC unavailable: " + FromUtf8(snapshot_.problem));
    item->setToolTip(kReader, item->text(kReader));
    item->setFirstColumnSpanned(true);
    return;
  }
  if (snapshot_.readers.empty()) {
    auto* item = new QTreeWidgetItem(tree_);
    item->setText(kReader, "No reader attached");
    item->setFirstColumnSpanned(true);
  }
  for (const ReaderStatus& reader : snapshot_.readers) {
    auto* item = new QTreeWidgetItem(tree_);
    item->setText(kReader, FromUtf8(reader.name));
    item->setToolTip(kReader, item->text(kReader));
    const auto listed = std::find(listed_.begin(), listed_.end(), reader.name);
    if (listed != listed_.end())
      item->setText(kIndex, QString::number(listed - listed_.begin() + 1));
    else
      item->setToolTip(kIndex, "Not in the scripts' list yet: the next run lists it");
    const bool ours = std::find(connected_.begin(), connected_.end(), reader.name) != connected_.end();
    item->setText(kState, ReaderConditionText(reader.Condition(ours)));
    if (reader.atr.empty()) continue;
    item->setText(kAtr, FromUtf8(BytesToSpacedHex(reader.atr)));
    // The ATR's fields, one per line, below the reader.
    for (const std::string& line : DescribeAtr(ParseAtr(reader.atr))) {
      auto* field = new QTreeWidgetItem(item);
      field->setText(kReader, FromUtf8(line));
      field->setFirstColumnSpanned(true);
    }
    item->setExpanded(true);
  }
}

}  // namespace quoll
