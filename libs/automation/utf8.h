// The UTF-8 check that D-Bus text must pass.
#pragma once

#include <string_view>

namespace quoll::automation {

// Well-formed UTF-8 without NUL characters: no overlong forms, no surrogates, nothing above
// U+10FFFF, no sequence cut short.
bool IsValidUtf8(std::string_view text);

}  // namespace quoll::automation
