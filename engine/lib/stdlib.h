// The standard library every script can call: strings, conversions, ordinals, arrays and the
// floating-point routines.
#pragma once

namespace quoll {

class ScriptEngine;

// Registers the library on a script; with stringsOnly the floating-point routines are left out.
void RegisterStdLib(ScriptEngine* script, bool stringsOnly);

}  // namespace quoll
