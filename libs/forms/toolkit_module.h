// Loads the Qt toolkit of the forms library as a shared module, so that a program links no
// toolkit and pays for it only when a script first makes a control.
#pragma once

#include <memory>
#include <string>

#include "libs/forms/native_control.h"

namespace quoll::forms {

// The module's file name, and the one function it exports (see qt_toolkit_module.cpp).
inline constexpr const char* kToolkitModuleName = "quoll-forms-qt.so";
inline constexpr const char* kToolkitEntryName = "quoll_forms_make_toolkit";
using ToolkitEntry = void (*)(std::unique_ptr<Toolkit>* toolkit, std::string* error);

// A ToolkitLoader: the module named by QUOLL_FORMS_MODULE, or the one beside the program (a build
// tree), or in ../lib/quoll/ from the program's folder (an installation).
std::unique_ptr<Toolkit> LoadToolkitModule(std::string& error);

}  // namespace quoll::forms
