// Access to the stand-in PC/SC library from the tests: its scenario and its counters.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include <PCSC/winscard.h>

namespace quoll_test {

struct StandInCounters {
  int establishes, releases, connects, disconnects, transmits;
  DWORD lastDisposition;
  DWORD lastSendProtocol;
};

// Sets the stand-in's scenario for the test's lifetime and reads what it was asked to do. The
// library stays loaded by this handle, so the counters outlive every manager of the test.
class StandIn {
 public:
  explicit StandIn(const char* path, const std::string& scenario = "") : path_(path) {
    setenv("QUOLL_STAND_IN_PCSC", scenario.c_str(), 1);
    handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    EXPECT_NE(handle_, nullptr) << dlerror();
    auto get =
        reinterpret_cast<StandInCounters* (*)()>(handle_ ? dlsym(handle_, "StandInCounters") : nullptr);
    counters_ = get ? get() : &none_;
    *counters_ = {};
  }
  ~StandIn() {
    unsetenv("QUOLL_STAND_IN_PCSC");
    if (handle_) dlclose(handle_);
  }
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  void SetScenario(const std::string& scenario) { setenv("QUOLL_STAND_IN_PCSC", scenario.c_str(), 1); }
  const StandInCounters& Counters() const { return *counters_; }
  const char* Path() const { return path_; }

 private:
  const char* path_;
  void* handle_ = nullptr;
  StandInCounters none_{};
  StandInCounters* counters_;
};

}  // namespace quoll_test
