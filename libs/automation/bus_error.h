// BusError: the one exception type of the automation layer. Its kind tells a caller which step
// failed (the name, the connection, creating the object, converting an argument, the call, its
// reply); a failure the bus or the remote object reported also carries the D-Bus error name.
#pragma once

#include <stdexcept>
#include <string>

namespace quoll::automation {

enum class BusErrorKind {
  Name,        // the programmatic identifier is not a valid name
  Connection,  // the bus could not be reached
  Creation,    // the name has no owner and could not be started
  Argument,    // an argument does not convert to the method's signature
  Call,        // the call failed: an error reply, a time-out, a lost connection
  Reply,       // the reply could not be read
};

class BusError : public std::runtime_error {
 public:
  BusError(BusErrorKind kind, const std::string& message, std::string error_name = {})
      : std::runtime_error(message), kind_(kind), error_name_(std::move(error_name)) {}

  BusErrorKind kind() const { return kind_; }
  // The D-Bus error name ("org.freedesktop.DBus.Error.ServiceUnknown"), empty when the failure
  // was found on this side.
  const std::string& error_name() const { return error_name_; }

 private:
  BusErrorKind kind_;
  std::string error_name_;
};

}  // namespace quoll::automation
