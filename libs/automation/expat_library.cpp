// Loading libexpat's parser functions by name.
#include "libs/automation/expat_library.h"

#include "libs/automation/bus_error.h"
#include "libs/automation/library_lookup.h"

namespace quoll::automation {

const ExpatLibrary& Expat() {
  static const auto loaded =
      LoadedFunctions<ExpatLibrary>::Load("libexpat.so.1", [](LibraryLookup& library, ExpatLibrary& f) {
        library.Find("XML_ParserCreate", f.parser_create);
        library.Find("XML_ParserFree", f.parser_free);
        library.Find("XML_SetUserData", f.set_user_data);
        library.Find("XML_SetElementHandler", f.set_element_handler);
        library.Find("XML_Parse", f.parse);
      });
  if (!loaded.failure.empty()) throw BusError(BusErrorKind::Reply, loaded.failure);
  return loaded.functions;
}

}  // namespace quoll::automation
