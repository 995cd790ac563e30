// Owning handles of sd-bus objects: each holds one reference (taken with the object's ref
// function, given back with its unref function), so copies share the object and nothing leaks
// on any path. SdBusError frees an sd_bus_error's texts.
#pragma once

#include <utility>

#include "libs/automation/sd_bus_library.h"

namespace quoll::automation {

// Ref and Unref name the functions in the loaded library; a handle that holds an object can
// reach them, since the object came from it.
template <typename T, T* (*SdBusLibrary::*Ref)(T*), T* (*SdBusLibrary::*Unref)(T*)>
class SdHandle {
 public:
  SdHandle() = default;
  // Takes over a reference the caller already owns (what sd_bus_open_* and sd_bus_call hand out).
  static SdHandle Adopt(T* object) {
    SdHandle handle;
    handle.object_ = object;
    return handle;
  }
  SdHandle(const SdHandle& other) : object_(other.object_ ? (SdBus().*Ref)(other.object_) : nullptr) {}
  SdHandle(SdHandle&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  SdHandle& operator=(SdHandle other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~SdHandle() {
    if (object_) (SdBus().*Unref)(object_);
  }

  T* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // For out-parameters: drops the current reference and gives the slot to fill.
  T** Reset() {
    *this = SdHandle();
    return &object_;
  }

 private:
  T* object_ = nullptr;
};

using BusHandle = SdHandle<sd_bus, &SdBusLibrary::ref, &SdBusLibrary::unref>;
using MessageHandle = SdHandle<sd_bus_message, &SdBusLibrary::message_ref, &SdBusLibrary::message_unref>;

class SdBusError {
 public:
  SdBusError() = default;
  SdBusError(const SdBusError&) = delete;
  SdBusError& operator=(const SdBusError&) = delete;
  // Only the library fills in an error, so one with texts has it loaded.
  ~SdBusError() {
    if (error_.name || error_.message) SdBus().error_free(&error_);
  }

  sd_bus_error* get() { return &error_; }
  const char* name() const { return error_.name ? error_.name : ""; }
  const char* message() const { return error_.message ? error_.message : ""; }

 private:
  sd_bus_error error_{};  // all null: what SD_BUS_ERROR_NULL spells in C
};

}  // namespace quoll::automation
