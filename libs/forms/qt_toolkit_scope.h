// A program's Qt toolkit for the forms library while it lives: made after the application
// object, released before it and after the last script host (whose clean-up frees controls).
// For programs that link both quoll_forms and quoll_forms_qt.
#pragma once

#include <memory>

#include "libs/forms/forms_library.h"
#include "libs/forms/qt_toolkit.h"

namespace quoll::forms {

class ScopedQtToolkit {
 public:
  ScopedQtToolkit() { UseToolkit(std::make_unique<QtToolkit>()); }
  ~ScopedQtToolkit() { ReleaseToolkit(); }
  ScopedQtToolkit(const ScopedQtToolkit&) = delete;
  ScopedQtToolkit& operator=(const ScopedQtToolkit&) = delete;
};

}  // namespace quoll::forms
