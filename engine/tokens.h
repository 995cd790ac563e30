// Token kinds, the keyword table, and Tokenizer: script text -> token list with a cursor.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/names.h"

namespace quoll {

// Token kinds with their fixed numbers. Keep in step with kKeywords in tokens.cpp.
enum class TokenKind : uint8_t {
  // never stored
  Comment = 0,
  WhiteSpace = 1,
  EndOfText = 2,
  Identifier = 3,
  // punctuation
  Semicolon = 4,
  Comma = 5,
  Period = 6,
  Colon = 7,
  OpenRound = 8,
  CloseRound = 9,
  OpenBlock = 10,
  CloseBlock = 11,
  Assign = 12,
  // comparison and arithmetic operators
  Equal = 13,
  NotEqual = 14,
  Greater = 15,
  GreaterEqual = 16,
  Less = 17,
  LessEqual = 18,
  Plus = 19,
  Minus = 20,
  Divide = 21,
  Multiply = 22,
  // literals
  Integer = 23,
  Real = 24,
  String = 25,
  Char = 26,
  Hex = 27,
  At = 28,
  Caret = 29,
  // keywords
  And = 30,
  Array = 31,
  Begin = 32,
  Case = 33,
  Const = 34,
  Div = 35,
  Do = 36,
  Downto = 37,
  Else = 38,
  End = 39,
  For = 40,
  Function = 41,
  If = 42,
  In = 43,
  Mod = 44,
  Not = 45,
  Of = 46,
  Or = 47,
  Procedure = 48,
  Program = 49,
  Repeat = 50,
  Record = 51,
  Set = 52,
  Shl = 53,
  Shr = 54,
  Then = 55,
  To = 56,
  Type = 57,
  Until = 58,
  Uses = 59,
  Var = 60,
  While = 61,
  With = 62,
  Xor = 63,
  Exit = 64,
  Break = 65,
  Class = 66,
  Constructor = 67,
  Destructor = 68,
  Inherited = 69,
  Private = 70,
  Public = 71,
  Published = 72,
  Protected = 73,
  Property = 74,
  Virtual = 75,
  Override = 76,
  As = 77,
  Is = 78,
  Unit = 79,
  Continue = 80,
  Try = 81,
  Except = 82,
  Finally = 83,
  External = 84,
};
inline constexpr int kTokenKindCount = 85;

// Looks a spelling (upper case) up in the keyword table; Identifier when it is no keyword.
TokenKind KeywordKind(std::string_view upper);
// The number of keywords in the table (55).
int KeywordCount();
// Name of a kind for diagnostics ("IDENTIFIER", "BEGIN", ";" ...).
const char* TokenKindName(TokenKind kind);

// One stored token. Literal values are converted once, when the text is set.
struct Token {
  int32_t pos = 0;   // byte offset of the first character
  uint32_t len = 0;  // length in the source
  TokenKind kind = TokenKind::EndOfText;
  NameId name = kNoName;   // identifiers: the upper-case spelling
  int32_t intValue = 0;    // integer/hex literal value (-1 when it does not convert); char code
  int32_t literal = -1;    // real literal: index into reals; string/char: index of its run's value
  uint32_t runLength = 0;  // string/char literal starting a run: tokens in the run
};

enum class LexError : uint8_t { None = 0, Comment = 1, String = 2, Char = 3, InvalidChar = 4 };

struct LexErrorReport {
  LexError kind = LexError::None;
  int32_t pos = 0;
};

class Tokenizer {
 public:
  Tokenizer() { Reset(); }
  Tokenizer(Tokenizer&& other) noexcept { *this = std::move(other); }
  Tokenizer& operator=(Tokenizer&& other) noexcept {
    int32_t c = other.Cursor();
    text_ = std::move(other.text_);
    tokens_ = std::move(other.tokens_);
    reals_ = std::move(other.reals_);
    runs_ = std::move(other.runs_);
    other.Reset();
    if (tokens_.empty()) Reset();
    SetCursor(c);
    return *this;
  }
  Tokenizer(const Tokenizer&) = delete;
  Tokenizer& operator=(const Tokenizer&) = delete;

  // Tokenizes the whole text (up to a NUL). On a lexical error the list is emptied and false returned.
  bool SetText(std::string_view text, LexErrorReport& report);

  TokenKind CurrTokenKind() const { return cur_->kind; }
  int32_t CurrTokenPos() const { return cur_->pos; }
  // Identifier: upper-case spelling; literals: the exact source text; otherwise empty.
  std::string CurrTokenText() const;
  NameId CurrTokenName() const { return cur_->name; }
  // The current token; at end of text a token of kind EndOfText at position 0 (or at the
  // position of the NUL byte that ended the text).
  const Token& Cur() const { return *cur_; }
  // The kind of the token after the current one (the current one must not be end of text).
  TokenKind PeekKind() const { return cur_[1].kind; }
  // Moves one token on; past the last token the cursor is at end of text and stays there.
  void Next() {
    if (cur_->kind != TokenKind::EndOfText) ++cur_;
  }
  // Moves to the last token whose position is at or before pos; end of text when there is none.
  void SeekTo(int32_t pos);
  // The cursor as an index into the token list; -1 at end of text.
  int32_t Cursor() const {
    return cur_->kind == TokenKind::EndOfText ? -1 : static_cast<int32_t>(cur_ - tokens_.data());
  }
  void SetCursor(int32_t c) {
    cur_ = c >= 0 && static_cast<size_t>(c) < Count() ? tokens_.data() + c : &tokens_.back();
  }
  // The cursor as an index where end of text is the index of the end-of-text marker (the number
  // of tokens), and the move to such an index (compiled code keeps them in range).
  int32_t Index() const { return static_cast<int32_t>(cur_ - tokens_.data()); }
  void SetIndex(int32_t i) { cur_ = tokens_.data() + i; }
  // The token at an index, the end-of-text marker from the number of tokens on.
  const Token& At(int32_t i) const {
    return i >= 0 && static_cast<size_t>(i) < Count() ? tokens_[static_cast<size_t>(i)] : tokens_.back();
  }
  int32_t TokenCount() const { return static_cast<int32_t>(Count()); }

  // Value of a literal token.
  long double RealValue(const Token& t) const { return reals_[static_cast<size_t>(t.literal)]; }
  // The string value of the run of string and character literals that starts at the cursor,
  // leaving the cursor after the run.
  std::string ReadStringRun();

  // The value of a run of string and character literals that starts at token t.
  const std::string& RunValue(const Token& t) const { return runs_[static_cast<size_t>(t.literal)]; }

  // The stored tokens (without the end-of-text marker that follows them).
  std::span<const Token> Tokens() const { return {tokens_.data(), Count()}; }
  const std::string& Text() const { return text_; }

 private:
  size_t Count() const { return tokens_.size() - 1; }
  // An empty list: only the end-of-text marker.
  void Reset() {
    tokens_.assign(1, Token{});
    cur_ = tokens_.data();
  }

  std::string text_;
  std::vector<Token> tokens_;  // the tokens, then one end-of-text marker
  std::vector<long double> reals_;
  std::vector<std::string> runs_;
  const Token* cur_ = nullptr;
};

}  // namespace quoll
