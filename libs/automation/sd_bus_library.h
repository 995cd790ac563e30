// The sd-bus functions the automation layer calls, found in libsystemd when the first bus
// connection is opened rather than when the program starts: a run that never automates anything
// neither maps libsystemd and its compression and crypto libraries nor pays for relocating them.
#pragma once

#include <systemd/sd-bus.h>

namespace quoll::automation {

struct SdBusLibrary {
  decltype(&::sd_bus_open_user_with_description) open_user_with_description;
  decltype(&::sd_bus_open_system_with_description) open_system_with_description;
  decltype(&::sd_bus_is_open) is_open;
  decltype(&::sd_bus_ref) ref;
  decltype(&::sd_bus_unref) unref;
  decltype(&::sd_bus_process) process;
  decltype(&::sd_bus_call) call;
  decltype(&::sd_bus_error_free) error_free;
  decltype(&::sd_bus_error_is_set) error_is_set;
  decltype(&::sd_bus_message_ref) message_ref;
  decltype(&::sd_bus_message_unref) message_unref;
  decltype(&::sd_bus_message_new_method_call) message_new_method_call;
  decltype(&::sd_bus_message_append) message_append;
  decltype(&::sd_bus_message_append_basic) message_append_basic;
  decltype(&::sd_bus_message_open_container) message_open_container;
  decltype(&::sd_bus_message_close_container) message_close_container;
  decltype(&::sd_bus_message_enter_container) message_enter_container;
  decltype(&::sd_bus_message_exit_container) message_exit_container;
  decltype(&::sd_bus_message_peek_type) message_peek_type;
  decltype(&::sd_bus_message_read) message_read;
  decltype(&::sd_bus_message_read_array) message_read_array;
  decltype(&::sd_bus_message_read_basic) message_read_basic;
};

// The functions, loaded on the first call; throws BusError (Connection) when libsystemd or one
// of them cannot be found. Every sd-bus object comes from a loaded library, so code that holds
// one may call this without expecting the error.
const SdBusLibrary& SdBus();

}  // namespace quoll::automation
