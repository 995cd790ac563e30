// D-Bus type signatures: where one complete type ends, and whether a text is a valid signature.
#pragma once

#include <cstddef>
#include <string_view>

namespace quoll::automation {

// The length of the complete type at the start of `signature`, 0 when it does not start with
// one. Checks the bus's rules: dict entries only as array elements with a basic key, no empty
// struct, arrays and structs each nested at most 32 deep.
std::size_t CompleteTypeLength(std::string_view signature);

// One complete type and nothing after it ("i", "a{sv}", "(ias)").
bool IsSingleCompleteType(std::string_view signature);

// Any number of complete types, at most 255 characters (a message's or a "g" value's signature).
bool IsValidSignature(std::string_view signature);

// Whether `code` is one of the basic type codes (integers, double, bool, string, path, signature, fd).
bool IsBasicTypeCode(char code);

}  // namespace quoll::automation
