// The fixed-pitch fonts of the script editor and the output pane.
#pragma once

#include <QFont>

namespace quoll {

// "Courier New", 13 pixels, or the system's fixed-pitch font where that family is missing.
QFont EditorFont();
// "Courier", 13 pixels, with the same fallback.
QFont OutputFont();

}  // namespace quoll
