// DoOperation: assignment, arithmetic, logic and comparison between two values.
#include <cstdint>
#include <string>

#include "engine/engine_internal.h"

namespace quoll {

namespace {

// Bits of an integer code's width (for shifts).
int WidthBits(TypeCode c) {
  switch (c) {
    case TypeCode::Byte:
    case TypeCode::ShortInt:
      return 8;
    case TypeCode::Word:
    case TypeCode::SmallInt:
      return 16;
    default:
      return 32;
  }
}

uint64_t UnsignedAtWidth(TypeCode c, int64_t v) {
  int bits = WidthBits(c);
  return static_cast<uint64_t>(v) & ((bits == 64 ? 0 : (1ULL << bits)) - 1);
}

// The outcome of an ordering between two values: <0, 0, >0.
template <typename T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

bool ScriptEngine::DoOperation(Value& leftIn, Value& rightIn, int op) {
  // The common case inline: two LONGINT values (neither is a reference).
  if (leftIn.type && rightIn.type && leftIn.type->code == TypeCode::LongInt &&
      rightIn.type->code == TypeCode::LongInt) {
    if (op == kOpAssign) {
      leftIn.v.i = rightIn.v.i;
      return true;
    }
    int32_t value;
    bool isBoolean;
    if (LongIntOperation(op, static_cast<int32_t>(leftIn.v.i), static_cast<int32_t>(rightIn.v.i), value,
                         isBoolean)) {
      if (isBoolean) leftIn.type = StdType(TypeCode::Boolean);
      leftIn.v.i = 0;
      if (isBoolean)
        leftIn.v.b = static_cast<uint8_t>(value);
      else
        leftIn.v.i = value;
      return true;
    }
  }
  Value* l = leftIn.Deref();
  Value* r = rightIn.Deref();
  if (l == r && op == kOpAssign) return true;
  TypeCode lc = l->code();
  TypeCode rc = r->code();

  // VARIANT operands.
  // An untyped reference takes whatever comes, an empty VARIANT too: Assigned(v) must be able to
  // see that v is empty.
  if (rc == TypeCode::Variant && !r->target && lc != TypeCode::Variant &&
      !(lc == TypeCode::Reference && !l->target && op == kOpAssign)) {
    SetError(ErrorCode::VariantIsNil);
    return false;
  }
  if (op == kOpAssign && rc == TypeCode::Variant && lc != TypeCode::Variant &&
      !(lc == TypeCode::Reference && !l->target)) {
    // A typed variable takes the value a VARIANT holds.
    r = r->target.get();
    rc = r->code();
  } else if (op != kOpAssign && !IsComparison(op)) {
    if (lc == TypeCode::Variant) {
      if (!l->target) return Fail(ErrorCode::VariantIsNil);
      l = l->target.get();
      lc = l->code();
    }
    if (rc == TypeCode::Variant) {
      if (!r->target) return Fail(ErrorCode::VariantIsNil);
      r = r->target.get();
      rc = r->code();
    }
  } else if (IsComparison(op)) {
    bool nilTest = (op == kOpEqual || op == kOpNotEqual) && rc == TypeCode::NilType;
    if (lc == TypeCode::Variant && !l->target && !nilTest) return Fail(ErrorCode::VariantIsNil);
    if (rc == TypeCode::Variant && !r->target) return Fail(ErrorCode::VariantIsNil);
  }

  // Compatibility of the pair.
  bool nilRight = rc == TypeCode::NilType && (op == kOpAssign || op == kOpEqual || op == kOpNotEqual) &&
                  (lc == TypeCode::Reference || lc == TypeCode::Class || lc == TypeCode::ClassRef ||
                   lc == TypeCode::Variant || lc == TypeCode::ProcType);
  bool compatible = lc == rc || (IsNumberCode(lc) && IsNumberCode(rc)) ||
                    (IsStringCode(lc) && IsStringCode(rc)) || (lc == TypeCode::Reference && !l->target) ||
                    (lc == TypeCode::Class && rc == TypeCode::ClassRef && (op == kOpIs || op == kOpAs)) ||
                    lc == TypeCode::Variant || nilRight;
  if (!compatible) return Fail(ErrorCode::TypeMismatch);

  if (op == kOpAssign) return AssignValue(*l, *r);
  if (IsComparison(op)) return CompareValues(*l, *r, op);

  switch (op) {
    case kOpSubtract:
    case kOpMultiply:
    case kOpAdd: {
      if (op == kOpAdd && lc == TypeCode::String) {
        if (l->str.size() + (rc == TypeCode::String ? r->str.size() : 1) > kMaxStringLength)
          return Fail(ErrorCode::OutOfMemory);
        if (rc == TypeCode::Char)
          l->str += static_cast<char>(r->v.ch);
        else if (rc == TypeCode::String)
          l->str += r->str;
        else
          return Fail(ErrorCode::TypeMismatch);
        return true;
      }
      if (op == kOpAdd && lc == TypeCode::Char) {
        std::string s(1, static_cast<char>(l->v.ch));
        if (rc == TypeCode::Char)
          s += static_cast<char>(r->v.ch);
        else if (rc == TypeCode::String)
          s += r->str;
        else
          return Fail(ErrorCode::TypeMismatch);
        l->ChangeType(StdType(TypeCode::String));
        l->str = std::move(s);
        return true;
      }
      if (!IsNumberCode(lc) || !IsNumberCode(rc)) return Fail(ErrorCode::TypeMismatch);
      if (IsIntegerCode(lc) && IsIntegerCode(rc)) {
        uint32_t a = static_cast<uint32_t>(l->v.i), b = static_cast<uint32_t>(r->v.i);
        uint32_t res = op == kOpAdd ? a + b : op == kOpSubtract ? a - b : a * b;
        l->SetInt(static_cast<int32_t>(res));
        return true;
      }
      long double a = l->GetReal(), b = r->GetReal();
      long double res = op == kOpAdd ? a + b : op == kOpSubtract ? a - b : a * b;
      if (IsIntegerCode(lc)) l->ChangeType(StdType(TypeCode::Extended));
      l->SetReal(res);
      return true;
    }
    case kOpDivide: {
      if (!IsNumberCode(lc) || !IsNumberCode(rc)) return Fail(ErrorCode::TypeMismatch);
      long double b = r->GetReal();
      if (b == 0.0L) return Fail(ErrorCode::DivideByZero);
      long double res = l->GetReal() / b;
      l->ChangeType(StdType(TypeCode::Extended));
      l->v.ext = res;
      return true;
    }
    case kOpIntDivide:
    case kOpMod: {
      if (!IsIntegerCode(lc) || !IsIntegerCode(rc)) return Fail(ErrorCode::TypeMismatch);
      if (r->v.i == 0 || static_cast<uint32_t>(r->v.i) == 0) return Fail(ErrorCode::DivideByZero);
      if (lc == TypeCode::Cardinal) {
        uint32_t a = static_cast<uint32_t>(l->v.i), b = static_cast<uint32_t>(r->v.i);
        l->SetInt(op == kOpIntDivide ? a / b : a % b);
      } else {
        int32_t a = static_cast<int32_t>(l->v.i), b = static_cast<int32_t>(static_cast<uint32_t>(r->v.i));
        if (a == INT32_MIN && b == -1) {  // does not fit: wraps like the processor's two's complement
          l->SetInt(op == kOpIntDivide ? INT32_MIN : 0);
        } else {
          l->SetInt(op == kOpIntDivide ? a / b : a % b);
        }
      }
      return true;
    }
    case kOpAnd:
    case kOpOr:
    case kOpXor: {
      if (IsIntegerCode(lc) && IsIntegerCode(rc)) {
        int64_t a = l->v.i, b = r->v.i;
        l->SetInt(op == kOpAnd ? (a & b) : op == kOpOr ? (a | b) : (a ^ b));
        return true;
      }
      if (lc == TypeCode::Boolean && rc == TypeCode::Boolean) {
        bool a = l->v.b != 0, b = r->v.b != 0;
        l->v.b = (op == kOpAnd ? (a && b) : op == kOpOr ? (a || b) : (a != b)) ? 1 : 0;
        return true;
      }
      return Fail(ErrorCode::TypeMismatch);
    }
    case kOpShl:
    case kOpShr: {
      if (!IsIntegerCode(lc) || !IsIntegerCode(rc)) return Fail(ErrorCode::TypeMismatch);
      uint64_t count = static_cast<uint32_t>(r->v.i);
      uint64_t value = UnsignedAtWidth(lc, l->v.i);
      uint64_t res = count >= 64 ? 0 : (op == kOpShl ? value << count : value >> count);
      l->SetInt(static_cast<int64_t>(res));
      return true;
    }
    case kOpIs: {
      if (lc != TypeCode::Class || rc != TypeCode::ClassRef) return Fail(ErrorCode::TypeMismatch);
      bool res = l->v.obj && r->v.cls && ClassDescendsFrom(l->v.obj->cls, r->v.cls);
      l->ChangeType(StdType(TypeCode::Boolean));
      l->v.b = res ? 1 : 0;
      return true;
    }
    case kOpAs: {
      if (lc != TypeCode::Class || rc != TypeCode::ClassRef || !r->v.cls)
        return Fail(ErrorCode::TypeMismatch);
      if (!l->v.obj) return Fail(ErrorCode::ClassNotCreated);
      if (!ClassDescendsFrom(l->v.obj->cls, r->v.cls)) return Fail(ErrorCode::TypeMismatch);
      l->type = r->v.cls;
      return true;
    }
    default:
      return Fail(ErrorCode::TypeMismatch);
  }
}

// A VARIANT with contents compared with a value (or another VARIANT's contents): the contents
// are compared by the ordinary rules.
bool ScriptEngine::CompareVariantContents(Value& l, Value& r, int op) {
  Value copy(l.target->type);
  if (!AssignValue(copy, *l.target)) return false;
  Value* other = r.code() == TypeCode::Variant ? r.target.get() : &r;
  if (!DoOperation(copy, *other, op)) return false;
  bool res = copy.GetBool();
  l.ChangeType(StdType(TypeCode::Boolean));
  l.v.b = res ? 1 : 0;
  return true;
}

bool ScriptEngine::CompareValues(Value& l, Value& r, int op) {
  TypeCode lc = l.code(), rc = r.code();
  const bool equality = op == kOpEqual || op == kOpNotEqual;
  int order = 0;
  bool known = true;  // whether `order` decides the comparison
  bool equal = false;
  if (IsNumberCode(lc) && IsNumberCode(rc)) {
    if (IsRealCode(lc) || IsRealCode(rc))
      order = Order(l.GetReal(), r.GetReal());
    else
      order = Order(l.v.i, TruncateToWidth(lc, r.v.i));
  } else if (lc == TypeCode::Char) {
    if (rc != TypeCode::Char) return Fail(ErrorCode::TypeMismatch);
    order = Order(l.v.ch, r.v.ch);
  } else if (lc == TypeCode::String) {
    int c;
    if (rc == TypeCode::String) {
      c = l.str.compare(r.str);
    } else {
      std::string rs;
      r.GetString(rs);
      c = l.str.compare(rs);
    }
    order = c < 0 ? -1 : (c > 0 ? 1 : 0);
  } else if (lc == TypeCode::Boolean && rc == TypeCode::Boolean) {
    order = Order(l.v.b != 0, r.v.b != 0);
  } else if (lc == TypeCode::Enum) {
    if (rc != TypeCode::Enum || l.type != r.type) return Fail(ErrorCode::TypeMismatch);
    order = Order(l.v.i, r.v.i);
  } else if (equality) {
    known = false;
    switch (lc) {
      case TypeCode::Class:
        equal = rc == TypeCode::NilType ? l.v.obj == nullptr : (rc == TypeCode::Class && l.v.obj == r.v.obj);
        break;
      case TypeCode::ClassRef:
        equal =
            rc == TypeCode::NilType ? l.v.cls == nullptr : (rc == TypeCode::ClassRef && l.v.cls == r.v.cls);
        break;
      case TypeCode::ProcType:
        equal = rc == TypeCode::NilType
                    ? l.v.pv.proc == nullptr
                    : (rc == TypeCode::ProcType && l.v.pv.proc == r.v.pv.proc && l.v.pv.self == r.v.pv.self);
        break;
      case TypeCode::NilType:
        equal = rc == TypeCode::NilType;
        break;
      case TypeCode::Reference:
        equal = rc == TypeCode::NilType && !l.target;
        break;
      case TypeCode::Variant:
        if (rc == TypeCode::NilType) {
          equal = !l.target;
        } else {
          return CompareVariantContents(l, r, op);
        }
        break;
      default:
        return Fail(ErrorCode::TypeMismatch);
    }
  } else if (lc == TypeCode::Variant) {
    return CompareVariantContents(l, r, op);
  } else {
    return Fail(ErrorCode::TypeMismatch);
  }
  bool res = known ? ComparisonHolds(op, order) : (op == kOpEqual ? equal : !equal);
  l.ChangeType(StdType(TypeCode::Boolean));
  l.v.b = res ? 1 : 0;
  return true;
}

// Assignment by the destination's type.
bool ScriptEngine::AssignValue(Value& l, Value& r) {
  if (&l == &r) return true;
  TypeCode lc = l.code(), rc = r.code();
  switch (lc) {
    case TypeCode::Reference:
      if (l.target) return DoOperation(*l.Deref(), r, kOpAssign);
      {
        uint8_t flags = l.flags;
        l.Init(r.type);  // takes the source's type, then its value
        l.flags = flags;
      }
      if (l.code() == TypeCode::Reference) {  // an untyped reference: refer to the same variant
        l.target = r.target;
        return true;
      }
      return AssignValue(l, r);
    case TypeCode::Byte:
    case TypeCode::ShortInt:
    case TypeCode::Word:
    case TypeCode::SmallInt:
    case TypeCode::Cardinal:
    case TypeCode::LongInt:
      if (!IsIntegerCode(rc)) break;
      l.SetInt(r.v.i);
      return true;
    case TypeCode::Real:
    case TypeCode::Single:
    case TypeCode::Double:
    case TypeCode::Extended:
    case TypeCode::Comp:
      if (!IsNumberCode(rc)) break;
      l.SetReal(r.GetReal());
      return true;
    case TypeCode::Char:
      if (rc == TypeCode::Char) {
        l.v.ch = r.v.ch;
        return true;
      }
      if (rc == TypeCode::String && r.str.size() == 1) {
        l.v.ch = static_cast<uint8_t>(r.str[0]);
        return true;
      }
      break;
    case TypeCode::String:
      if (rc == TypeCode::Char) {
        l.str.assign(1, static_cast<char>(r.v.ch));
        return true;
      }
      if (rc == TypeCode::String) {
        l.str = r.str;
        return true;
      }
      break;
    case TypeCode::Boolean:
      if (rc != TypeCode::Boolean) break;
      l.v.b = r.v.b;
      return true;
    case TypeCode::Record:
      if (r.type != l.type || l.items.size() != r.items.size()) break;
      for (size_t i = 0; i < l.items.size(); ++i)
        if (!AssignValue(*l.items[i], *r.items[i])) return false;
      return true;
    case TypeCode::Array: {
      if (rc != TypeCode::Array) break;
      // A deep copy. Elements of the same type are assigned in place, so references that a
      // running routine holds to them stay valid.
      std::vector<ValuePtr> copy;
      copy.reserve(r.items.size());
      for (size_t i = 0; i < r.items.size(); ++i) {
        Value& src = *r.items[i];
        ValuePtr dst;
        if (i < l.items.size() && l.items[i]->type == src.type && l.items[i].get() != &src)
          dst = l.items[i];
        else
          dst = Value::Create(src.type);
        if (!dst) dst = NewValue();
        uint8_t keepFlags = dst->flags;
        if (!AssignValue(*dst, src)) return false;
        dst->flags = keepFlags;
        copy.push_back(std::move(dst));
      }
      l.items = std::move(copy);
      return true;
    }
    case TypeCode::Class:
      if (rc == TypeCode::NilType) {
        l.v.obj = nullptr;
        return true;
      }
      if (rc != TypeCode::Class) break;
      if (r.v.obj && !ClassDescendsFrom(r.v.obj->cls, l.type)) break;
      l.v.obj = r.v.obj;
      return true;
    case TypeCode::ClassRef:
      if (rc == TypeCode::NilType) {
        l.v.cls = nullptr;
        return true;
      }
      if (rc != TypeCode::ClassRef) break;
      l.v.cls = r.v.cls;
      return true;
    case TypeCode::ProcType:
      if (rc == TypeCode::NilType) {
        l.v.pv.proc = nullptr;
        l.v.pv.self = nullptr;
        return true;
      }
      if (rc != TypeCode::ProcType) break;
      if (r.type != l.type) {
        Routine* p = r.v.pv.proc;
        if (!p || !l.type->proc || !(p->decl == l.type->proc->decl) ||
            p->IsMethod() != l.type->proc->ofObject)
          break;
      }
      l.v.pv = r.v.pv;
      return true;
    case TypeCode::Enum:
      if (r.type != l.type) break;
      l.v.i = r.v.i;
      return true;
    case TypeCode::Variant:
      if (rc == TypeCode::NilType) {
        l.target.reset();
        return true;
      }
      {
        Value* src = rc == TypeCode::Variant ? r.target.get() : &r;
        if (!src) {
          l.target.reset();
          return true;
        }
        auto contents = Value::Create(src->type);
        if (!contents || !AssignValue(*contents, *src)) return false;
        l.target = std::move(contents);
      }
      return true;
    case TypeCode::ResourcePointer:
      if (rc != TypeCode::ResourcePointer) break;
      l.v.res = r.v.res;
      return true;
    case TypeCode::NativeObject:
      if (r.type != l.type) break;
      l.v.holder = r.v.holder;
      return true;
    case TypeCode::NilType:
      if (rc == TypeCode::NilType) return true;
      break;
    default:
      break;
  }
  SetError(ErrorCode::TypeMismatch);
  return false;
}

}  // namespace quoll
