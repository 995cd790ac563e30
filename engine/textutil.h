// Text helpers shared by the engine, its libraries and the host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quoll {

// Changes only the 26 ASCII letters.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);

std::string IntToText(int64_t value);
// Fixed notation with exactly 12 decimals, no leading blanks ("1.500000000000").
std::string RealToText(long double value);

// Decimal, or hexadecimal after '$'; the whole text must convert and fit 32 bits.
std::optional<int32_t> ParseInt32(std::string_view text);
// A decimal real such as "3.14" or "3.".
std::optional<long double> ParseReal(std::string_view text);

// Text to integer or real with the engine's fallbacks (-1, -1.0) or a given default.
inline int32_t TextToInt(std::string_view text, int32_t fallback = -1) {
  return ParseInt32(text).value_or(fallback);
}
inline long double TextToReal(std::string_view text) {
  return ParseReal(text).value_or(-1.0L);
}

// Padding to a length; a text already that long is returned unchanged.
std::string PadLeft(std::string_view s, size_t length, char fill = ' ');
std::string PadRight(std::string_view s, size_t length);

// The first blank-separated word, and the text after it with the blanks that follow removed.
std::string FirstWord(std::string_view s);
std::string WithoutFirstWord(std::string_view s);

}  // namespace quoll
