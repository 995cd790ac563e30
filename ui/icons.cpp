// Painted images, so the workbench needs no image files.
#include "ui/icons.h"

#include <QPainter>
#include <QPainterPath>

namespace quoll::icons {

namespace {

QPixmap Blank(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  // A smart card with its contact chip.
  QPixmap pixmap = Blank(32);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(20, 60, 120), 1.5));
  p.setBrush(QColor(70, 130, 200));
  p.drawRoundedRect(QRectF(1.5, 6.5, 29, 19), 3, 3);
  p.setPen(QPen(QColor(120, 90, 10), 1));
  p.setBrush(QColor(230, 190, 60));
  p.drawRoundedRect(QRectF(5.5, 11.5, 8, 7), 1.5, 1.5);
  p.drawLine(QPointF(5.5, 15), QPointF(13.5, 15));
  p.drawLine(QPointF(9.5, 11.5), QPointF(9.5, 18.5));
  return QIcon(pixmap);
}

QPixmap Bookmark(int digit) {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  p.setPen(QColor(60, 60, 60));
  p.setBrush(QColor(255, 240, 150));
  p.drawRect(2, 1, 11, 13);
  QFont font = p.font();
  font.setPixelSize(11);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(QRect(2, 1, 12, 14), Qt::AlignCenter, QString::number(digit));
  return pixmap;
}

QPixmap Breakpoint() {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QColor(90, 0, 0));
  p.setBrush(QColor(160, 0, 0));
  p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  return pixmap;
}

QIcon Cut() {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.3));
  p.drawLine(QPointF(4, 1), QPointF(10, 10));
  p.drawLine(QPointF(12, 1), QPointF(6, 10));
  p.drawEllipse(QRectF(2, 10, 4, 4));
  p.drawEllipse(QRectF(10, 10, 4, 4));
  return QIcon(pixmap);
}

QIcon Copy() {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  p.setPen(QColor(40, 40, 40));
  p.setBrush(Qt::white);
  p.drawRect(1, 1, 8, 10);
  p.drawRect(6, 4, 8, 10);
  return QIcon(pixmap);
}

QIcon Paste() {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  p.setPen(QColor(90, 60, 20));
  p.setBrush(QColor(200, 160, 100));
  p.drawRect(2, 2, 11, 13);
  p.setBrush(Qt::white);
  p.setPen(QColor(40, 40, 40));
  p.drawRect(5, 6, 9, 9);
  p.setBrush(QColor(120, 120, 120));
  p.drawRect(5, 1, 5, 3);
  return QIcon(pixmap);
}

}  // namespace quoll::icons
