// WatchWindow: the watch window, a stay-on-top tool window listing watch names and their values.
// Names are edited in place (F2 or any typed character on the selected row; Delete empties a
// name); the values come from whoever asks for a refresh, so the window knows nothing of scripts.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QTreeWidget;

namespace quoll {

class WatchList;

class WatchWindow : public QWidget {
  Q_OBJECT

 public:
  // The value text for a watch name, or nothing when the name names no variable.
  using ValueLookup = std::function<std::optional<QString>(const QString& name)>;

  explicit WatchWindow(QWidget* parent = nullptr);

  // Puts the name into the first row without a name, or appends a row.
  void AddWatch(const QString& name);
  // Sets the value of every named row ("???" for an unknown name); rows without a name keep theirs.
  void RefreshWatches(const ValueLookup& lookup);
  QTreeWidget* List() const;

  // A watch name with leading and trailing blanks and control characters removed.
  static QString TrimName(const QString& name);

 signals:
  void VisibilityChanged();
  // An in-place edit ended with a new name.
  void NameEdited();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  WatchList* watchList_;
};

}  // namespace quoll
