// The expat functions that read introspection data, found in libexpat at the first
// introspection rather than when the program starts (see sd_bus_library.h).
#pragma once

#include <expat.h>

namespace quoll::automation {

struct ExpatLibrary {
  decltype(&::XML_ParserCreate) parser_create;
  decltype(&::XML_ParserFree) parser_free;
  decltype(&::XML_SetUserData) set_user_data;
  decltype(&::XML_SetElementHandler) set_element_handler;
  decltype(&::XML_Parse) parse;
};

// The functions, loaded on the first call; throws BusError (Reply) when libexpat or one of them
// cannot be found.
const ExpatLibrary& Expat();

}  // namespace quoll::automation
