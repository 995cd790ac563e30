// Loading libsystemd's sd-bus functions by name.
#include "libs/automation/sd_bus_library.h"

#include "libs/automation/bus_error.h"
#include "libs/automation/library_lookup.h"

namespace quoll::automation {

const SdBusLibrary& SdBus() {
  static const auto loaded =
      LoadedFunctions<SdBusLibrary>::Load("libsystemd.so.0", [](LibraryLookup& library, SdBusLibrary& f) {
        library.Find("sd_bus_open_user_with_description", f.open_user_with_description);
        library.Find("sd_bus_open_system_with_description", f.open_system_with_description);
        library.Find("sd_bus_is_open", f.is_open);
        library.Find("sd_bus_ref", f.ref);
        library.Find("sd_bus_unref", f.unref);
        library.Find("sd_bus_process", f.process);
        library.Find("sd_bus_call", f.call);
        library.Find("sd_bus_error_free", f.error_free);
        library.Find("sd_bus_error_is_set", f.error_is_set);
        library.Find("sd_bus_message_ref", f.message_ref);
        library.Find("sd_bus_message_unref", f.message_unref);
        library.Find("sd_bus_message_new_method_call", f.message_new_method_call);
        library.Find("sd_bus_message_append", f.message_append);
        library.Find("sd_bus_message_append_basic", f.message_append_basic);
        library.Find("sd_bus_message_open_container", f.message_open_container);
        library.Find("sd_bus_message_close_container", f.message_close_container);
        library.Find("sd_bus_message_enter_container", f.message_enter_container);
        library.Find("sd_bus_message_exit_container", f.message_exit_container);
        library.Find("sd_bus_message_peek_type", f.message_peek_type);
        library.Find("sd_bus_message_read", f.message_read);
        library.Find("sd_bus_message_read_array", f.message_read_array);
        library.Find("sd_bus_message_read_basic", f.message_read_basic);
      });
  if (!loaded.failure.empty()) throw BusError(BusErrorKind::Connection, loaded.failure);
  return loaded.functions;
}

}  // namespace quoll::automation
