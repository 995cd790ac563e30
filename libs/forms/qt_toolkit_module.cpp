// The shared module quoll-run loads when a script first makes a control: one entry point that
// makes the Qt toolkit (and with it the application object).
#include <exception>
#include <memory>
#include <string>
#include <type_traits>

#include "libs/forms/qt_toolkit.h"
#include "libs/forms/toolkit_module.h"

extern "C" __attribute__((visibility("default"))) void quoll_forms_make_toolkit(
    std::unique_ptr<quoll::forms::Toolkit>* toolkit, std::string* error) {
  try {
    *toolkit = std::make_unique<quoll::forms::QtToolkit>();
  } catch (const std::exception& e) {
    *error = e.what();
  }
}

// The entry's type is the one the loader expects.
static_assert(std::is_same_v<decltype(&quoll_forms_make_toolkit), quoll::forms::ToolkitEntry>);
