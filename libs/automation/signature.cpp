// Reading D-Bus type signatures.
#include "libs/automation/signature.h"

namespace quoll::automation {

namespace {

constexpr int kMaxContainerDepth = 32;  // for arrays and for structs, each
constexpr std::size_t kMaxSignatureLength = 255;

struct Depth {
  int arrays = 0;
  int structs = 0;
};

std::size_t TypeLength(std::string_view s, std::size_t at, Depth depth) {
  if (at >= s.size()) return 0;
  const char code = s[at];
  if (IsBasicTypeCode(code) || code == 'v') return 1;
  if (code == 'a') {
    if (++depth.arrays > kMaxContainerDepth) return 0;
    if (at + 1 < s.size() && s[at + 1] == '{') {
      // A dict entry: a basic key and one complete value type.
      if (++depth.structs > kMaxContainerDepth) return 0;
      if (at + 2 >= s.size() || !IsBasicTypeCode(s[at + 2])) return 0;
      const std::size_t value = TypeLength(s, at + 3, depth);
      if (value == 0) return 0;
      const std::size_t close = at + 3 + value;
      if (close >= s.size() || s[close] != '}') return 0;
      return close + 1 - at;
    }
    const std::size_t element = TypeLength(s, at + 1, depth);
    return element == 0 ? 0 : element + 1;
  }
  if (code == '(') {
    if (++depth.structs > kMaxContainerDepth) return 0;
    std::size_t next = at + 1;
    while (next < s.size() && s[next] != ')') {
      const std::size_t field = TypeLength(s, next, depth);
      if (field == 0) return 0;
      next += field;
    }
    if (next >= s.size() || next == at + 1) return 0;  // unclosed, or no field
    return next + 1 - at;
  }
  return 0;  // '{' outside an array, ')' or '}' without an opening, or no type code at all
}

}  // namespace

bool IsBasicTypeCode(char code) {
  switch (code) {
    case 'y':
    case 'b':
    case 'n':
    case 'q':
    case 'i':
    case 'u':
    case 'x':
    case 't':
    case 'd':
    case 'h':
    case 's':
    case 'o':
    case 'g':
      return true;
    default:
      return false;
  }
}

std::size_t CompleteTypeLength(std::string_view signature) {
  if (signature.size() > kMaxSignatureLength) return 0;
  return TypeLength(signature, 0, Depth{});
}

bool IsSingleCompleteType(std::string_view signature) {
  return !signature.empty() && CompleteTypeLength(signature) == signature.size();
}

bool IsValidSignature(std::string_view signature) {
  if (signature.size() > kMaxSignatureLength) return false;
  std::size_t at = 0;
  while (at < signature.size()) {
    const std::size_t length = TypeLength(signature, at, Depth{});
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace quoll::automation
