// CallFrame: a routine's entry on the call stack for the length of a call; CalleeList, the
// variable list a call fills; SelfWithList, a method body's SELF list; FitsByReference, the rule
// for var and const arguments.
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

// A routine call's variable list on storage kept from earlier calls, handed back at the end.
class CalleeList {
 public:
  explicit CalleeList(ScriptEngine& s) : script_(s) {
    if (!s.spareLists_.empty()) {
      list_ = VariableList(std::move(s.spareLists_.back()));
      s.spareLists_.pop_back();
    }
  }
  // Never allocates, so it is safe while an exception unwinds: the spare lists' capacity is
  // reserved when the script object is made.
  ~CalleeList() {
    auto& spares = script_.spareLists_;
    if (spares.size() < spares.capacity()) spares.push_back(list_.TakeStorage());
  }
  CalleeList(const CalleeList&) = delete;
  CalleeList& operator=(const CalleeList&) = delete;
  VariableList& operator*() { return list_; }

 private:
  ScriptEngine& script_;
  VariableList list_;
};

// The WITH list a method's statements run with (SELF only), on storage kept from earlier calls
// and handed back at the end, so that a method call allocates no list.
class SelfWithList {
 public:
  explicit SelfWithList(ScriptEngine& s) : script_(s) {
    if (!s.spareWithLists_.empty()) {
      list_ = std::move(s.spareWithLists_.back());
      s.spareWithLists_.pop_back();
    }
  }
  // Never allocates (see CalleeList).
  ~SelfWithList() {
    list_.clear();
    auto& spares = script_.spareWithLists_;
    if (spares.size() < spares.capacity()) spares.push_back(std::move(list_));
  }
  SelfWithList(const SelfWithList&) = delete;
  SelfWithList& operator=(const SelfWithList&) = delete;
  WithList& operator*() { return list_; }

 private:
  ScriptEngine& script_;
  WithList list_;
};

// Whether a variable's type fits a var/const parameter: exactly the type, or any for the
// untyped !VAR and the element-less !ARRAY. Every script object registers its own predefined
// types, so a unit's Integer variable is accepted where the using script declares Integer.
inline bool FitsByReference(const ScriptEngine& s, Type* paramType, Value* var) {
  Type* p = paramType->Resolved();
  if (p == s.VarType() || p == s.ArrayType()) return true;
  Type* v = var->type;
  if (v == p) return true;
  bool predefined =
      p->name != kNoName && p->name == (v ? v->name : kNoName) && p->code == v->code &&
      (p->code <= TypeCode::Boolean || p->code == TypeCode::ResourcePointer || p->code == TypeCode::Variant);
  return predefined;
}

}  // namespace quoll
