// LibraryLookup: a shared library opened by name for the life of the process, and its functions
// found by name, recording the first thing that could not be found.
#pragma once

#include <dlfcn.h>

#include <string>

namespace quoll::automation {

class LibraryLookup {
 public:
  explicit LibraryLookup(const char* name) : name_(name), library_(dlopen(name, RTLD_NOW | RTLD_LOCAL)) {
    if (!library_) {
      const char* why = dlerror();
      failure_ = std::string(name) + " could not be loaded" + (why ? std::string(": ") + why : "");
    }
  }

  template <typename F>
  void Find(const char* symbol, F& function) {
    function = library_ ? reinterpret_cast<F>(dlsym(library_, symbol)) : nullptr;
    if (!function && failure_.empty()) failure_ = std::string(name_) + " has no " + symbol;
  }

  // Empty when the library and every function asked for were found.
  const std::string& failure() const { return failure_; }

 private:
  const char* name_;
  void* library_;  // never closed: objects the library made may live until the process ends
  std::string failure_;
};

}  // namespace quoll::automation
