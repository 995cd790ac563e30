// The texts of the automation library's errors, as scripts see them (error 32777 with the text).
// The spelling is the one scripts have always seen, "failled" and "could convert result" included.
#pragma once

#include <string>
#include <string_view>

namespace quoll {

namespace automation {
class BusError;
}

inline constexpr const char* kCreationFailed = "could not create ole object:";
inline constexpr const char* kMethodNotFound = "could not find ole method";
inline constexpr const char* kParameterNotConverted = "could not convert parameter";
inline constexpr const char* kCallFailed = "failled calling ole method";
inline constexpr const char* kResultNotConverted = "could convert result";
inline constexpr const char* kCallError = "error calling ole method";

// "could not create ole object:" and the reason, with nothing between them.
std::string CreationFailedText(std::string_view reason);
// "failled calling ole method: " and the D-Bus error name and message ("NAME: MESSAGE"), or the
// message alone for a failure found on this side (a lost connection).
std::string CallFailedText(const automation::BusError& error);

// The text with every control character (line breaks among them) as a blank: a message from
// the bus or another program must stay one line of the output.
std::string OneLine(std::string_view text);

}  // namespace quoll
