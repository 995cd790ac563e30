// The one exception type of the native call library: a shared library that cannot be loaded, a
// missing export, a signature libffi refuses, or arguments that do not fit a signature. The script
// binding decides what each means for a script (a false result or a script error).
#pragma once

#include <stdexcept>
#include <string>

namespace quoll {

class NativeCallError : public std::runtime_error {
 public:
  explicit NativeCallError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quoll
