// The text helpers shared by the engine and the host: case changes, number texts.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/string_list.h"
#include "engine/textutil.h"

namespace quoll_test {
namespace {

TEST(TextCase, OnlyAsciiLettersChange) {
  EXPECT_EQ(quoll::UpperCase("abz_09 \xe9\xff"), "ABZ_09 \xe9\xff");
  EXPECT_EQ(quoll::LowerCase("ABZ_09 \xc9\xff"), "abz_09 \xc9\xff");
}

TEST(RealText, HasFixedNotationWithTwelveDecimals) {
  EXPECT_EQ(quoll::RealToText(1.5L), "1.500000000000");
  EXPECT_EQ(quoll::RealToText(-0.25L), "-0.250000000000");
  EXPECT_EQ(quoll::RealToText(1e20L), "100000000000000000000.000000000000");
}

struct IntTextCase {
  const char* name;
  const char* text;
  std::optional<int32_t> value;
};

void PrintTo(const IntTextCase& c, std::ostream* os) {
  *os << c.name << " \"" << c.text << "\"";
}

class ParseIntTest : public testing::TestWithParam<IntTextCase> {};

TEST_P(ParseIntTest, TextConvertsToThisValueOrNone) {
  EXPECT_EQ(quoll::ParseInt32(GetParam().text), GetParam().value);
}

const IntTextCase kIntTexts[] = {
    {"Decimal", "123", 123},
    {"Negative", "-123", -123},
    {"SmallestLongint", "-2147483648", INT32_MIN},
    {"LargestLongint", "2147483647", INT32_MAX},
    {"JustTooLarge", "2147483648", std::nullopt},
    {"JustTooSmall", "-2147483649", std::nullopt},
    {"Hex", "$7fffFFFF", INT32_MAX},
    {"HexWithManyLeadingZeros", "$00000000041", 65},
    {"Empty", "", std::nullopt},
    {"SignOnly", "-", std::nullopt},
    {"DollarOnly", "$", std::nullopt},
    {"TrailingLetter", "12a", std::nullopt},
    {"InnerBlank", "1 2", std::nullopt},
    {"BadHexDigit", "$1G", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(TextUtil, ParseIntTest, testing::ValuesIn(kIntTexts),
                         [](const testing::TestParamInfo<IntTextCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(ParseReal, ReadsDecimalRealsIncludingATrailingPoint) {
  EXPECT_EQ(quoll::ParseReal("3."), 3.0L);
  EXPECT_EQ(quoll::ParseReal("0.5"), 0.5L);
  EXPECT_EQ(quoll::ParseReal("-2.25"), -2.25L);
}

TEST(ParseReal, TextThatIsNoNumberGivesNone) {
  for (const char* text : {"", "abc", "1.2.3", "1,5", " 1"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(quoll::ParseReal(text), std::nullopt);
  }
}

}  // namespace
}  // namespace quoll_test

TEST(TextUtil, PaddingFillsToTheLengthAndLeavesLongerTextsAlone) {
  EXPECT_EQ(quoll::PadLeft("7", 3), "  7");
  EXPECT_EQ(quoll::PadLeft("7", 3, '0'), "007");
  EXPECT_EQ(quoll::PadRight("ab", 4), "ab  ");
  EXPECT_EQ(quoll::PadLeft("abcd", 2), "abcd");
  EXPECT_EQ(quoll::PadRight("abcd", 2), "abcd");
}

TEST(TextUtil, FirstWordSplitsAtTheFirstBlankAndDropsTheBlanksAfterIt) {
  EXPECT_EQ(quoll::FirstWord("12 !X 34"), "12");
  EXPECT_EQ(quoll::WithoutFirstWord("12   !X 34"), "!X 34");
  EXPECT_EQ(quoll::FirstWord("single"), "single");
  EXPECT_EQ(quoll::WithoutFirstWord("single"), "");
}

TEST(StringList, ReadsOutsideGiveTheEmptyStringAndWritesThereDoNothing) {
  quoll::StringList list;
  list.Add("a");
  list.Add("b");
  EXPECT_EQ(list.Get(2), "");
  EXPECT_EQ(list.Get(-1), "");
  list.Set(5, "x");
  list.Delete(7);
  ASSERT_EQ(list.Count(), 2);
  list.Delete(0);
  EXPECT_EQ(list.Get(0), "b");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}
