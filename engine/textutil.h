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

}  // namespace quoll
