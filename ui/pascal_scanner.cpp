// PascalScanner: one pass over a line, token by token, driven by the token's first character.
#include "ui/pascal_scanner.h"

#include "engine/char_classes.h"

#include <algorithm>
#include <array>
#include <string>

namespace quoll {

namespace {

// Reserved words and directives, lower case and sorted for binary search.
constexpr std::array<std::string_view, 91> kReservedWords = {"absolute",
                                                             "abstract",
                                                             "and",
                                                             "array",
                                                             "as",
                                                             "asm",
                                                             "assembler",
                                                             "begin",
                                                             "case",
                                                             "cdecl",
                                                             "class",
                                                             "const",
                                                             "constructor",
                                                             "default",
                                                             "destructor",
                                                             "dispid",
                                                             "dispinterface",
                                                             "div",
                                                             "do",
                                                             "downto",
                                                             "dynamic",
                                                             "else",
                                                             "end",
                                                             "except",
                                                             "export",
                                                             "exports",
                                                             "external",
                                                             "far",
                                                             "file",
                                                             "finalization",
                                                             "finally",
                                                             "for",
                                                             "forward",
                                                             "function",
                                                             "goto",
                                                             "if",
                                                             "implementation",
                                                             "in",
                                                             "inherited",
                                                             "initialization",
                                                             "inline",
                                                             "interface",
                                                             "is",
                                                             "label",
                                                             "library",
                                                             "message",
                                                             "mod",
                                                             "near",
                                                             "nil",
                                                             "not",
                                                             "object",
                                                             "of",
                                                             "or",
                                                             "out",
                                                             "overload",
                                                             "override",
                                                             "packed",
                                                             "pascal",
                                                             "private",
                                                             "procedure",
                                                             "program",
                                                             "property",
                                                             "protected",
                                                             "public",
                                                             "published",
                                                             "raise",
                                                             "record",
                                                             "register",
                                                             "reintroduce",
                                                             "repeat",
                                                             "resourcestring",
                                                             "safecall",
                                                             "set",
                                                             "shl",
                                                             "shr",
                                                             "stdcall",
                                                             "string",
                                                             "stringresource",
                                                             "then",
                                                             "threadvar",
                                                             "to",
                                                             "try",
                                                             "type",
                                                             "unit",
                                                             "until",
                                                             "uses",
                                                             "var",
                                                             "virtual",
                                                             "while",
                                                             "with",
                                                             "xor"};

// Words that are reserved only inside a property declaration.
constexpr std::array<std::string_view, 9> kPropertyWords = {
    "automated", "implements", "index", "nodefault", "read", "readonly", "stored", "write", "writeonly"};

// Words that end a property declaration.
constexpr std::array<std::string_view, 7> kPropertyEnders = {"end",       "function", "private",  "procedure",
                                                             "protected", "public",   "published"};

bool IsSpace(char c) {
  auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 32 && c != '\n' && c != '\r';
}

std::string Lower(std::string_view word) {
  std::string out(word);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

template <size_t N>
bool Contains(const std::array<std::string_view, N>& sorted, std::string_view word) {
  return std::binary_search(sorted.begin(), sorted.end(), word);
}

// The two-character symbols kept together as one token.
bool IsSymbolPair(char a, char b) {
  return (a == '.' && b == '.') || (a == ':' && b == '=') || (a == '<' && (b == '=' || b == '>')) ||
         (a == '>' && b == '=') || (a == '@' && b == '@');
}

bool IsSymbolChar(char c) {
  return std::string_view(")*+,-.:;<=>@[]^}(/").find(c) != std::string_view::npos;
}

}  // namespace

PasLineState PasLineState::Decode(int value) {
  PasLineState s;
  int comment = value & 3;
  int context = (value >> 2) & 3;
  s.comment = comment <= 2 ? static_cast<PasComment>(comment) : PasComment::None;
  s.context = context <= 2 ? static_cast<PasContext>(context) : PasContext::Normal;
  return s;
}

bool PascalScanner::IsReservedWord(std::string_view word) {
  return Contains(kReservedWords, Lower(word));
}

const char* PascalScanner::ClassName(PasTokenClass cls) {
  switch (cls) {
    case PasTokenClass::Assembler:
      return "Assembler";
    case PasTokenClass::Comment:
      return "Comment";
    case PasTokenClass::Identifier:
      return "Identifier";
    case PasTokenClass::ReservedWord:
      return "Reserved word";
    case PasTokenClass::Number:
      return "Number";
    case PasTokenClass::Space:
      return "Space";
    case PasTokenClass::String:
      return "String";
    case PasTokenClass::Symbol:
      return "Symbol";
  }
  return "";
}

std::vector<PasToken> PascalScanner::ScanLine(std::string_view line, PasLineState& state) {
  std::vector<PasToken> tokens;
  const size_t n = line.size();
  size_t i = 0;
  auto emit = [&](size_t start, PasTokenClass cls) {
    // Inside an asm block everything but comments and blanks is assembler.
    if (state.context == PasContext::Asm && cls != PasTokenClass::Comment && cls != PasTokenClass::Space)
      cls = PasTokenClass::Assembler;
    tokens.push_back({start, i - start, cls});
  };
  // Continues an open comment from i to its end or the end of the line.
  auto scanComment = [&](size_t start) {
    if (state.comment == PasComment::Brace) {
      size_t close = line.find('}', i);
      i = close == std::string_view::npos ? n : close + 1;
      if (close != std::string_view::npos) state.comment = PasComment::None;
    } else {
      size_t close = line.find("*)", i);
      i = close == std::string_view::npos ? n : close + 2;
      if (close != std::string_view::npos) state.comment = PasComment::None;
    }
    emit(start, PasTokenClass::Comment);
  };

  while (i < n) {
    const size_t start = i;
    if (state.comment != PasComment::None) {
      scanComment(start);
      continue;
    }
    const char c = line[i];
    const char next = i + 1 < n ? line[i + 1] : '\0';
    if (IsSpace(c)) {
      while (i < n && IsSpace(line[i])) ++i;
      emit(start, PasTokenClass::Space);
    } else if (c == '{') {
      state.comment = PasComment::Brace;
      ++i;
      scanComment(start);
    } else if (c == '(' && next == '*') {
      state.comment = PasComment::Ansi;
      i += 2;
      scanComment(start);
    } else if (c == '/' && next == '/') {
      i = n;
      emit(start, PasTokenClass::Comment);
    } else if (c == '\'') {
      ++i;
      while (i < n) {
        if (line[i] == '\'') {
          if (i + 1 < n && line[i + 1] == '\'') {
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        ++i;
      }
      emit(start, PasTokenClass::String);
    } else if (c == '#' && (IsDigit(next) || (next == '$' && i + 2 < n && IsHexDigit(line[i + 2])))) {
      // A character constant: #65 or #$41.
      i += next == '$' ? 2 : 1;
      while (i < n && (next == '$' ? IsHexDigit(line[i]) : IsDigit(line[i]))) ++i;
      emit(start, PasTokenClass::String);
    } else if (c == '$' && IsHexDigit(next)) {
      ++i;
      while (i < n && IsHexDigit(line[i])) ++i;
      emit(start, PasTokenClass::Number);
    } else if (IsDigit(c)) {
      while (i < n && IsDigit(line[i])) ++i;
      if (i < n && line[i] == '.' && (i + 1 == n || line[i + 1] != '.')) {  // 1..10 stays a range
        ++i;
        while (i < n && IsDigit(line[i])) ++i;
      }
      if (i < n && (line[i] == 'e' || line[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (line[j] == '+' || line[j] == '-')) ++j;
        if (j < n && IsDigit(line[j])) {
          i = j;
          while (i < n && IsDigit(line[i])) ++i;
        }
      }
      emit(start, PasTokenClass::Number);
    } else if (IsLetter(c)) {
      while (i < n && (IsLetter(line[i]) || IsDigit(line[i]))) ++i;
      const std::string word = Lower(line.substr(start, i - start));
      if (state.context == PasContext::Asm) {
        if (word == "end") {
          state.context = PasContext::Normal;
          emit(start, PasTokenClass::ReservedWord);
        } else {
          emit(start, PasTokenClass::Assembler);
        }
        continue;
      }
      const bool inProperty = state.context == PasContext::Property;
      const bool reserved = Contains(kReservedWords, word) || (inProperty && Contains(kPropertyWords, word));
      emit(start, reserved ? PasTokenClass::ReservedWord : PasTokenClass::Identifier);
      if (word == "asm") {
        state.context = PasContext::Asm;
      } else if (word == "property") {
        state.context = PasContext::Property;
      } else if (inProperty &&
                 std::find(kPropertyEnders.begin(), kPropertyEnders.end(), word) != kPropertyEnders.end()) {
        state.context = PasContext::Normal;
      }
    } else if (IsSymbolChar(c)) {
      i += IsSymbolPair(c, next) ? 2 : 1;
      emit(start, PasTokenClass::Symbol);
    } else {
      ++i;  // unknown character (also any non-ASCII byte)
      emit(start, PasTokenClass::Symbol);
    }
  }
  return tokens;
}

}  // namespace quoll
