// Functions that turn numbers into the bytes of their storage and back, for packing binary values
// into byte strings.
#pragma once

namespace quoll {

class TIfPasScript;

void RegisterValueImages(TIfPasScript* script);

}  // namespace quoll
