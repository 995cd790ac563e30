// Programmatic identifiers of automation objects and the D-Bus names they stand for.
//   NAME              the object NAME on the session bus, at the path "/" + NAME with dots as
//                     slashes (org.freedesktop.DBus -> /org/freedesktop/DBus)
//   NAME:/some/path   another object of the same service
//   system:...        either form on the system bus ("session:" names the default explicitly)
#pragma once

#include <string>
#include <string_view>

namespace quoll::automation {

enum class BusKind { Session, System };

struct ObjectAddress {
  BusKind bus = BusKind::Session;
  std::string service;  // a well-known name, or a unique name (":1.42") when a path is given
  std::string path;

  bool operator==(const ObjectAddress&) const = default;
};

// Splits and checks a programmatic identifier; throws BusError (kind Name) with a message that
// quotes the offending part.
ObjectAddress ParseObjectName(std::string_view text);

// The object path a well-known name stands for: "/" + the name with dots as slashes. Hyphens,
// valid in bus names but not in paths, become underscores.
std::string DefaultObjectPath(std::string_view service);

// The D-Bus rules for names and paths (at most 255 characters, elements of the allowed
// characters, no empty element).
bool IsValidBusName(std::string_view name);
bool IsValidObjectPath(std::string_view path);
bool IsValidMemberName(std::string_view name);
bool IsValidInterfaceName(std::string_view name);

}  // namespace quoll::automation
