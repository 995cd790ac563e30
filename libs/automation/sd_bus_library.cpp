// Loading libsystemd's sd-bus functions by name.
#include "libs/automation/sd_bus_library.h"

#include <dlfcn.h>

#include <string>

#include "libs/automation/bus_error.h"

namespace quoll::automation {

namespace {

constexpr const char* kLibraryName = "libsystemd.so.0";

template <typename F>
bool Find(void* library, const char* name, F& function, std::string& missing) {
  function = reinterpret_cast<F>(dlsym(library, name));
  if (!function && missing.empty()) missing = name;
  return function != nullptr;
}

struct Loaded {
  SdBusLibrary functions{};
  std::string failure;  // empty when every function was found
};

Loaded Load() {
  Loaded loaded;
  // Kept for the life of the process: sd-bus objects may live until its end.
  void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    loaded.failure = std::string(kLibraryName) + " could not be loaded" + (why ? std::string(": ") + why : "");
    return loaded;
  }
  SdBusLibrary& f = loaded.functions;
  std::string missing;
  Find(library, "sd_bus_open_user_with_description", f.open_user_with_description, missing);
  Find(library, "sd_bus_open_system_with_description", f.open_system_with_description, missing);
  Find(library, "sd_bus_is_open", f.is_open, missing);
  Find(library, "sd_bus_ref", f.ref, missing);
  Find(library, "sd_bus_unref", f.unref, missing);
  Find(library, "sd_bus_process", f.process, missing);
  Find(library, "sd_bus_call", f.call, missing);
  Find(library, "sd_bus_error_free", f.error_free, missing);
  Find(library, "sd_bus_error_is_set", f.error_is_set, missing);
  Find(library, "sd_bus_message_ref", f.message_ref, missing);
  Find(library, "sd_bus_message_unref", f.message_unref, missing);
  Find(library, "sd_bus_message_new_method_call", f.message_new_method_call, missing);
  Find(library, "sd_bus_message_append", f.message_append, missing);
  Find(library, "sd_bus_message_append_basic", f.message_append_basic, missing);
  Find(library, "sd_bus_message_open_container", f.message_open_container, missing);
  Find(library, "sd_bus_message_close_container", f.message_close_container, missing);
  Find(library, "sd_bus_message_enter_container", f.message_enter_container, missing);
  Find(library, "sd_bus_message_exit_container", f.message_exit_container, missing);
  Find(library, "sd_bus_message_peek_type", f.message_peek_type, missing);
  Find(library, "sd_bus_message_read", f.message_read, missing);
  Find(library, "sd_bus_message_read_array", f.message_read_array, missing);
  Find(library, "sd_bus_message_read_basic", f.message_read_basic, missing);
  if (!missing.empty()) loaded.failure = std::string(kLibraryName) + " has no " + missing;
  return loaded;
}

}  // namespace

const SdBusLibrary& SdBus() {
  static const Loaded loaded = Load();
  if (!loaded.failure.empty()) throw BusError(BusErrorKind::Connection, loaded.failure);
  return loaded.functions;
}

}  // namespace quoll::automation
