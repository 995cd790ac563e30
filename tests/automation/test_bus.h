// What the tests on the bus share: the test server's names, a fixture that needs the test bus
// and keeps its own connections, and short texts of results and failures.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "libs/automation/bus_error.h"
#include "libs/automation/bus_object.h"

namespace quoll::automation::testing {

// Whether the fixture's address file was found (test_main.cpp).
bool HaveTestBus();

inline constexpr const char* kServer = "org.quoll.TestServer";

class OnTestBus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTestBus()) {
      GTEST_FAIL() << "no test bus: run through ctest, or tests/automation/session_bus.py run --services "
                      "BUILD/tests/automation/services -- BUILD/quoll-automation-tests";
    }
  }

  BusObject Create(std::string_view programmatic_id) {
    return BusObject::Create(connections_, programmatic_id);
  }

  BusConnections connections_;  // each test opens its own
};

// The values of a reply, each as Describe writes it, joined by "; ".
inline std::string DescribeAll(const std::vector<BusValue>& values) {
  std::string text;
  for (const BusValue& value : values) {
    if (!text.empty()) text += "; ";
    text += Describe(value);
  }
  return text;
}

// What `action` throws, as "kind: message [error name]", or "no error".
template <typename Action>
std::string FailureOf(Action action) {
  try {
    action();
  } catch (const BusError& e) {
    static constexpr const char* kKinds[] = {"Name", "Connection", "Creation", "Argument", "Call", "Reply"};
    std::string text = std::string(kKinds[static_cast<int>(e.kind())]) + ": " + e.what();
    if (!e.error_name().empty()) text += " [" + e.error_name() + "]";
    return text;
  }
  return "no error";
}

}  // namespace quoll::automation::testing
