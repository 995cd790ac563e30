// The method table of an automation object, read from its introspection XML.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quoll::automation {

struct BusMember {
  enum class Kind { Method, Property };

  std::string name;
  std::string interface;
  Kind kind = Kind::Method;
  std::vector<std::string> in_signatures;   // one single complete type per argument
  std::vector<std::string> out_signatures;  // a property's type, for a property
};

class MethodTable {
 public:
  MethodTable() = default;
  explicit MethodTable(std::vector<BusMember> members) : members_(std::move(members)) {}

  const std::vector<BusMember>& members() const { return members_; }
  bool empty() const { return members_.empty(); }
  // The entry of that name, compared ignoring ASCII case as scripts compare names; null when
  // there is none.
  const BusMember* Find(std::string_view name) const;

 private:
  std::vector<BusMember> members_;
};

// The table for an object's introspection XML: every method of the object's own interfaces
// (org.freedesktop.DBus.Introspectable, .Peer and .Properties left out) with its in and out
// types, and an entry without arguments for each readable property. Names compare ignoring
// ASCII case, and of two members with one name the one listed first is kept. Child nodes,
// signals and annotations are passed over; a method or property with an invalid name or type
// is left out. Text that is not well-formed XML, or whose root is not <node>, gives an empty
// table.
MethodTable ParseIntrospection(std::string_view xml);

}  // namespace quoll::automation
