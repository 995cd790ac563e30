// Hex text to bytes and back.
#include "card/hex_text.h"

#include <algorithm>

#include "card/card_error.h"

namespace quoll {

namespace {
const char kInvalidHex[] = "Invalid Hex string!";
const char kUpperDigits[] = "0123456789ABCDEF";

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
}  // namespace

uint8_t HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
  throw CardError(kInvalidHex);
}

Bytes HexToBytes(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  std::string digits;
  digits.reserve(end - begin);
  for (size_t i = begin; i < end; ++i)
    if (text[i] != ' ') digits += text[i];
  if (digits.empty()) throw CardError("String can not be empty!");
  if (digits.size() % 2 != 0) throw CardError("String can not be odd!");
  Bytes bytes(digits.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(HexDigitValue(digits[2 * i]) << 4 | HexDigitValue(digits[2 * i + 1]));
  return bytes;
}

std::string BytesToHex(std::span<const uint8_t> bytes, int64_t count, size_t first) {
  if (first >= bytes.size()) return std::string();
  size_t available = bytes.size() - first;
  size_t n = count < 0 ? available : std::min(available, static_cast<size_t>(count));
  std::string text(2 * n, '0');
  for (size_t i = 0; i < n; ++i) {
    uint8_t b = bytes[first + i];
    text[2 * i] = kUpperDigits[b >> 4];
    text[2 * i + 1] = kUpperDigits[b & 15];
  }
  return text;
}

std::string BytesToSpacedHex(std::span<const uint8_t> bytes) {
  std::string text;
  text.reserve(3 * bytes.size());
  for (uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += kUpperDigits[b >> 4];
    text += kUpperDigits[b & 15];
  }
  return text;
}

}  // namespace quoll
