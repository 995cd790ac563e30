// The common expression shapes evaluated without the general operand list; each gives the result
// the general path would and leaves every case that could record an error to it.
#include "engine/engine_internal.h"
#include "engine/operators.h"

namespace quoll {

namespace {
using TK = TokenKind;
}  // namespace

// `a op b` with a and b LONGINT literals or plain LONGINT variables, an arithmetic or comparison
// operator, and a LONGINT or BOOLEAN destination: computed directly. Everything else, and every
// case that would record an error, is left to the general path, which gives the same result.
bool ScriptEngine::EvaluateSimpleBinary(VariableList* locals, TK stop, Value& dest) {
  const Token* t = &parser_.Cur();
  // The shape first, cheapest tests first: operand, operator, operand, end of the expression.
  const TK k0 = t[0].kind;
  if (k0 != TK::Identifier && k0 != TK::Integer && k0 != TK::Hex) return false;
  if (OperatorFor(t[1].kind).level == 0 || t[2].kind == TK::EndOfText) return false;
  TK end = t[3].kind;
  if (!(end == stop || EndsExpression(end)) || end == TK::EndOfText) return false;
  Value* d = dest.Deref();
  const TypeCode dc = d->code();
  if (dc == TypeCode::String) return EvaluateSimpleStrings(locals, t, d);
  if (dc != TypeCode::LongInt && dc != TypeCode::Boolean) return false;
  auto operand = [&](const Token& tok, int32_t& out) {
    if (tok.kind == TK::Integer || tok.kind == TK::Hex) {
      out = tok.intValue;
      return true;
    }
    if (tok.kind != TK::Identifier) return false;
    Value* var = LookupPlainVariable(tok.name, locals);
    if (!var || (var = var->Deref())->code() != TypeCode::LongInt) return false;
    out = static_cast<int32_t>(var->v.i);
    return true;
  };
  int32_t a, b;
  if (!operand(t[0], a)) return dc == TypeCode::Boolean && EvaluateSimpleStrings(locals, t, d);
  if (!operand(t[2], b)) return false;
  int32_t value;
  bool comparison;
  if (!LongIntOperation(OperatorFor(t[1].kind).operation, a, b, value, comparison)) return false;
  if (comparison != (dc == TypeCode::Boolean)) return false;  // a type mismatch: reported by the general path
  if (comparison)
    d->v.b = static_cast<uint8_t>(value);
  else
    d->v.i = value;
  parser_.Next();
  parser_.Next();
  parser_.Next();
  return true;
}

// `s + x` into a STRING and `s < t` (any comparison) into a BOOLEAN, with s a plain STRING variable
// and x a plain STRING or CHAR variable or a string literal. `s := s + x` appends in place.
bool ScriptEngine::EvaluateSimpleStrings(VariableList* locals, const Token* t, Value* d) {
  if (t[0].kind != TK::Identifier) return false;
  Value* left = LookupPlainVariable(t[0].name, locals);
  if (!left || (left = left->Deref())->code() != TypeCode::String) return false;
  const std::string* right = nullptr;
  char ch = 0;
  if ((t[2].kind == TK::String || t[2].kind == TK::Char) && t[2].literal >= 0 && t[2].runLength == 1) {
    right = &parser_.RunValue(t[2]);
  } else if (t[2].kind == TK::Identifier) {
    Value* r = LookupPlainVariable(t[2].name, locals);
    if (!r) return false;
    r = r->Deref();
    if (r->code() == TypeCode::String)
      right = &r->str;
    else if (r->code() == TypeCode::Char)
      ch = static_cast<char>(r->v.ch);
    else
      return false;
  } else {
    return false;
  }
  const std::string_view rv = right ? std::string_view(*right) : std::string_view(&ch, 1);
  if (d->code() == TypeCode::String) {
    if (t[1].kind != TK::Plus || left->str.size() + rv.size() > kMaxStringLength) return false;
    if (d == left) {
      if (right == &d->str)
        d->str += std::string(rv);
      else
        d->str.append(rv);
    } else {
      std::string joined;
      joined.reserve(left->str.size() + rv.size());
      joined.append(left->str).append(rv);
      d->str = std::move(joined);
    }
  } else {
    if (!right) return false;  // a STRING compared with a CHAR takes the general path
    int c = left->str.compare(*right);
    bool result;
    switch (t[1].kind) {
      case TK::Equal:
        result = c == 0;
        break;
      case TK::NotEqual:
        result = c != 0;
        break;
      case TK::Less:
        result = c < 0;
        break;
      case TK::Greater:
        result = c > 0;
        break;
      case TK::LessEqual:
        result = c <= 0;
        break;
      case TK::GreaterEqual:
        result = c >= 0;
        break;
      default:
        return false;
    }
    d->v.b = result ? 1 : 0;
  }
  parser_.Next();
  parser_.Next();
  parser_.Next();
  return true;
}

// `a[i]`, `a[i][j]`, `r.F`, `a[i].F` ...: a plain variable followed by indexes that are integer
// literals or plain LONGINT variables and by record field names, walked without designators.
// On success `v` is the element, `holder` the pointer that owns it (nullptr for the variable
// itself) and `consumed` the number of tokens. False for any other form and for an index out of
// range, which the general path then reads and reports; nothing is consumed or recorded.
bool ScriptEngine::WalkSimpleSelectors(VariableList* locals, Value*& v, const ValuePtr*& holder,
                                       int& consumed) {
  const Token* t = &parser_.Cur();
  v = LookupPlainVariable(t->name, locals);
  if (!v) return false;
  v = v->Deref();
  holder = nullptr;
  consumed = 1;
  for (;;) {
    const Token* s = t + consumed;
    if (s->kind == TK::OpenBlock) {
      if (v->code() != TypeCode::Array || s[1].kind == TK::EndOfText || s[2].kind != TK::CloseBlock)
        return false;
      int64_t index;
      if (s[1].kind == TK::Integer || s[1].kind == TK::Hex) {
        index = s[1].intValue;
      } else if (s[1].kind == TK::Identifier) {
        Value* iv = LookupPlainVariable(s[1].name, locals);
        if (!iv || (iv = iv->Deref())->code() != TypeCode::LongInt) return false;
        index = iv->v.i;
      } else {
        return false;
      }
      if (index < 0 || static_cast<uint64_t>(index) >= v->items.size()) return false;
      holder = &v->items[static_cast<size_t>(index)];
      consumed += 3;
    } else if (s->kind == TK::Period) {
      if (v->code() != TypeCode::Record || s[1].kind != TK::Identifier) return false;
      int f = v->type->record->Find(s[1].name);
      if (f < 0) return false;
      holder = &v->items[static_cast<size_t>(f)];
      consumed += 2;
    } else if (s->kind == TK::Caret) {
      return false;
    } else {
      return true;
    }
    v = (*holder)->Deref();
  }
}

// The element such a walk reaches, copied as operand `slot`.
bool ScriptEngine::ReadSimpleElement(VariableList* locals, size_t slot) {
  Value* v;
  const ValuePtr* holder;
  int consumed;
  if (!WalkSimpleSelectors(locals, v, holder, consumed)) return false;
  Value& out = operands_[slot];
  if (v->code() == TypeCode::PropertyRef || v->code() == TypeCode::NativeProperty ||
      !out.CopyScalarFrom(*v)) {
    out.Init(nullptr);
    return false;
  }
  out.flags = 0;
  for (int i = 0; i < consumed; ++i) parser_.Next();
  return true;
}

}  // namespace quoll
