// The automation library for scripts: the native-object type IDispatch and CreateOleObject,
// which makes an automation object on D-Bus from its programmatic identifier.
#pragma once

namespace quoll {

class ScriptEngine;

// Registers the type IDispatch and "function CreateOleObject(Name: string): IDispatch". Touches
// no bus: the program's connection to a bus opens at the first CreateOleObject that needs it.
void RegisterAutomation(ScriptEngine& script);

}  // namespace quoll
