// The standard library every script can call: strings, conversions, ordinals, arrays and the
// floating-point routines.
#pragma once

namespace quoll {

class TIfPasScript;

// Registers the library on a script; with stringsOnly the floating-point routines are left out.
void RegisterStdLib(TIfPasScript* script, bool stringsOnly);

}  // namespace quoll
