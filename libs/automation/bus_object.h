// BusObject: an automation object on D-Bus, made from a programmatic identifier (bus_name.h):
// the service is started when it has no owner yet, the object's method table is read from its
// introspection, and its methods are called with arguments converted by their signatures.
#pragma once

#include <chrono>
#include <span>
#include <string_view>
#include <vector>

#include "libs/automation/bus_connection.h"
#include "libs/automation/bus_error.h"
#include "libs/automation/bus_handles.h"
#include "libs/automation/bus_name.h"
#include "libs/automation/bus_value.h"
#include "libs/automation/call_argument.h"
#include "libs/automation/introspection.h"

namespace quoll::automation {

class BusObject {
 public:
  // Parses the identifier, connects to its bus through `connections` (at its first use), makes
  // sure the service has an owner (asking the bus to start it when it has none) and reads the
  // method table; an object that cannot be introspected gets an empty one. Throws BusError: kind
  // Name, Connection, or Creation carrying the bus's error name and message.
  static BusObject Create(BusConnections& connections, std::string_view programmatic_id);

  const ObjectAddress& address() const { return address_; }
  const MethodTable& methods() const { return methods_; }

  // Calls a method with one argument per in-signature and returns every value of the reply; a
  // property entry reads the property and returns its value. `timeout` zero is the bus's default
  // reply time-out. Throws BusError: kind Argument when an argument does not convert (nothing is
  // sent), Call with the error name and message of an error reply or a local failure, Reply when
  // the reply cannot be read.
  std::vector<BusValue> Call(const BusMember& member, std::span<const CallArgument> arguments,
                             std::chrono::microseconds timeout = {}) const;
  // The same for the table's entry of that name (compared ignoring ASCII case); kind Call when
  // there is none.
  std::vector<BusValue> Call(std::string_view name, std::span<const CallArgument> arguments,
                             std::chrono::microseconds timeout = {}) const;

 private:
  BusObject(BusHandle bus, ObjectAddress address, MethodTable methods)
      : bus_(std::move(bus)), address_(std::move(address)), methods_(std::move(methods)) {}

  BusHandle bus_;  // one reference to the connection for the object's life
  ObjectAddress address_;
  MethodTable methods_;
};

}  // namespace quoll::automation
