// The one exception type of the card and cipher library. Its message is the text a script sees
// at the end of the host's error line; the script functions turn it into error 32777. A failure
// that PC/SC reported also carries the service's reason, which the host shows after the error
// line.
#pragma once

#include <stdexcept>
#include <string>

namespace quoll {

class CardError : public std::runtime_error {
 public:
  explicit CardError(const std::string& message, std::string reason = {})
      : std::runtime_error(message), reason_(std::move(reason)) {}
  // pcsc-lite's text and code ("Card was removed. (0x80100069)"); empty when PC/SC did not fail.
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

}  // namespace quoll
