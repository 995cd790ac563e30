// Properties of native objects: reading one, and the assignment statement that writes one.
#include "engine/engine_internal.h"
#include "engine/operators.h"

namespace quoll {

namespace {
using TK = TokenKind;
}  // namespace

bool ScriptEngine::ReadNativeProperty(Value& prop, Value& out) {
  NativeHolder* h = prop.v.nprop.holder;
  if (!h || h->freed || !h->object) {
    SetError(ErrorCode::ClassNotCreated);
    return false;
  }
  h->object->caller_ = this;
  Type* type = h->object->PropertyType(prop.v.nprop.handle);
  if (!type) {
    SetError(ErrorCode::TypeMismatch);
    return false;
  }
  out.Init(type);
  NoteNativeCall();
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
  h->object->caller_ = this;
  Value value(h->object->PropertyType(prop.v.nprop.handle));
  if (!Evaluate(scope, TK::Semicolon, value)) return false;
  NoteNativeCall();
  h->object->caller_ = this;  // evaluating the value may have called the object from elsewhere
  if (!h->object->WriteProperty(prop.v.nprop.handle, value)) {
    SetError(ErrorCode::CannotWriteProperty);
    return false;
  }
  return true;
}

}  // namespace quoll
