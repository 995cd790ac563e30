// The character classes of the script language, shared by the tokenizer and the editor's
// colouring scanner so that both read a text alike. ASCII only: other bytes are no letters.
#pragma once

namespace quoll {

// A letter that may start or continue a name (the underscore counts).
constexpr bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
constexpr bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
// What separates tokens.
constexpr bool IsBlank(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

}  // namespace quoll
