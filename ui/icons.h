// The workbench's painted images: the program icon, the editor's gutter marks and the tool-bar
// images that the style does not provide.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quoll::icons {

QIcon ProgramIcon();
// Bookmark glyph showing the digit 0..9 (16 x 16).
QPixmap Bookmark(int digit);
// The breakpoint glyph: a dark red filled circle (16 x 16).
QPixmap Breakpoint();
QIcon Cut();
QIcon Copy();
QIcon Paste();

}  // namespace quoll::icons
