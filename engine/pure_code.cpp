// The functions of machine-word expression nodes, one instantiation per operator and pair of
// operand places. Their arithmetic is DoOperation's for two LONGINTs (32-bit wrapping, the
// smallest LONGINT divided by -1 wrapping too) and CompareValues' for two BOOLEANs.
#include "engine/pure_code.h"

#include <array>
#include <utility>

namespace quoll::compiled {

namespace {
using From = PureFn::From;

inline bool Load(const Value* v, bool boolean, int64_t& out) {
  if (boolean) {
    if (v->code() != TypeCode::Boolean) return false;
    out = v->v.b != 0;
  } else {
    if (v->code() != TypeCode::LongInt) return false;
    out = v->v.i;
  }
  return true;
}

template <From F>
inline bool Fetch(const PureFn::Operand& o, Scope scope, int64_t& out) {
  if constexpr (F == From::Constant) {
    out = o.index;
    return true;
  } else if constexpr (F == From::Local) {
    return Load(scope.locals->Entries()[static_cast<size_t>(o.index)].var->Deref(), o.boolean, out);
  } else if constexpr (F == From::Global) {
    return Load(o.global->Deref(), o.boolean, out);
  } else {
    return o.node->eval(*o.node, scope, out);
  }
}

template <PureOp Op>
inline bool Apply(int64_t a, int64_t b, int64_t& out) {
  const int32_t x = static_cast<int32_t>(a), y = static_cast<int32_t>(b);
  const uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y);
  if constexpr (Op == PureOp::Add) {
    out = static_cast<int32_t>(ux + uy);
  } else if constexpr (Op == PureOp::Subtract) {
    out = static_cast<int32_t>(ux - uy);
  } else if constexpr (Op == PureOp::Multiply) {
    out = static_cast<int32_t>(ux * uy);
  } else if constexpr (Op == PureOp::IntDivide || Op == PureOp::Mod) {
    if (y == 0) return false;  // the general path reports it
    if (x == INT32_MIN && y == -1)
      out = Op == PureOp::IntDivide ? INT32_MIN : 0;
    else
      out = Op == PureOp::IntDivide ? x / y : x % y;
  } else if constexpr (Op == PureOp::And) {
    out = a & b;
  } else if constexpr (Op == PureOp::Or) {
    out = a | b;
  } else if constexpr (Op == PureOp::Xor) {
    out = a ^ b;
  } else if constexpr (Op == PureOp::Shl || Op == PureOp::Shr) {
    const uint64_t count = uy;
    const uint64_t value = ux;
    const uint64_t res = count >= 64 ? 0 : (Op == PureOp::Shl ? value << count : value >> count);
    out = static_cast<int32_t>(static_cast<uint32_t>(res));
  } else if constexpr (Op == PureOp::Equal) {
    out = a == b;
  } else if constexpr (Op == PureOp::NotEqual) {
    out = a != b;
  } else if constexpr (Op == PureOp::Less) {
    out = a < b;
  } else if constexpr (Op == PureOp::Greater) {
    out = a > b;
  } else if constexpr (Op == PureOp::LessEqual) {
    out = a <= b;
  } else {
    out = a >= b;
  }
  return true;
}

template <PureOp Op, From A, From B>
bool EvalBinary(const PureFn& n, Scope scope, int64_t& out) {
  int64_t a, b;
  if (!Fetch<A>(n.a, scope, a) || !Fetch<B>(n.b, scope, b)) return false;
  return Apply<Op>(a, b, out);
}

template <PureUnary Op, From A>
bool EvalUnary(const PureFn& n, Scope scope, int64_t& out) {
  int64_t a;
  if (!Fetch<A>(n.a, scope, a)) return false;
  if constexpr (Op == PureUnary::Negate)
    out = static_cast<int32_t>(0u - static_cast<uint32_t>(a));
  else if constexpr (Op == PureUnary::Not)
    out = ~a;
  else
    out = a ^ 1;
  return true;
}

template <From A>
bool EvalOperand(const PureFn& n, Scope scope, int64_t& out) {
  return Fetch<A>(n.a, scope, out);
}

constexpr int kFroms = 4;

template <size_t... I>
constexpr auto BinaryTable(std::index_sequence<I...>) {
  return std::array<PureFn::Eval, sizeof...(I)>{
      &EvalBinary<static_cast<PureOp>(I / (kFroms * kFroms)), static_cast<From>(I / kFroms % kFroms),
                  static_cast<From>(I % kFroms)>...};
}
constexpr auto kBinary =
    BinaryTable(std::make_index_sequence<static_cast<size_t>(PureOp::Count) * kFroms * kFroms>());

template <size_t... I>
constexpr auto UnaryTable(std::index_sequence<I...>) {
  return std::array<PureFn::Eval, sizeof...(I)>{
      &EvalUnary<static_cast<PureUnary>(I / kFroms), static_cast<From>(I % kFroms)>...};
}
constexpr auto kUnary = UnaryTable(std::make_index_sequence<3 * kFroms>());

constexpr std::array<PureFn::Eval, kFroms> kOperand = {&EvalOperand<From::Node>, &EvalOperand<From::Local>,
                                                       &EvalOperand<From::Global>,
                                                       &EvalOperand<From::Constant>};
}  // namespace

PureFn::Eval BinaryEval(PureOp op, From a, From b) {
  return kBinary[static_cast<size_t>(op) * kFroms * kFroms + static_cast<size_t>(a) * kFroms +
                 static_cast<size_t>(b)];
}

PureFn::Eval UnaryEval(PureUnary op, From a) {
  return kUnary[static_cast<size_t>(op) * kFroms + static_cast<size_t>(a)];
}

PureFn::Eval OperandEval(From a) {
  return kOperand[static_cast<size_t>(a)];
}

bool EvalSelfField(const PureFn& n, Scope scope, int64_t& out) {
  ObjectInstance* inst = LiveSelf(scope);
  return inst && Load(inst->fields[static_cast<size_t>(n.field)]->Deref(), n.boolean, out);
}

bool EvalElement(const PureFn& n, Scope scope, int64_t& out) {
  Value* v;
  if (n.field >= 0) {
    ObjectInstance* inst = LiveSelf(scope);
    if (!inst) return false;
    v = inst->fields[static_cast<size_t>(n.field)].get();
  } else if (n.root.from == From::Local) {
    v = scope.locals->Entries()[static_cast<size_t>(n.root.index)].var.get();
  } else {
    v = n.root.global;
  }
  v = v->Deref();
  for (const PureFn::Step& st : n.steps) {
    if (st.index) {
      if (v->code() != TypeCode::Array) return false;
      int64_t i;
      if (!st.index->eval(*st.index, scope, i)) return false;
      if (i < 0 || static_cast<uint64_t>(i) >= v->items.size()) return false;
      v = v->items[static_cast<size_t>(i)]->Deref();
    } else {
      if (v->code() != TypeCode::Record) return false;
      if (v->type != st.recordType) {
        st.fieldIndex = v->type->record->Find(st.field);
        st.recordType = v->type;
      }
      if (st.fieldIndex < 0) return false;
      v = v->items[static_cast<size_t>(st.fieldIndex)]->Deref();
    }
  }
  return Load(v, n.boolean, out);
}

}  // namespace quoll::compiled
