// The automation tests' main: points both buses at the private test bus whose address the
// fixture wrote (QUOLL_TEST_BUS_ADDRESS_FILE), so no test ever reaches a real session or
// system bus.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "test_bus.h"

namespace quoll::automation::testing {

static bool have_test_bus = false;

bool HaveTestBus() {
  return have_test_bus;
}

}  // namespace quoll::automation::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  if (const char* file = std::getenv("QUOLL_TEST_BUS_ADDRESS_FILE")) {
    std::ifstream in(file);
    std::string address;
    if (std::getline(in, address) && !address.empty()) {
      setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
      setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
      quoll::automation::testing::have_test_bus = true;
    }
  }
  return RUN_ALL_TESTS();
}
