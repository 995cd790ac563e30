// Creating automation objects on the test bus: the bus daemon itself, the test server started
// by name, other object paths, connections opened only on first use, names nobody owns, and
// objects that cannot be introspected.
#include "libs/automation/bus_object.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "test_bus.h"

namespace quoll::automation {
namespace {

using testing::DescribeAll;
using testing::FailureOf;
using testing::kServer;
using testing::OnTestBus;

std::vector<std::string> Names(const MethodTable& table) {
  std::vector<std::string> names;
  for (const BusMember& member : table.members()) names.push_back(member.name);
  return names;
}

bool Contains(const BusValue& array, const std::string& text) {
  for (const BusValue& element : array.items()) {
    if (element.text() == text) return true;
  }
  return false;
}

class BusDaemon : public OnTestBus {};

TEST_F(BusDaemon, AnswersItsOwnMethods) {
  const BusObject bus = Create("org.freedesktop.DBus");
  EXPECT_EQ(bus.address().path, "/org/freedesktop/DBus");

  const std::vector<BusValue> id = bus.Call("GetId", {});
  ASSERT_EQ(id.size(), 1u);
  EXPECT_EQ(id[0].kind(), BusValue::Kind::String);
  EXPECT_EQ(id[0].text().size(), 32u);  // the bus's 128-bit id in hex

  const std::vector<BusValue> names = bus.Call("ListNames", {});
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].signature(), "as");
  EXPECT_TRUE(Contains(names[0], "org.freedesktop.DBus"));

  const CallArgument own[] = {"org.freedesktop.DBus"};
  EXPECT_EQ(DescribeAll(bus.Call("NameHasOwner", own)), "b true");
  const CallArgument nobody[] = {"org.quoll.Nobody"};
  EXPECT_EQ(DescribeAll(bus.Call("namehasowner", nobody)), "b false");
}

TEST_F(BusDaemon, DescribesItselfWithoutTheStandardInterfaces) {
  const BusObject bus = Create("org.freedesktop.DBus");
  const MethodTable& table = bus.methods();
  const BusMember* has_owner = table.Find("NameHasOwner");
  ASSERT_NE(has_owner, nullptr);
  EXPECT_EQ(has_owner->interface, "org.freedesktop.DBus");
  EXPECT_EQ(has_owner->in_signatures, std::vector<std::string>{"s"});
  EXPECT_EQ(has_owner->out_signatures, std::vector<std::string>{"b"});
  EXPECT_EQ(table.Find("Introspect"), nullptr);
  EXPECT_EQ(table.Find("Ping"), nullptr);
  EXPECT_EQ(table.Find("GetAll"), nullptr);
  // Its read-only property, read through the properties interface.
  const BusMember* features = table.Find("Features");
  ASSERT_NE(features, nullptr);
  EXPECT_EQ(features->kind, BusMember::Kind::Property);
  const std::vector<BusValue> value = bus.Call(*features, {});
  ASSERT_EQ(value.size(), 1u);
  EXPECT_EQ(value[0].signature(), "as");
}

TEST_F(BusDaemon, SystemPrefixUsesTheOtherConnection) {
  // The tests point the system bus at the test bus too, so this reaches the same daemon.
  const BusObject session = Create("org.freedesktop.DBus");
  EXPECT_FALSE(connections_.IsOpen(BusKind::System));
  const BusObject system = Create("system:org.freedesktop.DBus");
  EXPECT_TRUE(connections_.IsOpen(BusKind::System));
  EXPECT_EQ(system.address().bus, BusKind::System);
  EXPECT_EQ(DescribeAll(system.Call("GetId", {})), DescribeAll(session.Call("GetId", {})));
}

TEST_F(OnTestBus, NothingConnectsBeforeTheFirstObject) {
  EXPECT_FALSE(connections_.IsOpen(BusKind::Session));
  EXPECT_FALSE(connections_.IsOpen(BusKind::System));
  // A name that does not parse is refused before any connection is made.
  EXPECT_EQ(FailureOf([&] { Create("not a name"); }), "Name: invalid bus name \"not a name\"");
  EXPECT_FALSE(connections_.IsOpen(BusKind::Session));
  const BusObject bus = Create("org.freedesktop.DBus");
  EXPECT_TRUE(connections_.IsOpen(BusKind::Session));
  EXPECT_FALSE(connections_.IsOpen(BusKind::System));
}

TEST_F(OnTestBus, ObjectsShareTheOneConnectionAndKeepItAlive) {
  std::vector<BusObject> objects;
  objects.push_back(Create("org.freedesktop.DBus"));
  objects.push_back(Create(kServer));
  const BusHandle first = connections_.Get(BusKind::Session);
  connections_ = BusConnections();  // the objects still hold their reference
  EXPECT_EQ(DescribeAll(objects[1].Call("EchoInt32", std::vector<CallArgument>{5})), "i 5");
  EXPECT_EQ(objects[0].Call("GetId", {}).size(), 1u);
  EXPECT_TRUE(first);
}

TEST_F(OnTestBus, LostConnectionFailsItsObjectsAndIsOpenedAgainForNewOnes) {
  const BusObject before = Create(kServer);
  sd_bus_close(connections_.Get(BusKind::Session).get());  // as when the bus daemon goes away
  EXPECT_FALSE(connections_.IsOpen(BusKind::Session));
  const std::string failure = FailureOf([&] { before.Call("Nothing", {}); });
  EXPECT_TRUE(failure.starts_with("Call: ")) << failure;
  const BusObject after = Create(kServer);
  EXPECT_TRUE(connections_.IsOpen(BusKind::Session));
  EXPECT_EQ(DescribeAll(after.Call("EchoInt32", std::vector<CallArgument>{3})), "i 3");
}

// Sets an environment variable (or unsets it, for null) until the end of the scope.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnvironment() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST_F(OnTestBus, UnreachableBusIsAConnectionError) {
  {
    ScopedEnvironment address("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quoll/bus");
    EXPECT_EQ(FailureOf([&] { Create(kServer); }),
              "Connection: could not connect to the session bus: No such file or directory");
  }
  {
    ScopedEnvironment address("DBUS_SESSION_BUS_ADDRESS", nullptr);
    ScopedEnvironment runtime("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(FailureOf([&] { Create(kServer); }),
              "Connection: could not connect to the session bus: neither DBUS_SESSION_BUS_ADDRESS nor "
              "XDG_RUNTIME_DIR is set");
  }
  ScopedEnvironment address("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quoll/bus");
  EXPECT_EQ(FailureOf([&] { Create("system:org.freedesktop.DBus"); }),
            "Connection: could not connect to the system bus: No such file or directory");
}

TEST_F(OnTestBus, NameNobodyProvidesCarriesTheBusMessage) {
  EXPECT_EQ(FailureOf([&] { Create("org.quoll.NoSuchService"); }),
            "Creation: The name org.quoll.NoSuchService was not provided by any .service files "
            "[org.freedesktop.DBus.Error.ServiceUnknown]");
}

TEST_F(OnTestBus, ServiceThatFailsToStartCarriesTheBusMessage) {
  const std::string failure = FailureOf([&] { Create("org.quoll.TestServer.Broken"); });
  EXPECT_TRUE(failure.starts_with("Creation: Process org.quoll.TestServer.Broken exited with status 2"))
      << failure;
  EXPECT_TRUE(failure.ends_with("[org.freedesktop.DBus.Error.Spawn.ChildExited]")) << failure;
}

// The activation name is used by this test alone: it is stopped first if an earlier run left it.
TEST_F(OnTestBus, ServiceIsStartedByName) {
  const char* name = "org.quoll.TestServer.Activation";
  const BusObject bus = Create("org.freedesktop.DBus");
  const CallArgument service[] = {name};
  const auto running = [&] { return bus.Call("NameHasOwner", service)[0].AsBool(); };
  if (running()) {
    Create(name).Call("Quit", {});
    for (int i = 0; i < 200 && running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_FALSE(running());

  const BusObject server = Create(name);
  EXPECT_TRUE(running());
  EXPECT_EQ(server.address().path, "/org/quoll/TestServer/Activation");
  EXPECT_NE(server.methods().Find("EchoInt32"), nullptr);
  server.Call("Quit", {});
}

TEST_F(OnTestBus, OtherObjectPathOfTheService) {
  const BusObject second = Create(std::string(kServer) + ":/org/quoll/TestServer/Second");
  EXPECT_EQ(Names(second.methods()), (std::vector<std::string>{"WhoAmI", "Label"}));
  EXPECT_EQ(DescribeAll(second.Call("WhoAmI", {})), "s \"second\"");
  EXPECT_EQ(DescribeAll(second.Call("label", {})), "s \"the second object\"");
}

TEST_F(OnTestBus, TableOfTheServersMainObject) {
  const BusObject server = Create(kServer);
  const MethodTable& table = server.methods();
  const BusMember* several = table.Find("Several");
  ASSERT_NE(several, nullptr);
  EXPECT_EQ(several->interface, "org.quoll.TestServer.Types");
  EXPECT_EQ(several->out_signatures, (std::vector<std::string>{"i", "s", "b", "as"}));
  const BusMember* sum = table.Find("Sum");
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(sum->in_signatures, (std::vector<std::string>{"i", "i"}));
  ASSERT_NE(table.Find("Count"), nullptr);
  EXPECT_EQ(table.Find("Count")->kind, BusMember::Kind::Property);
  ASSERT_NE(table.Find("Greeting"), nullptr);  // readwrite reads too
  EXPECT_EQ(table.Find("Introspect"), nullptr);
  EXPECT_EQ(table.Find("Get"), nullptr);
}

TEST_F(OnTestBus, HandWrittenDescriptionFollowsTheTableRules) {
  const BusObject described = Create(std::string(kServer) + ":/org/quoll/TestServer/Described");
  // Standard interfaces, the invalid type, the write-only property, the later "which" and
  // "Level" and the child node's method are left out.
  EXPECT_EQ(Names(described.methods()), (std::vector<std::string>{"Which", "Level", "OnlySecond", "Mode"}));
  EXPECT_EQ(DescribeAll(described.Call("WHICH", {})), "s \"first\"");
  EXPECT_EQ(DescribeAll(described.Call("Level", {})), "i 3");
  EXPECT_EQ(DescribeAll(described.Call("Mode", {})), "s \"quiet\"");
  const CallArgument text[] = {"echo"};
  EXPECT_EQ(DescribeAll(described.Call("OnlySecond", text)), "s \"echo\"");
}

TEST_F(OnTestBus, ObjectThatCannotBeIntrospectedHasAnEmptyTable) {
  const BusObject opaque = Create(std::string(kServer) + ":/org/quoll/TestServer/Opaque");
  EXPECT_TRUE(opaque.methods().empty());
  EXPECT_EQ(FailureOf([&] { opaque.Call("Ping", {}); }), "Call: the object has no method Ping");
  // It is there all the same: a call the caller describes itself reaches it.
  BusMember ping;
  ping.name = "Ping";
  ping.interface = "org.quoll.Opaque";
  EXPECT_EQ(DescribeAll(opaque.Call(ping, {})), "s \"pong\"");
}

TEST_F(OnTestBus, ObjectWhoseIntrospectionIsNotXmlHasAnEmptyTable) {
  EXPECT_TRUE(Create(std::string(kServer) + ":/org/quoll/TestServer/Garbled").methods().empty());
}

TEST_F(OnTestBus, PathWithoutObjectHasAnEmptyTable) {
  const BusObject nothing = Create(std::string(kServer) + ":/org/quoll/Nothing/Here");
  EXPECT_TRUE(nothing.methods().empty());
}

}  // namespace
}  // namespace quoll::automation
