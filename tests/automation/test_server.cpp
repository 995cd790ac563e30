// quoll-automation-test-server: the automation server the automation tests talk to, started by
// the test bus when a test first asks for its name. Its main object (the path the name stands
// for) echoes every type the client can send, returns every type it cannot convert and byte
// arrays of any size, fails, sleeps and has properties; beside it sit a second object, an object
// whose introspection is written by hand (for the table's rules), one that refuses
// introspection and one whose introspection is not XML.
//
//   quoll-automation-test-server [--name NAME]     NAME: org.quoll.TestServer by default
#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "libs/automation/bus_handles.h"

namespace {

using quoll::automation::BusHandle;
using quoll::automation::MessageHandle;

constexpr const char* kTypes = "org.quoll.TestServer.Types";
constexpr const char* kSecond = "org.quoll.TestServer.Second";

struct EventUnref {
  void operator()(sd_event* event) const { sd_event_unref(event); }
};
using EventHandle = std::unique_ptr<sd_event, EventUnref>;

struct SlotUnref {
  void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
};
using SlotHandle = std::unique_ptr<sd_bus_slot, SlotUnref>;

sd_event* g_event = nullptr;       // the loop, for Sleep's timers and Quit
std::string g_greeting = "hello";  // the writable property

// Echo...: the reply carries the call's arguments unchanged.
int Echo(sd_bus_message* call, void*, sd_bus_error*) {
  MessageHandle reply;
  int r = sd_bus_message_new_method_return(call, reply.Reset());
  if (r >= 0) r = sd_bus_message_copy(reply.get(), call, 1);
  if (r >= 0) r = sd_bus_send(nullptr, reply.get(), nullptr);
  return r;
}

// The type a variant argument arrived with.
int DescribeVariant(sd_bus_message* call, void*, sd_bus_error*) {
  char type;
  const char* contents = nullptr;
  const int r = sd_bus_message_peek_type(call, &type, &contents);
  if (r < 0) return r;
  return sd_bus_reply_method_return(call, "s", contents ? contents : "");
}

int Sum(sd_bus_message* call, void*, sd_bus_error*) {
  int32_t a, b;
  const int r = sd_bus_message_read(call, "ii", &a, &b);
  if (r < 0) return r;
  return sd_bus_reply_method_return(
      call, "i", static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)));
}

int Several(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "isbas", 42, "forty-two", 1, 2, "a", "b");
}

int Nothing(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "");
}

int GetInt64(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "x", static_cast<int64_t>(-5000000000));
}

int GetUInt64(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "t", UINT64_MAX);
}

int GetStruct(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "(is)", 7, "seven");
}

int GetDict(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "a{sv}", 2, "one", "i", 1, "two", "s", "2");
}

int GetFd(sd_bus_message* call, void*, sd_bus_error*) {
  const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -errno;
  const int r = sd_bus_reply_method_return(call, "h", fd);  // the message sends a copy
  close(fd);
  return r;
}

int GetArrayOfStructs(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "a(is)", 1, 3, "three");
}

int GetNestedArray(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "aai", 2, 2, 1, 2, 1, 3);
}

int GetVariantOfInt64(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "v", "x", static_cast<int64_t>(1) << 40);
}

// Bytes(count): that many zero bytes, up to 64 MiB (the bus allows messages of 128 MiB).
int Bytes(sd_bus_message* call, void*, sd_bus_error* error) {
  uint32_t count;
  int r = sd_bus_message_read(call, "u", &count);
  if (r < 0) return r;
  if (count > (64u << 20)) return sd_bus_error_set(error, SD_BUS_ERROR_INVALID_ARGS, "At most 64 MiB.");
  MessageHandle reply;
  r = sd_bus_message_new_method_return(call, reply.Reset());
  void* data = nullptr;
  if (r >= 0) r = sd_bus_message_append_array_space(reply.get(), 'y', count, &data);
  if (r < 0) return r;
  if (count > 0) std::memset(data, 0, count);
  return sd_bus_send(nullptr, reply.get(), nullptr);
}

int Fail(sd_bus_message*, void*, sd_bus_error* error) {
  return sd_bus_error_set(error, "org.quoll.TestServer.Error.Refused", "The server refuses, as asked.");
}

int FailOnTwoLines(sd_bus_message*, void*, sd_bus_error* error) {
  return sd_bus_error_set(error, "org.quoll.TestServer.Error.Refused", "The first line,\nthe second line.");
}

int ReplyLater(sd_event_source*, uint64_t, void* data) {
  MessageHandle call = MessageHandle::Adopt(static_cast<sd_bus_message*>(data));
  sd_bus_reply_method_return(call.get(), "");
  return 0;
}

// Sleep(milliseconds): replies when the time is up; the server answers other calls meanwhile.
int Sleep(sd_bus_message* call, void*, sd_bus_error*) {
  uint32_t milliseconds;
  int r = sd_bus_message_read(call, "u", &milliseconds);
  if (r < 0) return r;
  r = sd_event_add_time_relative(g_event, nullptr, CLOCK_MONOTONIC, uint64_t{milliseconds} * 1000, 0,
                                 ReplyLater, sd_bus_message_ref(call));
  if (r < 0) sd_bus_message_unref(call);
  return r < 0 ? r : 1;
}

int Quit(sd_bus_message* call, void*, sd_bus_error*) {
  sd_event_exit(g_event, 0);
  return sd_bus_reply_method_return(call, "");
}

int GetCount(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "i", 7);
}

int GetGreeting(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "s", g_greeting.c_str());
}

int SetGreeting(sd_bus*, const char*, const char*, const char*, sd_bus_message* value, void*, sd_bus_error*) {
  const char* text = nullptr;
  const int r = sd_bus_message_read(value, "s", &text);
  if (r >= 0) g_greeting = text;
  return r;
}

int WhoAmI(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "s", "second");
}

int GetLabel(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "s", "the second object");
}

const sd_bus_vtable kTypesTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("EchoByte", "y", "y", Echo, 0),
    SD_BUS_METHOD("EchoBool", "b", "b", Echo, 0),
    SD_BUS_METHOD("EchoInt16", "n", "n", Echo, 0),
    SD_BUS_METHOD("EchoUInt16", "q", "q", Echo, 0),
    SD_BUS_METHOD("EchoInt32", "i", "i", Echo, 0),
    SD_BUS_METHOD("EchoUInt32", "u", "u", Echo, 0),
    SD_BUS_METHOD("EchoInt64", "x", "x", Echo, 0),
    SD_BUS_METHOD("EchoUInt64", "t", "t", Echo, 0),
    SD_BUS_METHOD("EchoDouble", "d", "d", Echo, 0),
    SD_BUS_METHOD("EchoString", "s", "s", Echo, 0),
    SD_BUS_METHOD("EchoPath", "o", "o", Echo, 0),
    SD_BUS_METHOD("EchoSignature", "g", "g", Echo, 0),
    SD_BUS_METHOD("EchoByteArray", "ay", "ay", Echo, 0),
    SD_BUS_METHOD("EchoInt16Array", "an", "an", Echo, 0),
    SD_BUS_METHOD("EchoInt32Array", "ai", "ai", Echo, 0),
    SD_BUS_METHOD("EchoUInt32Array", "au", "au", Echo, 0),
    SD_BUS_METHOD("EchoDoubleArray", "ad", "ad", Echo, 0),
    SD_BUS_METHOD("EchoBoolArray", "ab", "ab", Echo, 0),
    SD_BUS_METHOD("EchoStringArray", "as", "as", Echo, 0),
    SD_BUS_METHOD("EchoNestedArray", "aai", "aai", Echo, 0),
    SD_BUS_METHOD("EchoVariant", "v", "v", Echo, 0),
    SD_BUS_METHOD("EchoVariantArray", "av", "av", Echo, 0),
    SD_BUS_METHOD("DescribeVariant", "v", "s", DescribeVariant, 0),
    SD_BUS_METHOD("Sum", "ii", "i", Sum, 0),
    SD_BUS_METHOD("Several", "", "isbas", Several, 0),
    SD_BUS_METHOD("Nothing", "", "", Nothing, 0),
    SD_BUS_METHOD("GetInt64", "", "x", GetInt64, 0),
    SD_BUS_METHOD("GetUInt64", "", "t", GetUInt64, 0),
    SD_BUS_METHOD("GetStruct", "", "(is)", GetStruct, 0),
    SD_BUS_METHOD("GetDict", "", "a{sv}", GetDict, 0),
    SD_BUS_METHOD("GetFd", "", "h", GetFd, 0),
    SD_BUS_METHOD("GetArrayOfStructs", "", "a(is)", GetArrayOfStructs, 0),
    SD_BUS_METHOD("GetVariantOfInt64", "", "v", GetVariantOfInt64, 0),
    SD_BUS_METHOD("GetNestedArray", "", "aai", GetNestedArray, 0),
    SD_BUS_METHOD("Bytes", "u", "ay", Bytes, 0),
    SD_BUS_METHOD("Fail", "", "", Fail, 0),
    SD_BUS_METHOD("FailOnTwoLines", "", "", FailOnTwoLines, 0),
    SD_BUS_METHOD("Sleep", "u", "", Sleep, 0),
    SD_BUS_METHOD("Quit", "", "", Quit, 0),
    SD_BUS_PROPERTY("Count", "i", GetCount, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_WRITABLE_PROPERTY("Greeting", "s", GetGreeting, SetGreeting, 0, 0),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kSecondTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("WhoAmI", "", "s", WhoAmI, 0),
    SD_BUS_PROPERTY("Label", "s", GetLabel, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END,
};

// The hand-written description: standard interfaces to be left out, two interfaces sharing
// names (in another case too), a method with an invalid type, a property shadowed by an earlier
// name, a write-only property, an argument without direction, and a child node's interface.
constexpr const char* kDescribedXml =
    R"(<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg name="xml" type="s" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Peer">
    <method name="Ping"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
  </interface>
  <interface name="org.quoll.Described.First">
    <method name="Which"><arg type="s" direction="out"/></method>
    <method name="Broken"><arg type="a{" direction="in"/></method>
    <property name="Level" type="i" access="read"/>
    <property name="Secret" type="s" access="write"/>
    <signal name="Changed"><arg type="s"/></signal>
    <annotation name="org.freedesktop.DBus.Deprecated" value="false"/>
  </interface>
  <interface name="org.quoll.Described.Second">
    <method name="which"><arg type="i" direction="in"/><arg type="s" direction="out"/></method>
    <method name="Level"><arg type="s" direction="out"/></method>
    <method name="OnlySecond"><arg name="text" type="s"/><arg type="s" direction="out"/></method>
    <property name="Mode" type="s" access="readwrite"/>
  </interface>
  <node name="Child">
    <interface name="org.quoll.Hidden"><method name="Hidden"/></interface>
  </node>
</node>
)";

int Described(sd_bus_message* call, void*, sd_bus_error*) {
  if (sd_bus_message_is_method_call(call, "org.freedesktop.DBus.Introspectable", "Introspect") > 0) {
    return sd_bus_reply_method_return(call, "s", kDescribedXml);
  }
  if (sd_bus_message_is_method_call(call, "org.quoll.Described.First", "Which") > 0) {
    return sd_bus_reply_method_return(call, "s", "first");
  }
  if (sd_bus_message_is_method_call(call, "org.quoll.Described.Second", "OnlySecond") > 0)
    return Echo(call, nullptr, nullptr);
  if (sd_bus_message_is_method_call(call, "org.freedesktop.DBus.Properties", "Get") > 0) {
    const char *interface, *property;
    const int r = sd_bus_message_read(call, "ss", &interface, &property);
    if (r < 0) return r;
    if (std::strcmp(property, "Level") == 0) return sd_bus_reply_method_return(call, "v", "i", 3);
    if (std::strcmp(property, "Mode") == 0) return sd_bus_reply_method_return(call, "v", "s", "quiet");
  }
  return 0;  // anything else: sd-bus answers that there is no such method
}

int Opaque(sd_bus_message* call, void*, sd_bus_error* error) {
  if (sd_bus_message_is_method_call(call, "org.freedesktop.DBus.Introspectable", "Introspect") > 0) {
    return sd_bus_error_set(error, SD_BUS_ERROR_UNKNOWN_METHOD, "This object does not describe itself.");
  }
  if (sd_bus_message_is_method_call(call, "org.quoll.Opaque", "Ping") > 0) {
    return sd_bus_reply_method_return(call, "s", "pong");
  }
  return 0;
}

int Garbled(sd_bus_message* call, void*, sd_bus_error*) {
  if (sd_bus_message_is_method_call(call, "org.freedesktop.DBus.Introspectable", "Introspect") > 0) {
    return sd_bus_reply_method_return(
        call, "s", R"(<node><interface name="org.quoll.Garbled"><method name="Lost"></interface></node>)");
  }
  return 0;
}

int Check(int result, const char* what) {
  if (result < 0) {
    std::fprintf(stderr, "quoll-automation-test-server: %s: %s\n", what, std::strerror(-result));
    std::exit(1);
  }
  return result;
}

// A server started by the bus finds that bus in DBUS_STARTER_ADDRESS; the session bus of the
// environment may be another one.
BusHandle Connect() {
  BusHandle bus;
  if (const char* starter = std::getenv("DBUS_STARTER_ADDRESS")) {
    Check(sd_bus_new(bus.Reset()), "sd_bus_new");
    Check(sd_bus_set_address(bus.get(), starter), "sd_bus_set_address");
    Check(sd_bus_set_bus_client(bus.get(), 1), "sd_bus_set_bus_client");
    Check(sd_bus_start(bus.get()), "connecting to the starter bus");
  } else {
    Check(sd_bus_open_user(bus.Reset()), "connecting to the session bus");
  }
  return bus;
}

}  // namespace

int main(int argc, char** argv) {
  std::string name = "org.quoll.TestServer";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--name") == 0 && i + 1 < argc) {
      name = argv[++i];
    } else {
      std::fprintf(stderr, "usage: %s [--name NAME]\n", argv[0]);
      return 2;
    }
  }
  std::string path = "/" + name;
  for (char& c : path) {
    if (c == '.') c = '/';
  }

  BusHandle bus = Connect();
  sd_event* raw_event = nullptr;
  Check(sd_event_default(&raw_event), "sd_event_default");
  EventHandle event(raw_event);
  g_event = event.get();

  SlotHandle slots[5];
  sd_bus_slot* slot = nullptr;
  Check(sd_bus_add_object_vtable(bus.get(), &slot, path.c_str(), kTypes, kTypesTable, nullptr),
        "main object");
  slots[0].reset(slot);
  Check(
      sd_bus_add_object_vtable(bus.get(), &slot, (path + "/Second").c_str(), kSecond, kSecondTable, nullptr),
      "second object");
  slots[1].reset(slot);
  Check(sd_bus_add_object(bus.get(), &slot, (path + "/Described").c_str(), Described, nullptr),
        "described object");
  slots[2].reset(slot);
  Check(sd_bus_add_object(bus.get(), &slot, (path + "/Opaque").c_str(), Opaque, nullptr), "opaque object");
  slots[3].reset(slot);
  Check(sd_bus_add_object(bus.get(), &slot, (path + "/Garbled").c_str(), Garbled, nullptr), "garbled object");
  slots[4].reset(slot);

  Check(sd_bus_attach_event(bus.get(), event.get(), SD_EVENT_PRIORITY_NORMAL), "sd_bus_attach_event");
  Check(sd_bus_set_exit_on_disconnect(bus.get(), 1), "sd_bus_set_exit_on_disconnect");
  Check(sd_bus_request_name(bus.get(), name.c_str(), 0), ("requesting the name " + name).c_str());
  const int status = Check(sd_event_loop(event.get()), "sd_event_loop");
  sd_bus_flush(bus.get());
  for (SlotHandle& each : slots) each.reset();
  sd_bus_detach_event(bus.get());
  return status;
}
