// What the watch window shows for a watched name: the variable it names in the running script
// and the text of its value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quoll {

class ScriptEngine;
class Value;

// The value text of one script variable: strings and characters as they are, integer types as
// signed 32-bit decimals, real types in fixed point with 12 decimals, Booleans as "True" or
// "False", anything else (arrays, records, objects) as the empty text.
std::string WatchValueText(Value& variable);

// The value text for a watch name: the running routine's local of that name, else the global,
// names compared ignoring case; nothing when no such variable exists (or there is no engine).
std::optional<std::string> WatchText(ScriptEngine* engine, std::string_view name);

}  // namespace quoll
