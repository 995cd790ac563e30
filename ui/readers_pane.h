// ReadersPane: the readers as a dock: each reader with its state (no card, card present,
// connected by this program, in use by another), its index for scripts, and for a card its ATR
// as hex with the parsed fields below it. It shows what the reader watcher last saw, combined
// with what the program's reader manager holds.
#pragma once

#include <QDockWidget>
#include <string>
#include <vector>

#include "card/reader_watcher.h"

class QTreeWidget;

namespace quoll {

class ReadersPane : public QDockWidget {
  Q_OBJECT

 public:
  explicit ReadersPane(QWidget* parent);

  // What the watcher saw last (on the UI thread).
  void ShowSnapshot(const ReaderSnapshot& snapshot);
  // The readers as scripts number them, and those this program is connected to.
  void ShowScriptReaders(std::vector<std::string> listed, std::vector<std::string> connected);

  QTreeWidget* Tree() const { return tree_; }
  // The state text shown for a reader; empty when it is not shown.
  QString StateOf(const QString& reader) const;
  bool HasSnapshot() const { return hasSnapshot_; }

 private:
  void Rebuild();

  QTreeWidget* tree_;
  ReaderSnapshot snapshot_;
  bool hasSnapshot_ = false;
  std::vector<std::string> listed_, connected_;
};

}  // namespace quoll
