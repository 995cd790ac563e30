// Des_* and TriDes_*: hex text in, DES in ECB mode or the MAC, hex text out.
#include "card/cipher_functions.h"

#include <new>
#include <span>

#include "card/card_error.h"
#include "card/des.h"

namespace quoll {

namespace {

// The cipher functions, by their host data.
enum class CipherRoutine : intptr_t { DesEncode, DesDecode, DesMac, TriDesEncode, TriDesDecode, TriDesMac };

constexpr intptr_t HostData(CipherRoutine r) {
  return static_cast<intptr_t>(r);
}

using Key = std::span<const uint8_t, DesCipher::kKeySize>;

Key KeyAt(const Bytes& key, size_t offset) {
  return Key(key.data() + offset, DesCipher::kKeySize);
}

// The triple-DES operations on a 16-byte key and data already padded.
std::string TripleDesBytes(CipherMode mode, const Bytes& key, Bytes data) {
  const DesCipher k1(KeyAt(key, 0));
  const DesCipher k2(KeyAt(key, 8));
  switch (mode) {
    case CipherMode::Encode:
      k1.EncodeBuffer(data.data(), data.data(), data.size());
      k2.DecodeBuffer(data.data(), data.data(), data.size());
      k1.EncodeBuffer(data.data(), data.data(), data.size());
      return BytesToHex(data);
    case CipherMode::Decode:
      k1.DecodeBuffer(data.data(), data.data(), data.size());
      k2.EncodeBuffer(data.data(), data.data(), data.size());
      k1.DecodeBuffer(data.data(), data.data(), data.size());
      return BytesToHex(data);
    case CipherMode::Mac: {
      // The first block is the initial chaining value; it is not encrypted by itself.
      uint64_t x = LoadBlock(data.data());
      for (size_t at = 8; at < data.size(); at += 8) x = k1.EncryptBlock(x ^ LoadBlock(data.data() + at));
      x = k1.EncryptBlock(k2.DecryptBlock(x));
      uint8_t mac[8];
      StoreBlock(x, mac);
      return BytesToHex(mac, 4);
    }
  }
  return std::string();
}

Bytes PaddedData(std::string_view dataText, CipherMode mode) {
  Bytes data = HexToBytes(dataText);
  PadData(data, mode);
  return data;
}

}  // namespace

void PadData(Bytes& bytes, CipherMode mode) {
  size_t length = bytes.size();
  if (length % 8 == 0 && mode != CipherMode::Mac) return;
  bytes.resize((length / 8 + 1) * 8, 0x00);
  bytes[length] = 0x80;
}

std::string SingleDes(CipherMode mode, std::string_view keyText, std::string_view dataText) {
  Bytes key = HexToBytes(keyText);
  if (key.size() != 8) throw CardError("DES key len should be 8!");
  if (mode == CipherMode::Mac) {
    // The key bytes written twice: K1 = K2, so the MAC's last two steps cancel out.
    Bytes doubled = key;
    doubled.insert(doubled.end(), key.begin(), key.end());
    return TripleDesBytes(mode, doubled, PaddedData(dataText, mode));
  }
  const DesCipher cipher(KeyAt(key, 0));
  Bytes data = PaddedData(dataText, mode);
  if (mode == CipherMode::Encode)
    cipher.EncodeBuffer(data.data(), data.data(), data.size());
  else
    cipher.DecodeBuffer(data.data(), data.data(), data.size());
  return BytesToHex(data);
}

std::string TripleDes(CipherMode mode, std::string_view keyText, std::string_view dataText) {
  Bytes key = HexToBytes(keyText);
  if (key.size() != 16) throw CardError("3DES key len should be 16!");
  return TripleDesBytes(mode, key, PaddedData(dataText, mode));
}

void RegisterCipherFunctions(ScriptEngine& script) {
  using C = CipherRoutine;
  script.AddFunction(CipherCall, "function Des_Encode(strKey: string; strIn: string): string;",
                     HostData(C::DesEncode));
  script.AddFunction(CipherCall, "function Des_Decode(strKey: string; strIn: string): string;",
                     HostData(C::DesDecode));
  script.AddFunction(CipherCall, "function Des_MAC(strKey: string; strIn: string): string;",
                     HostData(C::DesMac));
  script.AddFunction(CipherCall, "function TriDes_Encode(strKey: string; strIn: string): string;",
                     HostData(C::TriDesEncode));
  script.AddFunction(CipherCall, "function TriDes_Decode(strKey: string; strIn: string): string;",
                     HostData(C::TriDesDecode));
  script.AddFunction(CipherCall, "function TriDes_MAC(strKey: string; strIn: string): string;",
                     HostData(C::TriDesMac));
}

ErrorCode CipherCall(ScriptEngine* script, void* /*host*/, Routine* routine, Value* result,
                     VariableList& args) {
  try {
    std::string key, data;
    args.Get(0)->Deref()->GetString(key);
    args.Get(1)->Deref()->GetString(data);
    std::string text;
    switch (static_cast<CipherRoutine>(routine->hostData)) {
      case CipherRoutine::DesEncode:
        text = SingleDes(CipherMode::Encode, key, data);
        break;
      case CipherRoutine::DesDecode:
        text = SingleDes(CipherMode::Decode, key, data);
        break;
      case CipherRoutine::DesMac:
        text = SingleDes(CipherMode::Mac, key, data);
        break;
      case CipherRoutine::TriDesEncode:
        text = TripleDes(CipherMode::Encode, key, data);
        break;
      case CipherRoutine::TriDesDecode:
        text = TripleDes(CipherMode::Decode, key, data);
        break;
      case CipherRoutine::TriDesMac:
        text = TripleDes(CipherMode::Mac, key, data);
        break;
    }
    // A result is a string like any other: longer than the engine allows is out of memory.
    if (text.size() > kMaxStringLength) return ErrorCode::OutOfMemory;
    if (result) result->SetString(std::move(text));
    return ErrorCode::NoError;
  } catch (const CardError& e) {
    script->SetErrorParam(ErrorCode::Custom, e.what());
    return ErrorCode::Custom;
  } catch (const std::bad_alloc&) {
    script->SetErrorParam(ErrorCode::Custom, "Not enough memory!");
    return ErrorCode::Custom;
  }
}

}  // namespace quoll
