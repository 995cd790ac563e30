// TfrmWatch: the watch window, a stay-on-top tool window listing watch names and their values.
#pragma once

#include <QWidget>

class QTreeWidget;

namespace quoll {

class TfrmWatch : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmWatch(QWidget* parent = nullptr);

  // Puts the name into the first row without a name, or appends a row.
  void AddWatch(const QString& name);
  QTreeWidget* List() const { return lvVar_; }

 signals:
  void VisibilityChanged();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QTreeWidget* lvVar_;
};

}  // namespace quoll
