// CallArgument: a value a caller hands to a method, in the few shapes a script value comes in
// (an integer, a real, a boolean, a text, an array of those). The method's signature decides
// how it goes onto the bus (marshalling.h).
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace quoll::automation {

class CallArgument {
 public:
  using Array = std::vector<CallArgument>;
  using Value = std::variant<std::int64_t, double, bool, std::string, Array>;

  template <std::integral T>
  requires(!std::same_as<T, bool> && (std::is_signed_v<T> || sizeof(T) < sizeof(std::int64_t)))
      CallArgument(T integer)
      : value_(static_cast<std::int64_t>(integer)) {}
  CallArgument(double real) : value_(real) {}
  CallArgument(bool boolean) : value_(boolean) {}
  CallArgument(std::string text) : value_(std::move(text)) {}
  CallArgument(const char* text) : value_(std::string(text)) {}
  CallArgument(Array elements) : value_(std::move(elements)) {}

  const Value& value() const { return value_; }

 private:
  Value value_;
};

}  // namespace quoll::automation
