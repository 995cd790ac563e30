// The type model: type codes, type records, record/class/procedure-type descriptions, the type list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/names.h"

namespace quoll {

struct Routine;

enum class TypeCode : uint16_t {
  Byte = 1,
  ShortInt = 2,
  Word = 3,
  SmallInt = 4,
  Cardinal = 5,
  LongInt = 6,
  Char = 7,
  String = 8,
  Real = 9,
  Single = 10,
  Double = 11,
  Extended = 12,
  Comp = 13,
  Boolean = 14,
  Reference = 15,  // `!VAR`: a variant referring to another, or none
  Array = 16,      // `!ARRAY` and `array of T`
  Record = 17,
  Class = 18,  // a script class (root TOBJECT)
  ResourcePointer = 19,
  ClassRef = 20,     // `class of T`
  PropertyRef = 21,  // internal: a property named in an expression
  TypeCopy = 22,     // never held by a variant
  ProcType = 23,
  NilType = 24,
  NativeObject = 25,
  NativeProperty = 26,  // internal
  Variant = 27,
  Enum = 28,
};

inline bool IsIntegerCode(TypeCode c) {
  return c >= TypeCode::Byte && c <= TypeCode::LongInt;
}
inline bool IsRealCode(TypeCode c) {
  return c >= TypeCode::Real && c <= TypeCode::Comp;
}
inline bool IsNumberCode(TypeCode c) {
  return IsIntegerCode(c) || IsRealCode(c);
}
inline bool IsStringCode(TypeCode c) {
  return c == TypeCode::Char || c == TypeCode::String;
}

enum class Visibility : uint8_t { None = 0, Private = 1, Public = 2, Protected = 3 };

enum class ParamMode : uint8_t { Value, Var, Const };

struct ParamDef {
  NameId name = kNoName;
  ParamMode mode = ParamMode::Value;
  struct Type* type = nullptr;
  bool operator==(const ParamDef&) const = default;
};

// A routine's declaration: result type (nullptr for a procedure) and parameters.
struct ParamList {
  struct Type* result = nullptr;
  std::vector<ParamDef> params;
  bool operator==(const ParamList&) const = default;
  // The blank-separated description text: result identity, then per parameter its prefixed
  // name ('!' var, '^' const) and type identity.
  std::string Text() const;
};

struct FieldDef {
  NameId name = kNoName;
  struct Type* type = nullptr;
  Visibility visibility = Visibility::Public;
};

struct RecordType {
  std::vector<FieldDef> fields;
  int Find(NameId name) const {
    for (size_t i = 0; i < fields.size(); ++i)
      if (fields[i].name == name) return static_cast<int>(i);
    return -1;
  }
};

enum PropertyFlags : uint16_t {
  kPropReadable = 1,
  kPropWritable = 2,
  kPropReadMethod = 4,
  kPropWriteMethod = 8,
};

struct PropertyDef {
  NameId name = kNoName;
  struct Type* type = nullptr;
  int readField = -1;  // own field index of the declaring class, when read through a field
  int writeField = -1;
  Routine* readMethod = nullptr;
  Routine* writeMethod = nullptr;
  uint16_t flags = 0;            // PropertyFlags; bits 4-5 the visibility
  struct Type* owner = nullptr;  // the declaring class
  Visibility visibility() const { return static_cast<Visibility>((flags >> 4) & 3); }
};

struct ClassType {
  struct Type* ancestor = nullptr;  // nullptr only for TOBJECT
  int inheritedPropCount = 0;
  int inheritedFieldCount = 0;
  std::vector<FieldDef> fields;         // own fields with their visibility
  std::vector<PropertyDef> properties;  // own properties
  std::vector<Routine*> methods;        // own methods (names carry a leading '!')
  int FieldCount() const { return inheritedFieldCount + static_cast<int>(fields.size()); }
  int PropertyCount() const { return inheritedPropCount + static_cast<int>(properties.size()); }
};

struct ProcedureType {
  ParamList decl;
  bool ofObject = false;
};

struct Type {
  NameId name = kNoName;  // kNoName for an anonymous type
  TypeCode code = TypeCode::Byte;
  // Extra data by code: the element type (Array), the class (ClassRef), the target (TypeCopy).
  Type* base = nullptr;
  int32_t highOrdinal = 0;  // Enum
  std::unique_ptr<RecordType> record;
  std::unique_ptr<ClassType> cls;
  std::unique_ptr<ProcedureType> proc;
  const void* nativeClass = nullptr;  // NativeObject: the library's description, if any

  // Follows type copies to the first type of another code.
  Type* Resolved() {
    Type* t = this;
    for (int guard = 0; t->code == TypeCode::TypeCopy && t->base && guard < 1000; ++guard) t = t->base;
    return t;
  }
  const void* ExtraData() const;
};

// Whether `cls` is `ancestor` or descends from it.
bool ClassDescendsFrom(const Type* cls, const Type* ancestor);

// The types of one script object, in registration order.
class TypeList {
 public:
  // Registers a type. A named add fails (nullptr) when the name exists; an anonymous add returns
  // an existing type of the same code and extra data (except classes).
  Type* Add(NameId name, TypeCode code, Type* base = nullptr, int32_t highOrdinal = 0);
  // Registers a prepared record under its name (or anonymous, without reuse); nullptr when taken.
  Type* AddPrepared(std::unique_ptr<Type> type);
  Type* Find(NameId name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
  }
  // Gives an anonymous type a name.
  void Name(Type* type, NameId name);
  void Clear() {
    byName_.clear();
    types_.clear();
  }
  const std::vector<std::unique_ptr<Type>>& All() const { return types_; }

 private:
  std::vector<std::unique_ptr<Type>> types_;
  std::unordered_map<NameId, Type*> byName_;
};

}  // namespace quoll
