// The script class TIfStringList: a growable list of strings backed by the engine's string list.
#pragma once

namespace quoll {

class ScriptEngine;

void RegisterStringListClass(ScriptEngine* script);

}  // namespace quoll
