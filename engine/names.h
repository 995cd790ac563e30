// Interned upper-case names: every identifier the engine compares is a NameId.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quoll {

// Stable small integer naming one upper-case spelling for the life of the process. 0 is "no name".
using NameId = uint32_t;
inline constexpr NameId kNoName = 0;

// Names the engine itself asks for, interned first so they are compile-time constants.
#define QUOLL_COMMON_NAMES(X) \
  X(Result, "RESULT")         \
  X(Self, "SELF")             \
  X(Nil, "NIL")               \
  X(True, "TRUE")             \
  X(False, "FALSE")           \
  X(TObject, "TOBJECT")       \
  X(System, "SYSTEM")         \
  X(Main, "MAIN")             \
  X(Object, "OBJECT")         \
  X(Read, "READ")             \
  X(Write, "WRITE")           \
  X(Name, "NAME")             \
  X(Data, "DATA")             \
  X(Create, "CREATE")         \
  X(Destroy, "DESTROY")       \
  X(Free, "FREE")             \
  X(Var, "!VAR")              \
  X(Array, "!ARRAY")

namespace names {
enum : NameId {
  kFirstCommon = 0,
#define QUOLL_NAME_ENUM(id, text) id,
  QUOLL_COMMON_NAMES(QUOLL_NAME_ENUM)
#undef QUOLL_NAME_ENUM
};
}  // namespace names

// Interns an upper-case spelling (the caller upper-cases) and returns its id.
NameId Intern(std::string_view upperSpelling);
// Upper-cases ASCII letters, then interns.
NameId InternUpper(std::string_view spelling);
// Returns the id of a spelling already interned, or kNoName.
NameId FindName(std::string_view upperSpelling);
// The spelling of an id ("" for kNoName).
const std::string& NameText(NameId id);
// Number of ids handed out so far (ids are below this).
NameId NameCount();

}  // namespace quoll
