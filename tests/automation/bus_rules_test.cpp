// The bus's rules for type signatures and for text.
#include <gtest/gtest.h>

#include <string>

#include "libs/automation/signature.h"
#include "libs/automation/utf8.h"

namespace quoll::automation {
namespace {

struct SignatureCase {
  const char* name;
  std::string signature;
  bool single;  // one complete type
  bool valid;   // any number of complete types
};

void PrintTo(const SignatureCase& c, std::ostream* os) {
  *os << c.name;
}

const std::string kDeepArrays32 = std::string(32, 'a') + "i";
const std::string kDeepStructs32 = std::string(32, '(') + "i" + std::string(32, ')');

const SignatureCase kSignatureCases[] = {
    {"Basic", "i", true, true},
    {"EveryBasicCode", "ybnqiuxtdhsog", false, true},
    {"Variant", "v", true, true},
    {"Array", "ai", true, true},
    {"Dict", "a{sv}", true, true},
    {"Struct", "(is)", true, true},
    {"Nested", "a(ia{s(vv)})", true, true},
    {"Several", "isa{sv}", false, true},
    {"Empty", "", false, true},
    {"ArrayWithoutElement", "a", false, false},
    {"EmptyStruct", "()", false, false},
    {"UnclosedStruct", "(ii", false, false},
    {"UnopenedStruct", "i)", false, false},
    {"DictOutsideArray", "{sv}", false, false},
    {"DictKeyNotBasic", "a{vs}", false, false},
    {"DictWithThreeTypes", "a{sii}", false, false},
    {"DictWithoutValue", "a{s}", false, false},
    {"UnclosedDict", "a{sv", false, false},
    {"UnknownCode", "z", false, false},
    {"ArraysAtTheLimit", kDeepArrays32, true, true},
    {"ArraysPastTheLimit", "a" + kDeepArrays32, false, false},
    {"StructsAtTheLimit", kDeepStructs32, true, true},
    {"StructsPastTheLimit", "(" + kDeepStructs32 + ")", false, false},
    {"TooLong", std::string(256, 'i'), false, false},
    {"LongestAllowed", std::string(255, 'i'), false, true},
};

class SignatureRules : public ::testing::TestWithParam<SignatureCase> {};

TEST_P(SignatureRules, TellCompleteTypesAndValidSignatures) {
  const SignatureCase& c = GetParam();
  EXPECT_EQ(IsSingleCompleteType(c.signature), c.single);
  EXPECT_EQ(IsValidSignature(c.signature), c.valid);
}

INSTANTIATE_TEST_SUITE_P(BusRules, SignatureRules, ::testing::ValuesIn(kSignatureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BusRules, CompleteTypeLengthStopsAfterTheFirstType) {
  EXPECT_EQ(CompleteTypeLength("a{sv}i"), 5u);
  EXPECT_EQ(CompleteTypeLength("(ai)s"), 4u);
  EXPECT_EQ(CompleteTypeLength("aai"), 3u);
  EXPECT_EQ(CompleteTypeLength(")"), 0u);
}

struct TextCase {
  const char* name;
  std::string text;
  bool valid;
};

void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.name;
}

const TextCase kTextCases[] = {
    {"Ascii", "hello", true},
    {"Empty", "", true},
    {"TwoBytes", "\xC3\xA4", true},
    {"ThreeBytes", "\xE2\x82\xAC", true},
    {"FourBytes", "\xF0\x9F\x98\x80", true},
    {"HighestCodePoint", "\xF4\x8F\xBF\xBF", true},
    {"Nul", std::string("a\0b", 3), false},
    {"Latin1", "caf\xE9", false},
    {"LoneContinuation", "\x80", false},
    {"Overlong", "\xC0\xAF", false},
    {"OverlongThreeBytes", "\xE0\x80\xAF", false},
    {"Surrogate", "\xED\xA0\x80", false},
    {"AboveHighest", "\xF4\x90\x80\x80", false},
    {"CutShort", "\xE2\x82", false},
    {"BadContinuation", "\xE2\x28\xA1", false},
};

class TextRules : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextRules, AcceptOnlyWellFormedUtf8WithoutNul) {
  EXPECT_EQ(IsValidUtf8(GetParam().text), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(BusRules, TextRules, ::testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quoll::automation
