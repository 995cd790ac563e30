// Script values to call arguments and reply values to script values.
#include "libs/automation/script/script_values.h"

#include "engine/script_engine.h"

namespace quoll {

namespace {

using automation::BusValue;
using automation::CallArgument;

// The value behind references and VARIANTs; null for an empty VARIANT. A VARIANT never holds
// another one (assigning one copies its contents), the guard only keeps a malformed chain finite.
Value* Contents(Value& value) {
  Value* v = value.Deref();
  for (int guard = 0; v->code() == TypeCode::Variant; ++guard) {
    if (!v->target || guard == 8) return nullptr;
    v = v->target->Deref();
  }
  return v;
}

std::optional<CallArgument> ScalarArgument(const Value& v) {
  const TypeCode code = v.code();
  if (IsIntegerCode(code)) return CallArgument(v.GetInt());
  if (IsRealCode(code)) return CallArgument(static_cast<double>(v.GetReal()));
  switch (code) {
    case TypeCode::Char:
      return CallArgument(std::string(1, static_cast<char>(v.v.ch)));
    case TypeCode::String:
      return CallArgument(v.str);
    case TypeCode::Boolean:
      return CallArgument(v.GetBool());
    default:
      return std::nullopt;  // no value, objects, records, enumerations ...
  }
}

}  // namespace

std::optional<CallArgument> ToCallArgument(Value& argument) {
  Value* v = Contents(argument);
  if (!v) return std::nullopt;
  if (v->code() != TypeCode::Array) return ScalarArgument(*v);
  CallArgument::Array elements;
  elements.reserve(v->items.size());
  for (const ValuePtr& item : v->items) {
    // An array of arrays or of references is refused, also when a VARIANT element holds an array.
    if (!item || item->code() == TypeCode::Reference) return std::nullopt;
    Value* element = Contents(*item);
    if (!element || element->code() == TypeCode::Array) return std::nullopt;
    std::optional<CallArgument> converted = ScalarArgument(*element);
    if (!converted) return std::nullopt;
    elements.push_back(std::move(*converted));
  }
  return CallArgument(std::move(elements));
}

bool ReplyConverter::Convert(const std::vector<BusValue>& reply, ValuePtr& result) {
  result.reset();
  if (reply.empty()) return true;
  if (reply.size() == 1) {
    result = Convert(reply.front());
    return result != nullptr;
  }
  Type* variant = script_.StdType(TypeCode::Variant);
  ValuePtr all = Value::Create(ArrayOf(variant));
  all->items.reserve(reply.size());
  for (const BusValue& value : reply) {
    ValuePtr element = Value::Create(variant);
    element->target = Convert(value);
    if (!element->target) return false;
    all->items.push_back(std::move(element));
  }
  result = std::move(all);
  return true;
}

ValuePtr ReplyConverter::Convert(const BusValue& value) {
  // The basic kinds by the script type their signature names.
  auto basic = [&](auto&& fill) {
    ValuePtr v = Value::Create(TypeFor(value.signature()));
    fill(*v);
    return v;
  };
  switch (value.kind()) {
    case BusValue::Kind::Byte:
    case BusValue::Kind::Int16:
    case BusValue::Kind::UInt16:
    case BusValue::Kind::Int32:
    case BusValue::Kind::UInt32:
      return basic([&](Value& v) { v.SetInt(value.AsInt64()); });
    case BusValue::Kind::Bool:
      return basic([&](Value& v) { v.SetBool(value.AsBool()); });
    case BusValue::Kind::Double:
      return basic([&](Value& v) { v.SetReal(value.AsDouble()); });
    case BusValue::Kind::String:
    case BusValue::Kind::ObjectPath:
    case BusValue::Kind::Signature:
      return basic([&](Value& v) { v.SetString(value.text()); });
    case BusValue::Kind::Variant:
      return Convert(value.items().front());  // a variant gives what it holds
    case BusValue::Kind::Array: {
      Type* type = TypeFor(value.signature());
      if (!type) return nullptr;
      ValuePtr array = Value::Create(type);
      Type* element = type->base;
      const bool wrap = element->code == TypeCode::Variant;
      array->items.reserve(value.items().size());
      for (const BusValue& item : value.items()) {
        ValuePtr converted = Convert(item);
        if (!converted) return nullptr;
        if (wrap) {
          ValuePtr holder = Value::Create(element);
          holder->target = std::move(converted);
          converted = std::move(holder);
        }
        array->items.push_back(std::move(converted));
      }
      return array;
    }
    default:
      return nullptr;  // 64-bit integers, structs, dicts, file descriptors
  }
}

Type* ReplyConverter::TypeFor(std::string_view signature) {
  if (signature.size() > 1) {
    if (signature[0] != 'a' || signature[1] == '{') return nullptr;
    Type* element = TypeFor(signature.substr(1));
    return element ? ArrayOf(element) : nullptr;
  }
  switch (signature.empty() ? '\0' : signature[0]) {
    case 'y':
      return script_.StdType(TypeCode::Byte);
    case 'b':
      return script_.StdType(TypeCode::Boolean);
    case 'n':
      return script_.StdType(TypeCode::SmallInt);
    case 'q':
      return script_.StdType(TypeCode::Word);
    case 'i':
      return script_.StdType(TypeCode::LongInt);
    case 'u':
      return script_.StdType(TypeCode::Cardinal);
    case 'd':
      return script_.StdType(TypeCode::Double);
    case 's':
    case 'o':
    case 'g':
      return script_.StdType(TypeCode::String);
    case 'v':
      return script_.StdType(TypeCode::Variant);
    default:
      return nullptr;
  }
}

Type* ReplyConverter::ArrayOf(Type* element) {
  Type*& array = arrayTypes_[element];
  if (!array) array = script_.Types().Add(kNoName, TypeCode::Array, element);
  return array;
}

}  // namespace quoll
