// The engine's own vocabulary between its parts: designator results, operation codes and the
// integer fast path. Libraries and the host use script_engine.h only.
#pragma once

#include <cstdint>

#include "engine/script_engine.h"

namespace quoll {

// Outcome of reading a designator.
struct Designator {
  enum Outcome : uint8_t { Failure, Variable, Value } outcome = Failure;
  ValuePtr
      var;  // Variable: the variable; Value: a new variant owned by the caller (nullptr after a procedure)
};

enum class DesignatorMode : uint8_t { Statement, Variable, RoutineAddress };

// Operation codes of DoOperation.
enum Operation : int {
  kOpAssign = 0,
  kOpSubtract = 1,
  kOpAdd = 2,
  kOpMultiply = 3,
  kOpDivide = 4,
  kOpIntDivide = 5,
  kOpMod = 6,
  kOpAnd = 7,
  kOpOr = 8,
  kOpXor = 9,
  kOpShl = 10,
  kOpShr = 11,
  kOpGreater = 12,
  kOpLess = 13,
  kOpEqual = 14,
  kOpNotEqual = 15,
  kOpGreaterEqual = 16,
  kOpLessEqual = 17,
  kOpIs = 18,
  kOpAs = 19,
};

// Applies an arithmetic operation or comparison to two LONGINT values: the 32-bit wrapping result,
// or a comparison's 0/1 with isBoolean set. False for other operations and for the divisions
// the general path must report or wrap (by zero, the smallest LONGINT by -1).
inline bool LongIntOperation(int op, int32_t a, int32_t b, int32_t& value, bool& isBoolean) {
  const uint32_t ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
  isBoolean = false;
  switch (op) {
    case kOpAdd:
      value = static_cast<int32_t>(ua + ub);
      return true;
    case kOpSubtract:
      value = static_cast<int32_t>(ua - ub);
      return true;
    case kOpMultiply:
      value = static_cast<int32_t>(ua * ub);
      return true;
    case kOpIntDivide:
    case kOpMod:
      if (b == 0 || (a == INT32_MIN && b == -1)) return false;  // the general path reports or wraps these
      value = op == kOpIntDivide ? a / b : a % b;
      return true;
    default:
      break;
  }
  isBoolean = true;
  switch (op) {
    case kOpEqual:
      value = a == b;
      return true;
    case kOpNotEqual:
      value = a != b;
      return true;
    case kOpLess:
      value = a < b;
      return true;
    case kOpGreater:
      value = a > b;
      return true;
    case kOpLessEqual:
      value = a <= b;
      return true;
    case kOpGreaterEqual:
      value = a >= b;
      return true;
    default:
      return false;
  }
}

inline bool IsComparison(int op) {
  return op >= kOpGreater && op <= kOpLessEqual;
}

// Whether a comparison holds for an order (negative, zero, positive: left below, equal, above).
inline bool ComparisonHolds(int op, int order) {
  switch (op) {
    case kOpGreater:
      return order > 0;
    case kOpLess:
      return order < 0;
    case kOpEqual:
      return order == 0;
    case kOpNotEqual:
      return order != 0;
    case kOpGreaterEqual:
      return order >= 0;
    case kOpLessEqual:
      return order <= 0;
    default:
      return false;
  }
}

// The native methods of TOBJECT, by their host data.
enum class TObjectMethodIndex : intptr_t { Create, Destroy, Free, ClassNameIs, ClassName, GetAncestors };

}  // namespace quoll
