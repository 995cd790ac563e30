// A shared library loaded with dlopen and released with dlclose when its owner goes: the handle of
// a library a script loads, and the exports it looks up.
#pragma once

#include <memory>
#include <string>

namespace quoll {

class SharedLibrary {
 public:
  // No library; Export fails until one is assigned.
  SharedLibrary() = default;

  // Loads `name` as given: a path when it contains a slash, otherwise a name the dynamic loader
  // searches for ("libc.so.6"). All symbols are bound now, so a library with an unresolved
  // reference fails here rather than at its first call, and its symbols stay local to it.
  // Throws NativeCallError with the loader's text when the library cannot be loaded.
  static SharedLibrary Open(const std::string& name);

  bool IsOpen() const { return handle_ != nullptr; }
  const std::string& Name() const { return name_; }

  // The address of the export `symbol`; throws NativeCallError with the loader's text when the
  // library has no such export, or when no library is open.
  void* Export(const std::string& symbol) const;

  // Releases the library now (the loader unloads it when no other handle holds it). The
  // addresses of its exports are invalid afterwards.
  void Close() noexcept;

 private:
  struct Closer {
    void operator()(void* handle) const noexcept;
  };
  std::unique_ptr<void, Closer> handle_;
  std::string name_;
};

}  // namespace quoll
