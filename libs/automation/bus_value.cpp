// The value tree read from replies, its signatures and its text form.
#include "libs/automation/bus_value.h"

#include <charconv>
#include <cstdio>

namespace quoll::automation {

namespace {

using Kind = BusValue::Kind;

char TypeCode(Kind kind) {
  switch (kind) {
    case Kind::Byte:
      return 'y';
    case Kind::Bool:
      return 'b';
    case Kind::Int16:
      return 'n';
    case Kind::UInt16:
      return 'q';
    case Kind::Int32:
      return 'i';
    case Kind::UInt32:
      return 'u';
    case Kind::Int64:
      return 'x';
    case Kind::UInt64:
      return 't';
    case Kind::Double:
      return 'd';
    case Kind::String:
      return 's';
    case Kind::ObjectPath:
      return 'o';
    case Kind::Signature:
      return 'g';
    case Kind::UnixFd:
      return 'h';
    case Kind::Variant:
      return 'v';
    default:
      return '\0';  // containers keep their whole signature
  }
}

// Type codes a script value can hold, element types of arrays included.
bool IsConvertibleSignature(const std::string& signature) {
  return signature.find_first_not_of("ybnqiudsogav") == std::string::npos;
}

std::string QuotedText(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string DoubleText(double value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : "?";
}

std::string ValueText(const BusValue& value);

std::string ItemsText(const BusValue& value, const char* open, const char* close) {
  std::string out = open;
  for (std::size_t i = 0; i < value.items().size(); ++i) {
    if (i > 0) out += ", ";
    out += ValueText(value.items()[i]);
  }
  return out + close;
}

std::string ValueText(const BusValue& value) {
  switch (value.kind()) {
    case Kind::Byte:
    case Kind::UInt16:
    case Kind::UInt32:
    case Kind::UInt64:
      return std::to_string(value.AsUInt64());
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Int64:
      return std::to_string(value.AsInt64());
    case Kind::Bool:
      return value.AsBool() ? "true" : "false";
    case Kind::Double:
      return DoubleText(value.AsDouble());
    case Kind::String:
    case Kind::ObjectPath:
    case Kind::Signature:
      return QuotedText(value.text());
    case Kind::UnixFd:
      return "fd";
    case Kind::Variant:
      return Describe(value.items().front());
    case Kind::Array:
      return ItemsText(value, "[", "]");
    case Kind::Struct:
      return ItemsText(value, "(", ")");
    case Kind::Dict:
      return ItemsText(value, "{", "}");
    case Kind::DictEntry:
      return ValueText(value.items()[0]) + ": " + ValueText(value.items()[1]);
  }
  return "?";
}

}  // namespace

BusValue BusValue::Integer(Kind kind, std::uint64_t bits) {
  BusValue value;
  value.kind_ = kind;
  value.bits_ = bits;
  return value;
}

BusValue BusValue::Text(Kind kind, std::string text) {
  BusValue value;
  value.kind_ = kind;
  value.text_ = std::move(text);
  return value;
}

BusValue BusValue::Double(double real) {
  BusValue value;
  value.kind_ = Kind::Double;
  value.real_ = real;
  return value;
}

BusValue BusValue::UnixFd() {
  BusValue value;
  value.kind_ = Kind::UnixFd;
  return value;
}

BusValue BusValue::Array(const std::string& element_signature, std::vector<BusValue> elements) {
  BusValue value;
  value.kind_ = Kind::Array;
  value.text_ = "a" + element_signature;
  value.items_ = std::move(elements);
  return value;
}

BusValue BusValue::Variant(BusValue content) {
  BusValue value;
  value.kind_ = Kind::Variant;
  value.items_.push_back(std::move(content));
  return value;
}

BusValue BusValue::Struct(std::vector<BusValue> fields) {
  BusValue value;
  value.kind_ = Kind::Struct;
  value.text_ = "(";
  for (const BusValue& field : fields) value.text_ += field.signature();
  value.text_ += ")";
  value.items_ = std::move(fields);
  return value;
}

BusValue BusValue::Dict(const std::string& entry_signature, std::vector<BusValue> entries) {
  BusValue value;
  value.kind_ = Kind::Dict;
  value.text_ = "a{" + entry_signature + "}";
  value.items_ = std::move(entries);
  return value;
}

BusValue BusValue::DictEntry(BusValue key, BusValue entry_value) {
  BusValue value;
  value.kind_ = Kind::DictEntry;
  value.text_ = "{" + key.signature() + entry_value.signature() + "}";
  value.items_.push_back(std::move(key));
  value.items_.push_back(std::move(entry_value));
  return value;
}

std::string BusValue::signature() const {
  const char code = TypeCode(kind_);
  return code ? std::string(1, code) : text_;
}

bool BusValue::IsInteger() const {
  switch (kind_) {
    case Kind::Byte:
    case Kind::Int16:
    case Kind::UInt16:
    case Kind::Int32:
    case Kind::UInt32:
    case Kind::Int64:
    case Kind::UInt64:
      return true;
    default:
      return false;
  }
}

bool BusValue::IsConvertible() const {
  switch (kind_) {
    case Kind::Int64:
    case Kind::UInt64:
    case Kind::UnixFd:
    case Kind::Struct:
    case Kind::Dict:
    case Kind::DictEntry:
      return false;
    case Kind::Variant:
      return items_.front().IsConvertible();
    case Kind::Array:
      if (!IsConvertibleSignature(text_)) return false;
      for (const BusValue& element : items_) {
        if (!element.IsConvertible()) return false;
      }
      return true;
    default:
      return true;
  }
}

std::string Describe(const BusValue& value) {
  return value.signature() + " " + ValueText(value);
}

std::ostream& operator<<(std::ostream& out, const BusValue& value) {
  return out << Describe(value);
}

}  // namespace quoll::automation
