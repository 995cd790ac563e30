// BusValue: one value read from a D-Bus message, as a small tree. Every D-Bus type has a kind,
// the ones a script value cannot hold (64-bit integers, structs, dicts, file descriptors) too,
// so a reply is always read whole and the caller decides what it can use.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quoll::automation {

class BusValue {
 public:
  enum class Kind : std::uint8_t {
    Byte,        // y
    Bool,        // b
    Int16,       // n
    UInt16,      // q
    Int32,       // i
    UInt32,      // u
    Int64,       // x
    UInt64,      // t
    Double,      // d
    String,      // s
    ObjectPath,  // o
    Signature,   // g
    UnixFd,      // h: only the fact; the descriptor stays with the message it came in
    Array,       // a...: items() are the elements
    Variant,     // v: items() holds the one content value
    Struct,      // (...): items() are the fields
    Dict,        // a{..}: items() are the entries
    DictEntry,   // {..}: items() are the key and the value
  };

  static BusValue Byte(std::uint8_t value) { return Integer(Kind::Byte, value); }
  static BusValue Bool(bool value) { return Integer(Kind::Bool, value ? 1 : 0); }
  static BusValue Int16(std::int16_t value) {
    return Integer(Kind::Int16, static_cast<std::uint64_t>(value));
  }
  static BusValue UInt16(std::uint16_t value) { return Integer(Kind::UInt16, value); }
  static BusValue Int32(std::int32_t value) {
    return Integer(Kind::Int32, static_cast<std::uint64_t>(value));
  }
  static BusValue UInt32(std::uint32_t value) { return Integer(Kind::UInt32, value); }
  static BusValue Int64(std::int64_t value) {
    return Integer(Kind::Int64, static_cast<std::uint64_t>(value));
  }
  static BusValue UInt64(std::uint64_t value) { return Integer(Kind::UInt64, value); }
  static BusValue Double(double value);
  static BusValue String(std::string text) { return Text(Kind::String, std::move(text)); }
  static BusValue ObjectPath(std::string path) { return Text(Kind::ObjectPath, std::move(path)); }
  static BusValue Signature(std::string signature) { return Text(Kind::Signature, std::move(signature)); }
  static BusValue UnixFd();
  // `element_signature` is the type of every element, so an empty array keeps its type.
  static BusValue Array(const std::string& element_signature, std::vector<BusValue> elements);
  static BusValue Variant(BusValue content);
  static BusValue Struct(std::vector<BusValue> fields);
  // `entry_signature` is the key and value type ("sv" for a{sv}).
  static BusValue Dict(const std::string& entry_signature, std::vector<BusValue> entries);
  static BusValue DictEntry(BusValue key, BusValue value);

  Kind kind() const { return kind_; }
  // The value's complete D-Bus type ("i", "as", "a{sv}", "(is)", "v").
  std::string signature() const;

  bool IsInteger() const;  // the kinds Byte to UInt64, Bool not among them
  // An integer's value; a UInt64 above the int64 range reads as its two's complement, so check
  // the kind first where that matters.
  std::int64_t AsInt64() const { return static_cast<std::int64_t>(bits_); }
  std::uint64_t AsUInt64() const { return bits_; }
  bool AsBool() const { return bits_ != 0; }
  double AsDouble() const { return real_; }
  // The text of a String, ObjectPath or Signature.
  const std::string& text() const { return text_; }
  const std::vector<BusValue>& items() const { return items_; }

  // Whether a script value can hold it: the basic kinds up to 32 bits, doubles, bools, the text
  // kinds, and arrays and variants made of those.
  bool IsConvertible() const;

  bool operator==(const BusValue&) const = default;

 private:
  static BusValue Integer(Kind kind, std::uint64_t bits);
  static BusValue Text(Kind kind, std::string text);

  Kind kind_ = Kind::Int32;
  std::uint64_t bits_ = 0;
  double real_ = 0;
  std::string text_;  // the text kinds' value; the containers' own signature
  std::vector<BusValue> items_;
};

// The value as signature and contents, the way busctl shows it: `i 5`, `s "text"`, `ai [1, 2]`,
// `v s "x"`, `(is) (1, "x")`, `a{sv} {"k": i 1}`.
std::string Describe(const BusValue& value);
std::ostream& operator<<(std::ostream& out, const BusValue& value);

}  // namespace quoll::automation
