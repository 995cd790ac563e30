// The tokenizer: one pass over the text, literal values converted as tokens are stored.
#include "engine/tokens.h"

#include "engine/char_classes.h"

#include <algorithm>
#include <array>

#include "engine/textutil.h"

namespace quoll {
namespace {

struct Keyword {
  std::string_view spelling;
  TokenKind kind;
};

// Sorted by spelling (byte order): looked up by binary search. Keep in step with TokenKind.
constexpr std::array<Keyword, 55> kKeywords{{
    {"AND", TokenKind::And},
    {"ARRAY", TokenKind::Array},
    {"AS", TokenKind::As},
    {"BEGIN", TokenKind::Begin},
    {"BREAK", TokenKind::Break},
    {"CASE", TokenKind::Case},
    {"CLASS", TokenKind::Class},
    {"CONST", TokenKind::Const},
    {"CONSTRUCTOR", TokenKind::Constructor},
    {"CONTINUE", TokenKind::Continue},
    {"DESTRUCTOR", TokenKind::Destructor},
    {"DIV", TokenKind::Div},
    {"DO", TokenKind::Do},
    {"DOWNTO", TokenKind::Downto},
    {"ELSE", TokenKind::Else},
    {"END", TokenKind::End},
    {"EXCEPT", TokenKind::Except},
    {"EXIT", TokenKind::Exit},
    {"EXTERNAL", TokenKind::External},
    {"FINALLY", TokenKind::Finally},
    {"FOR", TokenKind::For},
    {"FUNCTION", TokenKind::Function},
    {"IF", TokenKind::If},
    {"IN", TokenKind::In},
    {"INHERITED", TokenKind::Inherited},
    {"IS", TokenKind::Is},
    {"MOD", TokenKind::Mod},
    {"NOT", TokenKind::Not},
    {"OF", TokenKind::Of},
    {"OR", TokenKind::Or},
    {"OVERRIDE", TokenKind::Override},
    {"PRIVATE", TokenKind::Private},
    {"PROCEDURE", TokenKind::Procedure},
    {"PROGRAM", TokenKind::Program},
    {"PROPERTY", TokenKind::Property},
    {"PROTECTED", TokenKind::Protected},
    {"PUBLIC", TokenKind::Public},
    {"PUBLISHED", TokenKind::Published},
    {"RECORD", TokenKind::Record},
    {"REPEAT", TokenKind::Repeat},
    {"SET", TokenKind::Set},
    {"SHL", TokenKind::Shl},
    {"SHR", TokenKind::Shr},
    {"THEN", TokenKind::Then},
    {"TO", TokenKind::To},
    {"TRY", TokenKind::Try},
    {"TYPE", TokenKind::Type},
    {"UNIT", TokenKind::Unit},
    {"UNTIL", TokenKind::Until},
    {"USES", TokenKind::Uses},
    {"VAR", TokenKind::Var},
    {"VIRTUAL", TokenKind::Virtual},
    {"WHILE", TokenKind::While},
    {"WITH", TokenKind::With},
    {"XOR", TokenKind::Xor},
}};

static_assert(std::is_sorted(kKeywords.begin(), kKeywords.end(),
                             [](const Keyword& a, const Keyword& b) { return a.spelling < b.spelling; }));

// Scans one token at a time over NUL-ended text.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
  size_t Pos() const { return pos_; }

  // Scans the token at the current offset; returns its kind and advances past it.
  TokenKind Scan(LexError& error) {
    start_ = pos_;
    char c = Peek();
    if (c == '\0') return TokenKind::EndOfText;
    if (IsBlank(c)) {
      while (IsBlank(Peek())) ++pos_;
      return TokenKind::WhiteSpace;
    }
    if (IsLetter(c)) {
      while (IsLetter(Peek()) || IsDigit(Peek())) ++pos_;
      return TokenKind::Identifier;  // keywords are told apart by the caller
    }
    if (IsDigit(c)) {
      bool point = false;
      while (IsDigit(Peek())) {
        ++pos_;
        if (Peek() == '.' && !point) {
          point = true;
          ++pos_;
        }
      }
      return point ? TokenKind::Real : TokenKind::Integer;
    }
    ++pos_;
    switch (c) {
      case '$':
        while (IsHexDigit(Peek())) ++pos_;
        return TokenKind::Hex;
      case '\'':
        for (;;) {
          char d = Peek();
          if (d == '\'') {
            ++pos_;
            return TokenKind::String;
          }
          if (d == '\0' || d == '\r' || d == '\n') {
            error = LexError::String;
            return TokenKind::EndOfText;
          }
          ++pos_;
        }
      case '#':
        if (Peek() == '$') {
          ++pos_;
          while (IsLetter(Peek()) || IsDigit(Peek())) ++pos_;
        } else {
          while (IsDigit(Peek())) ++pos_;
          if (IsLetter(Peek())) {
            error = LexError::Char;
            return TokenKind::EndOfText;
          }
        }
        return TokenKind::Char;
      case '{':
        for (;;) {
          char d = Peek();
          if (d == '\0') {
            error = LexError::Comment;
            return TokenKind::EndOfText;
          }
          ++pos_;
          if (d == '}') return TokenKind::Comment;
        }
      case '(':
        if (Peek() != '*') return TokenKind::OpenRound;
        for (;;) {  // the '*' after '(' may also close: "(*)" is a complete comment
          char d = Peek();
          if (d == '\0') {
            error = LexError::Comment;
            return TokenKind::EndOfText;
          }
          if (d == '*' && Peek(1) == ')') {
            pos_ += 2;
            return TokenKind::Comment;
          }
          ++pos_;
        }
      case '/':
        if (Peek() != '/') return TokenKind::Divide;
        for (;;) {
          char d = Peek();
          if (d == '\0') {
            error = LexError::Comment;
            return TokenKind::EndOfText;
          }
          ++pos_;
          if (d == '\r' || d == '\n') {
            if (Peek() == '\r' || Peek() == '\n') ++pos_;
            return TokenKind::Comment;
          }
        }
      case ':':
        if (Peek() == '=') {
          ++pos_;
          return TokenKind::Assign;
        }
        return TokenKind::Colon;
      case '>':
        if (Peek() == '=') {
          ++pos_;
          return TokenKind::GreaterEqual;
        }
        return TokenKind::Greater;
      case '<':
        if (Peek() == '=') {
          ++pos_;
          return TokenKind::LessEqual;
        }
        if (Peek() == '>') {
          ++pos_;
          return TokenKind::NotEqual;
        }
        return TokenKind::Less;
      case ';':
        return TokenKind::Semicolon;
      case ',':
        return TokenKind::Comma;
      case '.':
        return TokenKind::Period;
      case ')':
        return TokenKind::CloseRound;
      case '[':
        return TokenKind::OpenBlock;
      case ']':
        return TokenKind::CloseBlock;
      case '=':
        return TokenKind::Equal;
      case '+':
        return TokenKind::Plus;
      case '-':
        return TokenKind::Minus;
      case '*':
        return TokenKind::Multiply;
      case '@':
        return TokenKind::At;
      case '^':
        return TokenKind::Caret;
      default:
        error = LexError::InvalidChar;
        return TokenKind::EndOfText;
    }
  }

  size_t Start() const { return start_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  size_t start_ = 0;
};

// Value of a character literal: the code after '#' (decimal, or hex after "#$") modulo 256;
// a code that does not convert gives 255.
int32_t CharLiteralCode(std::string_view src) {
  int32_t code = ParseInt32(src.substr(1)).value_or(-1);
  return static_cast<int32_t>(static_cast<uint8_t>(code));
}

}  // namespace

TokenKind KeywordKind(std::string_view upper) {
  auto it = std::lower_bound(kKeywords.begin(), kKeywords.end(), upper,
                             [](const Keyword& k, std::string_view s) { return k.spelling < s; });
  return (it != kKeywords.end() && it->spelling == upper) ? it->kind : TokenKind::Identifier;
}

int KeywordCount() {
  return static_cast<int>(kKeywords.size());
}

const char* TokenKindName(TokenKind kind) {
  switch (kind) {
    case TokenKind::Comment:
      return "COMMENT";
    case TokenKind::WhiteSpace:
      return "WHITESPACE";
    case TokenKind::EndOfText:
      return "END OF TEXT";
    case TokenKind::Identifier:
      return "IDENTIFIER";
    case TokenKind::Semicolon:
      return ";";
    case TokenKind::Comma:
      return ",";
    case TokenKind::Period:
      return ".";
    case TokenKind::Colon:
      return ":";
    case TokenKind::OpenRound:
      return "(";
    case TokenKind::CloseRound:
      return ")";
    case TokenKind::OpenBlock:
      return "[";
    case TokenKind::CloseBlock:
      return "]";
    case TokenKind::Assign:
      return ":=";
    case TokenKind::Equal:
      return "=";
    case TokenKind::NotEqual:
      return "<>";
    case TokenKind::Greater:
      return ">";
    case TokenKind::GreaterEqual:
      return ">=";
    case TokenKind::Less:
      return "<";
    case TokenKind::LessEqual:
      return "<=";
    case TokenKind::Plus:
      return "+";
    case TokenKind::Minus:
      return "-";
    case TokenKind::Divide:
      return "/";
    case TokenKind::Multiply:
      return "*";
    case TokenKind::Integer:
      return "INTEGER LITERAL";
    case TokenKind::Real:
      return "REAL LITERAL";
    case TokenKind::String:
      return "STRING LITERAL";
    case TokenKind::Char:
      return "CHAR LITERAL";
    case TokenKind::Hex:
      return "HEX LITERAL";
    case TokenKind::At:
      return "@";
    case TokenKind::Caret:
      return "^";
    default:
      for (const Keyword& k : kKeywords)
        if (k.kind == kind) return k.spelling.data();
      return "?";
  }
}

bool Tokenizer::SetText(std::string_view text, LexErrorReport& report) {
  // The text ends at a NUL byte. Reaching that end reports the NUL's own position; the end of
  // the whole text is position 0.
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  text_.assign(text);
  tokens_.clear();
  reals_.clear();
  runs_.clear();
  report = LexErrorReport{};

  Scanner scanner(text_);
  for (;;) {
    LexError error = LexError::None;
    TokenKind kind = scanner.Scan(error);
    if (error != LexError::None) {
      report.kind = error;
      report.pos = static_cast<int32_t>(scanner.Start());
      reals_.clear();
      runs_.clear();
      Reset();
      return false;
    }
    if (kind == TokenKind::EndOfText) break;
    if (kind == TokenKind::Comment || kind == TokenKind::WhiteSpace) continue;
    Token t;
    t.pos = static_cast<int32_t>(scanner.Start());
    t.len = static_cast<uint32_t>(scanner.Pos() - scanner.Start());
    t.kind = kind;
    std::string_view src = std::string_view(text_).substr(scanner.Start(), t.len);
    switch (kind) {
      case TokenKind::Identifier: {
        std::string upper = UpperCase(src);
        t.kind = KeywordKind(upper);
        if (t.kind == TokenKind::Identifier) t.name = Intern(upper);
        break;
      }
      case TokenKind::Integer:
      case TokenKind::Hex:
        t.intValue = ParseInt32(src).value_or(-1);
        break;
      case TokenKind::Real:
        t.literal = static_cast<int32_t>(reals_.size());
        reals_.push_back(ParseReal(src).value_or(-1.0L));
        break;
      case TokenKind::Char:
        t.intValue = CharLiteralCode(src);
        break;
      default:
        break;
    }
    tokens_.push_back(t);
  }

  // The value of each run of string and character literals, stored with the run's first token.
  for (size_t i = 0; i < tokens_.size();) {
    TokenKind k = tokens_[i].kind;
    if (k != TokenKind::String && k != TokenKind::Char) {
      ++i;
      continue;
    }
    std::string value;
    size_t j = i;
    bool previousWasString = false;
    for (; j < tokens_.size(); ++j) {
      const Token& t = tokens_[j];
      if (t.kind == TokenKind::String) {
        if (previousWasString) value += '\'';  // 'it''s': adjacent strings join with a quote
        value.append(text_, static_cast<size_t>(t.pos) + 1, t.len - 2);
        previousWasString = true;
      } else if (t.kind == TokenKind::Char) {
        value += static_cast<char>(t.intValue);
        previousWasString = false;
      } else {
        break;
      }
    }
    tokens_[i].literal = static_cast<int32_t>(runs_.size());
    tokens_[i].runLength = static_cast<uint32_t>(j - i);
    runs_.push_back(std::move(value));
    // Tokens inside the run keep literal -1; a read starting there computes its value on demand.
    i = j;
  }
  tokens_.push_back(Token{});  // the end-of-text marker: kind EndOfText
  if (nul != std::string_view::npos) tokens_.back().pos = static_cast<int32_t>(nul);
  cur_ = tokens_.data();
  return true;
}

std::string Tokenizer::CurrTokenText() const {
  const Token& t = Cur();
  switch (t.kind) {
    case TokenKind::Identifier:
      return NameText(t.name);
    case TokenKind::Integer:
    case TokenKind::Real:
    case TokenKind::String:
    case TokenKind::Char:
    case TokenKind::Hex:
      return text_.substr(static_cast<size_t>(t.pos), t.len);
    default:
      return std::string();
  }
}

void Tokenizer::SeekTo(int32_t pos) {
  auto first = tokens_.begin();
  auto last = first + static_cast<ptrdiff_t>(Count());
  auto it = std::upper_bound(first, last, pos, [](int32_t p, const Token& t) { return p < t.pos; });
  SetCursor(it == first ? -1 : static_cast<int32_t>(it - first) - 1);
}

std::string Tokenizer::ReadStringRun() {
  const Token& first = Cur();
  if (first.literal >= 0 && first.kind != TokenKind::Real && first.runLength > 0) {
    std::string value = runs_[static_cast<size_t>(first.literal)];
    for (uint32_t n = first.runLength; n > 0; --n) Next();
    return value;
  }
  // A read that starts inside a run (rare): compute from here.
  std::string value;
  bool previousWasString = false;
  for (;;) {
    const Token& t = Cur();
    if (t.kind == TokenKind::String) {
      if (previousWasString) value += '\'';
      value.append(text_, static_cast<size_t>(t.pos) + 1, t.len - 2);
      previousWasString = true;
    } else if (t.kind == TokenKind::Char) {
      value += static_cast<char>(t.intValue);
      previousWasString = false;
    } else {
      break;
    }
    Next();
  }
  return value;
}

}  // namespace quoll
