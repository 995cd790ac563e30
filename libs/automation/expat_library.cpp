// Loading libexpat's parser functions by name.
#include "libs/automation/expat_library.h"

#include <dlfcn.h>

#include <string>

#include "libs/automation/bus_error.h"

namespace quoll::automation {

namespace {

constexpr const char* kLibraryName = "libexpat.so.1";

struct Loaded {
  ExpatLibrary functions{};
  std::string failure;  // empty when every function was found
};

template <typename F>
void Find(void* library, const char* name, F& function, std::string& missing) {
  function = reinterpret_cast<F>(dlsym(library, name));
  if (!function && missing.empty()) missing = name;
}

Loaded Load() {
  Loaded loaded;
  void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);  // kept for the life of the process
  if (!library) {
    const char* why = dlerror();
    loaded.failure = std::string(kLibraryName) + " could not be loaded" + (why ? std::string(": ") + why : "");
    return loaded;
  }
  ExpatLibrary& f = loaded.functions;
  std::string missing;
  Find(library, "XML_ParserCreate", f.parser_create, missing);
  Find(library, "XML_ParserFree", f.parser_free, missing);
  Find(library, "XML_SetUserData", f.set_user_data, missing);
  Find(library, "XML_SetElementHandler", f.set_element_handler, missing);
  Find(library, "XML_Parse", f.parse, missing);
  if (!missing.empty()) loaded.failure = std::string(kLibraryName) + " has no " + missing;
  return loaded;
}

}  // namespace

const ExpatLibrary& Expat() {
  static const Loaded loaded = Load();
  if (!loaded.failure.empty()) throw BusError(BusErrorKind::Reply, loaded.failure);
  return loaded.functions;
}

}  // namespace quoll::automation
