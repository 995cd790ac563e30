// The compiled executor's expressions, operands, variables and calls. Every function here
// gives what its walker counterpart (Evaluate, ReadOperand, ReadDesignator, ReadSelectors,
// CallRoutine) gives, counting nested evaluations and recording errors at the same places.
#include <algorithm>

#include "engine/call_frame.h"
#include "engine/compiled.h"
#include "engine/engine_internal.h"

namespace quoll {

namespace {
using TK = TokenKind;
using compiled::Expr;
using compiled::NameRef;
using compiled::Operand;
using compiled::Stmt;
using compiled::VarAccess;

bool InLiteralTypedRange(TypeCode c) {
  return c >= TypeCode::ShortInt && c <= TypeCode::LongInt;
}
}  // namespace

// ---- names ----

ObjectInstance* ScriptEngine::SelfInstance(Scope scope) const {
  Value* e = scope.with->front()->Deref();
  ObjectInstance* inst = e->code() == TypeCode::Class ? e->v.obj : nullptr;
  return inst && !inst->freed ? inst : nullptr;
}

// The variable a resolved name stands for (SELF's members only while SELF is a live instance).
Value* ScriptEngine::NameValue(const NameRef& ref, Scope scope) {
  switch (ref.kind) {
    case NameRef::Local:
      return scope.locals->Entries()[static_cast<size_t>(ref.index)].var.get();
    case NameRef::Global:
      return ref.global;
    case NameRef::SelfField:
    case NameRef::SelfProperty: {
      ObjectInstance* inst = SelfInstance(scope);
      if (!inst) return nullptr;
      size_t i = static_cast<size_t>(ref.index);
      if (ref.kind == NameRef::SelfProperty) i += static_cast<size_t>(inst->cls->cls->FieldCount());
      return inst->fields[i].get();
    }
    default:
      return nullptr;
  }
}

// ---- expressions ----

bool ScriptEngine::PureFormApplies(const Expr& e) const {
  return e.pureFn && depths_->expressions <= kMaxExpressionNesting - e.nesting &&
         e.generation == symbolGeneration_;
}

bool ScriptEngine::EvaluateCompiled(const Expr& e, Scope scope, Value& dest) {
  // The machine-word form first: its nested evaluations could not reach the limit, and the
  // destination does not give its literals a narrower type.
  if (PureFormApplies(e)) {
    Value* d = dest.Deref();
    const TypeCode dc = d->code();
    if (!e.hasLiterals || !InLiteralTypedRange(dc) || dc == TypeCode::LongInt) {
      int64_t r;
      if (e.pureFn->eval(*e.pureFn, scope, r)) {
        if (e.pureBoolean ? dc == TypeCode::Boolean : dc == TypeCode::LongInt) {
          if (e.pureBoolean)
            d->v.b = static_cast<uint8_t>(r);
          else
            d->v.i = r;
          return true;
        }
        return AssignPure(e, dest, r);
      }
    }
  }
  struct Nested {
    int32_t& depth;
    ~Nested() { --depth; }
  } nested{++depths_->expressions};
  if (nested.depth > kMaxExpressionNesting || StackLow()) {
    parser_.SetIndex(e.cursor);
    if (nested.depth > kMaxExpressionNesting) return Fail(ErrorCode::OutOfMemory);
    StackExhausted();
    return false;
  }
  if (e.appendsToFirst && nested.depth <= kMaxExpressionNesting - e.nesting + 1) {
    bool done = false;
    if (!AppendInPlace(e, scope, dest, done)) return false;
    if (done) return true;
  }
  switch (e.shape) {
    case Expr::Shape::OneCall:
      if (e.operands[0].call->generation == symbolGeneration_) return EvaluateCompiledCall(e, scope, dest);
      break;
    case Expr::Shape::OneVariable:
      if (dest.Deref()->code() == TypeCode::Record) return EvaluateCompiledRecordCopy(e, scope, dest);
      break;
    case Expr::Shape::Comparison: {
      bool done;
      if (!CompareStringsInPlace(e, scope, dest, done)) return false;
      if (done) return true;
      break;
    }
    case Expr::Shape::General:
      break;
  }
  return EvaluateCompiledGeneral(e, scope, dest);
}

bool ScriptEngine::EvaluateCompiledBool(const Expr& e, Scope scope, bool& out) {
  if (e.pureBoolean && PureFormApplies(e)) {
    int64_t r;
    if (e.pureFn->eval(*e.pureFn, scope, r)) {
      out = r != 0;
      return true;
    }
  }
  Value cond(StdType(TypeCode::Boolean));
  if (!EvaluateCompiled(e, scope, cond)) return false;
  out = cond.GetBool();
  return true;
}

// An index: `Value index(LONGINT)` evaluated, as ReadSelectors does.
bool ScriptEngine::EvaluateCompiledIndex(const Expr& e, Scope scope, int64_t& out) {
  if (!e.pureBoolean && PureFormApplies(e) && e.pureFn->eval(*e.pureFn, scope, out)) return true;
  Value index(StdType(TypeCode::LongInt));
  if (!EvaluateCompiled(e, scope, index)) return false;
  out = index.GetInt();
  return true;
}

// One call, `F(x)`, that the compiled form reads: its result goes to the destination as the
// operand stack would hand it on, without a place there.
bool ScriptEngine::EvaluateCompiledCall(const Expr& e, Scope scope, Value& dest) {
  const Operand& o = e.operands[0];
  const compiled::Call& c = *o.call;
  ObjectInstance* self = c.onSelf ? SelfInstance(scope) : nullptr;
  if (c.onSelf && !self) return EvaluateCompiledGeneral(e, scope, dest);
  ValuePtr result =
      CallCompiled(c, scope, self, c.routine, c.onSelf ? scope.with->front()->Deref()->type : nullptr);
  if (error_.Failed()) return false;
  parser_.SetIndex(o.end);
  if (!result) {  // a procedure was called
    SetError(ErrorCode::TypeMismatch);
    return false;
  }
  Value* v = result->Deref();
  if (result.use_count() == 1 && v->code() != TypeCode::PropertyRef &&
      v->code() != TypeCode::NativeProperty) {
    Value operand;
    operand = std::move(*v);
    operand.flags = 0;
    parser_.SetIndex(e.end);
    return FinishEvaluation(dest, operand);
  }
  // A result held elsewhere too, or a property: OperandFromDesignator decides, on the stack.
  const size_t base = operands_.size();
  OperandStackRestore restore{*this, base, operators_.size()};
  operands_.emplace_back();
  Designator d;
  d.var = std::move(result);
  d.outcome = Designator::Value;
  if (!OperandFromDesignator(d, base)) return false;
  parser_.SetIndex(e.end);
  return FinishEvaluation(dest, operands_[base]);
}

// The walker's general evaluation on the shared operand stack.
bool ScriptEngine::EvaluateCompiledGeneral(const Expr& e, Scope scope, Value& dest) {
  const size_t base = operands_.size();
  const size_t opBase = operators_.size();
  OperandStackRestore restore{*this, base, opBase};
  for (size_t k = 0; k < e.operands.size(); ++k) {
    if (k > 0) {
      const uint8_t op = e.ops[k - 1];
      if (op == kOpDivide) {
        Value* d = dest.Deref();
        if (d->code() == TypeCode::Reference && !d->target) d->ChangeType(StdType(TypeCode::Extended));
      }
      operators_.push_back(op);
    }
    operands_.emplace_back();
    bool diverted = false;
    if (!ReadCompiledOperand(e.operands[k], scope, dest, operands_.size() - 1, diverted)) return false;
    if (diverted) return EvaluateFrom(scope, e.stop, dest, base, opBase, false);
  }
  parser_.SetIndex(e.end);
  if (!ApplyOperators(base, opBase, 1)) return false;
  return FinishEvaluation(dest, operands_[base]);
}

namespace {
// A record none of whose fields can hold (or lead to) another record: numbers, characters,
// booleans and strings only.
bool HasPlainFields(const Value& rec) {
  for (const ValuePtr& f : rec.items) {
    const TypeCode c = f->code();
    if (!IsNumberCode(c) && !IsStringCode(c) && c != TypeCode::Boolean) return false;
  }
  return true;
}
}  // namespace

// `a := b` for a record destination: a record variable of the same type with plain fields is
// assigned field by field straight from its place, as the operand stack would assign its copy
// (such a source cannot lie inside the destination). Anything else goes on as one operand.
bool ScriptEngine::EvaluateCompiledRecordCopy(const Expr& e, Scope scope, Value& dest) {
  const Operand& o = e.operands[0];
  const size_t base = operands_.size();
  const size_t opBase = operators_.size();
  OperandStackRestore restore{*this, base, opBase};
  Designator d = ReadCompiledDesignator(*o.var, scope, DesignatorMode::Statement);
  if (d.outcome == Designator::Failure) return false;
  if (!d.var) {
    SetError(ErrorCode::TypeMismatch);
    return false;
  }
  Value* source = d.var->Deref();
  Value* target = dest.Deref();
  if (parser_.Index() == o.end && source->code() == TypeCode::Record && source->type == target->type &&
      HasPlainFields(*source)) {
    parser_.SetIndex(e.end);
    return AssignValue(*target, *source);
  }
  operands_.emplace_back();
  if (!OperandFromDesignator(d, base)) return false;
  if (parser_.Index() != o.end) return EvaluateFrom(scope, e.stop, dest, base, opBase, false);
  parser_.SetIndex(e.end);
  if (!ApplyOperators(base, opBase, 1)) return false;
  return FinishEvaluation(dest, operands_[base]);
}

// FinishEvaluation with a machine-word result: an integer or BOOLEAN destination takes it
// directly, any other by the general rules (at the expression's end, where errors belong).
bool ScriptEngine::AssignPure(const Expr& e, Value& dest, int64_t v) {
  Value* d = dest.Deref();
  if (e.pureBoolean) {
    if (d->code() == TypeCode::Boolean) {
      d->v.b = static_cast<uint8_t>(v);
      return true;
    }
  } else if (d->IsInteger()) {
    d->SetInt(v);
    return true;
  }
  Value result;
  result.type = StdType(e.pureBoolean ? TypeCode::Boolean : TypeCode::LongInt);
  result.v.i = v;
  parser_.SetIndex(e.end);
  return DoOperation(dest, result, kOpAssign);
}

// `s := s + a + b ...` with string and character operands read without copies; `done` is false
// (and nothing changed) when a value is of another kind or the result would be too long.
bool ScriptEngine::AppendInPlace(const Expr& e, Scope scope, Value& dest, bool& done) {
  done = false;
  Value* d = dest.Deref();
  if (d->code() != TypeCode::String || e.operands[0].var->generation != symbolGeneration_) return true;
  Value* first = NameValue(e.operands[0].var->root, scope);
  if (!first || first->Deref() != d) return true;
  const size_t n = e.operands.size();
  std::string_view parts[16];
  char chars[16];
  if (n > 16) return true;
  size_t total = d->str.size();
  bool aliased = false;
  for (size_t k = 1; k < n; ++k) {
    const Operand& o = e.operands[k];
    if (o.kind == Operand::StringLiteral) {
      parts[k] = o.str;
    } else {
      Value* v;
      if (o.var->generation != symbolGeneration_ || !PeekVar(*o.var, scope, v)) return true;
      if (v->code() == TypeCode::String) {
        parts[k] = v->str;
        aliased = aliased || v == d;
      } else if (v->code() == TypeCode::Char) {
        chars[k] = static_cast<char>(v->v.ch);
        parts[k] = std::string_view(&chars[k], 1);
      } else {
        return true;
      }
    }
    total += parts[k].size();
    if (total > kMaxStringLength) return true;
  }
  if (aliased) {
    std::string joined = d->str;
    for (size_t k = 1; k < n; ++k) joined.append(parts[k]);
    d->str = std::move(joined);
  } else {
    d->str.reserve(total);
    for (size_t k = 1; k < n; ++k) d->str.append(parts[k]);
  }
  done = true;
  return true;
}

// `a < b` (any comparison) of two strings, each a variable read without side effects or a
// literal, compared where they are instead of as copies on the operand stack; `done` is false
// (and nothing changed) for other operands.
bool ScriptEngine::CompareStringsInPlace(const Expr& e, Scope scope, Value& dest, bool& done) {
  done = false;
  std::string_view sides[2];
  for (size_t k = 0; k < 2; ++k) {
    const Operand& o = e.operands[k];
    if (!o.prefixes.empty()) return true;
    if (o.kind == Operand::StringLiteral) {
      sides[k] = o.str;
      continue;
    }
    Value* v;
    if (o.kind != Operand::Variable || o.var->generation != symbolGeneration_ || !PeekVar(*o.var, scope, v) ||
        v->code() != TypeCode::String)
      return true;
    sides[k] = v->str;
  }
  const int order = sides[0].compare(sides[1]);
  done = true;
  parser_.SetIndex(e.end);
  Value result(StdType(TypeCode::Boolean));
  result.v.b = ComparisonHolds(e.ops[0], order) ? 1 : 0;
  return FinishEvaluation(dest, result);
}

// ---- operands ----

// The walker's simple walk (WalkSimpleSelectors): plain variables, `[literal]`, `[LONGINT
// variable]` and record fields, nothing consumed or recorded; false when it does not apply.
bool ScriptEngine::SimpleWalk(const VarAccess& a, Scope scope, Value*& v) {
  if (a.root.kind != NameRef::Local && a.root.kind != NameRef::Global) return false;
  v = NameValue(a.root, scope)->Deref();
  for (const compiled::Selector& sel : a.selectors) {
    if (sel.kind == compiled::Selector::Index) {
      if (v->code() != TypeCode::Array) return false;
      int64_t index;
      if (sel.simpleLiteral) {
        index = sel.literal;
      } else {
        if (sel.indexVar.kind == NameRef::None) return false;
        Value* iv = NameValue(sel.indexVar, scope)->Deref();
        if (iv->code() != TypeCode::LongInt) return false;
        index = iv->v.i;
      }
      if (index < 0 || static_cast<uint64_t>(index) >= v->items.size()) return false;
      v = v->items[static_cast<size_t>(index)]->Deref();
    } else {
      if (v->code() != TypeCode::Record) return false;
      const int f = v->type->record->Find(sel.name);
      if (f < 0) return false;
      v = v->items[static_cast<size_t>(f)]->Deref();
    }
  }
  return true;
}

// A variable reached without side effects: indexes by pure expressions, record fields. False
// (nothing recorded) for anything the general path has to decide.
bool ScriptEngine::PeekVar(const VarAccess& a, Scope scope, Value*& v) {
  v = NameValue(a.root, scope);
  if (!v) return false;
  v = v->Deref();
  for (const compiled::Selector& sel : a.selectors) {
    if (sel.kind == compiled::Selector::Index) {
      for (const auto& idx : sel.indexes) {
        if (v->code() != TypeCode::Array || !idx->pureFn || idx->pureBoolean) return false;
        int64_t index;
        if (!idx->pureFn->eval(*idx->pureFn, scope, index)) return false;
        if (index < 0 || static_cast<uint64_t>(index) >= v->items.size()) return false;
        v = v->items[static_cast<size_t>(index)]->Deref();
      }
    } else {
      if (v->code() != TypeCode::Record) return false;
      const int f = v->type->record->Find(sel.name);
      if (f < 0) return false;
      v = v->items[static_cast<size_t>(f)]->Deref();
    }
  }
  return true;
}

// ReadOperand for a compiled operand, into operands_[slot] (fetched again after anything that
// may evaluate). `diverted`: a walked operand ended elsewhere than foreseen.
bool ScriptEngine::ReadCompiledOperand(const Operand& o, Scope scope, Value& dest, size_t slot,
                                       bool& diverted) {
  Type* destType = dest.Deref()->type;
  const TypeCode dc = destType ? destType->code : TypeCode::NilType;
  switch (o.kind) {
    case Operand::IntLiteral: {
      Value& out = operands_[slot];
      out.type = InLiteralTypedRange(dc) ? destType : StdType(TypeCode::LongInt);
      out.v.i = TruncateToWidth(out.type->code, o.intValue);
      break;
    }
    case Operand::RealLiteral: {
      Value& out = operands_[slot];
      out.type = IsRealCode(dc) ? destType : StdType(TypeCode::Extended);
      out.SetReal(o.realValue);
      break;
    }
    case Operand::StringLiteral: {
      Value& out = operands_[slot];
      out.type = StdType(TypeCode::String);
      out.str = o.str;
      break;
    }
    case Operand::Paren: {
      Value inner(varType_);
      if (!EvaluateCompiled(*o.inner, scope, inner)) return false;
      operands_[slot] = std::move(inner);
      break;
    }
    case Operand::Variable: {
      const VarAccess& a = *o.var;
      if (scope.with->empty() && a.simpleShape && a.generation == symbolGeneration_) {
        Value* v;
        if (SimpleWalk(a, scope, v)) {
          Value& out = operands_[slot];
          if (v->code() != TypeCode::PropertyRef && v->code() != TypeCode::NativeProperty &&
              out.CopyScalarFrom(*v)) {
            out.flags = 0;
            break;
          }
          out.Init(nullptr);
        }
      }
      Designator d = ReadCompiledDesignator(a, scope, DesignatorMode::Statement);
      if (d.outcome == Designator::Failure) return false;
      if (!d.var) {
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
      if (!OperandFromDesignator(d, slot)) return false;
      diverted = parser_.Index() != o.end;
      break;
    }
    case Operand::Call:
    case Operand::MethodCall: {
      Designator d;
      if (o.kind == Operand::Call) {
        const compiled::Call& c = *o.call;
        if (c.generation != symbolGeneration_) {
          parser_.SetIndex(o.cursor);
          if (!ReadOperand(scope, dest, slot)) return false;
          diverted = parser_.Index() != o.end;
          return true;
        }
        ObjectInstance* self = nullptr;
        if (c.onSelf && !(self = SelfInstance(scope))) {
          parser_.SetIndex(o.cursor);
          if (!ReadOperand(scope, dest, slot)) return false;
          diverted = parser_.Index() != o.end;
          return true;
        }
        d.var =
            CallCompiled(c, scope, self, c.routine, c.onSelf ? scope.with->front()->Deref()->type : nullptr);
        if (error_.Failed()) return false;
        d.outcome = Designator::Value;
      } else {
        d = ReadCompiledDesignator(*o.var, scope, DesignatorMode::Statement);
        if (d.outcome == Designator::Failure) return false;
        bool walked = parser_.Index() != o.var->end;  // the walker read the call too
        if (!walked) CallCompiledMethod(*o.method, d, scope, walked);
        if (d.outcome == Designator::Failure) return false;
        if (walked) {
          if (!d.var) {
            SetError(ErrorCode::TypeMismatch);
            return false;
          }
          if (!OperandFromDesignator(d, slot)) return false;
          diverted = parser_.Index() != o.end;
          break;
        }
      }
      parser_.SetIndex(o.end);
      if (!d.var) {  // a procedure was called
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
      if (!OperandFromDesignator(d, slot)) return false;
      break;
    }
    case Operand::Walk:
      parser_.SetIndex(o.cursor);
      if (!ReadOperand(scope, dest, slot)) return false;
      diverted = parser_.Index() != o.end;
      return true;
  }
  if (!o.prefixes.empty()) {
    const int32_t at = diverted ? parser_.Index() : o.end;
    for (char p : o.prefixes) {
      if (!(p == '-' ? operands_[slot].Negate() : operands_[slot].Not())) {
        parser_.SetIndex(at);
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
    }
  }
  return true;
}

// ---- designators ----

// ReadDesignator for a variable the compiler resolved, with ReadSelectors' index and field
// steps; any other selector (and a SELF that is gone) is left to the walker from its token.
Designator ScriptEngine::ReadCompiledDesignator(const VarAccess& a, Scope scope, DesignatorMode mode) {
  auto walk = [&]() {
    parser_.SetIndex(a.cursor);
    return ReadDesignator(scope, mode);
  };
  if (a.generation != symbolGeneration_) return walk();
  Designator d;
  if (StackLow()) {
    parser_.SetIndex(a.cursor);
    StackExhausted();
    return d;
  }
  switch (a.root.kind) {
    case NameRef::Local:
      d.var = scope.locals->Ptr(a.root.index);
      break;
    case NameRef::Global:
      d.var = globals_.Ptr(a.root.index);
      break;
    case NameRef::SelfField:
    case NameRef::SelfProperty: {
      ObjectInstance* inst = SelfInstance(scope);
      if (!inst) return walk();
      size_t i = static_cast<size_t>(a.root.index);
      if (a.root.kind == NameRef::SelfProperty) i += static_cast<size_t>(inst->cls->cls->FieldCount());
      d.var = inst->fields[i];
      break;
    }
    default:
      return walk();
  }
  d.outcome = Designator::Variable;
  for (const compiled::Selector& sel : a.selectors) {
    Value* v = d.var->Deref();
    if (v->code() == TypeCode::PropertyRef || v->code() == TypeCode::NativeProperty) {
      parser_.SetIndex(sel.cursor);
      if (!ReadSelectors(scope, mode, d)) return Designator{};
      return d;
    }
    if (sel.kind == compiled::Selector::Index) {
      for (size_t k = 0; k < sel.indexes.size(); ++k) {
        const Expr& idx = *sel.indexes[k];
        if (v->code() != TypeCode::Array) {
          parser_.SetIndex(k == 0 ? sel.cursor : sel.indexes[k - 1]->end);
          SetError(ErrorCode::TypeMismatch);
          return Designator{};
        }
        int64_t i;
        if (!EvaluateCompiledIndex(idx, scope, i)) return Designator{};
        if (i < 0 || static_cast<uint64_t>(i) >= v->items.size()) {
          parser_.SetIndex(idx.end);
          SetError(ErrorCode::OutOfRange);
          return Designator{};
        }
        ValuePtr elem = v->items[static_cast<size_t>(i)];
        d.var = std::move(elem);
        v = d.var->Deref();
      }
      continue;
    }
    // '.' name
    const int32_t nameCursor = sel.cursor + 1;
    if (v->code() == TypeCode::Record) {
      const int f = v->type->record->Find(sel.name);
      if (f < 0) {
        parser_.SetIndex(nameCursor);
        SetErrorParam(ErrorCode::UnknownIdentifier, NameText(sel.name));
        return Designator{};
      }
      ValuePtr field = v->items[static_cast<size_t>(f)];
      d.var = std::move(field);
      continue;
    }
    if (v->code() == TypeCode::Class && mode != DesignatorMode::Variable && v->v.obj && !v->v.obj->freed) {
      if (ValuePtr member = FindMember(v->v.obj, v->type, sel.name, false)) {
        d.var = std::move(member);
        d.outcome = Designator::Variable;
        continue;
      }
    }
    // Errors, methods and every other kind of value: the walker's selector.
    parser_.SetIndex(sel.cursor);
    if (!ReadSelectors(scope, mode, d)) return Designator{};
    return d;
  }
  parser_.SetIndex(a.end);
  return d;
}

// `.name(args)` on the object `object` reaches, as ReadSelectors' class branch: the member is
// looked up on the instance (virtual dispatch), the call reads its arguments compiled. Anything
// else is the walker's from the '.' on (`walked`).
ValuePtr ScriptEngine::CallCompiledMethod(const compiled::MethodSelector& m, Designator& d, Scope scope,
                                          bool& walked) {
  walked = false;
  auto walk = [&]() -> ValuePtr {
    walked = true;
    parser_.SetIndex(m.cursor);
    if (!ReadSelectors(scope, DesignatorMode::Statement, d)) d = Designator{};
    return nullptr;
  };
  if (!d.var) return walk();
  Value* v = d.var->Deref();
  if (v->code() != TypeCode::Class) return walk();
  ObjectInstance* inst = v->v.obj;
  if (!inst || inst->freed) return walk();
  Type* staticClass = v->type;
  Routine* method = nullptr;
  for (const auto& entry : m.dispatch)
    if (entry.staticClass == staticClass && entry.instanceClass == inst->cls) {
      method = entry.method;
      break;
    }
  if (!method) {
    if (FindMember(inst, staticClass, m.name, false)) return walk();
    method = FindMethod(inst, staticClass, m.name, false);
    if (!method || !(method->decl == m.call.routine->decl)) return walk();
    m.dispatch[m.nextDispatch] = {staticClass, inst->cls, method};
    m.nextDispatch = static_cast<uint8_t>((m.nextDispatch + 1) % compiled::MethodSelector::kDispatchEntries);
  }
  d.var = CallCompiled(m.call, scope, inst, method, staticClass);
  d.outcome = error_.Failed() ? Designator::Failure : Designator::Value;
  return nullptr;
}

// ---- calls ----

// CallRoutine with the arguments read by their compiled forms.
ValuePtr ScriptEngine::CallCompiled(const compiled::Call& c, Scope scope, ObjectInstance* self,
                                    Routine* routine, Type* selfType) {
  CalleeList list(*this);
  VariableList& callee = *list;
  if (self) {
    auto selfVar = Value::Create(routine->cls ? routine->cls : selfType);
    selfVar->v.obj = self;
    selfVar->flags |= kReadOnly;
    callee.Add(names::Self, std::move(selfVar));
  }
  const ParamList& decl = routine->decl;
  const size_t n = decl.params.size();
  if (n > 0) callee.Reserve(static_cast<size_t>(callee.Count()) + n + 2);
  for (size_t k = 0; k < n; ++k) {
    const ParamDef& p = decl.params[k];
    const compiled::Arg& arg = c.args[k];
    if (p.mode == ParamMode::Value) {
      ValuePtr value = Value::Create(p.type);
      Value& ref = *value;
      callee.Add(p.name, std::move(value));
      if (!EvaluateCompiled(*arg.value, scope, ref)) return nullptr;
    } else {
      Designator d = ReadCompiledDesignator(*arg.var, scope, DesignatorMode::Variable);
      if (d.outcome == Designator::Failure) return nullptr;
      if (d.outcome != Designator::Variable) return Fail(ErrorCode::VariableExpected), nullptr;
      Value* target = d.var->Deref();
      if (p.mode == ParamMode::Var && (d.var->readOnly() || target->readOnly()))
        return Fail(ErrorCode::VariableExpected), nullptr;
      if (!FitsByReference(*this, p.type, target)) return Fail(ErrorCode::TypeMismatch), nullptr;
      ValuePtr var = std::move(d.var);
      while (var->code() == TypeCode::Reference && var->target) var = var->target;
      auto ref = NewValue(varType_);
      ref->target = std::move(var);
      if (p.mode == ParamMode::Const) ref->flags |= kReadOnly;
      callee.Add(p.name, std::move(ref));
    }
  }
  parser_.SetIndex(c.end);

  if (routine->owner && routine->owner != this) return CallInOwner(routine, callee);

  ValuePtr result = decl.result ? Value::Create(decl.result) : nullptr;
  CallFrame frame(callStack_, currentLocals_, routine, &callee);
  if (routine->kind == RoutineKind::Script) {
    // RESULT is the result variable itself: every use of a local goes through Deref, so a
    // reference to it would only cost a variant more per call.
    if (result) callee.Add(names::Result, result);
    if (!RunRoutineBody(routine, callee, c.end)) return nullptr;
    return result;
  }
  if (!CallNative(routine, callee, result.get())) return nullptr;
  return result;
}

// ---- simple statements ----

// `designator := expression`, as RunSimpleStatement.
ScriptEngine::Outcome ScriptEngine::RunCompiledAssign(const Stmt& s, Scope scope) {
  if (!CompiledHook(s.cursor)) return Outcome::Fail;
  if (s.pureTarget) {
    const VarAccess& t = *s.target;
    const Expr& e = *s.expr;
    // A LONGINT or BOOLEAN variable that is not read-only takes a machine-word value directly.
    Value* var = t.root.kind == NameRef::Local
                     ? scope.locals->Entries()[static_cast<size_t>(t.root.index)].var.get()
                     : t.root.global;
    Value* d = var->Deref();
    if (!((var->flags | d->flags) & kReadOnly) && d->type &&
        d->type->code == (e.pureBoolean ? TypeCode::Boolean : TypeCode::LongInt) &&
        depths_->expressions <= kMaxExpressionNesting - e.nesting) {
      int64_t r;
      if (e.pureFn->eval(*e.pureFn, scope, r)) {
        if (e.pureBoolean)
          d->v.b = static_cast<uint8_t>(r);
        else
          d->v.i = r;
        return Outcome::Normal;
      }
    }
  }
  return RunCompiledAssignGeneral(s, scope);
}

ScriptEngine::Outcome ScriptEngine::RunCompiledAssignGeneral(const Stmt& s, Scope scope) {
  const VarAccess& t = *s.target;
  Value* v;
  ValuePtr hold;  // a designator being assigned keeps its variable alive
  if (t.selectors.empty() && (t.root.kind == NameRef::Local || t.root.kind == NameRef::Global)) {
    v = NameValue(t.root, scope);
  } else {
    Designator d = ReadCompiledDesignator(t, scope, DesignatorMode::Statement);
    if (d.outcome != Designator::Variable || parser_.Index() != t.end) {
      // The walker read the designator (or part of it): its statement goes on from there.
      if (!FinishSimpleStatement(scope, d)) return Outcome::Fail;
      return parser_.Index() == s.end ? Outcome::Normal : Outcome::Diverted;
    }
    hold = std::move(d.var);
    v = hold.get();
  }
  if (v->readOnly() || v->Deref()->readOnly()) {
    parser_.SetIndex(s.assignCursor);
    SetError(ErrorCode::VariableExpected);
    return Outcome::Fail;
  }
  Value* target = v->Deref();
  if (target->code() == TypeCode::PropertyRef) {
    Value value(varType_);
    if (!EvaluateCompiled(*s.expr, scope, value)) return Outcome::Fail;
    parser_.SetIndex(s.expr->end);
    return WriteProperty(*target, value) ? Outcome::Normal : Outcome::Fail;
  }
  return EvaluateCompiled(*s.expr, scope, *v) ? Outcome::Normal : Outcome::Fail;
}

// A routine or method called as a statement, as RunSimpleStatement.
ScriptEngine::Outcome ScriptEngine::RunCompiledCallStatement(const Stmt& s, Scope scope) {
  if (!CompiledHook(s.cursor)) return Outcome::Fail;
  Designator d;
  if (s.kind == Stmt::CallStmt) {
    const compiled::Call& c = *s.call;
    ObjectInstance* self = nullptr;
    if (c.onSelf && !(self = SelfInstance(scope))) {
      parser_.SetIndex(s.cursor);
      if (!RunSimpleStatementBody(scope)) return Outcome::Fail;
      return parser_.Index() == s.end ? Outcome::Normal : Outcome::Diverted;
    }
    d.var = CallCompiled(c, scope, self, c.routine, c.onSelf ? scope.with->front()->Deref()->type : nullptr);
    if (error_.Failed()) return Outcome::Fail;
    d.outcome = Designator::Value;
  } else {
    d = ReadCompiledDesignator(*s.target, scope, DesignatorMode::Statement);
    if (d.outcome == Designator::Failure) return Outcome::Fail;
    bool walked = parser_.Index() != s.target->end;  // the walker read the call too
    if (!walked) CallCompiledMethod(*s.method, d, scope, walked);
    if (d.outcome == Designator::Failure) return Outcome::Fail;
    if (walked) {
      if (!FinishSimpleStatement(scope, d)) return Outcome::Fail;
      return parser_.Index() == s.end ? Outcome::Normal : Outcome::Diverted;
    }
  }
  parser_.SetIndex(s.end);
  if (!FinishSimpleStatement(scope, d)) return Outcome::Fail;
  return Outcome::Normal;
}

}  // namespace quoll
