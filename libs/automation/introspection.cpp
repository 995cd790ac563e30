// Reading introspection XML with expat into a method table.
#include "libs/automation/introspection.h"

#include <climits>
#include <cstring>
#include <memory>
#include <unordered_set>

#include "libs/automation/bus_name.h"
#include "libs/automation/expat_library.h"
#include "libs/automation/signature.h"

namespace quoll::automation {

namespace {

constexpr std::string_view kStandardInterfaces[] = {
    "org.freedesktop.DBus.Introspectable",
    "org.freedesktop.DBus.Peer",
    "org.freedesktop.DBus.Properties",
};

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperCased(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

const char* Attribute(const XML_Char** attributes, const char* name) {
  for (int i = 0; attributes[i]; i += 2) {
    if (std::strcmp(attributes[i], name) == 0) return attributes[i + 1];
  }
  return nullptr;
}

// What the parser has seen so far. Only <interface> right inside the root <node>, and <method>,
// <property> and <arg> right inside those, count; `depth` is the element depth.
class TableBuilder {
 public:
  void Start(const char* element, const XML_Char** attributes) {
    ++depth_;
    if (depth_ == 1) {
      root_is_node_ = std::strcmp(element, "node") == 0;
    } else if (!root_is_node_) {
      return;
    } else if (depth_ == 2 && std::strcmp(element, "interface") == 0) {
      StartInterface(Attribute(attributes, "name"));
    } else if (depth_ == 3 && in_interface_ && std::strcmp(element, "method") == 0) {
      StartMethod(Attribute(attributes, "name"));
    } else if (depth_ == 3 && in_interface_ && std::strcmp(element, "property") == 0) {
      AddProperty(Attribute(attributes, "name"), Attribute(attributes, "type"),
                  Attribute(attributes, "access"));
    } else if (depth_ == 4 && in_method_ && std::strcmp(element, "arg") == 0) {
      AddArgument(Attribute(attributes, "type"), Attribute(attributes, "direction"));
    }
  }

  void End() {
    if (depth_ == 3 && in_method_) {
      if (method_valid_) Add(std::move(method_));
      in_method_ = false;
    } else if (depth_ == 2) {
      in_interface_ = false;
    }
    --depth_;
  }

  MethodTable Take() { return MethodTable(std::move(members_)); }

 private:
  void StartInterface(const char* name) {
    in_interface_ = name && IsValidInterfaceName(name);
    for (std::string_view standard : kStandardInterfaces) {
      if (in_interface_ && standard == name) in_interface_ = false;
    }
    if (in_interface_) interface_ = name;
  }

  void StartMethod(const char* name) {
    in_method_ = true;
    method_valid_ = name && IsValidMemberName(name);
    method_ = BusMember();
    method_.name = name ? name : "";
    method_.interface = interface_;
  }

  void AddArgument(const char* type, const char* direction) {
    if (!type || !IsSingleCompleteType(type)) {
      method_valid_ = false;
      return;
    }
    const std::string_view way = direction ? direction : "in";  // a method's arguments are in unless said
    if (way == "in") {
      method_.in_signatures.push_back(type);
    } else if (way == "out") {
      method_.out_signatures.push_back(type);
    } else {
      method_valid_ = false;
    }
  }

  void AddProperty(const char* name, const char* type, const char* access) {
    if (!name || !IsValidMemberName(name) || !type || !IsSingleCompleteType(type) || !access) return;
    const std::string_view how = access;
    if (how != "read" && how != "readwrite") return;  // "write": nothing to read
    BusMember property;
    property.name = name;
    property.interface = interface_;
    property.kind = BusMember::Kind::Property;
    property.out_signatures.push_back(type);
    Add(std::move(property));
  }

  void Add(BusMember member) {
    if (names_.insert(UpperCased(member.name)).second) members_.push_back(std::move(member));
  }

  int depth_ = 0;
  bool root_is_node_ = false;
  bool in_interface_ = false;
  bool in_method_ = false;
  bool method_valid_ = false;
  std::string interface_;
  BusMember method_;
  std::vector<BusMember> members_;
  std::unordered_set<std::string> names_;  // upper-cased
};

struct ParserFree {
  void operator()(XML_ParserStruct* parser) const { Expat().parser_free(parser); }
};

}  // namespace

const BusMember* MethodTable::Find(std::string_view name) const {
  for (const BusMember& member : members_) {
    if (EqualIgnoringAsciiCase(member.name, name)) return &member;
  }
  return nullptr;
}

MethodTable ParseIntrospection(std::string_view xml) {
  if (xml.size() > INT_MAX) return {};
  const ExpatLibrary& expat = Expat();
  std::unique_ptr<XML_ParserStruct, ParserFree> parser(expat.parser_create("UTF-8"));
  if (!parser) return {};
  TableBuilder builder;
  expat.set_user_data(parser.get(), &builder);
  expat.set_element_handler(
      parser.get(),
      [](void* data, const XML_Char* element, const XML_Char** attributes) {
        static_cast<TableBuilder*>(data)->Start(element, attributes);
      },
      [](void* data, const XML_Char*) { static_cast<TableBuilder*>(data)->End(); });
  // Nothing outside the text is ever read: expat loads no external entity without a handler.
  if (expat.parse(parser.get(), xml.data(), static_cast<int>(xml.size()), XML_TRUE) != XML_STATUS_OK)
    return {};
  return builder.Take();
}

}  // namespace quoll::automation
