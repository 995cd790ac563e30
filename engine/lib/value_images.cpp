// Value images: a number's storage as a byte string, lowest address first, and back. Integers are
// little-endian two's complement; reals are IEEE single and double and the 10-byte x87 extended
// format. Real images are copied bit for bit, so any byte pattern survives a round trip.
#include "engine/lib/value_images.h"

#include <cstring>
#include <limits>
#include <string>

#include "engine/script_engine.h"

namespace quoll {
namespace {

enum Image : intptr_t {
  kExtendedToString,
  kDoubleToString,
  kSingleToString,
  kIntegerToString,
  kSmallIntToString,
  kByteToString,
  kShortIntToString,
  kWordToString,
  kStringToExtended,
  kStringToDouble,
  kStringToSingle,
  kStringToInteger,
  kStringToSmallInt,
  kStringToByte,
  kStringToShortInt,
  kStringToWord,
};

constexpr size_t kExtendedBytes = 10;  // the x87 format; a long double's storage has padding after it

static_assert(sizeof(long double) >= kExtendedBytes && std::numeric_limits<long double>::digits == 64,
              "Extended must be the x87 80-bit format");

std::string LittleEndian(uint64_t value, size_t bytes) {
  std::string s(bytes, '\0');
  for (size_t i = 0; i < bytes; ++i) s[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return s;
}

uint64_t FromLittleEndian(const std::string& s) {
  uint64_t v = 0;
  for (size_t i = s.size(); i-- > 0;) v = (v << 8) | static_cast<uint8_t>(s[i]);
  return v;
}

template <typename T>
std::string Bytes(const T& value, size_t count = sizeof(T)) {
  std::string s(count, '\0');
  std::memcpy(s.data(), &value, count);
  return s;
}

ErrorCode ImageCall(ScriptEngine* /*script*/, void* /*host*/, Routine* routine, Value* result,
                    VariableList& args) {
  if (!result) return ErrorCode::CommandNotSupported;
  Value* arg = args.Get(0)->Deref();
  const Image which = static_cast<Image>(routine->hostData);
  switch (which) {
    case kExtendedToString: {
      long double e = arg->GetReal();
      result->SetString(Bytes(e, kExtendedBytes));
      return ErrorCode::NoError;
    }
    case kDoubleToString:
      result->SetString(Bytes(arg->v.dbl));
      return ErrorCode::NoError;
    case kSingleToString:
      result->SetString(Bytes(arg->v.sgl));
      return ErrorCode::NoError;
    case kIntegerToString:
      result->SetString(LittleEndian(static_cast<uint64_t>(arg->v.i), 4));
      return ErrorCode::NoError;
    case kSmallIntToString:
    case kWordToString:
      result->SetString(LittleEndian(static_cast<uint64_t>(arg->v.i), 2));
      return ErrorCode::NoError;
    case kByteToString:
    case kShortIntToString:
      result->SetString(LittleEndian(static_cast<uint64_t>(arg->v.i), 1));
      return ErrorCode::NoError;
    default:
      break;
  }
  // String to number: the length must be the image's size exactly.
  const std::string& s = arg->str;
  static constexpr size_t kSizes[] = {10, 8, 4, 4, 2, 1, 1, 2};
  if (s.size() != kSizes[which - kStringToExtended]) return ErrorCode::OutOfRange;
  switch (which) {
    case kStringToExtended:
      result->v.ext = 0.0L;  // clears the padding bytes too
      std::memcpy(&result->v.ext, s.data(), kExtendedBytes);
      break;
    case kStringToDouble:
      std::memcpy(&result->v.dbl, s.data(), sizeof(double));
      break;
    case kStringToSingle:
      std::memcpy(&result->v.sgl, s.data(), sizeof(float));
      break;
    default:
      result->SetInt(static_cast<int64_t>(FromLittleEndian(s)));  // SetInt keeps the width and sign
      break;
  }
  return ErrorCode::NoError;
}

constexpr const char* kDeclarations[] = {
    "function TransformExtendedToString(E: Extended): string;",
    "function TransformDoubleToString(E: Double): string;",
    "function TransformSingleToString(E: Single): string;",
    "function TransformIntegertoString(E: Longint): string;",
    "function TransformSmallInttoString(E: SmallInt): string;",
    "function TransformBytetoString(E: Byte): string;",
    "function TransformShortIntToString(E: ShortInt): string;",
    "function TransformWordtoString(E: Word): string;",
    "function TransformStringToExtended(E: String): Extended;",
    "function TransformStringToDouble(E: String): Double;",
    "function TransformStringToSingle(E: String): Single;",
    "function TransformStringToInteger(E: String): Longint;",
    "function TransformStringToSmallInt(E: String): SmallInt;",
    "function TransformStringToByte(E: String): Byte;",
    "function TransformStringToShortInt(E: String): ShortInt;",
    "function TransformStringToWord(E: String): word;",
};

}  // namespace

void RegisterValueImages(ScriptEngine* script) {
  intptr_t index = 0;
  for (const char* text : kDeclarations) script->AddFunction(ImageCall, text, index++);
}

}  // namespace quoll
