// Functions that turn numbers into the bytes of their storage and back, for packing binary values
// into byte strings.
#pragma once

namespace quoll {

class ScriptEngine;

void RegisterValueImages(ScriptEngine* script);

}  // namespace quoll
