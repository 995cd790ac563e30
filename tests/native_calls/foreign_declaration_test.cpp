// Reading the declarations scripts give for C exports: what each accepted form yields, and the
// texts that are refused.
#include "libs/native_calls/foreign_declaration.h"

#include <gtest/gtest.h>

#include <ostream>

namespace quoll {

void PrintTo(const ForeignDeclaration& d, std::ostream* os) {
  *os << (d.isFunction ? "function " : "procedure ") << d.name << "(";
  for (const ForeignParameter& p : d.parameters)
    *os << (p.byReference ? "var " : "") << NameText(p.name) << ": " << static_cast<int>(p.type) << "; ";
  *os << ")";
  if (d.isFunction) *os << ": " << static_cast<int>(d.result);
  *os << " convention " << static_cast<int>(d.convention);
}

namespace {

using FT = ForeignType;
using CC = CallingConvention;

ForeignParameter Param(const char* name, ForeignType type, bool byReference = false) {
  return {InternUpper(name), type, byReference};
}

struct Accepted {
  const char* text;
  ForeignDeclaration expected;
};

TEST(ForeignDeclaration, AcceptedFormsAndWhatTheyYield) {
  const Accepted cases[] = {
      {"procedure Go", {"GO", false, FT::LongInt, {}, CC::Register}},
      {"procedure Go;", {"GO", false, FT::LongInt, {}, CC::Register}},
      {"function Count: Integer", {"COUNT", true, FT::LongInt, {}, CC::Register}},
      {"function strlen(S: PChar): Cardinal; cdecl",
       {"STRLEN", true, FT::Cardinal, {Param("S", FT::PChar)}, CC::Cdecl}},
      {"FUNCTION f(a, B: byte; VAR c: Char; d: SmallInt): string; STDCALL;",
       {"F",
        true,
        FT::String,
        {Param("A", FT::Byte), Param("B", FT::Byte), Param("C", FT::Char, true), Param("D", FT::SmallInt)},
        CC::Stdcall}},
      {"procedure P(var a, b: Word; c: ShortInt; var d: LongInt; e: string); pascal",
       {"P",
        false,
        FT::LongInt,
        {Param("A", FT::Word, true), Param("B", FT::Word, true), Param("C", FT::ShortInt),
         Param("D", FT::LongInt, true), Param("E", FT::String)},
        CC::Pascal}},
      // Any other identifier after the semicolon, and none, is the register convention.
      {"procedure Q(x: Integer); register;",
       {"Q", false, FT::LongInt, {Param("X", FT::LongInt)}, CC::Register}},
      {"procedure Q(x: Integer); safecall",
       {"Q", false, FT::LongInt, {Param("X", FT::LongInt)}, CC::Register}},
      {"  procedure { a comment } Q // and another\r\n (x: Integer)",
       {"Q", false, FT::LongInt, {Param("X", FT::LongInt)}, CC::Register}},
  };
  for (const Accepted& c : cases) {
    std::optional<ForeignDeclaration> parsed = ParseForeignDeclaration(c.text);
    ASSERT_TRUE(parsed.has_value()) << c.text;
    EXPECT_EQ(*parsed, c.expected) << c.text;
  }
}

TEST(ForeignDeclaration, RefusedTexts) {
  const std::string refused[] = {
      "",
      "Go",
      "var X: Integer",
      "procedure",
      "procedure 12",
      "procedure Begin",
      "procedure Go()",
      "procedure Go(x: Integer",
      "procedure Go(x: Integer;)",
      "procedure Go(x Integer)",
      "procedure Go(x, : Integer)",
      "procedure Go(const x: Integer)",
      "procedure Go(var: Integer)",
      "procedure Go(x: Boolean)",
      "procedure Go(x: Real)",
      "procedure Go(x: array of Byte)",
      "procedure Go(x: ResourcePointer)",
      "procedure Go(x: TObject)",
      "procedure Go(x: 'string')",
      "procedure Go: Integer",
      "function Go",
      "function Go;",
      "function Go: Boolean",
      "function Go(x: Integer)",
      "procedure Go cdecl",
      "procedure Go; cdecl extra",
      "procedure Go; cdecl; extra",
      "procedure Go;;",
      "procedure Go; 'cdecl'",
      "procedure Go; { an open comment",
      "procedure Go; 'an open string",
      "procedure Go; \x01",
      std::string("procedure Go;\0garbage", 21),
  };
  for (const std::string& text : refused)
    EXPECT_FALSE(ParseForeignDeclaration(text).has_value()) << "accepted: " << text;
}

}  // namespace
}  // namespace quoll
