// The interindustry meanings of the status bytes SW1 SW2 that end every response APDU
// (ISO/IEC 7816-4), as short lower-case texts for a trace or a tool tip.
#pragma once

#include <cstdint>
#include <string>

namespace quoll {

// The meaning of SW1 SW2: an exact entry (6A82 "file or application not found"), a counted one
// (61xx "N bytes still available", 6Cxx "wrong Le, N available", N in decimal, SW2 00 counting as
// 256; 63Cx "counter: x", x in decimal), else the meaning of SW1's group for the groups that the
// standard gives one (62xx to 6Axx), else "unknown" (9xxx other than 9000 are proprietary).
std::string StatusWordMeaning(uint8_t sw1, uint8_t sw2);

}  // namespace quoll
