// Expression evaluation: operand lists with three precedence levels, operands and designators.
#include <array>

#include "engine/engine_internal.h"

namespace quoll {

namespace {
using TK = TokenKind;

// Operator tokens: operation code and precedence level (1 binds tightest); level 0: no operator.
struct OperatorInfo {
  int8_t operation;
  int8_t level;
};

constexpr OperatorInfo OperatorBySwitch(TK k) {
  switch (k) {
    case TK::Multiply:
      return {kOpMultiply, 1};
    case TK::Divide:
      return {kOpDivide, 1};
    case TK::Div:
      return {kOpIntDivide, 1};
    case TK::Mod:
      return {kOpMod, 1};
    case TK::And:
      return {kOpAnd, 1};
    case TK::Shr:
      return {kOpShr, 1};
    case TK::Shl:
      return {kOpShl, 1};
    case TK::As:
      return {kOpAs, 1};
    case TK::Plus:
      return {kOpAdd, 2};
    case TK::Minus:
      return {kOpSubtract, 2};
    case TK::Or:
      return {kOpOr, 2};
    case TK::Xor:
      return {kOpXor, 2};
    case TK::Equal:
      return {kOpEqual, 3};
    case TK::Greater:
      return {kOpGreater, 3};
    case TK::Less:
      return {kOpLess, 3};
    case TK::NotEqual:
      return {kOpNotEqual, 3};
    case TK::LessEqual:
      return {kOpLessEqual, 3};
    case TK::GreaterEqual:
      return {kOpGreaterEqual, 3};
    case TK::Is:
      return {kOpIs, 3};
    default:
      return {0, 0};
  }
}

// The same answers as one table lookup: the evaluator asks for every operator token it reads.
constexpr auto kOperatorTable = [] {
  std::array<OperatorInfo, 256> table{};
  for (int i = 0; i < 256; ++i) table[static_cast<size_t>(i)] = OperatorBySwitch(static_cast<TK>(i));
  return table;
}();

inline OperatorInfo OperatorFor(TK k) {
  return kOperatorTable[static_cast<uint8_t>(k)];
}

int LevelOf(int operation) {
  switch (operation) {
    case kOpMultiply:
    case kOpDivide:
    case kOpIntDivide:
    case kOpMod:
    case kOpAnd:
    case kOpShr:
    case kOpShl:
    case kOpAs:
      return 1;
    case kOpAdd:
    case kOpSubtract:
    case kOpOr:
    case kOpXor:
      return 2;
    default:
      return 3;
  }
}

// Tokens that end every expression.
bool EndsExpression(TK k) {
  switch (k) {
    case TK::Semicolon:
    case TK::Comma:
    case TK::CloseRound:
    case TK::Do:
    case TK::Downto:
    case TK::Else:
    case TK::End:
    case TK::To:
    case TK::Until:
      return true;
    default:
      return false;
  }
}
}  // namespace

bool ScriptEngine::Evaluate(Scope scope, TK stop, Value& dest) {
  struct Nested {
    int32_t& depth;
    ~Nested() { --depth; }
  } nested{++depths_->expressions};
  if (nested.depth > kMaxExpressionNesting) return Fail(ErrorCode::OutOfMemory);
  if (StackExhausted()) return false;
  // The most common expression: one integer literal or one plain integer variable straight into an
  // integer destination (`i := 0`, `x := y`, an argument `n`).
  {
    const Token& t = parser_.Cur();
    TK next = t.kind == TK::EndOfText ? TK::EndOfText : parser_.PeekKind();
    if ((next == stop || EndsExpression(next)) && next != TK::EndOfText) {
      Value* d = dest.Deref();
      if (d->IsInteger()) {
        if (t.kind == TK::Integer || t.kind == TK::Hex) {
          d->SetInt(t.intValue);
          parser_.Next();
          return true;
        }
        if (t.kind == TK::Identifier && scope.with->empty()) {
          Value* var = LookupPlainVariable(t.name, scope.locals);
          if (var && (var = var->Deref())->IsInteger()) {
            d->SetInt(var->v.i);
            parser_.Next();
            return true;
          }
        }
      }
    }
  }
  if (scope.with->empty() && EvaluateSimpleBinary(scope.locals, stop, dest)) return true;
  const size_t base = operands_.size();
  const size_t opBase = operators_.size();
  // The shared stacks are cut back to where this evaluation found them on every way out.
  struct Restore {
    ScriptEngine& s;
    size_t base, opBase;
    ~Restore() {
      s.operands_.erase(s.operands_.begin() + static_cast<ptrdiff_t>(base), s.operands_.end());
      s.operators_.resize(opBase);
    }
  } restore{*this, base, opBase};

  bool expectOperand = true;
  for (;;) {
    TK k = parser_.CurrTokenKind();
    if (k == stop || EndsExpression(k)) break;
    if (k == TK::EndOfText) {
      SetError(ErrorCode::UnexpectedEndOfFile);
      return false;
    }
    if (expectOperand) {
      operands_.emplace_back();
      if (!ReadOperand(scope, dest, operands_.size() - 1)) return false;
    } else {
      OperatorInfo info = OperatorFor(k);
      if (info.level == 0) {
        SetError(ErrorCode::ErrorInExpression);
        return false;
      }
      if (info.operation == kOpDivide) {
        Value* d = dest.Deref();
        if (d->code() == TypeCode::Reference && !d->target) d->ChangeType(StdType(TypeCode::Extended));
      }
      operators_.push_back(static_cast<uint8_t>(info.operation));
      parser_.Next();
    }
    expectOperand = !expectOperand;
  }

  // Apply the operators level by level, left to right within a level.
  if (operators_.size() == opBase + 1 && operands_.size() == base + 2) {
    if (!DoOperation(operands_[base], operands_[base + 1], operators_[opBase]) || error_.Failed())
      return false;
    operands_.pop_back();
    operators_.pop_back();
  }
  for (int level = 1; level <= 3 && operators_.size() > opBase; ++level) {
    size_t i = opBase;
    while (i < operators_.size()) {
      size_t left = base + (i - opBase);
      if (LevelOf(operators_[i]) != level || left + 1 >= operands_.size()) {
        ++i;
        continue;
      }
      if (!DoOperation(operands_[left], operands_[left + 1], operators_[i]) || error_.Failed()) return false;
      operands_.erase(operands_.begin() + static_cast<ptrdiff_t>(left + 1));
      operators_.erase(operators_.begin() + static_cast<ptrdiff_t>(i));
    }
  }
  if (operands_.size() != base + 1 || operators_.size() != opBase) {
    SetError(ErrorCode::ErrorInExpression);
    return false;
  }
  // The result is a temporary: a string moves into the destination instead of being copied.
  Value& result = operands_[base];
  Value* d = dest.Deref();
  if (d->code() == TypeCode::String && result.code() == TypeCode::String) {
    d->str.swap(result.str);
    return true;
  }
  if (d->IsInteger() && result.IsInteger()) {
    d->SetInt(result.v.i);
    return true;
  }
  if (d->type == result.type && (d->code() == TypeCode::Boolean || IsRealCode(d->code()))) {
    d->v = result.v;
    return true;
  }
  return DoOperation(dest, result, kOpAssign);
}

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
      d->str.swap(joined);
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

// Reads one operand into operands_[slot]. The slot is fetched again after anything that may
// evaluate (and so grow the operand stack).
bool ScriptEngine::ReadOperand(Scope scope, Value& dest, size_t slot) {
  // Prefix operators, applied afterwards in the order written.
  std::string prefixes;
  while (parser_.CurrTokenKind() == TK::Minus || parser_.CurrTokenKind() == TK::Not ||
         parser_.CurrTokenKind() == TK::Plus) {
    TK k = parser_.CurrTokenKind();
    if (k != TK::Plus) prefixes += k == TK::Minus ? '-' : '!';
    parser_.Next();
  }
  Type* destType = dest.Deref()->type;
  TypeCode dc = destType ? destType->code : TypeCode::NilType;
  const Token& t = parser_.Cur();
  switch (t.kind) {
    case TK::Integer:
    case TK::Hex: {
      Value& out = operands_[slot];
      out.type = dc >= TypeCode::ShortInt && dc <= TypeCode::LongInt ? destType : StdType(TypeCode::LongInt);
      out.v.i = TruncateToWidth(out.type->code, t.intValue);
      parser_.Next();
      break;
    }
    case TK::Real: {
      Value& out = operands_[slot];
      out.type = IsRealCode(dc) ? destType : StdType(TypeCode::Extended);
      out.SetReal(parser_.RealValue(t));
      parser_.Next();
      break;
    }
    case TK::String:
    case TK::Char: {
      Value& out = operands_[slot];
      out.type = StdType(TypeCode::String);
      out.str = parser_.ReadStringRun();
      break;
    }
    case TK::OpenRound: {
      parser_.Next();
      Value inner(varType_);
      if (!Evaluate(scope, TK::CloseRound, inner)) return false;
      if (parser_.CurrTokenKind() != TK::CloseRound) {
        SetError(ErrorCode::CloseRoundExpected);
        return false;
      }
      parser_.Next();
      TK after = parser_.CurrTokenKind();
      if (after == TK::Period || after == TK::OpenBlock || after == TK::Caret) {
        // `(a as TFoo).Field` in an expression: selectors apply to the parenthesised value, as
        // they do when a statement starts with `(`.
        Designator d{Designator::Value, NewValue(std::move(inner))};
        if (!ReadSelectors(scope, DesignatorMode::Statement, d)) return false;
        if (!d.var) {
          SetError(ErrorCode::TypeMismatch);
          return false;
        }
        if (!OperandFromDesignator(d, slot)) return false;
        break;
      }
      operands_[slot] = std::move(inner);
      break;
    }
    case TK::OpenBlock: {
      if (dc != TypeCode::Array) {
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
      Value array(destType);
      parser_.Next();
      if (parser_.CurrTokenKind() == TK::CloseBlock) {  // [] is the empty array
        parser_.Next();
        operands_[slot] = std::move(array);
        break;
      }
      for (;;) {
        ValuePtr elem = Value::Create(destType->base);
        if (!elem || !Evaluate(scope, TK::CloseBlock, *elem)) return false;
        array.items.push_back(std::move(elem));
        if (parser_.CurrTokenKind() == TK::Comma) {
          parser_.Next();
          continue;
        }
        if (parser_.CurrTokenKind() != TK::CloseBlock) {
          SetError(ErrorCode::CloseBlockExpected);
          return false;
        }
        parser_.Next();
        break;
      }
      operands_[slot] = std::move(array);
      break;
    }
    case TK::Identifier:
      // The common case first: a plain variable, or one of its elements by simple indexes and
      // fields, read without building designators.
      if (scope.with->empty() && parser_.PeekKind() != TK::OpenRound && ReadSimpleElement(scope.locals, slot))
        break;
      [[fallthrough]];
    case TK::Inherited: {
      Designator d = ReadDesignator(scope, DesignatorMode::Statement);
      if (d.outcome == Designator::Failure) return false;
      if (!d.var) {  // a procedure was called
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
      if (!OperandFromDesignator(d, slot)) return false;
      break;
    }
    case TK::At: {
      parser_.Next();
      Designator d = ReadDesignator(scope, DesignatorMode::RoutineAddress);
      if (d.outcome == Designator::Failure) return false;
      if (d.outcome == Designator::Variable || !d.var || d.var->code() != TypeCode::ProcType) {
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
      operands_[slot] = std::move(*d.var);
      break;
    }
    default:
      SetError(ErrorCode::ErrorInExpression);
      return false;
  }
  for (char p : prefixes) {
    if (!(p == '-' ? operands_[slot].Negate() : operands_[slot].Not())) {
      SetError(ErrorCode::TypeMismatch);
      return false;
    }
  }
  return true;
}

// The value a designator stands for, as operand `slot`: a property is read, a variable copied,
// a value of the reader's own moved.
bool ScriptEngine::OperandFromDesignator(Designator& d, size_t slot) {
  Value* v = d.var->Deref();
  if (v->code() == TypeCode::PropertyRef) {
    ValuePtr value = ReadProperty(*v);
    if (!value) return false;
    operands_[slot] = std::move(*value);
  } else if (v->code() == TypeCode::NativeProperty) {
    Value value;
    if (!ReadNativeProperty(*v, value)) return false;
    operands_[slot] = std::move(value);
  } else if (d.outcome == Designator::Variable || d.var.use_count() > 1) {
    Value& out = operands_[slot];
    if (!out.CopyScalarFrom(*v)) {
      out.Init(v->type);
      if (!AssignValue(out, *v)) return false;
    }
  } else {
    operands_[slot] = std::move(*v);
  }
  operands_[slot].flags = 0;
  return true;
}

Type* ScriptEngine::ClassRefType(Type* cls) {
  return types_.Add(kNoName, TypeCode::ClassRef, cls);
}

// The procedure type of a routine's address (made once per routine).
Type* ScriptEngine::RoutineType(Routine* routine) {
  for (auto& [r, t] : routineTypes_)
    if (r == routine) return t;
  auto t = std::make_unique<Type>();
  t->code = TypeCode::ProcType;
  t->proc = std::make_unique<ProcedureType>();
  t->proc->decl = routine->decl;
  t->proc->ofObject = routine->IsMethod();
  Type* added = types_.AddPrepared(std::move(t));
  routineTypes_.emplace_back(routine, added);
  return added;
}

// A method found on an instance: its address, or a call on that instance.
Designator ScriptEngine::CallMethodOn(Scope scope, ObjectInstance* inst, Type* staticClass, Routine* method,
                                      DesignatorMode mode) {
  Designator d;
  if (mode == DesignatorMode::RoutineAddress) {
    d.var = Value::Create(RoutineType(method));
    d.var->v.pv.proc = method;
    d.var->v.pv.self = inst;
    d.outcome = Designator::Value;
    return d;
  }
  d.var = CallRoutine(scope, inst, method, staticClass);
  d.outcome = error_.Failed() ? Designator::Failure : Designator::Value;
  return d;
}

Designator ScriptEngine::ReadDesignator(Scope scope, DesignatorMode mode) {
  Designator d;
  if (StackExhausted()) return d;
  const Token& t = parser_.Cur();
  switch (t.kind) {
    case TK::Inherited: {
      if (mode != DesignatorMode::Statement) {
        SetError(ErrorCode::VariableExpected);
        return d;
      }
      bool ok = false;
      d.var = CallInherited(scope, ok);
      if (!ok) return d;
      d.outcome = Designator::Value;
      break;
    }
    case TK::OpenRound: {
      if (mode == DesignatorMode::Variable) {
        SetError(ErrorCode::VariableExpected);
        return d;
      }
      parser_.Next();
      d.var = NewValue(varType_);
      if (!Evaluate(scope, TK::CloseRound, *d.var)) return Designator{};
      if (parser_.CurrTokenKind() != TK::CloseRound) {
        SetError(ErrorCode::CloseRoundExpected);
        return Designator{};
      }
      parser_.Next();
      d.outcome = Designator::Value;
      break;
    }
    case TK::Identifier: {
      const NameId name = t.name;
      // 1. members of the WITH objects, first entry first
      for (const ValuePtr& entry : *scope.with) {
        Value* e = entry->Deref();
        ObjectInstance* inst = e->code() == TypeCode::Class ? e->v.obj : nullptr;
        if (!inst || inst->freed) continue;
        if (ValuePtr member = FindMember(inst, e->type, name, true)) {
          parser_.Next();
          d.outcome = Designator::Variable;
          d.var = std::move(member);
          return ReadSelectors(scope, mode, d) ? std::move(d) : Designator{};
        }
        if (Routine* m = FindMethod(nullptr, e->type, name, true)) {
          if (mode == DesignatorMode::Variable) {
            SetError(ErrorCode::VariableExpected);
            return Designator{};
          }
          parser_.Next();
          d = CallMethodOn(scope, inst, e->type, m, mode);
          if (d.outcome == Designator::Failure) return d;
          return ReadSelectors(scope, mode, d) ? std::move(d) : Designator{};
        }
      }
      const Symbol* sym = FindSymbol(name);
      // 2. a type name (that is not also a routine name): constructor call, cast or class reference
      if (sym && sym->type && !sym->routine) {
        if (mode == DesignatorMode::Variable) {
          SetError(ErrorCode::VariableExpected);
          return d;
        }
        Type* cls = sym->type->Resolved();
        if (cls->code != TypeCode::Class) {
          SetError(ErrorCode::ClassTypeExpected);
          return d;
        }
        parser_.Next();
        if (parser_.CurrTokenKind() == TK::Period) {
          if (mode == DesignatorMode::RoutineAddress) {
            SetError(ErrorCode::VariableExpected);
            return d;
          }
          parser_.Next();
          if (parser_.CurrTokenKind() != TK::Identifier) {
            SetError(ErrorCode::IdentifierExpected);
            return d;
          }
          Routine* m = FindMethod(nullptr, cls, parser_.CurrTokenName(), false);
          if (!m) {
            SetErrorParam(ErrorCode::UnknownIdentifier, parser_.CurrTokenText());
            return d;
          }
          d.var = Construct(scope, cls, m);
          if (!d.var) return Designator{};
          d.outcome = Designator::Value;
        } else if (parser_.CurrTokenKind() == TK::OpenRound) {
          parser_.Next();
          d.var = Value::Create(cls);
          if (!Evaluate(scope, TK::CloseRound, *d.var)) return Designator{};
          if (parser_.CurrTokenKind() != TK::CloseRound) {
            SetError(ErrorCode::CloseRoundExpected);
            return Designator{};
          }
          parser_.Next();
          d.outcome = Designator::Value;
        } else {
          d.var = Value::Create(ClassRefType(cls));
          d.var->v.cls = cls;
          d.outcome = Designator::Value;
        }
        break;
      }
      // 3. locals, 4. globals
      if (scope.locals) {
        int i = scope.locals->Find(name);
        if (i >= 0) {
          d.outcome = Designator::Variable;
          d.var = scope.locals->Ptr(i);
          parser_.Next();
          break;
        }
      }
      if (sym && sym->global >= 0) {
        d.outcome = Designator::Variable;
        d.var = globals_.Ptr(sym->global);
        parser_.Next();
        break;
      }
      // 5. routines
      Routine* routine = sym ? sym->routine : nullptr;
      if (!routine) {
        SetErrorParam(ErrorCode::UnknownIdentifier, NameText(name));
        return d;
      }
      if (mode == DesignatorMode::Variable) {
        SetError(ErrorCode::VariableExpected);
        return d;
      }
      parser_.Next();
      if (mode == DesignatorMode::RoutineAddress) {
        d.var = Value::Create(RoutineType(routine));
        d.var->v.pv.proc = routine;
        d.var->v.pv.self = nullptr;
        d.outcome = Designator::Value;
        break;
      }
      // Inside function F, a bare F (not followed by '(') is F's result variable.
      if (!callStack_.empty() && callStack_.back() == routine && routine->decl.result && scope.locals &&
          parser_.CurrTokenKind() != TK::OpenRound) {
        int i = scope.locals->Find(names::Result);
        if (i >= 0) {
          d.outcome = Designator::Variable;
          d.var = scope.locals->Ptr(i);
          break;
        }
      }
      d.var = CallRoutine(scope, nullptr, routine);
      if (error_.Failed()) return Designator{};
      d.outcome = Designator::Value;
      break;
    }
    default:
      SetError(ErrorCode::IdentifierExpected);
      return d;
  }
  if (!ReadSelectors(scope, mode, d)) return Designator{};
  return d;
}

// `[index, ...]`, `.name` and `^` after a designator.
bool ScriptEngine::ReadSelectors(Scope scope, DesignatorMode mode, Designator& d) {
  for (;;) {
    TK k = parser_.CurrTokenKind();
    if (k != TK::OpenBlock && k != TK::Period && k != TK::Caret) return true;
    // A property is read before a selector applies to its value.
    if (d.var) {
      Value* cur = d.var->Deref();
      if (cur->code() == TypeCode::PropertyRef || cur->code() == TypeCode::NativeProperty) {
        if (mode == DesignatorMode::Variable) {
          SetError(ErrorCode::VariableExpected);
          return false;
        }
        ValuePtr value;
        if (cur->code() == TypeCode::PropertyRef) {
          value = ReadProperty(*cur);
          if (!value) return false;
        } else {
          value = NewValue();
          if (!ReadNativeProperty(*cur, *value)) return false;
        }
        d.var = std::move(value);
        d.outcome = Designator::Value;
      }
    }
    if (!d.var) {
      SetError(ErrorCode::TypeMismatch);
      return false;
    }
    Value* v = d.var->Deref();
    if (k == TK::OpenBlock) {
      if (d.outcome != Designator::Variable) {
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
      for (;;) {
        if (v->code() != TypeCode::Array) {
          SetError(ErrorCode::TypeMismatch);
          return false;
        }
        parser_.Next();
        Value index(StdType(TypeCode::LongInt));
        if (!Evaluate(scope, TK::CloseBlock, index)) return false;
        int64_t i = index.GetInt();
        if (i < 0 || static_cast<uint64_t>(i) >= v->items.size()) {
          SetError(ErrorCode::OutOfRange);
          return false;
        }
        ValuePtr elem = v->items[static_cast<size_t>(i)];
        d.var = std::move(elem);
        v = d.var->Deref();
        if (parser_.CurrTokenKind() == TK::Comma) continue;
        if (parser_.CurrTokenKind() != TK::CloseBlock) {
          SetError(ErrorCode::CloseBlockExpected);
          return false;
        }
        parser_.Next();
        break;
      }
      continue;
    }
    if (k == TK::Caret) {
      if (mode != DesignatorMode::Statement) {
        SetError(ErrorCode::VariableExpected);
        return false;
      }
      if (v->code() != TypeCode::ProcType) {
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
      Routine* proc = v->v.pv.proc;
      ObjectInstance* self = v->v.pv.self;
      if (!proc) {
        SetError(ErrorCode::ClassReferenceNotAssigned);
        return false;
      }
      parser_.Next();
      d.var = CallRoutine(scope, self, proc);
      if (error_.Failed()) return false;
      d.outcome = Designator::Value;
      continue;
    }
    // '.' name
    parser_.Next();
    if (parser_.CurrTokenKind() != TK::Identifier) {
      SetError(ErrorCode::IdentifierExpected);
      return false;
    }
    const NameId name = parser_.CurrTokenName();
    switch (v->code()) {
      case TypeCode::Record: {
        int f = v->type->record->Find(name);
        if (f < 0) {
          SetErrorParam(ErrorCode::UnknownIdentifier, NameText(name));
          return false;
        }
        ValuePtr field = v->items[static_cast<size_t>(f)];
        d.var = std::move(field);
        parser_.Next();
        break;
      }
      case TypeCode::Class: {
        if (mode == DesignatorMode::Variable) {
          SetError(ErrorCode::VariableExpected);
          return false;
        }
        ObjectInstance* inst = v->v.obj;
        if (!inst) {
          SetError(ErrorCode::ClassNotCreated);
          return false;
        }
        if (inst->freed) {
          SetError(ErrorCode::ClassAlreadyFreed);
          return false;
        }
        Type* staticClass = v->type;
        if (ValuePtr member = FindMember(inst, staticClass, name, false)) {
          parser_.Next();
          d.var = std::move(member);
          d.outcome = Designator::Variable;
          break;
        }
        Routine* m = FindMethod(inst, staticClass, name, false);
        if (!m) {
          SetErrorParam(ErrorCode::UnknownIdentifier, NameText(name));
          return false;
        }
        parser_.Next();
        d = CallMethodOn(scope, inst, staticClass, m, mode);
        if (d.outcome == Designator::Failure) return false;
        break;
      }
      case TypeCode::ClassRef: {
        Type* cls = v->v.cls;
        if (!cls) {
          SetError(ErrorCode::ClassReferenceNotAssigned);
          return false;
        }
        Routine* m = FindMethod(nullptr, cls, name, false);
        if (!m) {
          SetErrorParam(ErrorCode::UnknownIdentifier, NameText(name));
          return false;
        }
        if (!(m->methodFlags & kMethodConstructor)) {
          SetError(ErrorCode::ConstructorExpected);
          return false;
        }
        d.var = Construct(scope, cls, m);
        if (!d.var) return false;
        d.outcome = Designator::Value;
        break;
      }
      case TypeCode::NativeObject: {
        if (mode == DesignatorMode::Variable) {
          SetError(ErrorCode::VariableExpected);
          return false;
        }
        NativeHolder* h = v->v.holder;
        if (h && h->freed) {
          SetError(ErrorCode::ClassAlreadyFreed);
          return false;
        }
        if (!h || !h->object) {
          SetError(ErrorCode::ClassNotCreated);
          return false;
        }
        int32_t prop = h->object->FindProperty(name);
        if (prop >= 0) {
          parser_.Next();
          d.var = NewValue(StdType(TypeCode::NilType));
          d.var->type = types_.Add(kNoName, TypeCode::NativeProperty);
          d.var->v.nprop.holder = h;
          d.var->v.nprop.handle = prop;
          d.outcome = Designator::Value;
          break;
        }
        int32_t method = h->object->FindMethod(name);
        if (method < 0) {
          SetErrorParam(ErrorCode::UnknownIdentifier, NameText(name));
          return false;
        }
        parser_.Next();
        const ParamList* decl = h->object->MethodDeclaration(method);
        VariableList args;
        if (decl && !ReadArguments(scope, *decl, args)) return false;
        ++nativeCalls_;
        d.var = h->object->CallMethod(method, args);
        if (error_.Failed()) return false;
        d.outcome = Designator::Value;
        break;
      }
      default:
        SetError(ErrorCode::TypeMismatch);
        return false;
    }
  }
}

bool ScriptEngine::ReadNativeProperty(Value& prop, Value& out) {
  NativeHolder* h = prop.v.nprop.holder;
  if (!h || h->freed || !h->object) {
    SetError(ErrorCode::ClassNotCreated);
    return false;
  }
  Type* type = h->object->PropertyType(prop.v.nprop.handle);
  if (!type) {
    SetError(ErrorCode::TypeMismatch);
    return false;
  }
  out.Init(type);
  ++nativeCalls_;
  if (!h->object->ReadProperty(prop.v.nprop.handle, out)) {
    SetError(ErrorCode::CannotReadProperty);
    return false;
  }
  return true;
}

// `object.Property := expression` for a native object.
bool ScriptEngine::WriteNativeProperty(Scope scope, Value& prop) {
  if (parser_.CurrTokenKind() != TK::Assign) {
    SetError(ErrorCode::AssignmentExpected);
    return false;
  }
  parser_.Next();
  NativeHolder* h = prop.v.nprop.holder;
  if (!h || h->freed || !h->object) {
    SetError(ErrorCode::ClassNotCreated);
    return false;
  }
  Value value(h->object->PropertyType(prop.v.nprop.handle));
  if (!Evaluate(scope, TK::Semicolon, value)) return false;
  ++nativeCalls_;
  if (!h->object->WriteProperty(prop.v.nprop.handle, value)) {
    SetError(ErrorCode::CannotWriteProperty);
    return false;
  }
  return true;
}

}  // namespace quoll
