// The type model: type list rules and description texts.
#include "engine/types.h"

#include <cstdint>

namespace quoll {

namespace {
std::string Identity(const Type* t) {
  return std::to_string(reinterpret_cast<uintptr_t>(t));
}
}  // namespace

std::string ParamList::Text() const {
  std::string s = result ? Identity(result) : "0";
  for (const ParamDef& p : params) {
    s += ' ';
    if (p.mode == ParamMode::Var) s += '!';
    if (p.mode == ParamMode::Const) s += '^';
    s += NameText(p.name);
    s += ' ';
    s += Identity(p.type);
  }
  return s;
}

const void* Type::ExtraData() const {
  switch (code) {
    case TypeCode::Array:
    case TypeCode::ClassRef:
    case TypeCode::TypeCopy:
    case TypeCode::PropertyRef:
      return base;
    case TypeCode::Record:
      return record.get();
    case TypeCode::Class:
      return cls.get();
    case TypeCode::ProcType:
      return proc.get();
    case TypeCode::Enum:
      return reinterpret_cast<const void*>(static_cast<intptr_t>(highOrdinal));
    case TypeCode::NativeObject:
      return nativeClass;
    default:
      return nullptr;
  }
}

bool ClassDescendsFrom(const Type* cls, const Type* ancestor) {
  for (int guard = 0; cls && guard < 100000; ++guard) {
    if (cls == ancestor) return true;
    cls = cls->cls ? cls->cls->ancestor : nullptr;
  }
  return false;
}

Type* TypeList::Add(NameId name, TypeCode code, Type* base, int32_t highOrdinal) {
  auto t = std::make_unique<Type>();
  t->name = name;
  t->code = code;
  t->base = base;
  t->highOrdinal = highOrdinal;
  if (name == kNoName && code != TypeCode::Class) {
    const void* extra = t->ExtraData();
    for (auto& existing : types_)
      if (existing->code == code && existing->ExtraData() == extra) return existing.get();
  }
  return AddPrepared(std::move(t));
}

Type* TypeList::AddPrepared(std::unique_ptr<Type> type) {
  if (type->name != kNoName) {
    if (byName_.count(type->name)) return nullptr;
    byName_.emplace(type->name, type.get());
  }
  types_.push_back(std::move(type));
  return types_.back().get();
}

void TypeList::Name(Type* type, NameId name) {
  type->name = name;
  byName_.emplace(name, type);
}

}  // namespace quoll
