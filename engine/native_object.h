// NativeObject: the base class of native objects that libraries hand to scripts.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/types.h"
#include "engine/variant.h"

namespace quoll {

class ScriptEngine;
struct NativeHolder;

class NativeObject {
 public:
  explicit NativeObject(ScriptEngine* owner) : owner_(owner) {}
  virtual ~NativeObject() = default;
  NativeObject(const NativeObject&) = delete;
  NativeObject& operator=(const NativeObject&) = delete;

  // In slot order. The base class offers nothing.
  virtual Type* PropertyType(int32_t /*handle*/) { return nullptr; }
  virtual bool WriteProperty(int32_t /*handle*/, Value& /*value*/) { return false; }
  virtual bool ReadProperty(int32_t /*handle*/, Value& /*dest*/) { return false; }
  virtual int32_t FindProperty(NameId /*name*/) { return -1; }
  virtual int32_t Reserved() { return 0; }
  virtual int32_t FindMethod(NameId /*name*/) { return -1; }
  virtual const ParamList* MethodDeclaration(int32_t /*handle*/) { return nullptr; }
  virtual ValuePtr CallMethod(int32_t /*handle*/, VariableList& /*args*/) { return nullptr; }
  virtual int32_t MethodCount() { return 0; }

  ScriptEngine* Owner() const { return owner_; }
  // The script whose statement is calling the object now: its owner, or another script of the
  // run that was handed the object (the main script using an object a unit made). The object
  // records a failure there, so that the calling statement fails.
  ScriptEngine* Caller() const { return caller_ ? caller_ : owner_; }
  NativeHolder* Holder() const { return holder_; }

 private:
  friend class ScriptEngine;
  ScriptEngine* owner_;
  ScriptEngine* caller_ = nullptr;  // set by the engine before each call
  NativeHolder* holder_ = nullptr;
};

// What a native-object variant refers to. The script owns holders until Cleanup, so a variant
// that outlives its object finds `freed` set instead of freed memory.
struct NativeHolder {
  bool freed = false;
  std::unique_ptr<NativeObject> object;
};

}  // namespace quoll
