// Programmatic identifiers: the forms that name objects, and the messages for the ones that
// do not.
#include "libs/automation/bus_name.h"

#include <gtest/gtest.h>

#include "test_bus.h"

namespace quoll::automation {
namespace {

using testing::FailureOf;

struct NameCase {
  const char* name;
  const char* text;
  BusKind bus;
  const char* service;
  const char* path;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << c.name;
}

const NameCase kNameCases[] = {
    {"WellKnownName", "org.freedesktop.DBus", BusKind::Session, "org.freedesktop.DBus",
     "/org/freedesktop/DBus"},
    {"TwoElements", "a.b", BusKind::Session, "a.b", "/a/b"},
    {"HyphenBecomesUnderscore", "org.example-corp.Tool", BusKind::Session, "org.example-corp.Tool",
     "/org/example_corp/Tool"},
    {"DigitsAfterTheFirst", "org.v2.x9", BusKind::Session, "org.v2.x9", "/org/v2/x9"},
    {"OtherPath", "org.quoll.TestServer:/org/quoll/TestServer/Second", BusKind::Session,
     "org.quoll.TestServer", "/org/quoll/TestServer/Second"},
    {"RootPath", "org.quoll.TestServer:/", BusKind::Session, "org.quoll.TestServer", "/"},
    {"SystemBus", "system:org.freedesktop.login1", BusKind::System, "org.freedesktop.login1",
     "/org/freedesktop/login1"},
    {"SystemBusOtherPath", "system:org.freedesktop.login1:/org/freedesktop/login1/seat/seat0",
     BusKind::System, "org.freedesktop.login1", "/org/freedesktop/login1/seat/seat0"},
    {"SessionSaidExplicitly", "session:org.quoll.TestServer", BusKind::Session, "org.quoll.TestServer",
     "/org/quoll/TestServer"},
    {"UniqueNameWithPath", ":1.42:/org/quoll/Thing", BusKind::Session, ":1.42", "/org/quoll/Thing"},
};

class ParsesName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ParsesName, IntoBusServiceAndPath) {
  const NameCase& c = GetParam();
  const ObjectAddress address = ParseObjectName(c.text);
  EXPECT_EQ(address.bus, c.bus);
  EXPECT_EQ(address.service, c.service);
  EXPECT_EQ(address.path, c.path);
}

INSTANTIATE_TEST_SUITE_P(BusName, ParsesName, ::testing::ValuesIn(kNameCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadNameCase {
  const char* name;
  std::string text;
  const char* failure;
};

void PrintTo(const BadNameCase& c, std::ostream* os) {
  *os << c.name;
}

const BadNameCase kBadNameCases[] = {
    {"Empty", "", "Name: invalid bus name \"\""},
    {"OneElement", "quoll", "Name: invalid bus name \"quoll\""},
    {"EmptyElement", "org..quoll", "Name: invalid bus name \"org..quoll\""},
    {"TrailingDot", "org.quoll.", "Name: invalid bus name \"org.quoll.\""},
    {"ElementStartsWithDigit", "org.2quoll", "Name: invalid bus name \"org.2quoll\""},
    {"Blank", "org.quoll Server", "Name: invalid bus name \"org.quoll Server\""},
    {"NonAscii", "org.qu\xC3\xB6ll", "Name: invalid bus name \"org.qu\xC3\xB6ll\""},
    {"TooLong", "a." + std::string(254, 'b'), nullptr},
    {"OnlyPrefix", "system:", "Name: invalid bus name \"\""},
    {"PrefixTwice", "system:system:org.quoll.X", "Name: invalid bus name \"system:org.quoll.X\""},
    {"PathWithoutSlash", "org.quoll.X:path", "Name: invalid bus name \"org.quoll.X:path\""},
    {"PathTrailingSlash", "org.quoll.X:/a/", "Name: invalid object path \"/a/\""},
    {"PathDoubleSlash", "org.quoll.X://a", "Name: invalid object path \"//a\""},
    {"PathWithDot", "org.quoll.X:/a.b", "Name: invalid object path \"/a.b\""},
    {"PathWithHyphen", "org.quoll.X:/a-b", "Name: invalid object path \"/a-b\""},
    {"UniqueNameWithoutPath", ":1.42", "Name: the unique name \":1.42\" needs an object path"},
};

class RefusesName : public ::testing::TestWithParam<BadNameCase> {};

TEST_P(RefusesName, WithMessageQuotingIt) {
  const BadNameCase& c = GetParam();
  const std::string failure = FailureOf([&] { ParseObjectName(c.text); });
  if (c.failure) {
    EXPECT_EQ(failure, c.failure);
  } else {
    EXPECT_TRUE(failure.starts_with("Name: invalid bus name")) << failure;
  }
}

INSTANTIATE_TEST_SUITE_P(BusName, RefusesName, ::testing::ValuesIn(kBadNameCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BusName, LongestNamesAreAccepted) {
  const std::string longest = "a." + std::string(253, 'b');
  EXPECT_TRUE(IsValidBusName(longest));
  EXPECT_FALSE(IsValidBusName(longest + "b"));
}

TEST(BusName, MembersAndInterfacesFollowTheirOwnRules) {
  EXPECT_TRUE(IsValidMemberName("Get_Value2"));
  EXPECT_FALSE(IsValidMemberName("2Get"));
  EXPECT_FALSE(IsValidMemberName("Get-Value"));
  EXPECT_FALSE(IsValidMemberName("Get.Value"));
  EXPECT_FALSE(IsValidMemberName(""));
  EXPECT_TRUE(IsValidInterfaceName("org.quoll.Types_2"));
  EXPECT_FALSE(IsValidInterfaceName("org.quoll-corp.Types"));  // hyphens only in bus names
  EXPECT_FALSE(IsValidInterfaceName("Types"));
}

}  // namespace
}  // namespace quoll::automation
