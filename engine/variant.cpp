// Value: creation, type change, accessors, negate and not.
#include "engine/variant.h"

#include <cmath>

namespace quoll {

void Value::Init(Type* t) {
  type = t ? t->Resolved() : nullptr;
  flags = 0;
  v.i = 0;
  v.ext = 0.0L;
  str.clear();
  target.reset();
  items.clear();
  if (type && type->code == TypeCode::Record) MakeFields();
}

void Value::MakeFields() {
  if (!type->record) return;
  items.reserve(type->record->fields.size());
  for (const FieldDef& f : type->record->fields) items.push_back(Create(f.type));
}

void Value::ChangeType(Type* t) {
  // Contents of arrays, records and VARIANTs are destroyed; numbers, characters and booleans
  // keep their bytes (the host relies on this to reset globals after a run).
  Type* old = type;
  type = t ? t->Resolved() : nullptr;
  str.clear();
  target.reset();
  items.clear();
  if (!type) return;
  switch (type->code) {
    case TypeCode::Record:
      if (type->record)
        for (const FieldDef& f : type->record->fields) items.push_back(Create(f.type));
      break;
    case TypeCode::Reference:
    case TypeCode::Class:
    case TypeCode::ClassRef:
    case TypeCode::NativeObject:
    case TypeCode::ProcType:
    case TypeCode::PropertyRef:
    case TypeCode::NativeProperty:
    case TypeCode::NilType:
    case TypeCode::ResourcePointer:
      v.pv.proc = nullptr;
      v.pv.self = nullptr;
      break;
    default:
      if (old != type) {  // a value of another type: start from zero rather than reinterpret bytes
        if (!old || old->code != type->code) v.ext = 0.0L, v.i = 0;
      }
      break;
  }
}

long double Value::GetReal() const {
  switch (code()) {
    case TypeCode::Byte:
    case TypeCode::ShortInt:
    case TypeCode::Word:
    case TypeCode::SmallInt:
    case TypeCode::Cardinal:
    case TypeCode::LongInt:
      return static_cast<long double>(v.i);
    case TypeCode::Real:
    case TypeCode::Double:
      return v.dbl;
    case TypeCode::Single:
      return v.sgl;
    case TypeCode::Extended:
      return v.ext;
    case TypeCode::Comp:
      return static_cast<long double>(v.comp);
    default:
      return 0.0L;
  }
}

void Value::GetString(std::string& out) const {
  if (code() == TypeCode::Char)
    out.assign(1, static_cast<char>(v.ch));
  else if (code() == TypeCode::String)
    out = str;
}

namespace {
// Rounds to the nearest integer, ties to even; values beyond 64 bits saturate.
int64_t RoundToComp(long double x) {
  if (std::isnan(x)) return INT64_MIN;
  if (x >= 9223372036854775807.0L || x < -9223372036854775808.0L) return x > 0 ? INT64_MAX : INT64_MIN;
  return std::llrint(x);
}
}  // namespace

void Value::SetReal(long double value) {
  switch (code()) {
    case TypeCode::Real:
    case TypeCode::Double:
      v.dbl = static_cast<double>(value);
      break;
    case TypeCode::Single:
      v.sgl = static_cast<float>(value);
      break;
    case TypeCode::Extended:
      v.ext = value;
      break;
    case TypeCode::Comp:
      v.comp = RoundToComp(value);
      break;
    default:
      break;
  }
}

bool Value::Negate() {
  switch (code()) {
    case TypeCode::Byte:
    case TypeCode::ShortInt:
    case TypeCode::Word:
    case TypeCode::SmallInt:
    case TypeCode::Cardinal:
    case TypeCode::LongInt:
      v.i = TruncateToWidth(code(), static_cast<int64_t>(0ULL - static_cast<uint64_t>(v.i)));
      return true;
    case TypeCode::Real:
    case TypeCode::Double:
      v.dbl = -v.dbl;
      return true;
    case TypeCode::Single:
      v.sgl = -v.sgl;
      return true;
    case TypeCode::Extended:
      v.ext = -v.ext;
      return true;
    case TypeCode::Comp:
      v.comp = static_cast<int64_t>(0ULL - static_cast<uint64_t>(v.comp));
      return true;
    default:
      return false;
  }
}

bool Value::Not() {
  if (IsInteger()) {
    v.i = TruncateToWidth(code(), ~v.i);
    return true;
  }
  if (code() == TypeCode::Boolean) {
    v.b = v.b ? 0 : 1;
    return true;
  }
  return false;
}

}  // namespace quoll
