// dlopen, dlsym and dlclose, with the loader's error text in every failure.
#include "libs/native_calls/shared_library.h"

#include <dlfcn.h>

#include "libs/native_calls/native_call_error.h"

namespace quoll {

namespace {

// The loader's description of the last failure on this thread; read once, since reading clears it.
std::string LoaderError(const std::string& fallback) {
  const char* text = dlerror();
  return text ? text : fallback;
}

// A name with a NUL byte would reach the loader cut short, naming another file or export.
bool HasNulByte(const std::string& name) {
  return name.find('\0') != std::string::npos;
}

}  // namespace

void SharedLibrary::Closer::operator()(void* handle) const noexcept {
  dlclose(handle);
}

SharedLibrary SharedLibrary::Open(const std::string& name) {
  // dlopen of an empty name would hand out the program itself, whose symbols are not a library's.
  if (name.empty()) throw NativeCallError("no library name given");
  if (HasNulByte(name)) throw NativeCallError("library name contains a NUL byte");
  dlerror();
  void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw NativeCallError(LoaderError(name + ": cannot load library"));
  SharedLibrary library;
  library.handle_.reset(handle);
  library.name_ = name;
  return library;
}

void* SharedLibrary::Export(const std::string& symbol) const {
  if (!handle_) throw NativeCallError("no library loaded");
  if (symbol.empty()) throw NativeCallError(name_ + ": no export name given");
  if (HasNulByte(symbol)) throw NativeCallError(name_ + ": export name contains a NUL byte");
  // dlsym answers null both for a missing export and for one whose value is null; the loader's
  // error state tells them apart. Neither can be called.
  dlerror();
  void* address = dlsym(handle_.get(), symbol.c_str());
  const char* failure = dlerror();
  if (failure) throw NativeCallError(failure);
  if (!address) throw NativeCallError(name_ + ": export " + symbol + " has no address");
  return address;
}

void SharedLibrary::Close() noexcept {
  handle_.reset();
}

}  // namespace quoll
