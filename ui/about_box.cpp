// AboutBox: a fixed-size box with the program icon and three labels.
#include "ui/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "ui/icons.h"

namespace quoll {

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName("aboutBox");
  setWindowTitle("About");
  setFixedSize(304, 130);
  auto* panel = new QFrame(this);
  panel->setObjectName("aboutPanel");
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setGeometry(8, 8, 289, 81);
  auto* icon = new QLabel(panel);
  icon->setObjectName("programIcon");
  icon->setPixmap(icons::ProgramIcon().pixmap(32, 32));
  icon->setGeometry(8, 8, 32, 32);
  auto label = [panel](const char* name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, panel);
    l->setObjectName(name);
    l->move(x, y);
    l->adjustSize();
  };
  label("ProductName", "Quoll", 88, 16);
  label("Version", "Version 0.4", 176, 16);
  label("Copyright", "Copyright (C) 2026 the Quoll developers", 8, 56);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("okButton");
  ok->setGeometry(128, 96, 65, 27);
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quoll
