// The six DES and triple-DES script functions and their cryptographic core.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "card/hex_text.h"
#include "engine/script_engine.h"

namespace quoll {

enum class CipherMode { Encode = 0, Decode = 1, Mac = 2 };

// ISO/IEC 9797-1 padding method 2, in place: 80 then 00 up to the next multiple of 8. A length
// that is already a multiple of 8 stays as it is, except for a MAC, which gains a whole block.
void PadData(Bytes& bytes, CipherMode mode);

// Single DES with an 8-byte key; the MAC is the triple-DES MAC with K1 = K2.
std::string SingleDes(CipherMode mode, std::string_view keyText, std::string_view dataText);
// Two-key triple DES (E K1, D K2, E K1) with a 16-byte key K1 || K2, in ECB; the MAC is the
// retail MAC whose initial value is the first data block, truncated to 4 bytes.
std::string TripleDes(CipherMode mode, std::string_view keyText, std::string_view dataText);

// Registers Des_Encode, Des_Decode, Des_MAC, TriDes_Encode, TriDes_Decode and TriDes_MAC.
void RegisterCipherFunctions(ScriptEngine& script);
// The native function behind them.
ErrorCode CipherCall(ScriptEngine* script, void* host, Routine* routine, Value* result, VariableList& args);

}  // namespace quoll
