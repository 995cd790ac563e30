// The Pascal declaration a script gives for a C export it binds, read with the engine's tokenizer:
// "function strlen(S: PChar): Integer; cdecl". It names the routine, its parameters and their
// script types; the C types follow from those.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/names.h"
#include "engine/types.h"
#include "libs/native_calls/foreign_call.h"

namespace quoll {

// The script types a bound routine's parameters and result may have.
enum class ForeignType : uint8_t { Byte, ShortInt, Char, Word, SmallInt, Cardinal, LongInt, String, PChar };

// The calling conventions a declaration may name, with the numbers scripts knew them by. On
// 64-bit Linux there is one C calling convention, and every one of these calls it.
enum class CallingConvention : uint8_t { Register = 0, Pascal = 1, Cdecl = 2, Stdcall = 3 };

struct ForeignParameter {
  NameId name = kNoName;  // upper case
  ForeignType type = ForeignType::LongInt;
  bool byReference = false;  // a `var` parameter
  bool operator==(const ForeignParameter&) const = default;
};

struct ForeignDeclaration {
  std::string name;  // upper case
  bool isFunction = false;
  ForeignType result = ForeignType::LongInt;  // functions only
  std::vector<ForeignParameter> parameters;
  CallingConvention convention = CallingConvention::Register;
  bool operator==(const ForeignDeclaration&) const = default;
};

// Reads `procedure NAME [(GROUP {; GROUP})] [; [CONVENTION] [;]]` or the same with `function`
// and `: TYPE` after the parameters, where a GROUP is `[var] NAME {, NAME} : TYPE` and TYPE one
// of Byte, ShortInt, Char, Word, SmallInt, Cardinal, LongInt, Integer, string, PChar (any case).
// The convention is STDCALL, CDECL or PASCAL; any other identifier, or none, means the register
// convention. Nothing when the text is anything else: a lexical error, an unexpected token, an
// unknown type name, text after the end, or a NUL byte (the tokenizer would stop there).
std::optional<ForeignDeclaration> ParseForeignDeclaration(std::string_view text);

// The script type code of a foreign type's values (PChar values are strings).
TypeCode ScriptTypeCode(ForeignType type);
// The C type a value of the foreign type is passed as.
CType CTypeOf(ForeignType type);

}  // namespace quoll
