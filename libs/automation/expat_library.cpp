// Loading libexpat's parser functions by name.
#include "libs/automation/expat_library.h"

#include "libs/automation/bus_error.h"
#include "libs/automation/library_lookup.h"

namespace quoll::automation {

namespace {

struct Loaded {
  ExpatLibrary functions{};
  std::string failure;  // empty when every function was found
};

Loaded Load() {
  Loaded loaded;
  ExpatLibrary& f = loaded.functions;
  LibraryLookup library("libexpat.so.1");
  library.Find("XML_ParserCreate", f.parser_create);
  library.Find("XML_ParserFree", f.parser_free);
  library.Find("XML_SetUserData", f.set_user_data);
  library.Find("XML_SetElementHandler", f.set_element_handler);
  library.Find("XML_Parse", f.parse);
  loaded.failure = library.failure();
  return loaded;
}

}  // namespace

const ExpatLibrary& Expat() {
  static const Loaded loaded = Load();
  if (!loaded.failure.empty()) throw BusError(BusErrorKind::Reply, loaded.failure);
  return loaded.functions;
}

}  // namespace quoll::automation
