// Designators: names (WITH members, locals, globals, routines, classes) and their selectors.
#include "engine/engine_internal.h"
#include "engine/operators.h"

namespace quoll {

namespace {
using TK = TokenKind;
}  // namespace

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
        NoteNativeCall();
        h->object->caller_ = this;
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

}  // namespace quoll
