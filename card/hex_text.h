// Byte strings cross the script boundary as hex text: blanks ignored and either case on input,
// two upper-case digits per byte without separators on output.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quoll {

using Bytes = std::vector<uint8_t>;

// The value 0..15 of one hex digit; raises CardError("Invalid Hex string!") for anything else.
uint8_t HexDigitValue(char c);

// Leading and trailing characters 0..32 and every blank are dropped; what remains must be a
// non-empty, even run of hex digits. Raises CardError with "String can not be empty!",
// "String can not be odd!" or "Invalid Hex string!", checked in that order.
Bytes HexToBytes(std::string_view text);

// `count` bytes from index `first` (a negative count: to the end), as upper-case hex digits.
std::string BytesToHex(std::span<const uint8_t> bytes, int64_t count = -1, size_t first = 0);

// Upper-case hex digits with one blank between bytes ("3B 02 14 50"), for people to read.
std::string BytesToSpacedHex(std::span<const uint8_t> bytes);

}  // namespace quoll
