// Fixed-pitch fonts with a fallback: fontconfig may substitute a proportional family for a missing
// Courier, which would break the column layout of scripts.
#include "ui/editor_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>

namespace quoll {

namespace {

constexpr double kPixelHeight = 13;

// The size in points that is 13 pixels on this screen (QScintilla reads point sizes only).
double PointSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
  return kPixelHeight * 72.0 / (dpi > 0 ? dpi : 96.0);
}

QFont FixedFont(const QString& family) {
  QFont font(family);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSizeF(PointSize());
  if (!QFontInfo(font).fixedPitch()) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(PointSize());
  }
  return font;
}

}  // namespace

QFont EditorFont() {
  return FixedFont("Courier New");
}

QFont OutputFont() {
  return FixedFont("Courier");
}

}  // namespace quoll
