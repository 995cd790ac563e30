// Reply values: their signatures, their text, and which ones a script value can hold.
#include "libs/automation/bus_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quoll::automation {
namespace {

using V = BusValue;

struct ValueCase {
  const char* name;
  BusValue value;
  const char* text;
  bool convertible;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
  *os << c.name;
}

const ValueCase kValueCases[] = {
    {"Byte", V::Byte(255), "y 255", true},
    {"Bool", V::Bool(true), "b true", true},
    {"Int16", V::Int16(-32768), "n -32768", true},
    {"UInt16", V::UInt16(65535), "q 65535", true},
    {"Int32", V::Int32(-2147483647 - 1), "i -2147483648", true},
    {"UInt32", V::UInt32(4294967295u), "u 4294967295", true},
    {"Int64", V::Int64(std::numeric_limits<std::int64_t>::min()), "x -9223372036854775808", false},
    {"UInt64", V::UInt64(std::numeric_limits<std::uint64_t>::max()), "t 18446744073709551615", false},
    {"Double", V::Double(0.1), "d 0.1", true},
    {"DoubleInfinity", V::Double(-HUGE_VAL), "d -inf", true},
    {"String", V::String("say \"hi\"\\\n"), "s \"say \\\"hi\\\"\\\\\\x0A\"", true},
    {"ObjectPath", V::ObjectPath("/a/b"), "o \"/a/b\"", true},
    {"Signature", V::Signature("a{sv}"), "g \"a{sv}\"", true},
    {"UnixFd", V::UnixFd(), "h fd", false},
    {"EmptyArrayKeepsItsType", V::Array("s", {}), "as []", true},
    {"Array", V::Array("i", {V::Int32(1), V::Int32(2)}), "ai [1, 2]", true},
    {"NestedArray", V::Array("ai", {V::Array("i", {V::Int32(1)}), V::Array("i", {})}), "aai [[1], []]", true},
    {"ArrayOfInt64", V::Array("x", {}), "ax []", false},
    {"ArrayOfStructs", V::Array("(is)", {}), "a(is) []", false},
    {"Variant", V::Variant(V::String("x")), "v s \"x\"", true},
    {"VariantOfInt64", V::Variant(V::Int64(1)), "v x 1", false},
    {"VariantArrayMixed", V::Array("v", {V::Variant(V::Int32(1)), V::Variant(V::String("a"))}),
     "av [i 1, s \"a\"]", true},
    {"VariantArrayHoldingAStruct", V::Array("v", {V::Variant(V::Struct({V::Int32(1)}))}), "av [(i) (1)]",
     false},
    {"Struct", V::Struct({V::Int32(7), V::String("seven")}), "(is) (7, \"seven\")", false},
    {"Dict", V::Dict("sv", {V::DictEntry(V::String("k"), V::Variant(V::Int32(1)))}), "a{sv} {\"k\": i 1}",
     false},
};

class DescribesValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(DescribesValue, WithSignatureAndTellsWhetherScriptsCanHoldIt) {
  const ValueCase& c = GetParam();
  EXPECT_EQ(Describe(c.value), c.text);
  EXPECT_EQ(c.value.IsConvertible(), c.convertible);
}

INSTANTIATE_TEST_SUITE_P(BusValue, DescribesValue, ::testing::ValuesIn(kValueCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BusValue, IntegerKindsReadBackTheirValue) {
  EXPECT_EQ(V::Int16(-5).AsInt64(), -5);
  EXPECT_EQ(V::UInt32(4294967295u).AsInt64(), 4294967295);
  EXPECT_EQ(V::UInt64(std::numeric_limits<std::uint64_t>::max()).AsUInt64(),
            std::numeric_limits<std::uint64_t>::max());
  EXPECT_TRUE(V::Byte(0).IsInteger());
  EXPECT_FALSE(V::Bool(true).IsInteger());
  EXPECT_FALSE(V::Double(1).IsInteger());
}

}  // namespace
}  // namespace quoll::automation
