// Tokenizer: token kinds, positions and texts, lexical errors, literal values, the keyword
// table and the cursor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/textutil.h"
#include "engine/tokens.h"
#include "test_support.h"

namespace quoll_test {
namespace {

using quoll::LexError;
using quoll::LexErrorReport;
using quoll::Tokenizer;
using TK = quoll::TokenKind;

// ---- token streams ----

struct LexCase {
  const char* name;
  std::string text;
  std::vector<Tok> tokens;
};

void PrintTo(const LexCase& c, std::ostream* os) {
  *os << c.name;
}

class TokenStreamTest : public testing::TestWithParam<LexCase> {};

TEST_P(TokenStreamTest, TextGivesExactlyTheseTokens) {
  const LexCase& c = GetParam();
  EXPECT_EQ(Tokenize(c.text), c.tokens);
}

const LexCase kLexCases[] = {
    {"AssignmentStatement",
     "x:=1;",
     {{TK::Identifier, 0, "X"}, {TK::Assign, 1, ""}, {TK::Integer, 3, "1"}, {TK::Semicolon, 4, ""}}},
    {"KeywordsInAnyCaseWithEmptyText", "begin End", {{TK::Begin, 0, ""}, {TK::End, 6, ""}}},
    {"IdentifierIsUpperCased", "Writeln", {{TK::Identifier, 0, "WRITELN"}}},
    {"IdentifierTakesUnderscoresAndDigits", "_a1b_2", {{TK::Identifier, 0, "_A1B_2"}}},
    {"PredefinedNamesAreIdentifiers",
     "Nil Result True False Self",
     {{TK::Identifier, 0, "NIL"},
      {TK::Identifier, 4, "RESULT"},
      {TK::Identifier, 11, "TRUE"},
      {TK::Identifier, 16, "FALSE"},
      {TK::Identifier, 22, "SELF"}}},
    {"RealWithFraction", "3.14", {{TK::Real, 0, "3.14"}}},
    {"RealWithTrailingPoint", "3.", {{TK::Real, 0, "3."}}},
    {"SecondPointEndsTheNumber", "3.1.2", {{TK::Real, 0, "3.1"}, {TK::Period, 3, ""}, {TK::Integer, 4, "2"}}},
    {"RangeAfterIntegerStartsWithAReal",
     "1..5",
     {{TK::Real, 0, "1."}, {TK::Period, 2, ""}, {TK::Integer, 3, "5"}}},
    {"ExponentIsAnIdentifier", "1E5", {{TK::Integer, 0, "1"}, {TK::Identifier, 1, "E5"}}},
    {"LettersAfterDigitsStartAnIdentifier", "12abc", {{TK::Integer, 0, "12"}, {TK::Identifier, 2, "ABC"}}},
    {"LettersAfterTrailingPointStartAnIdentifier", "1.e5", {{TK::Real, 0, "1."}, {TK::Identifier, 2, "E5"}}},
    {"HexLiteral", "$1F", {{TK::Hex, 0, "$1F"}}},
    {"HexLiteralInLowerCase", "$ff", {{TK::Hex, 0, "$ff"}}},
    {"LoneDollarIsAHexLiteral", "$", {{TK::Hex, 0, "$"}}},
    {"HexLiteralStopsAtNonHexLetter", "$1G", {{TK::Hex, 0, "$1"}, {TK::Identifier, 2, "G"}}},
    {"DoubledQuoteIsTwoStrings", "'it''s'", {{TK::String, 0, "'it'"}, {TK::String, 4, "'s'"}}},
    {"StringsAndCharacterLiterals",
     "'a'#13#10'b'",
     {{TK::String, 0, "'a'"}, {TK::Char, 3, "#13"}, {TK::Char, 6, "#10"}, {TK::String, 9, "'b'"}}},
    {"EmptyString", "''", {{TK::String, 0, "''"}}},
    {"StringKeepsCommentMarks", "'{(*//'", {{TK::String, 0, "'{(*//'"}}},
    {"HexCharacterLiteral", "#$41", {{TK::Char, 0, "#$41"}}},
    {"LoneHashIsACharacterLiteral", "#", {{TK::Char, 0, "#"}}},
    {"HexCharacterLiteralTakesLettersAndDigits",
     "#$41xyz9;",
     {{TK::Char, 0, "#$41xyz9"}, {TK::Semicolon, 8, ""}}},
    {"HashBeforeBlank", "# x", {{TK::Char, 0, "#"}, {TK::Identifier, 2, "X"}}},
    {"TwoCharacterOperators",
     ":=:>=><=<><",
     {{TK::Assign, 0, ""},
      {TK::Colon, 2, ""},
      {TK::GreaterEqual, 3, ""},
      {TK::Greater, 5, ""},
      {TK::LessEqual, 6, ""},
      {TK::NotEqual, 8, ""},
      {TK::Less, 10, ""}}},
    {"NotEqualThenEqual", "<>=", {{TK::NotEqual, 0, ""}, {TK::Equal, 2, ""}}},
    {"SingleCharacterTokens",
     ";,.()[]=+-*/@^",
     {{TK::Semicolon, 0, ""},
      {TK::Comma, 1, ""},
      {TK::Period, 2, ""},
      {TK::OpenRound, 3, ""},
      {TK::CloseRound, 4, ""},
      {TK::OpenBlock, 5, ""},
      {TK::CloseBlock, 6, ""},
      {TK::Equal, 7, ""},
      {TK::Plus, 8, ""},
      {TK::Minus, 9, ""},
      {TK::Multiply, 10, ""},
      {TK::Divide, 11, ""},
      {TK::At, 12, ""},
      {TK::Caret, 13, ""}}},
    {"BraceComment", "a{ c }b", {{TK::Identifier, 0, "A"}, {TK::Identifier, 6, "B"}}},
    {"BraceCommentDoesNotNest", "{ { }b", {{TK::Identifier, 5, "B"}}},
    {"ParenStarComment", "a(* c *)b", {{TK::Identifier, 0, "A"}, {TK::Identifier, 8, "B"}}},
    {"ParenStarCommentClosedByItsOwnStar", "(*)x", {{TK::Identifier, 3, "X"}}},
    {"ParenStarCommentIgnoresBrace", "(* } *)x", {{TK::Identifier, 7, "X"}}},
    {"LineCommentEndsAtCrLf", "a//c\r\nb", {{TK::Identifier, 0, "A"}, {TK::Identifier, 6, "B"}}},
    {"LineCommentEndsAtLfCr", "a//c\n\rb", {{TK::Identifier, 0, "A"}, {TK::Identifier, 6, "B"}}},
    {"LineCommentEndsAtLoneCr", "a//c\rb", {{TK::Identifier, 0, "A"}, {TK::Identifier, 5, "B"}}},
    {"LineCommentOnLastLineWithLineBreak", "a//c\r\n", {{TK::Identifier, 0, "A"}}},
    {"SlashAlone", "a/b", {{TK::Identifier, 0, "A"}, {TK::Divide, 1, ""}, {TK::Identifier, 2, "B"}}},
    {"RoundOpenWithoutStar",
     "(x)",
     {{TK::OpenRound, 0, ""}, {TK::Identifier, 1, "X"}, {TK::CloseRound, 2, ""}}},
    {"NulEndsTheText", std::string("a\0!", 3), {{TK::Identifier, 0, "A"}}},
    {"EmptyText", "", {}},
    {"OnlyBlanksAndComments", " \t\r\n{x}(*y*)//z\r\n", {}},
    {"PositionsCountBothLineBreakCharacters",
     "a\r\n\r\nb",
     {{TK::Identifier, 0, "A"}, {TK::Identifier, 5, "B"}}},
};

INSTANTIATE_TEST_SUITE_P(Tokenizer, TokenStreamTest, testing::ValuesIn(kLexCases),
                         [](const testing::TestParamInfo<LexCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- lexical errors ----

struct LexErrorCase {
  const char* name;
  std::string text;
  LexError kind;
  int32_t pos;
};

void PrintTo(const LexErrorCase& c, std::ostream* os) {
  *os << c.name;
}

class LexErrorTest : public testing::TestWithParam<LexErrorCase> {};

TEST_P(LexErrorTest, TextFailsWithThisKindAtTheStartOfTheFailingToken) {
  const LexErrorCase& c = GetParam();
  Tokenizer parser;
  LexErrorReport report;
  EXPECT_FALSE(parser.SetText(c.text, report));
  EXPECT_EQ(report.kind, c.kind);
  EXPECT_EQ(report.pos, c.pos);
}

const LexErrorCase kLexErrorCases[] = {
    {"UnclosedBrace", "a {b", LexError::Comment, 2},
    {"UnclosedParenStar", "a (* b *", LexError::Comment, 2},
    {"ParenStarEndingInStar", "a (*", LexError::Comment, 2},
    {"LineCommentOnLastLineWithoutLineBreak", "a // b", LexError::Comment, 2},
    {"LineCommentStoppedByNul", std::string("a //b\0\r\n", 8), LexError::Comment, 2},
    {"StringRunsIntoCrLf", "x := 'abc\r\n';", LexError::String, 5},
    {"StringRunsIntoLf", "'abc\nd'", LexError::String, 0},
    {"StringRunsIntoNul", std::string("'ab\0'", 5), LexError::String, 0},
    {"StringNeverClosed", "a 'abc", LexError::String, 2},
    {"CharFollowedByLetter", "#65x", LexError::Char, 0},
    {"CharFollowedByUnderscore", "a #65_", LexError::Char, 2},
    {"HashFollowedByLetter", "#x", LexError::Char, 0},
    {"Exclamation", "a ! b", LexError::InvalidChar, 2},
    {"DoubleQuote", "a \" b", LexError::InvalidChar, 2},
    {"Percent", "a % b", LexError::InvalidChar, 2},
    {"Ampersand", "a & b", LexError::InvalidChar, 2},
    {"QuestionMark", "a ? b", LexError::InvalidChar, 2},
    {"Backslash", "a \\ b", LexError::InvalidChar, 2},
    {"Backquote", "a ` b", LexError::InvalidChar, 2},
    {"VerticalBar", "a | b", LexError::InvalidChar, 2},
    {"ClosingBraceOutsideComment", "a } b", LexError::InvalidChar, 2},
    {"Tilde", "a ~ b", LexError::InvalidChar, 2},
    {"Delete", "a \x7f b", LexError::InvalidChar, 2},
    {"Byte80", "a \x80 b", LexError::InvalidChar, 2},
    {"ByteFF", "a \xff b", LexError::InvalidChar, 2},
    {"ControlCharacter", "a \x01 b", LexError::InvalidChar, 2},
    {"NonAsciiLetterInsideAnIdentifier", "ab\xe9", LexError::InvalidChar, 2},
    {"Escape", "a \x1b b", LexError::InvalidChar, 2},
    {"FirstErrorWins", "a ! {", LexError::InvalidChar, 2},
};

INSTANTIATE_TEST_SUITE_P(Tokenizer, LexErrorTest, testing::ValuesIn(kLexErrorCases),
                         [](const testing::TestParamInfo<LexErrorCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(TokenizerFailure, DiscardsTheTokensScannedBeforeTheError) {
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_FALSE(parser.SetText("alpha beta gamma !", report));
  EXPECT_TRUE(parser.Tokens().empty());
  EXPECT_EQ(parser.CurrTokenKind(), TK::EndOfText);
  EXPECT_EQ(parser.CurrTokenText(), "");
  EXPECT_EQ(parser.CurrTokenPos(), 0);
}

TEST(TokenizerFailure, DiscardsTheTokensOfAnEarlierText) {
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText("one two", report));
  ASSERT_FALSE(parser.SetText("three {", report));
  EXPECT_TRUE(parser.Tokens().empty());
  EXPECT_EQ(parser.CurrTokenKind(), TK::EndOfText);
}

TEST(Tokenizer, NewTextReplacesTheTokensAndStartsAtTheFirst) {
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText("one two three", report));
  parser.Next();
  ASSERT_TRUE(parser.SetText("four", report));
  EXPECT_EQ(parser.Tokens().size(), 1u);
  EXPECT_EQ(parser.Cursor(), 0);
  EXPECT_EQ(parser.CurrTokenText(), "FOUR");
}

// ---- literal values ----

struct NumberCase {
  const char* name;
  std::string text;
  int32_t value;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
  *os << c.name;
}

class IntegerLiteralValueTest : public testing::TestWithParam<NumberCase> {};

TEST_P(IntegerLiteralValueTest, LiteralConvertsToThisSigned32BitValue) {
  const NumberCase& c = GetParam();
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText(c.text, report));
  ASSERT_EQ(parser.Tokens().size(), 1u);
  EXPECT_EQ(parser.Cur().intValue, c.value);
}

const NumberCase kIntegerCases[] = {
    {"Decimal", "42", 42},
    {"LeadingZeros", "007", 7},
    {"LargestLongint", "2147483647", 2147483647},
    {"TooLargeGivesMinusOne", "2147483648", -1},
    {"FarTooLargeGivesMinusOne", "99999999999999999999", -1},
    {"Hex", "$1F", 31},
    {"HexLowerCase", "$ff", 255},
    {"HexLargestLongint", "$7FFFFFFF", 2147483647},
    {"LoneDollarGivesMinusOne", "$", -1},
    {"ManyLeadingZeros", "00000000000042", 42},
    {"HexWithManyLeadingZeros", "$000000001F", 31},
};

INSTANTIATE_TEST_SUITE_P(Tokenizer, IntegerLiteralValueTest, testing::ValuesIn(kIntegerCases),
                         [](const testing::TestParamInfo<NumberCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(RealLiteralValue, TrailingPointReadsAsTheWholeNumber) {
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText("3. 3.25", report));
  EXPECT_EQ(parser.RealValue(parser.Tokens()[0]), 3.0L);
  EXPECT_EQ(parser.RealValue(parser.Tokens()[1]), 3.25L);
}

struct StringRunCase {
  const char* name;
  std::string text;
  std::string value;
};

void PrintTo(const StringRunCase& c, std::ostream* os) {
  *os << c.name;
}

class StringRunTest : public testing::TestWithParam<StringRunCase> {};

TEST_P(StringRunTest, RunOfLiteralsReadsAsThisString) {
  const StringRunCase& c = GetParam();
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText(c.text, report));
  EXPECT_EQ(parser.ReadStringRun(), c.value);
}

const StringRunCase kStringRuns[] = {
    {"PlainString", "'abc'", "abc"},
    {"EmptyString", "''", ""},
    {"DoubledQuote", "'it''s'", "it's"},
    {"OnlyAQuote", "''''", "'"},
    {"CharactersBetweenStrings", "'a'#13#10'b'", "a\r\nb"},
    {"BlankBetweenStringsStillInsertsAQuote", "'a' 'b'", "a'b"},
    {"CommentBetweenStringsStillInsertsAQuote", "'a'{c}'b'", "a'b"},
    {"CharacterBetweenStringsInsertsNoQuote", "'a'#66'c'", "aBc"},
    {"CharacterFirst", "#65'b'", "Ab"},
    {"DecimalCharacter", "#65", "A"},
    {"HexCharacter", "#$41", "A"},
    {"CharacterCodeModulo256", "#300", ","},
    {"CharacterCode256IsNul", "#256", std::string(1, '\0')},
    {"HexCharacterCodeModulo256", "#$141", "A"},
    {"LoneHashIsCharacter255", "#", "\xff"},
    {"HashDollarAloneIsCharacter255", "#$", "\xff"},
    {"UnconvertibleHexCharacterIs255", "#$G1", "\xff"},
    {"HexCharacterSwallowsFollowingLetters", "#$41x", "\xff"},
    {"HexCharacterWithManyLeadingZeros", "#$0000000041", "A"},
    {"RunEndsAtAnotherToken", "'a' + 'b'", "a"},
};

INSTANTIATE_TEST_SUITE_P(Tokenizer, StringRunTest, testing::ValuesIn(kStringRuns),
                         [](const testing::TestParamInfo<StringRunCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(StringRun, ReadingLeavesTheCursorOnTheTokenAfterTheRun) {
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText("'a'#66'c';", report));
  parser.ReadStringRun();
  EXPECT_EQ(parser.CurrTokenKind(), TK::Semicolon);
  EXPECT_EQ(parser.CurrTokenPos(), 9);
}

TEST(StringRun, ReadingFromInsideARunStartsAtTheCursor) {
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText("'a' 'b' 'c';", report));
  parser.Next();
  EXPECT_EQ(parser.ReadStringRun(), "b'c");
  EXPECT_EQ(parser.CurrTokenKind(), TK::Semicolon);
}

TEST(StringRun, RunAtTheEndOfTextLeavesTheCursorAtEnd) {
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText("x 'a'#10", report));
  parser.Next();
  EXPECT_EQ(parser.ReadStringRun(), "a\n");
  EXPECT_EQ(parser.CurrTokenKind(), TK::EndOfText);
}

// ---- keyword table ----

struct KeywordCase {
  const char* spelling;
  int kind;
};

void PrintTo(const KeywordCase& c, std::ostream* os) {
  *os << c.spelling << " -> " << c.kind;
}

const KeywordCase kKeywordCases[] = {
    {"AND", 30},      {"ARRAY", 31},    {"BEGIN", 32},       {"CASE", 33},       {"CONST", 34},
    {"DIV", 35},      {"DO", 36},       {"DOWNTO", 37},      {"ELSE", 38},       {"END", 39},
    {"FOR", 40},      {"FUNCTION", 41}, {"IF", 42},          {"IN", 43},         {"MOD", 44},
    {"NOT", 45},      {"OF", 46},       {"OR", 47},          {"PROCEDURE", 48},  {"PROGRAM", 49},
    {"REPEAT", 50},   {"RECORD", 51},   {"SET", 52},         {"SHL", 53},        {"SHR", 54},
    {"THEN", 55},     {"TO", 56},       {"TYPE", 57},        {"UNTIL", 58},      {"USES", 59},
    {"VAR", 60},      {"WHILE", 61},    {"WITH", 62},        {"XOR", 63},        {"EXIT", 64},
    {"BREAK", 65},    {"CLASS", 66},    {"CONSTRUCTOR", 67}, {"DESTRUCTOR", 68}, {"INHERITED", 69},
    {"PRIVATE", 70},  {"PUBLIC", 71},   {"PUBLISHED", 72},   {"PROTECTED", 73},  {"PROPERTY", 74},
    {"VIRTUAL", 75},  {"OVERRIDE", 76}, {"AS", 77},          {"IS", 78},         {"UNIT", 79},
    {"CONTINUE", 80}, {"TRY", 81},      {"EXCEPT", 82},      {"FINALLY", 83},    {"EXTERNAL", 84},
};

class KeywordTest : public testing::TestWithParam<KeywordCase> {};

TEST_P(KeywordTest, UpperCaseSpellingLooksUpToItsKind) {
  EXPECT_EQ(static_cast<int>(quoll::KeywordKind(GetParam().spelling)), GetParam().kind);
}

TEST_P(KeywordTest, LowerCaseSourceTokenizesToItsKindWithEmptyText) {
  std::string lower = quoll::LowerCase(GetParam().spelling);
  std::vector<Tok> tokens = Tokenize(lower);
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(static_cast<int>(tokens[0].kind), GetParam().kind);
  EXPECT_EQ(tokens[0].text, "");
}

INSTANTIATE_TEST_SUITE_P(Tokenizer, KeywordTest, testing::ValuesIn(kKeywordCases),
                         [](const testing::TestParamInfo<KeywordCase>& info) {
                           return std::string(info.param.spelling);
                         });

TEST(KeywordTable, HoldsExactlyFiftyFiveKeywords) {
  EXPECT_EQ(quoll::KeywordCount(), 55);
  EXPECT_EQ(std::size(kKeywordCases), 55u);
}

TEST(KeywordTable, NamesThatMerelyResembleKeywordsAreIdentifiers) {
  for (const char* name : {"NIL", "RESULT", "SELF", "TRUE", "FALSE", "BEGINS", "EN", "A", "ZZZ", "WRITELN"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(quoll::KeywordKind(name), TK::Identifier);
  }
}

// ---- cursor ----

TEST(ParserCursor, NewParserIsAtEndOfText) {
  Tokenizer parser;
  EXPECT_EQ(parser.Cursor(), -1);
  EXPECT_EQ(parser.CurrTokenKind(), TK::EndOfText);
  EXPECT_EQ(parser.CurrTokenPos(), 0);
  EXPECT_EQ(parser.CurrTokenText(), "");
}

TEST(ParserCursor, EmptyTextSucceedsAtEndOfText) {
  Tokenizer parser;
  LexErrorReport report;
  EXPECT_TRUE(parser.SetText("  { only a comment }  ", report));
  EXPECT_EQ(parser.CurrTokenKind(), TK::EndOfText);
  EXPECT_EQ(parser.CurrTokenPos(), 0);
}

TEST(ParserCursor, PastTheLastTokenReadsAsEndOfTextAtPositionZero) {
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText("  a b", report));
  parser.Next();
  EXPECT_EQ(parser.CurrTokenPos(), 4);
  parser.Next();
  EXPECT_EQ(parser.Cursor(), -1);
  EXPECT_EQ(parser.CurrTokenKind(), TK::EndOfText);
  EXPECT_EQ(parser.CurrTokenPos(), 0);
  EXPECT_EQ(parser.CurrTokenText(), "");
}

struct SeekCase {
  const char* name;
  int32_t pos;
  int32_t cursor;  // expected cursor; -1 for none
};

void PrintTo(const SeekCase& c, std::ostream* os) {
  *os << c.name;
}

class SeekToTest : public testing::TestWithParam<SeekCase> {};

// Tokens of " ab := 12;" lie at 1, 4, 7 and 9.
TEST_P(SeekToTest, LandsOnTheLastTokenAtOrBeforeThePosition) {
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText(" ab := 12;", report));
  parser.Next();  // somewhere else first
  parser.SeekTo(GetParam().pos);
  EXPECT_EQ(parser.Cursor(), GetParam().cursor);
}

const SeekCase kSeekCases[] = {
    {"BeforeTheFirstToken", 0, -1}, {"NegativePosition", -1, -1},  {"OnTheFirstToken", 1, 0},
    {"InsideTheFirstToken", 2, 0},  {"InTheGapAfterAToken", 3, 0}, {"OnAnInnerToken", 7, 2},
    {"OnTheLastToken", 9, 3},       {"BeyondTheText", 500, 3},
};

INSTANTIATE_TEST_SUITE_P(Tokenizer, SeekToTest, testing::ValuesIn(kSeekCases),
                         [](const testing::TestParamInfo<SeekCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(ParserCursor, SeekBeforeTheFirstTokenReadsAsEndOfText) {
  Tokenizer parser;
  LexErrorReport report;
  ASSERT_TRUE(parser.SetText("   x", report));
  parser.SeekTo(1);
  EXPECT_EQ(parser.CurrTokenKind(), TK::EndOfText);
  EXPECT_EQ(parser.CurrTokenPos(), 0);
}

}  // namespace
}  // namespace quoll_test
