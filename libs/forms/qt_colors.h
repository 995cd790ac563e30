// The dialect's colour numbers on Qt: $00BBGGRR is a plain colour, $80000000 plus an index one of
// the system colours, which map to roles of the palette.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace quoll::forms {

inline constexpr uint32_t kSystemColor = 0x80000000u;
inline constexpr uint32_t kColorWindowText = kSystemColor + 8;   // clWindowText
inline constexpr uint32_t kColorWindow = kSystemColor + 5;       // clWindow
inline constexpr uint32_t kColorButtonFace = kSystemColor + 15;  // clBtnFace

// The colour a number stands for, system colours taken from `palette`.
QColor ColorFromNumber(uint32_t number, const QPalette& palette);

}  // namespace quoll::forms
