// The one exception type of the card and cipher library. Its message is the text a script sees
// at the end of the host's error line; the script functions turn it into error 32777.
#pragma once

#include <stdexcept>
#include <string>

namespace quoll {

class CardError : public std::runtime_error {
 public:
  explicit CardError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quoll
