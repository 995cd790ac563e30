// PascalScanner: classifies the characters of one line of Object Pascal text into token classes for
// the editor's syntax colouring. It knows the full Object Pascal word list, not only what the
// script engine accepts, and carries a line state from one line to the next so that comments and
// asm blocks spanning lines colour correctly. Standard C++ only, so it is testable without a display.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quoll {

enum class PasTokenClass : uint8_t {
  Assembler,
  Comment,
  Identifier,
  ReservedWord,
  Number,
  Space,
  String,
  Symbol,  // also characters the scanner does not know
};
constexpr int kPasTokenClassCount = 8;

// What is still open at the end of a line.
enum class PasComment : uint8_t { None, Ansi /* (* *) */, Brace /* { } */ };
enum class PasContext : uint8_t { Normal, Asm, Property };

struct PasLineState {
  PasComment comment = PasComment::None;
  PasContext context = PasContext::Normal;
  bool operator==(const PasLineState&) const = default;

  // A compact number for editors that keep one integer per line.
  int Encode() const { return static_cast<int>(comment) | (static_cast<int>(context) << 2); }
  static PasLineState Decode(int value);
};

struct PasToken {
  size_t start;
  size_t length;
  PasTokenClass cls;
  bool operator==(const PasToken&) const = default;
};

class PascalScanner {
 public:
  // Scans one line (without its line break) starting in `state`; returns its tokens in order,
  // covering every byte, and leaves in `state` what the next line starts with.
  static std::vector<PasToken> ScanLine(std::string_view line, PasLineState& state);

  // The display name of a token class ("Reserved word" ...).
  static const char* ClassName(PasTokenClass cls);
  // Whether `word` is a reserved word outside a property declaration (any letter case).
  static bool IsReservedWord(std::string_view word);
};

}  // namespace quoll
