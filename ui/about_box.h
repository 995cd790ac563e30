// TAboutBox: the program's name, version and copyright.
#pragma once

#include <QDialog>

namespace quoll {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);
};

}  // namespace quoll
