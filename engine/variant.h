// Value, one script value, and the variable list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/names.h"
#include "engine/pool.h"
#include "engine/types.h"

namespace quoll {

struct ObjectInstance;
struct NativeHolder;
class Value;

using ValuePtr = std::shared_ptr<Value>;

// The longest string a script may build; longer ones end the run with "out of memory".
inline constexpr size_t kMaxStringLength = size_t{1} << 30;
// The most elements a script may give an array at once; more ends with "out of memory" (an
// element costs about a hundred bytes, so this caps one array near half a gigabyte).
inline constexpr int64_t kMaxArrayElements = int64_t{1} << 22;

// A new shared variant from the variant pool.
template <typename... Args>
ValuePtr NewValue(Args&&... args) {
  return std::allocate_shared<Value>(PoolAllocator<Value>(), std::forward<Args>(args)...);
}

enum VariantFlags : uint8_t {
  kReadOnly = 1,
  kVisibilityMask = 6,  // bits 1-2: visibility of the class member the variant stands for
};

// Truncates an integer to the width and signedness of an integer type code.
inline int64_t TruncateToWidth(TypeCode code, int64_t value) {
  switch (code) {
    case TypeCode::Byte:
      return static_cast<uint8_t>(value);
    case TypeCode::ShortInt:
      return static_cast<int8_t>(value);
    case TypeCode::Word:
      return static_cast<uint16_t>(value);
    case TypeCode::SmallInt:
      return static_cast<int16_t>(value);
    case TypeCode::Cardinal:
      return static_cast<uint32_t>(value);
    case TypeCode::LongInt:
      return static_cast<int32_t>(static_cast<uint32_t>(value));
    default:
      return value;
  }
}

class Value {
 public:
  Value() { v.i = 0; }
  // A variant of a type (resolved through type copies) holding the zero value.
  explicit Value(Type* t) : type(t ? t->Resolved() : nullptr) {
    v.ext = 0.0L;
    if (type && type->code == TypeCode::Record) MakeFields();
  }
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;
  Value(Value&&) noexcept = default;
  Value& operator=(Value&&) noexcept = default;

  static ValuePtr Create(Type* t);

  Type* type = nullptr;
  ValuePtr target;  // Reference: the variable referred to; Variant: the contents
  uint8_t flags = 0;
  union Payload {
    int64_t i;  // integer codes, normalized to their range; enumerations
    float sgl;
    double dbl;  // REAL and DOUBLE
    long double ext;
    int64_t comp;
    uint8_t ch;
    uint8_t b;            // BOOLEAN: 0 or 1
    ObjectInstance* obj;  // Class
    Type* cls;            // ClassRef
    struct {
      Routine* proc;
      ObjectInstance* self;
    } pv;  // ProcType
    struct {
      intptr_t handle;
      intptr_t companion;
    } res;                 // ResourcePointer
    NativeHolder* holder;  // NativeObject
    struct {
      ObjectInstance* obj;
      const PropertyDef* def;
    } prop;  // PropertyRef
    struct {
      NativeHolder* holder;
      int32_t handle;
    } nprop;  // NativeProperty
  } v;
  std::string str;              // String
  std::vector<ValuePtr> items;  // Array elements, Record fields

  TypeCode code() const { return type ? type->code : TypeCode::NilType; }
  bool readOnly() const { return flags & kReadOnly; }
  Visibility visibility() const { return static_cast<Visibility>((flags & kVisibilityMask) >> 1); }
  void setVisibility(Visibility vis) {
    flags = static_cast<uint8_t>((flags & ~kVisibilityMask) | (static_cast<uint8_t>(vis) << 1));
  }

  // Follows references with a target to the variant they lead to.
  Value* Deref() {
    Value* p = this;
    while (p->target && p->type->code == TypeCode::Reference) p = p->target.get();
    return p;
  }

  // Gives the variant a new type: owned contents are dropped, strings emptied, arrays emptied,
  // records get fresh fields, references and object words become nil; plain numbers stay.
  void ChangeType(Type* t);
  // Resets to the zero value of type t (resolved).
  void Init(Type* t);
  // One zero-valued field variant per field of the record type.
  void MakeFields();

  bool IsInteger() const { return IsIntegerCode(code()); }
  bool IsReal() const { return IsRealCode(code()); }
  bool IsNumber() const { return IsNumberCode(code()); }
  bool IsString() const { return IsStringCode(code()); }
  bool IsBoolean() const { return code() == TypeCode::Boolean; }

  int64_t GetInt() const { return IsInteger() || code() == TypeCode::Enum ? v.i : 0; }
  long double GetReal() const;
  // CHAR: one character; STRING: the string; other codes leave `out` as it was.
  void GetString(std::string& out) const;
  bool GetBool() const { return code() == TypeCode::Boolean && v.b != 0; }

  void SetInt(int64_t value) {
    if (IsInteger()) v.i = TruncateToWidth(code(), value);
  }
  // Copies the value of a variant into this freshly made one (no contents of its own yet).
  // Returns false for the kinds that need the full assignment rules (arrays, records, VARIANT).
  bool CopyScalarFrom(const Value& src) {
    switch (src.code()) {
      case TypeCode::Array:
      case TypeCode::Record:
      case TypeCode::Variant:
      case TypeCode::Reference:
        return false;
      case TypeCode::String:
        str = src.str;
        [[fallthrough]];
      default:
        type = src.type;
        v = src.v;
        return true;
    }
  }
  void SetReal(long double value);
  void SetBool(bool value) {
    if (code() == TypeCode::Boolean) v.b = value ? 1 : 0;
  }
  void SetString(std::string value) {
    if (code() == TypeCode::String) str = std::move(value);
  }
  void SetChar(uint8_t c) {
    if (code() == TypeCode::Char) v.ch = c;
  }

  // Two's complement at the width / arithmetic negation; false for other codes.
  bool Negate();
  // Bitwise complement at the width, or boolean toggle; false for other codes.
  bool Not();
};

inline ValuePtr Value::Create(Type* t) {
  return t ? NewValue(t) : nullptr;
}

// Globals, a routine's parameters and locals, the arguments of a native function.
class VariableList {
 public:
  struct Entry {
    NameId name;
    ValuePtr var;
  };
  VariableList() = default;
  // A list that starts on storage kept from an earlier list (its capacity is what matters).
  explicit VariableList(std::vector<Entry>&& storage) : entries_(std::move(storage)) { entries_.clear(); }
  // Hands the storage back for reuse; the list is empty afterwards.
  std::vector<Entry> TakeStorage() {
    entries_.clear();
    return std::move(entries_);
  }
  int Add(NameId name, ValuePtr var) {
    entries_.push_back({name, std::move(var)});
    return static_cast<int>(entries_.size()) - 1;
  }
  int Find(NameId name) const {
    const Entry* first = entries_.data();
    const Entry* last = first + entries_.size();
    for (const Entry* e = first; e != last; ++e)
      if (e->name == name) return static_cast<int>(e - first);
    return -1;
  }
  Value* Get(int index) const {
    return index >= 0 && static_cast<size_t>(index) < entries_.size()
               ? entries_[static_cast<size_t>(index)].var.get()
               : nullptr;
  }
  const ValuePtr& Ptr(int index) const { return entries_[static_cast<size_t>(index)].var; }
  NameId Name(int index) const {
    return index >= 0 && static_cast<size_t>(index) < entries_.size()
               ? entries_[static_cast<size_t>(index)].name
               : kNoName;
  }
  void Replace(int index, ValuePtr var) { entries_[static_cast<size_t>(index)].var = std::move(var); }
  void Rename(int index, NameId name) { entries_[static_cast<size_t>(index)].name = name; }
  void Delete(int index) { entries_.erase(entries_.begin() + index); }
  int Count() const { return static_cast<int>(entries_.size()); }
  void Clear() { entries_.clear(); }
  void Reserve(size_t n) { entries_.reserve(n); }
  std::vector<Entry>& Entries() { return entries_; }

 private:
  std::vector<Entry> entries_;
};

}  // namespace quoll
