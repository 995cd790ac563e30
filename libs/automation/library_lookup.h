// LibraryLookup: a shared library opened by name for the life of the process, and its functions
// found by name, recording the first thing that could not be found. LoadedFunctions: a table of
// such functions filled once, with what went wrong.
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

template <typename Functions>
struct LoadedFunctions {
  Functions functions{};
  std::string failure;  // empty when every function was found

  // Opens the library and lets `find` fill the table through the lookup.
  template <typename FindAll>
  static LoadedFunctions Load(const char* library, FindAll find) {
    LoadedFunctions loaded;
    LibraryLookup lookup(library);
    find(lookup, loaded.functions);
    loaded.failure = lookup.failure();
    return loaded;
  }
};

}  // namespace quoll::automation
