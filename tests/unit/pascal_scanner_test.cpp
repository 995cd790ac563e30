// PascalScanner: token classes, and line states carried across lines (comments, asm, property).
#include "ui/pascal_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quoll_test {
namespace {

using quoll::PascalScanner;
using quoll::PasComment;
using quoll::PasContext;
using quoll::PasLineState;
using C = quoll::PasTokenClass;
using Tokens = std::vector<std::pair<std::string, C>>;

// The tokens of one line as text and class, blanks left out; checks that they cover the line.
Tokens Scan(const std::string& line, PasLineState& state) {
  Tokens out;
  size_t next = 0;
  for (const quoll::PasToken& t : PascalScanner::ScanLine(line, state)) {
    EXPECT_EQ(t.start, next) << "gap or overlap in \"" << line << "\"";
    EXPECT_GT(t.length, 0u);
    next = t.start + t.length;
    if (t.cls != C::Space) out.emplace_back(line.substr(t.start, t.length), t.cls);
  }
  EXPECT_EQ(next, line.size()) << "tokens do not cover \"" << line << "\"";
  return out;
}

Tokens Scan(const std::string& line) {
  PasLineState state;
  return Scan(line, state);
}

TEST(PascalScanner, WordsNumbersStringsAndSymbols) {
  EXPECT_EQ(Scan("BEGIN x := 10; End"), (Tokens{{"BEGIN", C::ReservedWord},
                                                {"x", C::Identifier},
                                                {":=", C::Symbol},
                                                {"10", C::Number},
                                                {";", C::Symbol},
                                                {"End", C::ReservedWord}}));
  EXPECT_EQ(Scan("s := 'It''s';"),
            (Tokens{{"s", C::Identifier}, {":=", C::Symbol}, {"'It''s'", C::String}, {";", C::Symbol}}));
  EXPECT_EQ(Scan("a[1..10]"), (Tokens{{"a", C::Identifier},
                                      {"[", C::Symbol},
                                      {"1", C::Number},
                                      {"..", C::Symbol},
                                      {"10", C::Number},
                                      {"]", C::Symbol}}));
  EXPECT_EQ(Scan("1.5e-3 $FF #13#10 #$41"), (Tokens{{"1.5e-3", C::Number},
                                                    {"$FF", C::Number},
                                                    {"#13", C::String},
                                                    {"#10", C::String},
                                                    {"#$41", C::String}}));
  EXPECT_EQ(Scan("x := 1."), (Tokens{{"x", C::Identifier}, {":=", C::Symbol}, {"1.", C::Number}}));
  EXPECT_EQ(
      Scan("@@p ? # $"),
      (Tokens{
          {"@@", C::Symbol}, {"p", C::Identifier}, {"?", C::Symbol}, {"#", C::Symbol}, {"$", C::Symbol}}));
}

TEST(PascalScanner, UnclosedStringEndsWithTheLine) {
  PasLineState state;
  EXPECT_EQ(Scan("x := 'open", state),
            (Tokens{{"x", C::Identifier}, {":=", C::Symbol}, {"'open", C::String}}));
  EXPECT_EQ(state, PasLineState{});
}

TEST(PascalScanner, NonAsciiBytesAreSymbolsOutsideStringsAndPartOfStrings) {
  EXPECT_EQ(Scan("'\xc3\xa4'"), (Tokens{{"'\xc3\xa4'", C::String}}));
  EXPECT_EQ(Scan("\xc3\xa4"), (Tokens{{"\xc3", C::Symbol}, {"\xa4", C::Symbol}}));
}

TEST(PascalScanner, LineComments) {
  EXPECT_EQ(Scan("x / y // begin"),
            (Tokens{{"x", C::Identifier}, {"/", C::Symbol}, {"y", C::Identifier}, {"// begin", C::Comment}}));
}

TEST(PascalScanner, BraceCommentSpanningFourLines) {
  PasLineState state;
  EXPECT_EQ(Scan("x { one", state), (Tokens{{"x", C::Identifier}, {"{ one", C::Comment}}));
  EXPECT_EQ(state.comment, PasComment::Brace);
  EXPECT_EQ(Scan("begin 'two'", state), (Tokens{{"begin 'two'", C::Comment}}));
  EXPECT_EQ(Scan("", state), Tokens{});
  EXPECT_EQ(state.comment, PasComment::Brace);
  EXPECT_EQ(Scan("four *) } end", state), (Tokens{{"four *) }", C::Comment}, {"end", C::ReservedWord}}));
  EXPECT_EQ(state, PasLineState{});
}

TEST(PascalScanner, ParenStarCommentSpanningLines) {
  PasLineState state;
  EXPECT_EQ(Scan("f(x) (* a }", state), (Tokens{{"f", C::Identifier},
                                                {"(", C::Symbol},
                                                {"x", C::Identifier},
                                                {")", C::Symbol},
                                                {"(* a }", C::Comment}}));
  EXPECT_EQ(state.comment, PasComment::Ansi);
  EXPECT_EQ(Scan("b *) c", state), (Tokens{{"b *)", C::Comment}, {"c", C::Identifier}}));
  EXPECT_EQ(state, PasLineState{});
}

TEST(PascalScanner, PropertyWordsAreReservedOnlyInsideAPropertyDeclaration) {
  EXPECT_EQ(Scan("read(f);")[0], std::make_pair(std::string("read"), C::Identifier));
  PasLineState state;
  EXPECT_EQ(Scan("property X: Integer read FX write SetX;", state), (Tokens{{"property", C::ReservedWord},
                                                                            {"X", C::Identifier},
                                                                            {":", C::Symbol},
                                                                            {"Integer", C::Identifier},
                                                                            {"read", C::ReservedWord},
                                                                            {"FX", C::Identifier},
                                                                            {"write", C::ReservedWord},
                                                                            {"SetX", C::Identifier},
                                                                            {";", C::Symbol}}));
  EXPECT_EQ(state.context, PasContext::Property);
  EXPECT_EQ(Scan("  Default stored", state)[1].second, C::ReservedWord);
  EXPECT_EQ(Scan("procedure Read;", state)[1], std::make_pair(std::string("Read"), C::Identifier));
  EXPECT_EQ(state.context, PasContext::Normal);
}

TEST(PascalScanner, AsmBlockIsAssemblerUntilEndButCommentsStayComments) {
  PasLineState state;
  EXPECT_EQ(Scan("asm", state), (Tokens{{"asm", C::ReservedWord}}));
  EXPECT_EQ(state.context, PasContext::Asm);
  EXPECT_EQ(Scan("  mov eax, 1 { note", state), (Tokens{{"mov", C::Assembler},
                                                        {"eax", C::Assembler},
                                                        {",", C::Assembler},
                                                        {"1", C::Assembler},
                                                        {"{ note", C::Comment}}));
  EXPECT_EQ(state, (PasLineState{PasComment::Brace, PasContext::Asm}));
  EXPECT_EQ(Scan("} ret // done", state),
            (Tokens{{"}", C::Comment}, {"ret", C::Assembler}, {"// done", C::Comment}}));
  EXPECT_EQ(Scan("END; x", state),
            (Tokens{{"END", C::ReservedWord}, {";", C::Symbol}, {"x", C::Identifier}}));
  EXPECT_EQ(state, PasLineState{});
}

TEST(PascalScanner, LineStatesSurviveTheirNumberEncoding) {
  for (auto comment : {PasComment::None, PasComment::Ansi, PasComment::Brace})
    for (auto context : {PasContext::Normal, PasContext::Asm, PasContext::Property}) {
      PasLineState s{comment, context};
      EXPECT_EQ(PasLineState::Decode(s.Encode()), s);
    }
  EXPECT_EQ(PasLineState::Decode(-1), PasLineState{});
}

TEST(PascalScanner, EveryListedReservedWordInAnyCase) {
  for (const char* w : {"Dispinterface", "STRINGRESOURCE", "threadvar", "Reintroduce", "overload", "Xor"})
    EXPECT_TRUE(PascalScanner::IsReservedWord(w)) << w;
  for (const char* w : {"read", "Writeln", "Result", "integer"})
    EXPECT_FALSE(PascalScanner::IsReservedWord(w)) << w;
}

}  // namespace
}  // namespace quoll_test
