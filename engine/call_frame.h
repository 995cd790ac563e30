// CallFrame: a routine's entry on the call stack for the length of a call.
#pragma once

#include <vector>

#include "engine/script_engine.h"

namespace quoll {

// Pushes a routine on the call stack for the scope. A script routine's list becomes the current
// locals; a native function leaves them as they are (they stay those of the innermost script
// routine, which is what a library reading a variable by name expects).
class CallFrame {
 public:
  CallFrame(std::vector<Routine*>& stack, VariableList*& current, Routine* routine, VariableList* locals)
      : stack_(stack), current_(current), saved_(current) {
    stack_.push_back(routine);
    if (routine->kind == RoutineKind::Script) current_ = locals;
  }
  ~CallFrame() {
    stack_.pop_back();
    current_ = saved_;
  }

 private:
  std::vector<Routine*>& stack_;
  VariableList*& current_;
  VariableList* saved_;
};

}  // namespace quoll
