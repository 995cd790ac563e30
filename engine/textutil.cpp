// Text helpers shared by the engine, its libraries and the host.
#include "engine/textutil.h"

#include <cstdio>
#include <cstdlib>

namespace quoll {

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string IntToText(int64_t value) {
  return std::to_string(value);
}

std::string RealToText(long double value) {
  char buf[128];
  int n = std::snprintf(buf, sizeof buf, "%.12Lf", value);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof buf) return std::string(buf, static_cast<size_t>(n));
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), "%.12Lf", value);
  big.resize(static_cast<size_t>(n));
  return big;
}

std::optional<int32_t> ParseInt32(std::string_view text) {
  if (text.empty()) return std::nullopt;
  size_t i = 0;
  bool negative = false;
  if (text[0] == '$') {
    if (text.size() == 1) return std::nullopt;
    // Leading zeros are free; at most 8 significant digits fit.
    size_t first = 1;
    while (first + 1 < text.size() && text[first] == '0') ++first;
    if (text.size() - first > 8) return std::nullopt;
    uint32_t v = 0;
    for (i = 1; i < text.size(); ++i) {
      char c = text[i];
      int d;
      if (c >= '0' && c <= '9')
        d = c - '0';
      else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
      else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
      else
        return std::nullopt;
      v = v * 16 + static_cast<uint32_t>(d);
    }
    return static_cast<int32_t>(v);
  }
  if (text[0] == '-' || text[0] == '+') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i == text.size()) return std::nullopt;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > 2147483647LL || v < -2147483648LL) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::optional<long double> ParseReal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+')) return std::nullopt;
  std::string s(text);
  char* end = nullptr;
  long double v = std::strtold(s.c_str(), &end);
  if (end != s.c_str() + s.size()) return std::nullopt;
  return v;
}

std::string PadLeft(std::string_view s, size_t length, char fill) {
  if (s.size() >= length) return std::string(s);
  return std::string(length - s.size(), fill) + std::string(s);
}

std::string PadRight(std::string_view s, size_t length) {
  std::string out(s);
  if (out.size() < length) out.append(length - out.size(), ' ');
  return out;
}

std::string FirstWord(std::string_view s) {
  size_t end = s.find(' ');
  return std::string(s.substr(0, end));
}

std::string WithoutFirstWord(std::string_view s) {
  size_t end = s.find(' ');
  if (end == std::string_view::npos) return std::string();
  while (end < s.size() && s[end] == ' ') ++end;
  return std::string(s.substr(end));
}

}  // namespace quoll
