// The connections to the session and the system bus, each opened at its first use: nothing
// connects before an automation object is created, so a run that creates none never touches a
// bus. One thread uses them (sd-bus connections are not thread-safe).
#pragma once

#include "libs/automation/bus_handles.h"
#include "libs/automation/bus_name.h"

namespace quoll::automation {

class BusConnections {
 public:
  // The connection to `bus`, opened now when there is none or the one kept was lost (the bus
  // daemon restarted). The session bus is found through DBUS_SESSION_BUS_ADDRESS (else
  // $XDG_RUNTIME_DIR/bus), the system bus through DBUS_SYSTEM_BUS_ADDRESS (else its standard
  // socket). Throws BusError (kind Connection) when the bus cannot be reached.
  BusHandle Get(BusKind bus);

  // Whether a connection to `bus` is open now (without opening one).
  bool IsOpen(BusKind bus) const;

 private:
  BusHandle session_;
  BusHandle system_;
};

// The program's connections, shared by every automation object it creates.
BusConnections& ProcessBusConnections();

}  // namespace quoll::automation
