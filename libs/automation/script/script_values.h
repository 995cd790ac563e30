// Script values as call arguments, and reply values as script values, for automation objects.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/variant.h"
#include "libs/automation/bus_value.h"
#include "libs/automation/call_argument.h"

namespace quoll {

class ScriptEngine;

// The argument a script value makes, followed through references and out of a VARIANT:
// integers, reals (as doubles), booleans, CHAR and STRING (as text), and arrays of those.
// Nothing for no value, an array of arrays or of references, a native object or any other
// type. The method's signature then decides whether the argument fits (marshalling.h).
std::optional<automation::CallArgument> ToCallArgument(Value& argument);

// Turns a reply into the value a method call gives the script, making the array types it needs
// on the script (kept for the converter's life, which must not outlast the script's text).
class ReplyConverter {
 public:
  explicit ReplyConverter(ScriptEngine& script) : script_(script) {}

  // No value: `result` stays null. One value: that value converted. Several: an array of
  // VARIANTs holding each. False when a value has no script type (64-bit integers, structs,
  // dicts, file descriptors, and arrays or variants holding them).
  bool Convert(const std::vector<automation::BusValue>& reply, ValuePtr& result);

 private:
  ValuePtr Convert(const automation::BusValue& value);
  // The script type of a D-Bus type: the basic kinds, VARIANT for "v", arrays of those; null
  // when there is none.
  Type* TypeFor(std::string_view signature);
  Type* ArrayOf(Type* element);

  ScriptEngine& script_;
  std::unordered_map<Type*, Type*> arrayTypes_;  // element type -> array type
};

}  // namespace quoll
