// Introspection XML into a method table: which members count, their types, the first of two
// names wins, and text that is not introspection gives an empty table without harm.
#include "libs/automation/introspection.h"

#include <gtest/gtest.h>

#include <string>

namespace quoll::automation {
namespace {

// One row per entry: kind, interface.name, in types, out types.
std::string TableText(const MethodTable& table) {
  std::string text;
  for (const BusMember& member : table.members()) {
    text += member.kind == BusMember::Kind::Property ? "property " : "method ";
    text += member.interface + "." + member.name + " (";
    for (const std::string& in : member.in_signatures) text += in + ",";
    text += ") -> (";
    for (const std::string& out : member.out_signatures) text += out + ",";
    text += ")\n";
  }
  return text;
}

TEST(Introspection, TakesMethodsAndReadablePropertiesOfTheObjectsOwnInterfaces) {
  const MethodTable table =
      ParseIntrospection(R"x(<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node name="/org/quoll/Thing">
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg type="s" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Peer"><method name="Ping"/></interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get"><arg type="s"/><arg type="s"/><arg type="v" direction="out"/></method>
  </interface>
  <interface name="org.quoll.Thing">
    <method name="Move">
      <arg name="x" type="i" direction="in"/>
      <arg name="to" type="a{sv}"/>
      <annotation name="org.freedesktop.DBus.Method.NoReply" value="true"/>
      <arg name="moved" type="b" direction="out"/>
      <arg type="(is)" direction="out"/>
    </method>
    <signal name="Moved"><arg type="i"/></signal>
    <property name="Size" type="u" access="read"/>
    <property name="Colour" type="s" access="readwrite"/>
    <property name="Code" type="s" access="write"/>
    <method name="Stop"/>
  </interface>
  <node name="child"><interface name="org.quoll.Child"><method name="Hidden"/></interface></node>
  <node name="other"/>
</node>)x");
  EXPECT_EQ(TableText(table),
            "method org.quoll.Thing.Move (i,a{sv},) -> (b,(is),)\n"
            "property org.quoll.Thing.Size () -> (u,)\n"
            "property org.quoll.Thing.Colour () -> (s,)\n"
            "method org.quoll.Thing.Stop () -> ()\n");
}

TEST(Introspection, FirstOfTwoMembersOfOneNameWinsIgnoringCase) {
  const MethodTable table = ParseIntrospection(R"x(<node>
  <interface name="org.quoll.A">
    <method name="Which"><arg type="s" direction="out"/></method>
    <property name="Level" type="i" access="read"/>
  </interface>
  <interface name="org.quoll.B">
    <method name="Which"><arg type="i"/></method>
    <method name="WHICH"/>
    <method name="level"/>
    <property name="Which" type="s" access="read"/>
    <method name="Other"/>
  </interface>
</node>)x");
  EXPECT_EQ(TableText(table),
            "method org.quoll.A.Which () -> (s,)\n"
            "property org.quoll.A.Level () -> (i,)\n"
            "method org.quoll.B.Other () -> ()\n");
  ASSERT_NE(table.Find("which"), nullptr);
  EXPECT_EQ(table.Find("which")->interface, "org.quoll.A");
  EXPECT_EQ(table.Find("LEVEL")->kind, BusMember::Kind::Property);
  EXPECT_EQ(table.Find("Missing"), nullptr);
}

TEST(Introspection, LeavesOutMembersWithInvalidNamesOrTypes) {
  const MethodTable table = ParseIntrospection(R"x(<node>
  <interface name="org.quoll.A">
    <method name="BadType"><arg type="a{" direction="in"/></method>
    <method name="TwoTypesInOne"><arg type="ii"/></method>
    <method name="NoType"><arg name="x"/></method>
    <method name="OddDirection"><arg type="i" direction="sideways"/></method>
    <method name="Bad-Name"/>
    <method/>
    <property name="NoAccess" type="i"/>
    <property name="BadType" type="(" access="read"/>
    <method name="Good"><arg type="i"/></method>
  </interface>
  <interface name="not an interface"><method name="Lost"/></interface>
  <interface><method name="AlsoLost"/></interface>
</node>)x");
  EXPECT_EQ(TableText(table), "method org.quoll.A.Good (i,) -> ()\n");
}

TEST(Introspection, OnlyInterfacesRightInsideTheRootNodeCount) {
  EXPECT_TRUE(
      ParseIntrospection(R"x(<interface name="org.quoll.A"><method name="M"/></interface>)x").empty());
  EXPECT_TRUE(
      ParseIntrospection(R"x(<other><interface name="org.quoll.A"><method name="M"/></interface></other>)x")
          .empty());
  EXPECT_EQ(TableText(ParseIntrospection(
                R"x(<node><wrapper><interface name="org.quoll.A"><method name="M"/></interface></wrapper>
                   <interface name="org.quoll.B"><wrapper><method name="Deep"/></wrapper><method name="N"/></interface></node>)x")),
            "method org.quoll.B.N () -> ()\n");
}

struct BrokenXmlCase {
  const char* name;
  std::string xml;
};

void PrintTo(const BrokenXmlCase& c, std::ostream* os) {
  *os << c.name;
}

std::string DeeplyNested(int depth) {
  std::string xml = "<node><interface name=\"org.quoll.A\">";
  for (int i = 0; i < depth; ++i) xml += "<x>";
  for (int i = 0; i < depth; ++i) xml += "</x>";
  return xml + "<method name=\"M\"/></interface></node>";
}

const BrokenXmlCase kBrokenXmlCases[] = {
    {"Empty", ""},
    {"NotXml", "this is not xml"},
    {"Truncated", R"x(<node><interface name="org.quoll.A"><method name="M"/>)x"},
    {"MismatchedTags", R"x(<node><interface name="org.quoll.A"><method name="M"></interface></node>)x"},
    {"TwoRoots",
     R"x(<node></node><node><interface name="org.quoll.A"><method name="M"/></interface></node>)x"},
    {"BadAttribute", R"x(<node><interface name=org.quoll.A><method name="M"/></interface></node>)x"},
    {"UndefinedEntity", R"x(<node><interface name="&nothing;"><method name="M"/></interface></node>)x"},
    {"EntityExpansionBomb", R"x(<!DOCTYPE node [
  <!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa">
  <!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">
  <!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
  <!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">
  <!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">
  <!ENTITY f "&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;">
]>
<node><interface name="org.quoll.A"><method name="M"><arg type="&f;"/></method></interface></node>)x"},
    {"ExternalEntity", R"x(<!DOCTYPE node [<!ENTITY secret SYSTEM "file:///etc/passwd">]>
<node><interface name="org.quoll.A"><method name="&secret;"/></interface></node>)x"},
    {"NulInside", std::string("<node><interface name=\"org.quoll.A\">") + '\0' +
                      "<method name=\"M\"/></interface></node>"},
    {"InvalidUtf8", "<node><interface name=\"org.quoll.\xFF\"><method name=\"M\"/></interface></node>"},
    {"DeeplyNestedThenCut", DeeplyNested(100000).substr(0, 300000)},
};

class BrokenXml : public ::testing::TestWithParam<BrokenXmlCase> {};

TEST_P(BrokenXml, GivesAnEmptyTable) {
  EXPECT_EQ(TableText(ParseIntrospection(GetParam().xml)), "");
}

INSTANTIATE_TEST_SUITE_P(Introspection, BrokenXml, ::testing::ValuesIn(kBrokenXmlCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Introspection, DeepNestingThatIsWellFormedStillParses) {
  EXPECT_EQ(TableText(ParseIntrospection(DeeplyNested(100000))), "method org.quoll.A.M () -> ()\n");
}

}  // namespace
}  // namespace quoll::automation
