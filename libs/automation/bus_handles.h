// Owning handles of sd-bus objects: each holds one reference (taken with the object's ref
// function, given back with its unref function), so copies share the object and nothing leaks
// on any path. SdBusError frees an sd_bus_error's texts.
#pragma once

#include <systemd/sd-bus.h>

#include <utility>

namespace quoll::automation {

template <typename T, T* (*Ref)(T*), T* (*Unref)(T*)>
class SdHandle {
 public:
  SdHandle() = default;
  // Takes over a reference the caller already owns (what sd_bus_open_* and sd_bus_call hand out).
  static SdHandle Adopt(T* object) {
    SdHandle handle;
    handle.object_ = object;
    return handle;
  }
  SdHandle(const SdHandle& other) : object_(other.object_ ? Ref(other.object_) : nullptr) {}
  SdHandle(SdHandle&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  SdHandle& operator=(SdHandle other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~SdHandle() {
    if (object_) Unref(object_);
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

using BusHandle = SdHandle<sd_bus, sd_bus_ref, sd_bus_unref>;
using MessageHandle = SdHandle<sd_bus_message, sd_bus_message_ref, sd_bus_message_unref>;

class SdBusError {
 public:
  SdBusError() = default;
  SdBusError(const SdBusError&) = delete;
  SdBusError& operator=(const SdBusError&) = delete;
  ~SdBusError() { sd_bus_error_free(&error_); }

  sd_bus_error* get() { return &error_; }
  const char* name() const { return error_.name ? error_.name : ""; }
  const char* message() const { return error_.message ? error_.message : ""; }

 private:
  sd_bus_error error_{};  // all null: what SD_BUS_ERROR_NULL spells in C
};

}  // namespace quoll::automation
