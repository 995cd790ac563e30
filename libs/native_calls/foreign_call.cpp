// libffi's call interface prepared from a CSignature, and the marshalling of ForeignValues into
// the slots libffi reads arguments from.
#include "libs/native_calls/foreign_call.h"

#include <ffi.h>

#include <array>
#include <climits>
#include <cstring>

#include "libs/native_calls/native_call_error.h"

namespace quoll {

namespace {

// Storage for one numeric argument in its C type, the place a `var` pointer points to.
union Scalar {
  std::uint8_t u8;
  std::int8_t i8;
  unsigned char uc;
  std::uint16_t u16;
  std::int16_t i16;
  std::uint32_t u32;
  std::int32_t i32;
};

// What libffi reads one argument from: the scalar itself, or a pointer (a text, a `var` buffer or
// the address of `scalar`).
struct Slot {
  Scalar scalar;
  void* pointer;
};

ffi_type* FfiTypeOf(CType type) {
  switch (type) {
    case CType::kVoid:
      return &ffi_type_void;
    case CType::kUInt8:
      return &ffi_type_uint8;
    case CType::kInt8:
      return &ffi_type_sint8;
    case CType::kUnsignedChar:
      return &ffi_type_uchar;
    case CType::kUInt16:
      return &ffi_type_uint16;
    case CType::kInt16:
      return &ffi_type_sint16;
    case CType::kUInt32:
      return &ffi_type_uint32;
    case CType::kInt32:
      return &ffi_type_sint32;
    case CType::kText:
      return &ffi_type_pointer;
  }
  return nullptr;
}

// Cuts a number to the C type's width, as a C conversion does (modulo 2^width).
void StoreNumber(CType type, std::int64_t value, Scalar& scalar) {
  switch (type) {
    case CType::kUInt8:
      scalar.u8 = static_cast<std::uint8_t>(value);
      break;
    case CType::kInt8:
      scalar.i8 = static_cast<std::int8_t>(value);
      break;
    case CType::kUnsignedChar:
      scalar.uc = static_cast<unsigned char>(value);
      break;
    case CType::kUInt16:
      scalar.u16 = static_cast<std::uint16_t>(value);
      break;
    case CType::kInt16:
      scalar.i16 = static_cast<std::int16_t>(value);
      break;
    case CType::kUInt32:
      scalar.u32 = static_cast<std::uint32_t>(value);
      break;
    case CType::kInt32:
      scalar.i32 = static_cast<std::int32_t>(value);
      break;
    case CType::kVoid:
    case CType::kText:
      break;
  }
}

std::int64_t LoadNumber(CType type, const Scalar& scalar) {
  switch (type) {
    case CType::kUInt8:
      return scalar.u8;
    case CType::kInt8:
      return scalar.i8;
    case CType::kUnsignedChar:
      return scalar.uc;
    case CType::kUInt16:
      return scalar.u16;
    case CType::kInt16:
      return scalar.i16;
    case CType::kUInt32:
      return scalar.u32;
    case CType::kInt32:
      return scalar.i32;
    case CType::kVoid:
    case CType::kText:
      break;
  }
  return 0;
}

// libffi widens an integer result narrower than a register to a whole ffi_arg; the C type's width
// of it is the value.
std::int64_t NumberFromResult(CType type, ffi_arg returned) {
  switch (type) {
    case CType::kUInt8:
      return static_cast<std::uint8_t>(returned);
    case CType::kInt8:
      return static_cast<std::int8_t>(returned);
    case CType::kUnsignedChar:
      return static_cast<unsigned char>(returned);
    case CType::kUInt16:
      return static_cast<std::uint16_t>(returned);
    case CType::kInt16:
      return static_cast<std::int16_t>(returned);
    case CType::kUInt32:
      return static_cast<std::uint32_t>(returned);
    case CType::kInt32:
      return static_cast<std::int32_t>(returned);
    case CType::kVoid:
    case CType::kText:
      break;
  }
  return 0;
}

// Calls with this many arguments or fewer keep their slots on the stack.
constexpr std::size_t kInlineArguments = 8;

}  // namespace

const char* CTypeName(CType type) {
  switch (type) {
    case CType::kVoid:
      return "void";
    case CType::kUInt8:
      return "uint8_t";
    case CType::kInt8:
      return "int8_t";
    case CType::kUnsignedChar:
      return "unsigned char";
    case CType::kUInt16:
      return "uint16_t";
    case CType::kInt16:
      return "int16_t";
    case CType::kUInt32:
      return "uint32_t";
    case CType::kInt32:
      return "int32_t";
    case CType::kText:
      return "const char*";
  }
  return "unknown type";
}

// libffi keeps a pointer to the argument type array, so both live together and never move.
struct PreparedSignature::Prepared {
  CSignature signature;
  std::vector<ffi_type*> argumentTypes;
  ffi_cif cif{};
};

PreparedSignature::PreparedSignature(CSignature signature) : prepared_(std::make_shared<Prepared>()) {
  Prepared& prepared = *prepared_;
  if (!FfiTypeOf(signature.result)) throw NativeCallError("unknown result type");
  prepared.argumentTypes.reserve(signature.parameters.size());
  for (std::size_t i = 0; i < signature.parameters.size(); ++i) {
    const CParameter& parameter = signature.parameters[i];
    ffi_type* type = FfiTypeOf(parameter.type);
    if (!type) throw NativeCallError("parameter " + std::to_string(i + 1) + " has an unknown type");
    if (parameter.type == CType::kVoid)
      throw NativeCallError("parameter " + std::to_string(i + 1) + " cannot be void");
    prepared.argumentTypes.push_back(parameter.byPointer ? &ffi_type_pointer : type);
  }
  if (prepared.argumentTypes.size() > UINT_MAX) throw NativeCallError("too many parameters");
  prepared.signature = std::move(signature);
  ffi_status status =
      ffi_prep_cif(&prepared.cif, FFI_DEFAULT_ABI, static_cast<unsigned>(prepared.argumentTypes.size()),
                   FfiTypeOf(prepared.signature.result), prepared.argumentTypes.data());
  if (status != FFI_OK)
    throw NativeCallError("libffi cannot prepare the call (status " + std::to_string(status) + ")");
}

const CSignature& PreparedSignature::Signature() const {
  return prepared_->signature;
}

void PreparedSignature::Call(void* function, std::span<ForeignValue> arguments, ForeignValue& result) const {
  const std::vector<CParameter>& parameters = prepared_->signature.parameters;
  if (!function) throw NativeCallError("no function to call");
  if (arguments.size() != parameters.size())
    throw NativeCallError("wrong number of arguments: " + std::to_string(parameters.size()) + " expected, " +
                          std::to_string(arguments.size()) + " given");

  const std::size_t count = parameters.size();
  std::array<Slot, kInlineArguments> inlineSlots;
  std::array<void*, kInlineArguments> inlineValues;
  std::vector<Slot> heapSlots;
  std::vector<void*> heapValues;
  Slot* slots = inlineSlots.data();
  void** values = inlineValues.data();
  if (count > kInlineArguments) {
    heapSlots.resize(count);
    heapValues.resize(count);
    slots = heapSlots.data();
    values = heapValues.data();
  }

  for (std::size_t i = 0; i < count; ++i) {
    const CParameter& parameter = parameters[i];
    ForeignValue& argument = arguments[i];
    Slot& slot = slots[i];
    if (parameter.type == CType::kText) {
      // data() of a std::string is zero-terminated at its length, also when it is empty.
      slot.pointer = argument.text.data();
      values[i] = &slot.pointer;
    } else {
      StoreNumber(parameter.type, argument.number, slot.scalar);
      if (parameter.byPointer) {
        slot.pointer = &slot.scalar;
        values[i] = &slot.pointer;
      } else {
        values[i] = &slot.scalar;
      }
    }
  }

  // libffi writes a result of any of these types into one ffi_arg, a pointer in its first bytes.
  static_assert(sizeof(void*) <= sizeof(ffi_arg));
  ffi_arg returned = 0;
  ffi_call(&prepared_->cif, reinterpret_cast<void (*)()>(function), &returned, values);

  for (std::size_t i = 0; i < count; ++i) {
    const CParameter& parameter = parameters[i];
    if (!parameter.byPointer) continue;
    ForeignValue& argument = arguments[i];
    if (parameter.type == CType::kText) {
      // A routine that wrote over the terminator leaves a buffer without one; the text keeps its
      // length either way.
      argument.text.data()[argument.text.size()] = '\0';
    } else {
      argument.number = LoadNumber(parameter.type, slots[i].scalar);
    }
  }

  const CType resultType = prepared_->signature.result;
  if (resultType == CType::kVoid) return;
  if (resultType == CType::kText) {
    const char* text = nullptr;
    std::memcpy(&text, &returned, sizeof text);
    if (text)
      result.text.assign(text);
    else
      result.text.clear();
  } else {
    result.number = NumberFromResult(resultType, returned);
  }
}

}  // namespace quoll
