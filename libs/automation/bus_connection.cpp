// Opening the bus connections on first use.
#include "libs/automation/bus_connection.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "libs/automation/bus_error.h"
#include "libs/automation/sd_bus_library.h"

namespace quoll::automation {

namespace {

constexpr const char* kDescription = "quoll-automation";

bool Usable(const BusHandle& bus) {
  return bus && SdBus().is_open(bus.get()) > 0;
}

BusHandle Open(BusKind kind) {
  BusHandle bus;
  const int result = kind == BusKind::System ? SdBus().open_system_with_description(bus.Reset(), kDescription)
                                             : SdBus().open_user_with_description(bus.Reset(), kDescription);
  if (result < 0) {
    const std::string what = kind == BusKind::System ? "system" : "session";
    // sd-bus says "No medium found" when the environment names no session bus at all.
    const std::string why = result == -ENOMEDIUM && kind == BusKind::Session
                                ? "neither DBUS_SESSION_BUS_ADDRESS nor XDG_RUNTIME_DIR is set"
                                : std::strerror(-result);
    throw BusError(BusErrorKind::Connection, "could not connect to the " + what + " bus: " + why);
  }
  return bus;
}

}  // namespace

BusHandle BusConnections::Get(BusKind kind) {
  BusHandle& slot = kind == BusKind::System ? system_ : session_;
  if (!Usable(slot)) slot = Open(kind);
  return slot;
}

bool BusConnections::IsOpen(BusKind kind) const {
  return Usable(kind == BusKind::System ? system_ : session_);
}

BusConnections& ProcessBusConnections() {
  static BusConnections connections;
  return connections;
}

}  // namespace quoll::automation
