// The standard library. One native function serves every routine; the routine's host data says
// which one was called, so dispatching costs one switch rather than a string comparison chain.
#include "engine/lib/stdlib.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "engine/script_engine.h"
#include "engine/textutil.h"

namespace quoll {
namespace {

enum StdRoutine : intptr_t {
  kStrGet,
  kStrSet,
  kChr,
  kStrToInt,
  kIntToStr,
  kUppercase,
  kCopy,
  kDelete,
  kInsert,
  kPos,
  kLength,
  kLowerCase,
  kTrim,
  kInt,
  kFloatToStr,
  kReplicate,
  kVersion,
  kLeft,
  kStringOfChar,
  kSetLength,
  kGetType,
  kGetArrayLength,
  kSetArrayLength,
  kAssigned,
  kLow,
  kHigh,
  kOrd,
  kPred,
  kSucc,
  kSin,
  kCos,
  kTan,
  kSqrt,
  kRound,
  kTrunc,
  kPi,
};

// The argument at an index, followed through references to the variable it stands for.
Value* Arg(VariableList& args, int index) {
  return args.Get(index)->Deref();
}

std::string StringArg(VariableList& args, int index) {
  std::string s;
  Arg(args, index)->GetString(s);
  return s;
}

int64_t IntArg(VariableList& args, int index) {
  return Arg(args, index)->GetInt();
}

// The character a CHAR or a one-character STRING stands for; -1 for anything else.
int CharOf(const Value& v) {
  if (v.code() == TypeCode::Char) return v.v.ch;
  if (v.code() == TypeCode::String && v.str.size() == 1) return static_cast<uint8_t>(v.str[0]);
  return -1;
}

// The conversions of reals to integers: the processor's 64-bit conversion (its "integer
// indefinite" 0x8000000000000000 for NaN and values beyond the 64-bit range), of which a
// LONGINT keeps the low 32 bits. Casting such a value directly would be undefined in C++.
int64_t ToInt64(long double truncatedOrRounded) {
  if (!(std::fabs(truncatedOrRounded) < 9223372036854775808.0L)) return INT64_MIN;
  return static_cast<int64_t>(truncatedOrRounded);
}

int32_t Low32(int64_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

// Accepted forms: optional leading blanks, then a signed decimal within the LONGINT range, or an
// unsigned hexadecimal number after $, x, X, 0x or 0X of at most 32 bits. Nothing may follow.
bool ParseStrToInt(const std::string& s, int32_t& out) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == s.size()) return false;
  auto hexDigit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  size_t hexStart = std::string::npos;
  if (s[i] == '$' || s[i] == 'x' || s[i] == 'X')
    hexStart = i + 1;
  else if (s[i] == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X'))
    hexStart = i + 2;
  if (hexStart != std::string::npos) {
    if (hexStart == s.size()) return false;
    uint64_t v = 0;
    for (size_t k = hexStart; k < s.size(); ++k) {
      int d = hexDigit(s[k]);
      if (d < 0) return false;
      v = v * 16 + static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFu) return false;
    }
    out = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
  }
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') {
    negative = s[i] == '-';
    ++i;
  }
  if (i == s.size()) return false;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > INT32_MAX) return false;
  out = static_cast<int32_t>(v);
  return true;
}

// Copy with the index rules: a start below 1 counts as 1, a start beyond the end or a negative
// count gives the empty string, a count past the end stops at the end.
std::string CopyOf(const std::string& s, int64_t start, int64_t count) {
  if (start < 1) start = 1;
  const int64_t len = static_cast<int64_t>(s.size());
  if (start > len || count <= 0) return std::string();
  int64_t n = std::min(count, len - start + 1);
  return s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(n));
}

// n copies of the first character of s; empty for n <= 0 or an empty s.
ErrorCode Repeated(const std::string& s, int64_t n, Value* result) {
  if (n <= 0 || s.empty()) return result->SetString(std::string()), ErrorCode::NoError;
  if (static_cast<uint64_t>(n) > kMaxStringLength) return ErrorCode::OutOfMemory;
  result->SetString(std::string(static_cast<size_t>(n), s[0]));
  return ErrorCode::NoError;
}

void SetResultInt(Value* result, int64_t v) {
  if (result) result->SetInt(v);
}

void SetResultReal(Value* result, long double v) {
  if (result) result->SetReal(v);
}

// Makes the untyped result of Low, High, Pred and Succ a value of the given type.
void SetTypedResult(Value* result, Type* type, int64_t ordinal) {
  if (!result) return;
  result->target.reset();
  result->Init(type);
  result->v.i = ordinal;
}

ErrorCode GetTypeName(VariableList& args, Value* result) {
  Value* v = Arg(args, 0);
  Type* t = v->type;
  result->SetString(t && t->name != kNoName ? NameText(t->name) : std::string("VAR"));
  return ErrorCode::NoError;
}

ErrorCode AssignedOf(VariableList& args, Value* result) {
  Value* v = Arg(args, 0);
  bool assigned;
  switch (v->code()) {
    case TypeCode::Class:
      assigned = v->v.obj != nullptr && !v->v.obj->freed;
      break;
    case TypeCode::ClassRef:
      assigned = v->v.cls != nullptr;
      break;
    case TypeCode::ProcType:
      assigned = v->v.pv.proc != nullptr;
      break;
    case TypeCode::NativeObject:
      assigned = v->v.holder != nullptr;
      break;
    case TypeCode::Variant:
      assigned = v->target != nullptr;
      break;
    default:
      return ErrorCode::TypeMismatch;
  }
  result->SetBool(assigned);
  return ErrorCode::NoError;
}

ErrorCode LowHigh(ScriptEngine* script, VariableList& args, Value* result, bool high) {
  Value* v = Arg(args, 0);
  if (v->code() == TypeCode::Enum) {
    SetTypedResult(result, v->type, high ? v->type->highOrdinal : 0);
    return ErrorCode::NoError;
  }
  if (v->code() == TypeCode::Array) {
    SetTypedResult(result, script->StdType(TypeCode::LongInt),
                   high ? static_cast<int64_t>(v->items.size()) - 1 : 0);
    return ErrorCode::NoError;
  }
  return ErrorCode::TypeMismatch;
}

ErrorCode SetArrayLengthOf(ScriptEngine* script, VariableList& args) {
  Value* arr = Arg(args, 0);
  int64_t newLen = IntArg(args, 1);
  if (arr->code() != TypeCode::Array) return ErrorCode::TypeMismatch;
  if (newLen > script->MaxArrayLength || newLen > kMaxArrayElements) return ErrorCode::OutOfMemory;
  if (newLen < 0) newLen = 0;
  const size_t n = static_cast<size_t>(newLen);
  if (arr->items.size() > n) {
    arr->items.resize(n);
  } else {
    Type* element = arr->type->base;
    arr->items.reserve(n);
    while (arr->items.size() < n) arr->items.push_back(Value::Create(element));
  }
  return ErrorCode::NoError;
}

ErrorCode StdLibCall(ScriptEngine* script, void* /*host*/, Routine* routine, Value* result,
                     VariableList& args) {
  // The engine always supplies a result variant for a function; refuse rather than crash if not.
  if (routine->decl.result && !result) return ErrorCode::CommandNotSupported;
  switch (static_cast<StdRoutine>(routine->hostData)) {
    case kStrGet: {
      Value* s = Arg(args, 0);
      int64_t i = IntArg(args, 1);
      if (i < 1 || i > static_cast<int64_t>(s->str.size())) return ErrorCode::OutOfRange;
      result->SetChar(static_cast<uint8_t>(s->str[static_cast<size_t>(i - 1)]));
      return ErrorCode::NoError;
    }
    case kStrSet: {
      int c = CharOf(*Arg(args, 0));
      int64_t i = IntArg(args, 1);
      Value* s = Arg(args, 2);
      if (c < 0 || s->code() != TypeCode::String || i < 1 || i > static_cast<int64_t>(s->str.size()))
        return ErrorCode::OutOfRange;
      s->str[static_cast<size_t>(i - 1)] = static_cast<char>(c);
      return ErrorCode::NoError;
    }
    case kChr:
      result->SetChar(static_cast<uint8_t>(IntArg(args, 0)));
      return ErrorCode::NoError;
    case kStrToInt: {
      int32_t v;
      SetResultInt(result, ParseStrToInt(StringArg(args, 0), v) ? v : IntArg(args, 1));
      return ErrorCode::NoError;
    }
    case kIntToStr:
      result->SetString(IntToText(IntArg(args, 0)));
      return ErrorCode::NoError;
    case kUppercase:
      result->SetString(UpperCase(Arg(args, 0)->str));
      return ErrorCode::NoError;
    case kLowerCase:
      result->SetString(LowerCase(Arg(args, 0)->str));
      return ErrorCode::NoError;
    case kCopy:
      result->SetString(CopyOf(Arg(args, 0)->str, IntArg(args, 1), IntArg(args, 2)));
      return ErrorCode::NoError;
    case kLeft:
      result->SetString(CopyOf(Arg(args, 0)->str, 1, IntArg(args, 1)));
      return ErrorCode::NoError;
    case kDelete: {
      Value* s = Arg(args, 0);
      int64_t start = IntArg(args, 1), count = IntArg(args, 2);
      const int64_t len = static_cast<int64_t>(s->str.size());
      if (s->code() != TypeCode::String || start < 1 || start > len || count <= 0) return ErrorCode::NoError;
      s->str.erase(static_cast<size_t>(start - 1), static_cast<size_t>(std::min(count, len - start + 1)));
      return ErrorCode::NoError;
    }
    case kInsert: {
      const std::string& piece = Arg(args, 0)->str;
      Value* s = Arg(args, 1);
      int64_t at = IntArg(args, 2);
      if (s->code() != TypeCode::String || piece.empty()) return ErrorCode::NoError;
      if (s->str.size() + piece.size() > kMaxStringLength) return ErrorCode::OutOfMemory;
      const int64_t len = static_cast<int64_t>(s->str.size());
      at = at < 1 ? 1 : (at > len ? len + 1 : at);
      s->str.insert(static_cast<size_t>(at - 1), piece);
      return ErrorCode::NoError;
    }
    case kPos: {
      const std::string& needle = Arg(args, 0)->str;
      const std::string& hay = Arg(args, 1)->str;
      size_t at = needle.empty() ? std::string::npos : hay.find(needle);
      SetResultInt(result, at == std::string::npos ? 0 : static_cast<int64_t>(at) + 1);
      return ErrorCode::NoError;
    }
    case kLength:
      SetResultInt(result, static_cast<int64_t>(Arg(args, 0)->str.size()));
      return ErrorCode::NoError;
    case kTrim: {
      const std::string& s = Arg(args, 0)->str;
      size_t first = s.find_first_not_of(' ');
      if (first == std::string::npos) return result->SetString(std::string()), ErrorCode::NoError;
      size_t last = s.find_last_not_of(' ');
      result->SetString(s.substr(first, last - first + 1));
      return ErrorCode::NoError;
    }
    case kSetLength: {
      Value* s = Arg(args, 0);
      int64_t n = IntArg(args, 1);
      if (s->code() != TypeCode::String) return ErrorCode::TypeMismatch;
      if (n < 0) n = 0;
      if (static_cast<uint64_t>(n) > kMaxStringLength) return ErrorCode::OutOfMemory;
      s->str.resize(static_cast<size_t>(n), '\0');
      return ErrorCode::NoError;
    }
    case kReplicate:
    case kStringOfChar:
      return Repeated(Arg(args, 0)->str, IntArg(args, 1), result);
    case kVersion:
      result->SetString("2.67");
      return ErrorCode::NoError;
    case kFloatToStr:
      result->SetString(RealToText(Arg(args, 0)->GetReal()));
      return ErrorCode::NoError;
    case kInt:
      SetResultInt(result, Low32(ToInt64(std::trunc(Arg(args, 0)->GetReal() + 0.5L))));
      return ErrorCode::NoError;
    case kRound:
      // nearbyint rounds in the current mode, which is to nearest with ties to even.
      SetResultInt(result, Low32(ToInt64(std::nearbyint(Arg(args, 0)->GetReal()))));
      return ErrorCode::NoError;
    case kTrunc:
      SetResultInt(result, Low32(ToInt64(std::trunc(Arg(args, 0)->GetReal()))));
      return ErrorCode::NoError;
    case kSin:
      SetResultReal(result, std::sin(Arg(args, 0)->GetReal()));
      return ErrorCode::NoError;
    case kCos:
      SetResultReal(result, std::cos(Arg(args, 0)->GetReal()));
      return ErrorCode::NoError;
    case kTan: {
      long double x = Arg(args, 0)->GetReal();
      SetResultReal(result, std::sin(x) / std::cos(x));
      return ErrorCode::NoError;
    }
    case kSqrt:
      SetResultReal(result, std::sqrt(Arg(args, 0)->GetReal()));
      return ErrorCode::NoError;
    case kPi:
      // Significand C90FDAA22168C235 hex with binary exponent 1: pi rounded to 64 bits.
      SetResultReal(result, 0xC.90FDAA22168C235p-2L);
      return ErrorCode::NoError;
    case kGetType:
      return GetTypeName(args, result);
    case kAssigned:
      return AssignedOf(args, result);
    case kGetArrayLength: {
      Value* arr = Arg(args, 0);
      if (arr->code() != TypeCode::Array) return ErrorCode::TypeMismatch;
      SetResultInt(result, static_cast<int64_t>(arr->items.size()));
      return ErrorCode::NoError;
    }
    case kSetArrayLength:
      return SetArrayLengthOf(script, args);
    case kLow:
    case kHigh:
      return LowHigh(script, args, result, routine->hostData == kHigh);
    case kOrd: {
      Value* v = Arg(args, 0);
      if (v->code() == TypeCode::Enum) return SetResultInt(result, v->v.i), ErrorCode::NoError;
      if (v->code() == TypeCode::Char) return SetResultInt(result, v->v.ch), ErrorCode::NoError;
      if (v->code() == TypeCode::String) {
        if (v->str.size() != 1) return ErrorCode::OutOfRange;
        return SetResultInt(result, static_cast<uint8_t>(v->str[0])), ErrorCode::NoError;
      }
      return ErrorCode::TypeMismatch;
    }
    case kPred:
    case kSucc: {
      Value* v = Arg(args, 0);
      if (v->code() != TypeCode::Enum) return ErrorCode::TypeMismatch;
      bool succ = routine->hostData == kSucc;
      if (succ ? v->v.i >= v->type->highOrdinal : v->v.i <= 0) return ErrorCode::OutOfRange;
      SetTypedResult(result, v->type, v->v.i + (succ ? 1 : -1));
      return ErrorCode::NoError;
    }
  }
  return ErrorCode::CommandNotSupported;
}

struct Declaration {
  StdRoutine routine;
  const char* text;
};

constexpr Declaration kStringRoutines[] = {
    {kStrGet, "function StrGet(var s: string; I: Longint): char"},
    {kStrSet, "procedure StrSet(c: char; i: Longint; var s: string): char"},
    {kChr, "function Chr(b: Byte): Char"},
    {kStrToInt, "function StrToInt(s: string; I: Longint): Integer"},
    {kIntToStr, "function IntToStr(i: Longint): string"},
    {kUppercase, "function Uppercase(s: string): string"},
    {kCopy, "function Copy(s: string; i1, i2: Longint): string"},
    {kDelete, "procedure Delete(var s: string; i1,i2: Longint)"},
    {kInsert, "procedure Insert(s1: string; var s: string; i1: Longint)"},
    {kPos, "function Pos(s1, s2: string): Longint"},
    {kLength, "function Length(s: string): Longint"},
    {kLowerCase, "function LowerCase(s: string): string"},
    {kTrim, "function Trim(s: string): string"},
    {kInt, "function Int(s: Extended): Longint"},
    {kFloatToStr, "function FloatToStr(s: Extended): string"},
    {kReplicate, "function replicate(s: string; i: Longint): string"},
    {kVersion, "function Version: string"},
    {kLeft, "function Left(s: string; i: Longint): string"},
    {kStringOfChar, "function StringOfChar(s: string; i: Integer): string"},
    {kSetLength, "procedure SetLength(var S: String; L: Longint);"},
};

constexpr Declaration kRealRoutines[] = {
    {kSin, "function sin(s: Extended): Extended"},
    {kCos, "function cos(s: Extended): Extended"},
    {kTan, "function tan(s: Extended): Extended"},
    {kSqrt, "function SQRT(s: Extended): Extended"},
    {kRound, "function Round(s: Extended): Longint"},
    {kTrunc, "function Trunc(s: Extended): Longint"},
    {kPi, "function PI: Extended"},
};

// The routines whose parameter takes a value or variable of any type.
void RegisterAnyTypeRoutines(ScriptEngine* script) {
  Type* any = script->VarType();
  Type* array = script->ArrayType();
  Type* longint = script->StdType(TypeCode::LongInt);
  Type* str = script->StdType(TypeCode::String);
  Type* boolean = script->StdType(TypeCode::Boolean);
  const NameId myVar = Intern("MYVAR"), arr = Intern("ARR"), newLen = Intern("NEWLEN");
  auto add = [&](StdRoutine r, const char* name, Type* resultType, std::vector<ParamDef> params) {
    ParamList decl;
    decl.result = resultType;
    decl.params = std::move(params);
    script->AddNativeRoutine(StdLibCall, name, std::move(decl), r);
  };
  add(kGetType, "GETTYPE", str, {{myVar, ParamMode::Value, any}});
  add(kGetArrayLength, "GETARRAYLENGTH", longint, {{arr, ParamMode::Var, array}});
  add(kSetArrayLength, "SETARRAYLENGTH", nullptr,
      {{arr, ParamMode::Var, array}, {newLen, ParamMode::Value, longint}});
  add(kAssigned, "ASSIGNED", boolean, {{myVar, ParamMode::Value, any}});
  add(kLow, "LOW", any, {{arr, ParamMode::Const, any}});
  add(kHigh, "HIGH", any, {{arr, ParamMode::Const, any}});
  add(kOrd, "ORD", longint, {{arr, ParamMode::Value, any}});
  add(kPred, "PRED", any, {{arr, ParamMode::Value, any}});
  add(kSucc, "SUCC", any, {{arr, ParamMode::Value, any}});
}

}  // namespace

void RegisterStdLib(ScriptEngine* script, bool stringsOnly) {
  for (const Declaration& d : kStringRoutines) script->AddFunction(StdLibCall, d.text, d.routine);
  RegisterAnyTypeRoutines(script);
  if (stringsOnly) return;
  for (const Declaration& d : kRealRoutines) script->AddFunction(StdLibCall, d.text, d.routine);
}

}  // namespace quoll
