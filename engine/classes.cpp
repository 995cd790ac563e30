// Script classes at run time: instances, member lookup with visibility, virtual dispatch,
// properties, INHERITED, and the native methods of TOBJECT.
#include <vector>

#include "engine/call_frame.h"
#include "engine/engine_internal.h"
#include "engine/textutil.h"

namespace quoll {

namespace {
using TK = TokenKind;

Type* Ancestor(const Type* cls) {
  return cls && cls->cls ? cls->cls->ancestor : nullptr;
}

bool Accepts(Visibility v, bool classContext, bool searchingStaticClass) {
  if (v == Visibility::Public || v == Visibility::None) return true;
  return classContext && (searchingStaticClass || v == Visibility::Protected);
}
}  // namespace

ObjectInstance* ScriptEngine::NewInstance(Type* cls) {
  ObjectInstance* inst = &objects_.emplace_back();
  inst->cls = cls;
  std::vector<Type*> chain;  // root first
  for (Type* c = cls; c; c = Ancestor(c)) chain.insert(chain.begin(), c);
  inst->fields.reserve(static_cast<size_t>(cls->cls->FieldCount() + cls->cls->PropertyCount()));
  for (Type* c : chain)
    for (const FieldDef& f : c->cls->fields) {
      ValuePtr v = Value::Create(f.type);
      v->setVisibility(f.visibility);
      inst->fields.push_back(std::move(v));
    }
  for (Type* c : chain)
    for (const PropertyDef& p : c->cls->properties) {
      auto v = NewValue(types_.Add(kNoName, TypeCode::PropertyRef, p.type));
      v->v.prop.obj = inst;
      v->v.prop.def = &p;
      v->setVisibility(p.visibility());
      inst->fields.push_back(std::move(v));
    }
  return inst;
}

ValuePtr ScriptEngine::FindMember(ObjectInstance* inst, Type* staticClass, NameId name, bool classContext) {
  if (!inst || !staticClass || staticClass->code != TypeCode::Class ||
      !ClassDescendsFrom(inst->cls, staticClass))
    return nullptr;
  const size_t propertyBase = static_cast<size_t>(inst->cls->cls->FieldCount());
  for (Type* c = staticClass; c; c = Ancestor(c)) {
    const ClassType& d = *c->cls;
    for (size_t j = 0; j < d.fields.size(); ++j)
      if (d.fields[j].name == name && Accepts(d.fields[j].visibility, classContext, c == staticClass))
        return inst->fields[static_cast<size_t>(d.inheritedFieldCount) + j];
    for (size_t j = 0; j < d.properties.size(); ++j)
      if (d.properties[j].name == name &&
          Accepts(d.properties[j].visibility(), classContext, c == staticClass))
        return inst->fields[propertyBase + static_cast<size_t>(d.inheritedPropCount) + j];
  }
  return nullptr;
}

Routine* ScriptEngine::FindMethod(ObjectInstance* inst, Type* staticClass, NameId name, bool classContext) {
  if (!staticClass || staticClass->code != TypeCode::Class) return nullptr;
  Routine* found = nullptr;
  Type* owner = nullptr;
  for (Type* c = staticClass; c && !found; c = Ancestor(c))
    for (Routine* m : c->cls->methods)
      if (m->plainName == name && (m->visibility() == Visibility::Public || classContext)) {
        found = m;
        owner = c;
        break;
      }
  if (!found || !(found->methodFlags & (kMethodVirtual | kMethodOverride))) return found;
  // Virtual dispatch: the most derived override below the owner, on the way to the search class.
  // Walking down from the owner every override replaces the choice, so the answer is the first
  // override met walking up from the search class.
  Type* search = inst ? inst->cls : staticClass;
  for (Type* c = search; c && c != owner; c = Ancestor(c))
    for (Routine* m : c->cls->methods)
      if (m->plainName == name && (m->methodFlags & kMethodOverride)) return m;
  return found;
}

ValuePtr ScriptEngine::Construct(Scope scope, Type* cls, Routine* method) {
  if (!(method->methodFlags & kMethodConstructor)) {
    SetError(ErrorCode::ConstructorExpected);
    return nullptr;
  }
  VariableList callee;
  ObjectInstance* inst = NewInstance(cls);
  ValuePtr result = Value::Create(cls);
  result->v.obj = inst;
  auto self = Value::Create(method->cls ? method->cls : cls);
  self->v.obj = inst;
  self->flags |= kReadOnly;
  callee.Add(names::Self, std::move(self));
  parser_.Next();  // the constructor's name
  if (!ReadArguments(scope, method->decl, callee)) return nullptr;
  if (method->owner && method->owner != this) {
    ScriptEngine* unit = method->owner;
    unit->CallRoutineWithList(method, callee);
    if (unit->error_.Failed()) {
      if (!error_.Failed()) error_ = unit->error_;
      unit->error_.Clear();
      return nullptr;
    }
    return result;
  }
  CallFrame frame(callStack_, currentLocals_, method, &callee);
  bool ok = method->kind == RoutineKind::Script ? RunRoutineBody(method, callee, parser_.Cursor())
                                                : CallNative(method, callee, nullptr);
  return ok ? result : nullptr;
}

ValuePtr ScriptEngine::ReadProperty(Value& propRef) {
  const PropertyDef* def = propRef.v.prop.def;
  ObjectInstance* inst = propRef.v.prop.obj;
  if (!def || !inst || !(def->flags & kPropReadable)) {
    SetError(ErrorCode::CannotReadProperty);
    return nullptr;
  }
  if (inst->freed) {
    SetError(ErrorCode::ClassAlreadyFreed);
    return nullptr;
  }
  if (!(def->flags & kPropReadMethod)) {
    Value& field = *inst->fields[static_cast<size_t>(def->owner->cls->inheritedFieldCount + def->readField)];
    auto copy = Value::Create(field.type);
    if (!AssignValue(*copy, field)) return nullptr;
    return copy;
  }
  VariableList args;
  auto self = Value::Create(inst->cls);
  self->v.obj = inst;
  args.Add(names::Self, std::move(self));
  int32_t cursor = parser_.Cursor();
  ValuePtr value = CallRoutineWithList(def->readMethod, args);
  parser_.SetCursor(cursor);
  if (error_.code == ErrorCode::ParameterError) {
    error_.Clear();
    SetError(ErrorCode::TypeMismatch);
  }
  return !error_.Failed() ? value : nullptr;
}

bool ScriptEngine::WriteProperty(Value& propRef, Value& value) {
  const PropertyDef* def = propRef.v.prop.def;
  ObjectInstance* inst = propRef.v.prop.obj;
  if (!def || !inst || !(def->flags & kPropWritable)) {
    SetError(ErrorCode::CannotWriteProperty);
    return false;
  }
  if (inst->freed) {
    SetError(ErrorCode::ClassAlreadyFreed);
    return false;
  }
  if (!(def->flags & kPropWriteMethod))
    return DoOperation(
        *inst->fields[static_cast<size_t>(def->owner->cls->inheritedFieldCount + def->writeField)], value,
        kOpAssign);
  VariableList args;
  auto self = Value::Create(inst->cls);
  self->v.obj = inst;
  args.Add(names::Self, std::move(self));
  auto data = Value::Create(value.Deref()->type);
  if (!data || !AssignValue(*data, *value.Deref())) return false;
  args.Add(names::Data, std::move(data));
  int32_t cursor = parser_.Cursor();
  CallRoutineWithList(def->writeMethod, args);
  parser_.SetCursor(cursor);
  if (error_.code == ErrorCode::ParameterError) {
    error_.Clear();
    SetError(ErrorCode::TypeMismatch);
  }
  return !error_.Failed();
}

// INHERITED; calls the ancestor's method of the running method's name with the current values of
// its parameters; INHERITED Name calls the ancestor's Name on SELF, without virtual dispatch.
ValuePtr ScriptEngine::CallInherited(Scope scope, bool& ok) {
  ok = false;
  Routine* running = callStack_.empty() ? nullptr : callStack_.back();
  if (!running || !running->IsMethod() || !scope.locals) {
    SetError(ErrorCode::NoInheritedAllowedHere);
    return nullptr;
  }
  int selfIndex = scope.locals->Find(names::Self);
  Value* selfVar = selfIndex >= 0 ? scope.locals->Get(selfIndex)->Deref() : nullptr;
  ObjectInstance* self = selfVar && selfVar->code() == TypeCode::Class ? selfVar->v.obj : nullptr;
  if (!self) {
    SetError(ErrorCode::NoInheritedAllowedHere);
    return nullptr;
  }
  parser_.Next();
  TK next = parser_.CurrTokenKind();
  auto findAbove = [](Type* cls, NameId name) -> Routine* {
    for (Type* c = Ancestor(cls); c; c = Ancestor(c))
      for (Routine* m : c->cls->methods)
        if (m->plainName == name) return m;
    return nullptr;
  };
  if (next == TK::Semicolon || next == TK::End || next == TK::Else) {
    Routine* m = findAbove(running->cls, running->plainName);
    if (!m) {
      SetErrorParam(ErrorCode::UnknownIdentifier, NameText(running->plainName));
      return nullptr;
    }
    VariableList args;
    auto selfArg = Value::Create(running->cls);
    selfArg->v.obj = self;
    args.Add(names::Self, std::move(selfArg));
    for (const ParamDef& p : running->decl.params) {
      int i = scope.locals->Find(p.name);
      Value* current = i >= 0 ? scope.locals->Get(i) : nullptr;
      if (!current) continue;
      if (p.mode == ParamMode::Value) {
        auto copy = Value::Create(current->Deref()->type);
        if (!AssignValue(*copy, *current->Deref())) return nullptr;
        args.Add(p.name, std::move(copy));
      } else {
        auto ref = NewValue(varType_);
        ref->target = scope.locals->Ptr(i);
        args.Add(p.name, std::move(ref));
      }
    }
    int32_t cursor = parser_.Cursor();
    CallRoutineWithList(m, args);  // a statement: a function's inherited result is discarded
    parser_.SetCursor(cursor);
    if (error_.Failed()) return nullptr;
    ok = true;
    return nullptr;
  }
  if (next != TK::Identifier) {
    SetError(ErrorCode::IdentifierExpected);
    return nullptr;
  }
  NameId name = parser_.CurrTokenName();
  Routine* found = FindMethod(nullptr, running->cls, name, true);
  Routine* m = found ? findAbove(found->cls, name) : nullptr;
  if (!m) {
    SetErrorParam(ErrorCode::UnknownIdentifier, NameText(name));
    return nullptr;
  }
  parser_.Next();
  ValuePtr result = CallRoutine(scope, self, m, running->cls);
  ok = !error_.Failed();
  return result;
}

NativeHolder* ScriptEngine::AdoptNativeObject(std::unique_ptr<NativeObject> object) {
  auto holder = std::make_unique<NativeHolder>();
  object->holder_ = holder.get();
  holder->object = std::move(object);
  nativeHolders_.push_back(std::move(holder));
  return nativeHolders_.back().get();
}

// Create, Destroy, Free, ClassNameIs, ClassName and GetAncestors of the root class.
ErrorCode ScriptEngine::TObjectMethod(ScriptEngine* script, void* /*host*/, Routine* routine, Value* result,
                                      VariableList& args) {
  Value* selfVar = args.Count() > 0 ? args.Get(0)->Deref() : nullptr;
  ObjectInstance* self = selfVar && selfVar->code() == TypeCode::Class ? selfVar->v.obj : nullptr;
  const auto method = static_cast<TObjectMethodIndex>(routine->hostData);
  if (method == TObjectMethodIndex::Create) return ErrorCode::NoError;
  if (!self) return ErrorCode::ClassNotCreated;
  switch (method) {
    case TObjectMethodIndex::Create:
      return ErrorCode::NoError;
    case TObjectMethodIndex::Destroy: {
      if (self->freed) return ErrorCode::ClassAlreadyFreed;
      // The field values are dropped, also for anyone who still holds a field (a var parameter);
      // the instance keeps only its record, which references to it still find.
      for (ValuePtr& f : self->fields) {
        if (f->code() == TypeCode::PropertyRef) continue;
        uint8_t flags = f->flags;
        f->Init(f->type);
        f->flags = flags;
      }
      std::vector<ValuePtr>().swap(self->fields);
      self->freed = true;
      return ErrorCode::NoError;
    }
    case TObjectMethodIndex::Free: {
      Routine* destroy = script->FindMethod(self, self->cls, names::Destroy, true);
      if (!destroy) return ErrorCode::UnknownIdentifier;
      VariableList destroyArgs;
      auto selfArg = Value::Create(self->cls);
      selfArg->v.obj = self;
      destroyArgs.Add(names::Self, std::move(selfArg));
      int32_t cursor = script->parser_.Cursor();
      script->CallRoutineWithList(destroy, destroyArgs);
      script->parser_.SetCursor(cursor);
      return script->error_.code;
    }
    case TObjectMethodIndex::ClassName:
      result->SetString(NameText(self->cls->name));
      return ErrorCode::NoError;
    case TObjectMethodIndex::ClassNameIs: {
      std::string wanted;
      args.Get(1)->Deref()->GetString(wanted);
      wanted = UpperCase(wanted);
      bool is = false;
      for (Type* c = self->cls; c; c = Ancestor(c)) is = is || NameText(c->name) == wanted;
      result->SetBool(is);
      return ErrorCode::NoError;
    }
    case TObjectMethodIndex::GetAncestors: {
      std::string text;
      for (Type* c = self->cls; c; c = Ancestor(c))
        text = text.empty() ? NameText(c->name) : NameText(c->name) + "." + text;
      result->SetString(text);
      return ErrorCode::NoError;
    }
  }
  return ErrorCode::CommandNotSupported;
}

}  // namespace quoll
