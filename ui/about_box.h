// AboutBox: the program's name, version and copyright.
#pragma once

#include <QDialog>

namespace quoll {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace quoll
