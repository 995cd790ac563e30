// The process-wide name table behind NameId.
#include "engine/names.h"

#include <deque>
#include <unordered_map>

#include "engine/textutil.h"

namespace quoll {
namespace {

struct NameTable {
  std::deque<std::string> spellings;  // deque: references stay valid as it grows
  std::unordered_map<std::string_view, NameId> ids;

  NameTable() {
    spellings.emplace_back();  // id 0: no name
#define QUOLL_NAME_ADD(id, text) Add(text);
    QUOLL_COMMON_NAMES(QUOLL_NAME_ADD)
#undef QUOLL_NAME_ADD
  }

  NameId Add(std::string_view s) {
    auto it = ids.find(s);
    if (it != ids.end()) return it->second;
    NameId id = static_cast<NameId>(spellings.size());
    spellings.emplace_back(s);
    ids.emplace(spellings.back(), id);
    return id;
  }
};

NameTable& Table() {
  static NameTable table;
  return table;
}

}  // namespace

NameId Intern(std::string_view upperSpelling) {
  return Table().Add(upperSpelling);
}

NameId InternUpper(std::string_view spelling) {
  return Table().Add(UpperCase(spelling));
}

NameId FindName(std::string_view upperSpelling) {
  auto& t = Table();
  auto it = t.ids.find(upperSpelling);
  return it == t.ids.end() ? kNoName : it->second;
}

const std::string& NameText(NameId id) {
  auto& t = Table();
  static const std::string empty;
  return id < t.spellings.size() ? t.spellings[id] : empty;
}

NameId NameCount() {
  return static_cast<NameId>(Table().spellings.size());
}

}  // namespace quoll
