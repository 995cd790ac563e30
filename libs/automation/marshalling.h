// Putting call arguments into a message by a signature, and reading a message's values back.
#pragma once

#include <systemd/sd-bus.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "libs/automation/bus_value.h"
#include "libs/automation/call_argument.h"

namespace quoll::automation {

// Appends `argument` as a value of the single complete type `signature`: an integer to an
// integer type only where it fits, an integer or a real to "d", a boolean to "b", valid UTF-8
// text to "s" (a valid path to "o", a valid signature to "g"), an array to an array of the
// element type, anything to "v" wrapped with the type VariantSignatureOf gives. Throws BusError
// (kind Argument) naming what does not fit; the message is then unusable.
void AppendArgument(sd_bus_message* message, std::string_view signature, const CallArgument& argument);

// The type an argument gets inside a variant: "i" for an integer in the int32 range, else "x";
// "d", "b", "s"; an array of the one type all its elements get (integers of both ranges make
// "ax"), "av" when they differ or when it is empty. Throws BusError (kind Argument) when arrays
// nest deeper than a signature can describe.
std::string VariantSignatureOf(const CallArgument& argument);

// The most values one reply may hold, counting every element and container: as many as one
// script array may have, and a bound on the memory a reply can take once read.
inline constexpr std::size_t kMaxReplyValues = std::size_t{1} << 22;

// Reads every value from the message's current position to its end. Throws BusError (kind
// Reply) when the message cannot be read or holds more than kMaxReplyValues values.
std::vector<BusValue> ReadValues(sd_bus_message* message);

}  // namespace quoll::automation
