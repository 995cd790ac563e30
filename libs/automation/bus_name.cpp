// Parsing programmatic identifiers and checking D-Bus names and object paths.
#include "libs/automation/bus_name.h"

#include "libs/automation/bus_error.h"

namespace quoll::automation {

namespace {

constexpr std::size_t kMaxNameLength = 255;
constexpr std::string_view kSystemPrefix = "system:";
constexpr std::string_view kSessionPrefix = "session:";

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

// Elements separated by dots, at least two, none empty; `first` and `rest` say which characters
// may open an element and which may follow.
template <typename First, typename Rest>
bool IsDottedName(std::string_view name, First first, Rest rest) {
  if (name.empty() || name.size() > kMaxNameLength) return false;
  int elements = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = name.find('.', start);
    const std::string_view element = name.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (element.empty() || !first(element[0])) return false;
    for (char c : element.substr(1)) {
      if (!rest(c)) return false;
    }
    ++elements;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return elements >= 2;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace

bool IsValidBusName(std::string_view name) {
  const auto word = [](char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_' || c == '-'; };
  if (!name.empty() && name[0] == ':') {
    // A unique name: its elements may start with a digit (":1.42").
    return name.size() <= kMaxNameLength && IsDottedName(name.substr(1), word, word);
  }
  const auto start = [](char c) { return IsAsciiLetter(c) || c == '_' || c == '-'; };
  return IsDottedName(name, start, word);
}

bool IsValidInterfaceName(std::string_view name) {
  const auto start = [](char c) { return IsAsciiLetter(c) || c == '_'; };
  const auto word = [](char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_'; };
  return IsDottedName(name, start, word);
}

bool IsValidMemberName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameLength) return false;
  if (IsAsciiDigit(name[0])) return false;
  for (char c : name) {
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '_') return false;
  }
  return true;
}

bool IsValidObjectPath(std::string_view path) {
  if (path.empty() || path[0] != '/') return false;
  if (path.size() == 1) return true;
  if (path.back() == '/') return false;
  char previous = '/';
  for (char c : path.substr(1)) {
    if (c == '/') {
      if (previous == '/') return false;
    } else if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '_') {
      return false;
    }
    previous = c;
  }
  return true;
}

std::string DefaultObjectPath(std::string_view service) {
  std::string path = "/";
  for (char c : service) {
    path += c == '.' ? '/' : c == '-' ? '_' : c;
  }
  return path;
}

ObjectAddress ParseObjectName(std::string_view text) {
  ObjectAddress address;
  std::string_view rest = text;
  if (rest.starts_with(kSystemPrefix)) {
    address.bus = BusKind::System;
    rest.remove_prefix(kSystemPrefix.size());
  } else if (rest.starts_with(kSessionPrefix)) {
    rest.remove_prefix(kSessionPrefix.size());
  }
  // A bus name never holds a slash, so the first ":/" starts the path (a unique name's leading
  // colon is followed by a digit).
  const std::size_t split = rest.find(":/");
  const std::string_view service = rest.substr(0, split);
  if (!IsValidBusName(service)) throw BusError(BusErrorKind::Name, "invalid bus name " + Quoted(service));
  address.service = service;
  if (split != std::string_view::npos) {
    const std::string_view path = rest.substr(split + 1);
    if (!IsValidObjectPath(path)) throw BusError(BusErrorKind::Name, "invalid object path " + Quoted(path));
    address.path = path;
  } else if (service[0] == ':') {
    throw BusError(BusErrorKind::Name, "the unique name " + Quoted(service) + " needs an object path");
  } else {
    address.path = DefaultObjectPath(service);
  }
  return address;
}

}  // namespace quoll::automation
