// Creating automation objects on the bus and calling their methods.
#include "libs/automation/bus_object.h"

#include <cstring>
#include <string>

#include "libs/automation/bus_error.h"
#include "libs/automation/marshalling.h"
#include "libs/automation/sd_bus_library.h"

namespace quoll::automation {

namespace {

constexpr const char* kBusService = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kBusInterface = "org.freedesktop.DBus";
constexpr const char* kIntrospectable = "org.freedesktop.DBus.Introspectable";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";

struct Destination {
  const std::string& service;
  const std::string& path;
};

MessageHandle NewCall(sd_bus* bus, Destination to, const std::string& interface, const std::string& member,
                      BusErrorKind kind) {
  MessageHandle call;
  const int result =
      SdBus().message_new_method_call(bus, call.Reset(), to.service.c_str(), to.path.c_str(),
                                      interface.empty() ? nullptr : interface.c_str(), member.c_str());
  if (result < 0) {
    throw BusError(kind, "could not make the call " + member + ": " + std::strerror(-result));
  }
  return call;
}

// The bus hands a client what it did not ask for too (NameAcquired, calls of other peers); left
// unread it would fill the connection's queue, so it is dispatched (and calls answered with an
// error) after every call.
void DiscardIncoming(sd_bus* bus) {
  while (SdBus().process(bus, nullptr) > 0) {
  }
}

MessageHandle Send(sd_bus* bus, const MessageHandle& call, std::chrono::microseconds timeout,
                   BusErrorKind kind) {
  SdBusError error;
  MessageHandle reply;
  const auto usec = static_cast<std::uint64_t>(timeout.count() > 0 ? timeout.count() : 0);
  const int result = SdBus().call(bus, call.get(), usec, error.get(), reply.Reset());
  DiscardIncoming(bus);
  if (result < 0) {
    if (SdBus().error_is_set(error.get())) {
      const std::string message = *error.message() ? error.message() : error.name();
      throw BusError(kind, message, error.name());
    }
    throw BusError(kind, std::strerror(-result));
  }
  return reply;
}

// A call of the bus daemon itself about the name `service`.
MessageHandle NewBusCall(sd_bus* bus, const char* member, const std::string& service) {
  static const std::string bus_service = kBusService, bus_path = kBusPath;
  MessageHandle call = NewCall(bus, {bus_service, bus_path}, kBusInterface, member, BusErrorKind::Creation);
  if (const int result = SdBus().message_append(call.get(), "s", service.c_str()); result < 0) {
    throw BusError(BusErrorKind::Creation,
                   "could not ask the bus about " + service + ": " + std::strerror(-result));
  }
  return call;
}

// A name without an owner is started by the bus (bus activation) when a service file names it;
// the bus's error says why not otherwise.
void EnsureOwner(sd_bus* bus, const std::string& service) {
  MessageHandle reply = Send(bus, NewBusCall(bus, "NameHasOwner", service), {}, BusErrorKind::Creation);
  int has_owner = 0;
  if (SdBus().message_read(reply.get(), "b", &has_owner) < 0) {
    throw BusError(BusErrorKind::Creation, "the bus gave no answer whether " + service + " has an owner");
  }
  if (has_owner) return;
  MessageHandle start = NewBusCall(bus, "StartServiceByName", service);
  if (const int result = SdBus().message_append(start.get(), "u", 0u); result < 0) {  // no flags are defined
    throw BusError(BusErrorKind::Creation,
                   "could not ask the bus to start " + service + ": " + std::strerror(-result));
  }
  Send(bus, start, {}, BusErrorKind::Creation);
}

MethodTable Introspect(sd_bus* bus, const ObjectAddress& address) {
  try {
    MessageHandle call =
        NewCall(bus, {address.service, address.path}, kIntrospectable, "Introspect", BusErrorKind::Creation);
    MessageHandle reply = Send(bus, call, {}, BusErrorKind::Creation);
    const char* xml = nullptr;
    if (SdBus().message_read(reply.get(), "s", &xml) < 0 || !xml) return {};
    return ParseIntrospection(xml);
  } catch (const BusError&) {
    return {};  // not introspectable: an object without methods
  }
}

}  // namespace

BusObject BusObject::Create(BusConnections& connections, std::string_view programmatic_id) {
  ObjectAddress address = ParseObjectName(programmatic_id);
  BusHandle bus = connections.Get(address.bus);
  EnsureOwner(bus.get(), address.service);
  MethodTable methods = Introspect(bus.get(), address);
  return BusObject(std::move(bus), std::move(address), std::move(methods));
}

std::vector<BusValue> BusObject::Call(const BusMember& member, std::span<const CallArgument> arguments,
                                      std::chrono::microseconds timeout) const {
  if (arguments.size() != member.in_signatures.size()) {
    throw BusError(BusErrorKind::Argument, member.name + " takes " +
                                               std::to_string(member.in_signatures.size()) +
                                               " arguments, got " + std::to_string(arguments.size()));
  }
  const Destination to{address_.service, address_.path};
  if (member.kind == BusMember::Kind::Property) {
    MessageHandle call = NewCall(bus_.get(), to, kProperties, "Get", BusErrorKind::Call);
    if (const int result =
            SdBus().message_append(call.get(), "ss", member.interface.c_str(), member.name.c_str());
        result < 0) {
      throw BusError(BusErrorKind::Call,
                     "could not ask for the property " + member.name + ": " + std::strerror(-result));
    }
    MessageHandle reply = Send(bus_.get(), call, timeout, BusErrorKind::Call);
    std::vector<BusValue> values = ReadValues(reply.get());
    if (values.size() != 1 || values.front().kind() != BusValue::Kind::Variant) {
      throw BusError(BusErrorKind::Reply, "the property " + member.name + " came without its value");
    }
    return {values.front().items().front()};
  }
  MessageHandle call = NewCall(bus_.get(), to, member.interface, member.name, BusErrorKind::Call);
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    try {
      AppendArgument(call.get(), member.in_signatures[i], arguments[i]);
    } catch (const BusError& e) {
      throw BusError(BusErrorKind::Argument,
                     "argument " + std::to_string(i + 1) + " of " + member.name + ": " + e.what());
    }
  }
  MessageHandle reply = Send(bus_.get(), call, timeout, BusErrorKind::Call);
  return ReadValues(reply.get());
}

std::vector<BusValue> BusObject::Call(std::string_view name, std::span<const CallArgument> arguments,
                                      std::chrono::microseconds timeout) const {
  const BusMember* member = methods_.Find(name);
  if (!member) throw BusError(BusErrorKind::Call, "the object has no method " + std::string(name));
  return Call(*member, arguments, timeout);
}

}  // namespace quoll::automation
