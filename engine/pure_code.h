// Machine-word expressions: an expression whose values are all LONGINTs and BOOLEANs becomes a
// tree of small functions, one per operator, each specialised on where its two operands come
// from (another node, a local, a global, a constant) so that loading them costs no dispatch.
// A load that finds a variable of another type, an index out of range or a zero divisor makes
// the evaluation give up, with nothing changed; the general path then evaluates the expression.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/script_engine.h"

namespace quoll::compiled {

struct PureFn {
  using Eval = bool (*)(const PureFn& n, Scope scope, int64_t& out);
  enum class From : uint8_t { Node, Local, Global, Constant };
  struct Operand {
    From from = From::Constant;
    bool boolean = false;  // a variable must be a BOOLEAN (else a LONGINT)
    int32_t index = 0;     // Local: the slot; Constant: the value
    Value* global = nullptr;
    const PureFn* node = nullptr;
  };
  Eval eval = nullptr;
  Operand a, b;
  // Loads through SELF or with selectors.
  int32_t field = -1;  // a field of SELF
  bool boolean = false;
  struct Step {
    const PureFn* index;  // nullptr: a record field
    NameId field;
    mutable Type* recordType;  // the record type the field index was found in
    mutable int fieldIndex;
  };
  Operand root;  // Element: the variable (Local or Global) or SELF's field (`field`)
  std::vector<Step> steps;
};

// What a node computes: an operator of the walker's operator table on LONGINTs (the same codes
// serve BOOLEANs, whose 0 and 1 obey the same rules for and, or, xor and the comparisons).
enum class PureOp : uint8_t {
  Add,
  Subtract,
  Multiply,
  IntDivide,
  Mod,
  And,
  Or,
  Xor,
  Shl,
  Shr,
  Equal,
  NotEqual,
  Less,
  Greater,
  LessEqual,
  GreaterEqual,
  Count
};

// The function of a binary node with operands from the given places.
PureFn::Eval BinaryEval(PureOp op, PureFn::From a, PureFn::From b);
// Unary nodes (negation, complement, boolean not) of an operand from a place.
enum class PureUnary : uint8_t { Negate, Not, BoolNot };
PureFn::Eval UnaryEval(PureUnary op, PureFn::From a);
// A node that is only its operand `a` (an expression that is one variable or constant).
PureFn::Eval OperandEval(PureFn::From a);
// Loads of SELF's field and of variables with selectors.
bool EvalSelfField(const PureFn& n, Scope scope, int64_t& out);
bool EvalElement(const PureFn& n, Scope scope, int64_t& out);

// SELF's instance in a method body while it is a live one.
inline ObjectInstance* LiveSelf(Scope scope) {
  Value* e = scope.with->front()->Deref();
  ObjectInstance* inst = e->code() == TypeCode::Class ? e->v.obj : nullptr;
  return inst && !inst->freed ? inst : nullptr;
}

}  // namespace quoll::compiled
