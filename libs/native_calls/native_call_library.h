// LoadLibrary, CloseLibrary and MapLibraryProc: scripts load a shared library, bind its C exports
// to script routines by Pascal declarations, call them, and unload the library.
#pragma once

#include "engine/script_engine.h"

namespace quoll {

// Registers the three functions on a script (the host's SYSTEM unit, through
// ScriptHost::AddLibrary with LibraryStep::NativeCalls).
void RegisterNativeCallLibrary(ScriptEngine& script);

}  // namespace quoll
