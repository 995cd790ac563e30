// Colour numbers: the low three bytes are red, green and blue, in that order from the lowest; the
// system colour indexes are those of the dialect's platform (COLOR_WINDOW 5, COLOR_BTNFACE 15 ...).
#include "libs/forms/qt_colors.h"

namespace quoll::forms {
namespace {

QPalette::ColorRole SystemRole(uint32_t index) {
  switch (index) {
    case 0:   // scroll bar
    case 15:  // button face
      return QPalette::Button;
    case 5:  // window background
      return QPalette::Base;
    case 6:   // window frame
    case 21:  // 3D dark shadow
      return QPalette::Shadow;
    case 7:  // menu text
      return QPalette::WindowText;
    case 8:   // window text
    case 19:  // inactive caption text
      return QPalette::Text;
    case 9:   // caption text
    case 14:  // highlight text
      return QPalette::HighlightedText;
    case 2:   // active caption
    case 13:  // highlight
    case 27:  // gradient active caption
    case 29:  // menu highlight
      return QPalette::Highlight;
    case 3:   // inactive caption
    case 28:  // gradient inactive caption
      return QPalette::Mid;
    case 12:  // application workspace
    case 16:  // button shadow
      return QPalette::Dark;
    case 17:  // grey text
      return QPalette::PlaceholderText;
    case 18:  // button text
      return QPalette::ButtonText;
    case 20:  // button highlight
      return QPalette::Light;
    case 22:  // 3D light
      return QPalette::Midlight;
    case 23:  // tool tip text
      return QPalette::ToolTipText;
    case 24:  // tool tip background
      return QPalette::ToolTipBase;
    case 26:  // hot-tracked item
      return QPalette::Link;
    default:  // desktop, menu, borders, menu bar and unknown indexes
      return QPalette::Window;
  }
}

}  // namespace

QColor ColorFromNumber(uint32_t number, const QPalette& palette) {
  if (number & kSystemColor) return palette.color(QPalette::Active, SystemRole(number & 0xFFu));
  return QColor(static_cast<int>(number & 0xFF), static_cast<int>((number >> 8) & 0xFF),
                static_cast<int>((number >> 16) & 0xFF));
}

}  // namespace quoll::forms
