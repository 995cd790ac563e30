// Calls into C functions whose signature is known only at run time, through libffi: a script
// describes the routine, the description is prepared once, and each call fills plain values.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace quoll {

// The C types a foreign routine's parameters and result may have. There is one C calling
// convention on 64-bit Linux, so a signature carries none.
enum class CType : std::uint8_t {
  kVoid,  // a result only: the routine returns nothing
  kUInt8,
  kInt8,
  kUnsignedChar,
  kUInt16,
  kInt16,
  kUInt32,
  kInt32,
  kText,  // const char*: zero-terminated characters
};

// The C spelling of a type, for messages.
const char* CTypeName(CType type);

struct CParameter {
  CType type = CType::kInt32;
  // A `var` parameter: the routine gets a pointer to a value of `type`, and for kText a pointer to
  // a writable zero-terminated buffer, and what it stores there is read back after the call.
  bool byPointer = false;
};

struct CSignature {
  CType result = CType::kVoid;
  std::vector<CParameter> parameters;
};

// One argument or result. Numbers use `number` (an argument is cut to its C type's width, a
// result or a stored `var` value is widened back with the type's sign); texts use `text`.
struct ForeignValue {
  std::int64_t number = 0;
  std::string text;
};

// A signature prepared for libffi once, then called any number of times with any function of that
// signature. Copies share the prepared description.
class PreparedSignature {
 public:
  // Throws NativeCallError when the signature has a void parameter or libffi refuses it.
  explicit PreparedSignature(CSignature signature);

  const CSignature& Signature() const;

  // Calls `function` with one value per parameter and stores its result in `result` (left as it
  // is for a void result). Rules of the values:
  // - a text argument passes a pointer to its zero-terminated characters, an empty text a pointer
  //   to an empty string, never a null pointer;
  // - a `var` number passes a pointer to its value cut to the C type, and afterwards holds what
  //   the routine stored there;
  // - a `var` text is the buffer itself: its characters, zero-terminated at its length; afterwards
  //   it keeps that length and holds the bytes the routine wrote (NUL bytes included);
  // - a text result is copied from the returned pointer up to its NUL; a null pointer gives "".
  // Throws NativeCallError when the number of arguments differs from the signature's or
  // `function` is null. A fault inside the routine itself is not caught.
  void Call(void* function, std::span<ForeignValue> arguments, ForeignValue& result) const;

 private:
  struct Prepared;
  std::shared_ptr<Prepared> prepared_;
};

}  // namespace quoll
