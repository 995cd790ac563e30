// Calls: arguments read at a call site, script routine bodies, native functions, prepared lists.
#include "engine/call_frame.h"
#include "engine/compiled.h"
#include "engine/engine_internal.h"

namespace quoll {

namespace {
using TK = TokenKind;
}  // namespace

bool ScriptEngine::ReadArguments(Scope scope, const ParamList& decl, VariableList& callee) {
  const size_t n = decl.params.size();
  if (n == 0) {
    if (parser_.CurrTokenKind() == TK::OpenRound) {
      parser_.Next();
      if (parser_.CurrTokenKind() != TK::CloseRound) return Fail(ErrorCode::CloseRoundExpected);
      parser_.Next();
    }
    return true;
  }
  if (parser_.CurrTokenKind() != TK::OpenRound) return Fail(ErrorCode::RoundOpenExpected);
  callee.Reserve(static_cast<size_t>(callee.Count()) + n + 2);
  for (size_t i = 0; i < n; ++i) {
    parser_.Next();  // the '(' or ','
    const ParamDef& p = decl.params[i];
    if (p.mode == ParamMode::Value) {
      ValuePtr arg = Value::Create(p.type);
      Value& ref = *arg;
      callee.Add(p.name, std::move(arg));
      if (!Evaluate(scope, TK::CloseRound, ref)) return false;
    } else {
      Designator d = ReadDesignator(scope, DesignatorMode::Variable);
      if (d.outcome == Designator::Failure) return false;
      if (d.outcome != Designator::Variable) return Fail(ErrorCode::VariableExpected);
      Value* target = d.var->Deref();
      if (p.mode == ParamMode::Var && (d.var->readOnly() || target->readOnly()))
        return Fail(ErrorCode::VariableExpected);
      if (!FitsByReference(*this, p.type, target)) return Fail(ErrorCode::TypeMismatch);
      // Refer to the variable itself, not to a reference to it: passing a var parameter on
      // through a recursion then builds no chain of references.
      ValuePtr var = std::move(d.var);
      while (var->code() == TypeCode::Reference && var->target) var = var->target;
      auto ref = NewValue(varType_);
      ref->target = std::move(var);
      if (p.mode == ParamMode::Const) ref->flags |= kReadOnly;
      callee.Add(p.name, std::move(ref));
    }
    if (i + 1 < n) {
      if (parser_.CurrTokenKind() != TK::Comma) return Fail(ErrorCode::CommaExpected);
    } else {
      if (parser_.CurrTokenKind() != TK::CloseRound) return Fail(ErrorCode::RoundCloseExpected);
      parser_.Next();
    }
  }
  return true;
}

ValuePtr ScriptEngine::CallInOwner(Routine* routine, VariableList& callee) {
  ScriptEngine* unit = routine->owner;
  ValuePtr result = unit->CallRoutineWithList(routine, callee);
  if (unit->error_.Failed()) {
    if (!error_.Failed()) error_ = unit->error_;
    unit->error_.Clear();
    return nullptr;
  }
  return result;
}

// Runs a script routine's body on this script's parser. The cursor comes back to where it was,
// also after a failure, so that a TRY in the caller scans the caller's own text.
bool ScriptEngine::RunRoutineBody(Routine* routine, VariableList& callee, int32_t returnCursor) {
  if (routine->entryCursor >= 0)
    parser_.SetCursor(routine->entryCursor);
  else
    parser_.SeekTo(routine->entryPos);
  bool ok = true;
  if (parser_.CurrTokenKind() == TK::Var) {
    parser_.Next();
    ok = ReadLocalVarSection(callee);
  }
  if (ok) {
    if (routine->IsMethod()) {
      SelfWithList selfObject(*this);  // a method's statements see the members of SELF
      int self = callee.Find(names::Self);
      if (self >= 0) (*selfObject).push_back(callee.Ptr(self));
      ok = RunBody(Scope{&*selfObject, &callee}, routine);
    } else {
      ok = RunBody(Scope{&kNoWithObjects, &callee}, routine);
    }
  }
  if (!ok && error_.code == ErrorCode::ExitSignal && !error_.endsRun) {
    error_.Clear();
    ok = true;
  }
  parser_.SetCursor(returnCursor);
  return ok;
}

// A routine's VAR section: read by the walker, then replayed (the same names and types) while
// the symbols stay as they were and its types are ones the walker would find again rather than
// make anew (type names and arrays of them).
bool ScriptEngine::ReadLocalVarSection(VariableList& callee) {
  const int32_t start = parser_.Index();
  auto it = varSections_.find(start);
  if (it != varSections_.end() && it->second.generation == symbolGeneration_ &&
      it->second.listCount == callee.Count()) {
    for (const auto& [name, type] : it->second.variables) callee.Add(name, Value::Create(type));
    parser_.SetIndex(it->second.endCursor);
    return true;
  }
  const uint64_t generation = symbolGeneration_;
  const int before = callee.Count();
  if (!ReadVarSection(callee, false)) return false;
  const int32_t end = parser_.Index();
  if (symbolGeneration_ != generation) return true;
  // Only `name, ...: Type;` and `array of ... Type` (or `array of const`) items.
  for (int32_t i = start; i < end;) {
    while (parser_.At(i).kind == TK::Identifier && parser_.At(i + 1).kind == TK::Comma) i += 2;
    if (parser_.At(i).kind != TK::Identifier || parser_.At(i + 1).kind != TK::Colon) return true;
    i += 2;
    while (parser_.At(i).kind == TK::Array && parser_.At(i + 1).kind == TK::Of) i += 2;
    if (parser_.At(i).kind != TK::Identifier && parser_.At(i).kind != TK::Const) return true;
    if (parser_.At(i + 1).kind != TK::Semicolon) return true;
    i += 2;
  }
  VarSectionReplay replay;
  replay.generation = generation;
  replay.listCount = before;
  replay.endCursor = end;
  for (int k = before; k < callee.Count(); ++k)
    replay.variables.emplace_back(callee.Name(k), callee.Get(k)->type);
  varSections_[start] = std::move(replay);
  return true;
}

bool ScriptEngine::CallNative(Routine* routine, VariableList& args, Value* result) {
  NoteNativeCall();
  ScriptEngine* owner = routine->owner ? routine->owner : this;
  ErrorCode code = routine->native ? routine->native(owner, owner->host_, routine, result, args)
                                   : ErrorCode::CommandNotSupported;
  if (owner != this && owner->error_.Failed() && !error_.Failed()) {
    error_ = owner->error_;
    owner->error_.Clear();
  }
  if (code != ErrorCode::NoError && code != ErrorCode::ExitSignal) SetError(this, code);
  if (error_.code == ErrorCode::ExitSignal && !error_.endsRun) error_.Clear();
  return !error_.Failed();
}

ValuePtr ScriptEngine::CallRoutine(Scope scope, ObjectInstance* self, Routine* routine, Type* selfType) {
  CalleeList list(*this);
  VariableList& callee = *list;
  if (self) {
    // SELF is declared as the class that declares the method: bare names inside it resolve there.
    auto selfVar = Value::Create(routine->cls ? routine->cls : selfType);
    selfVar->v.obj = self;
    selfVar->flags |= kReadOnly;
    callee.Add(names::Self, std::move(selfVar));
  }
  if (!ReadArguments(scope, routine->decl, callee)) return nullptr;

  if (routine->owner && routine->owner != this) return CallInOwner(routine, callee);

  ValuePtr result = routine->decl.result ? Value::Create(routine->decl.result) : nullptr;
  CallFrame frame(callStack_, currentLocals_, routine, &callee);
  if (routine->kind == RoutineKind::Script) {
    if (result) {
      auto ref = NewValue(varType_);
      ref->target = result;
      callee.Add(names::Result, std::move(ref));
    }
    if (!RunRoutineBody(routine, callee, parser_.Cursor())) return nullptr;
    return result;
  }
  if (!CallNative(routine, callee, result.get())) return nullptr;
  return result;
}

ValuePtr ScriptEngine::CallRoutineWithList(Routine* routine, VariableList& args) {
  RefreshStackFloor();
  error_.Clear();
  if (!routine) {
    SetError(ErrorCode::UnknownIdentifier);
    error_.position = -1;
    return nullptr;
  }
  if (routine->owner && routine->owner != this) {
    ScriptEngine* other = routine->owner;
    ValuePtr result = other->CallRoutineWithList(routine, args);
    if (other->error_.Failed()) {
      error_ = other->error_;
      other->error_.Clear();
    }
    return result;
  }
  auto parameterError = [&](int32_t position) -> ValuePtr {
    SetError(ErrorCode::ParameterError);
    error_.position = position;
    return nullptr;
  };
  const size_t offset = routine->IsMethod() ? 1 : 0;
  if (static_cast<size_t>(args.Count()) != routine->decl.params.size() + offset) return parameterError(-1);
  ValuePtr originalSelf;
  if (offset) {
    if (args.Name(0) != names::Self) return parameterError(-1);
    Value* self = args.Get(0)->Deref();
    if (self->type != routine->cls) {
      if (self->code() != TypeCode::Class) return parameterError(-1);
      originalSelf = args.Ptr(0);
      auto replacement = Value::Create(routine->cls);
      replacement->v.obj = self->v.obj;
      replacement->flags |= kReadOnly;
      args.Replace(0, std::move(replacement));
    }
  }
  // Put the caller's SELF back on every way out.
  struct RestoreSelf {
    VariableList& args;
    ValuePtr& original;
    ~RestoreSelf() {
      if (original) args.Replace(0, original);
    }
  } restoreSelf{args, originalSelf};

  for (size_t i = 0; i < routine->decl.params.size(); ++i) {
    const ParamDef& p = routine->decl.params[i];
    int index = static_cast<int>(i + offset);
    Value* entry = args.Get(index);
    if (p.mode != ParamMode::Value) {
      if (entry->code() != TypeCode::Reference || !entry->target ||
          !FitsByReference(*this, p.type, entry->Deref()))
        return parameterError(static_cast<int32_t>(i));
      if (p.mode == ParamMode::Const) entry->flags |= kReadOnly;
    } else {
      Type* want = p.type->Resolved();
      bool keepArray = want == arrayType_ && entry->Deref()->code() == TypeCode::Array;
      if (entry->type != want && !keepArray) {
        auto converted = Value::Create(want);
        if (!DoOperation(*converted, *entry, kOpAssign)) {
          error_.Clear();
          return parameterError(static_cast<int32_t>(i));
        }
        args.Replace(index, std::move(converted));
      }
    }
    args.Rename(index, p.name);
  }

  ValuePtr result = routine->decl.result ? Value::Create(routine->decl.result) : nullptr;
  CallFrame frame(callStack_, currentLocals_, routine, &args);
  if (routine->kind == RoutineKind::Script) {
    int resultIndex = -1;
    if (result) {
      auto ref = NewValue(varType_);
      ref->target = result;
      resultIndex = args.Add(names::Result, std::move(ref));
    }
    int before = args.Count();
    bool ok = RunRoutineBody(routine, args, parser_.Cursor());
    // Local variables read by the body's VAR section and RESULT leave the caller's list again.
    while (args.Count() > before) args.Delete(args.Count() - 1);
    if (resultIndex >= 0) args.Delete(resultIndex);
    if (!ok) return nullptr;
    error_.Clear();
    return result;
  }
  if (!CallNative(routine, args, result.get())) return nullptr;
  return result;
}

}  // namespace quoll
