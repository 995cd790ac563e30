// The automation library's error texts.
#include "libs/automation/script/error_texts.h"

#include "libs/automation/bus_error.h"

namespace quoll {

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return line;
}

std::string CreationFailedText(std::string_view reason) {
  return kCreationFailed + OneLine(reason);
}

std::string CallFailedText(const automation::BusError& error) {
  const std::string_view name = error.error_name(), message = error.what();
  std::string text = std::string(kCallFailed) + ": ";
  // An error without a message of its own carries its name as the message.
  if (!name.empty() && name != message) text += OneLine(name) + ": ";
  return text + OneLine(message);
}

}  // namespace quoll
