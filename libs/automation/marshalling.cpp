// Arguments onto the bus by the method's signature; reply values into BusValues.
#include "libs/automation/marshalling.h"

#include <cstring>
#include <limits>
#include <string>

#include "libs/automation/bus_error.h"
#include "libs/automation/bus_name.h"
#include "libs/automation/sd_bus_library.h"
#include "libs/automation/signature.h"
#include "libs/automation/utf8.h"

namespace quoll::automation {

namespace {

constexpr int kMaxArrayNesting = 32;
// Containers within containers, variants included: what the bus accepts in one message.
constexpr int kMaxContainerNesting = 64;

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

[[noreturn]] void Fail(const std::string& message) {
  throw BusError(BusErrorKind::Argument, message);
}

void Check(int result) {
  if (result < 0) Fail(std::string("the argument could not be added: ") + std::strerror(-result));
}

const char* ShapeName(const CallArgument& argument) {
  switch (argument.value().index()) {
    case 0:
      return "an integer";
    case 1:
      return "a real";
    case 2:
      return "a boolean";
    case 3:
      return "a text";
    default:
      return "an array";
  }
}

[[noreturn]] void FailShape(std::string_view signature, const char* wanted, const CallArgument& argument) {
  Fail(Quoted(signature) + " takes " + wanted + ", got " + ShapeName(argument));
}

template <typename T>
bool Fits(std::int64_t value) {
  if constexpr (std::is_signed_v<T>) {
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
  } else {
    return value >= 0 && static_cast<std::uint64_t>(value) <= std::numeric_limits<T>::max();
  }
}

template <typename T>
void AppendInteger(sd_bus_message* message, char code, const CallArgument& argument) {
  const auto* integer = std::get_if<std::int64_t>(&argument.value());
  if (!integer) FailShape(std::string(1, code), "an integer", argument);
  if (!Fits<T>(*integer)) {
    Fail(std::to_string(*integer) + " does not fit " + Quoted(std::string(1, code)) + " (" +
         std::to_string(std::numeric_limits<T>::min()) + " to " +
         std::to_string(std::numeric_limits<T>::max()) + ")");
  }
  const T value = static_cast<T>(*integer);
  Check(SdBus().message_append_basic(message, code, &value));
}

void AppendText(sd_bus_message* message, char code, const CallArgument& argument) {
  const auto* text = std::get_if<std::string>(&argument.value());
  if (!text) FailShape(std::string(1, code), "a text", argument);
  if (!IsValidUtf8(*text)) Fail("the text is not valid UTF-8");
  if (code == 'o' && !IsValidObjectPath(*text)) Fail(Quoted(*text) + " is not a valid object path");
  if (code == 'g' && !IsValidSignature(*text)) Fail(Quoted(*text) + " is not a valid signature");
  Check(SdBus().message_append_basic(message, code, text->c_str()));
}

// The element type all of an array's elements share: "i" and "x" meet in "x", an empty array
// (its element type still open, written "a" alone) meets any array, anything else that differs
// meets in "v".
std::string CommonElementSignature(const std::string& a, const std::string& b) {
  if (a == b) return a;
  if ((a == "i" && b == "x") || (a == "x" && b == "i")) return "x";
  if (a.starts_with('a') && b.starts_with('a')) {
    if (a == "a") return b;
    if (b == "a") return a;
    const std::string element = CommonElementSignature(a.substr(1), b.substr(1));
    return element == "v" ? "v" : "a" + element;
  }
  return "v";
}

// The signature with element types still open: an empty array is "a".
std::string OpenVariantSignature(const CallArgument& argument, int depth) {
  const CallArgument::Value& value = argument.value();
  if (const auto* integer = std::get_if<std::int64_t>(&value))
    return Fits<std::int32_t>(*integer) ? "i" : "x";
  if (std::holds_alternative<double>(value)) return "d";
  if (std::holds_alternative<bool>(value)) return "b";
  if (std::holds_alternative<std::string>(value)) return "s";
  if (depth >= kMaxArrayNesting) Fail("arrays nest too deeply for the bus");
  const auto& elements = std::get<CallArgument::Array>(value);
  if (elements.empty()) return "a";
  std::string element = OpenVariantSignature(elements.front(), depth + 1);
  for (std::size_t i = 1; i < elements.size() && element != "v"; ++i) {
    element = CommonElementSignature(element, OpenVariantSignature(elements[i], depth + 1));
  }
  return "a" + element;
}

// An element type left open is only ever the last one ("aa" for [[]]); "v" closes it.
std::string VariantSignature(const CallArgument& argument) {
  std::string signature = OpenVariantSignature(argument, 0);
  if (signature.ends_with('a')) signature += 'v';
  return signature;
}

void Append(sd_bus_message* message, std::string_view signature, const CallArgument& argument, int depth);

void AppendArray(sd_bus_message* message, std::string_view signature, const CallArgument& argument,
                 int depth) {
  const std::string_view element = signature.substr(1);
  if (element.front() == '{') Fail(Quoted(signature) + " (a dict) cannot be passed");
  const auto* elements = std::get_if<CallArgument::Array>(&argument.value());
  if (!elements) FailShape(signature, "an array", argument);
  const std::string element_signature(element);
  Check(SdBus().message_open_container(message, 'a', element_signature.c_str()));
  for (std::size_t i = 0; i < elements->size(); ++i) {
    try {
      Append(message, element, (*elements)[i], depth + 1);
    } catch (const BusError& e) {
      Fail("element " + std::to_string(i + 1) + ": " + e.what());
    }
  }
  Check(SdBus().message_close_container(message));
}

void AppendVariant(sd_bus_message* message, const CallArgument& argument, int depth) {
  const std::string content = VariantSignature(argument);
  Check(SdBus().message_open_container(message, 'v', content.c_str()));
  Append(message, content, argument, depth + 1);
  Check(SdBus().message_close_container(message));
}

void Append(sd_bus_message* message, std::string_view signature, const CallArgument& argument, int depth) {
  if (depth > kMaxContainerNesting) Fail("the value nests too deeply for the bus");
  const char code = signature.front();
  switch (code) {
    case 'y':
      return AppendInteger<std::uint8_t>(message, code, argument);
    case 'n':
      return AppendInteger<std::int16_t>(message, code, argument);
    case 'q':
      return AppendInteger<std::uint16_t>(message, code, argument);
    case 'i':
      return AppendInteger<std::int32_t>(message, code, argument);
    case 'u':
      return AppendInteger<std::uint32_t>(message, code, argument);
    case 'x':
      return AppendInteger<std::int64_t>(message, code, argument);
    case 't':
      return AppendInteger<std::uint64_t>(message, code, argument);
    case 'd': {
      double real;
      if (const auto* integer = std::get_if<std::int64_t>(&argument.value())) {
        real = static_cast<double>(*integer);
      } else if (const auto* given = std::get_if<double>(&argument.value())) {
        real = *given;
      } else {
        FailShape(signature, "a number", argument);
      }
      return Check(SdBus().message_append_basic(message, 'd', &real));
    }
    case 'b': {
      const auto* boolean = std::get_if<bool>(&argument.value());
      if (!boolean) FailShape(signature, "a boolean", argument);
      const int value = *boolean ? 1 : 0;  // sd-bus reads a "b" as an int
      return Check(SdBus().message_append_basic(message, 'b', &value));
    }
    case 's':
    case 'o':
    case 'g':
      return AppendText(message, code, argument);
    case 'h':
      Fail(Quoted(signature) + " (a file descriptor) cannot be passed");
    case 'a':
      return AppendArray(message, signature, argument, depth);
    case 'v':
      return AppendVariant(message, argument, depth);
    default:
      Fail(Quoted(signature) + " (a struct) cannot be passed");
  }
}

// Reading ---------------------------------------------------------------------------------------

[[noreturn]] void FailRead(int result) {
  throw BusError(BusErrorKind::Reply, std::string("the reply could not be read: ") + std::strerror(-result));
}

int Read(int result) {
  if (result < 0) FailRead(result);
  return result;
}

template <typename T>
T ReadBasic(sd_bus_message* message, char code) {
  T value{};
  Read(SdBus().message_read_basic(message, code, &value));
  return value;
}

// How many more values a reply may hold; taken before they are made, so a huge reply fails
// before it fills the memory.
class ReadBudget {
 public:
  void Take(std::size_t count) {
    if (count > left_) {
      throw BusError(BusErrorKind::Reply,
                     "the reply holds more than " + std::to_string(kMaxReplyValues) + " values");
    }
    left_ -= count;
  }

 private:
  std::size_t left_ = kMaxReplyValues;
};

BusValue ReadValue(sd_bus_message* message, ReadBudget& budget, char type, const char* contents);

// Reads values until the end of the container the message is in.
std::vector<BusValue> ReadItems(sd_bus_message* message, ReadBudget& budget) {
  std::vector<BusValue> items;
  char type;
  const char* contents;
  while (Read(SdBus().message_peek_type(message, &type, &contents)) > 0) {
    budget.Take(1);
    items.push_back(ReadValue(message, budget, type, contents));
  }
  return items;
}

std::vector<BusValue> ReadContainer(sd_bus_message* message, ReadBudget& budget, char type,
                                    const char* contents) {
  Read(SdBus().message_enter_container(message, type, contents));
  std::vector<BusValue> items = ReadItems(message, budget);
  Read(SdBus().message_exit_container(message));
  return items;
}

// Arrays of fixed-size numbers come in one piece instead of element by element.
template <typename T, typename Make>
BusValue ReadFixedArray(sd_bus_message* message, ReadBudget& budget, char code, Make make) {
  const void* data = nullptr;
  std::size_t size = 0;
  Read(SdBus().message_read_array(message, code, &data, &size));
  budget.Take(size / sizeof(T));
  std::vector<BusValue> elements;
  elements.reserve(size / sizeof(T));
  for (std::size_t i = 0; i < size / sizeof(T); ++i) {
    T element;
    std::memcpy(&element, static_cast<const char*>(data) + i * sizeof(T), sizeof(T));
    elements.push_back(make(element));
  }
  return BusValue::Array(std::string(1, code), std::move(elements));
}

BusValue ReadArray(sd_bus_message* message, ReadBudget& budget, const char* contents) {
  if (contents[0] != '\0' && contents[1] == '\0') {
    switch (contents[0]) {
      case 'y':
        return ReadFixedArray<std::uint8_t>(message, budget, 'y', BusValue::Byte);
      case 'n':
        return ReadFixedArray<std::int16_t>(message, budget, 'n', BusValue::Int16);
      case 'q':
        return ReadFixedArray<std::uint16_t>(message, budget, 'q', BusValue::UInt16);
      case 'i':
        return ReadFixedArray<std::int32_t>(message, budget, 'i', BusValue::Int32);
      case 'u':
        return ReadFixedArray<std::uint32_t>(message, budget, 'u', BusValue::UInt32);
      case 'x':
        return ReadFixedArray<std::int64_t>(message, budget, 'x', BusValue::Int64);
      case 't':
        return ReadFixedArray<std::uint64_t>(message, budget, 't', BusValue::UInt64);
      case 'd':
        return ReadFixedArray<double>(message, budget, 'd', BusValue::Double);
      default:
        break;
    }
  }
  std::vector<BusValue> elements = ReadContainer(message, budget, 'a', contents);
  if (contents[0] == '{') {
    const std::string entry(contents + 1, std::strlen(contents) - 2);
    return BusValue::Dict(entry, std::move(elements));
  }
  return BusValue::Array(contents, std::move(elements));
}

BusValue ReadValue(sd_bus_message* message, ReadBudget& budget, char type, const char* contents) {
  switch (type) {
    case 'y':
      return BusValue::Byte(ReadBasic<std::uint8_t>(message, type));
    case 'b':
      return BusValue::Bool(ReadBasic<int>(message, type) != 0);
    case 'n':
      return BusValue::Int16(ReadBasic<std::int16_t>(message, type));
    case 'q':
      return BusValue::UInt16(ReadBasic<std::uint16_t>(message, type));
    case 'i':
      return BusValue::Int32(ReadBasic<std::int32_t>(message, type));
    case 'u':
      return BusValue::UInt32(ReadBasic<std::uint32_t>(message, type));
    case 'x':
      return BusValue::Int64(ReadBasic<std::int64_t>(message, type));
    case 't':
      return BusValue::UInt64(ReadBasic<std::uint64_t>(message, type));
    case 'd':
      return BusValue::Double(ReadBasic<double>(message, type));
    case 's':
      return BusValue::String(ReadBasic<const char*>(message, type));
    case 'o':
      return BusValue::ObjectPath(ReadBasic<const char*>(message, type));
    case 'g':
      return BusValue::Signature(ReadBasic<const char*>(message, type));
    case 'h':
      ReadBasic<int>(message, type);  // the descriptor belongs to the message and closes with it
      return BusValue::UnixFd();
    case 'a':
      return ReadArray(message, budget, contents);
    case 'v': {
      std::vector<BusValue> content = ReadContainer(message, budget, 'v', contents);
      if (content.size() != 1) FailRead(-EBADMSG);
      return BusValue::Variant(std::move(content.front()));
    }
    case 'r':
      return BusValue::Struct(ReadContainer(message, budget, 'r', contents));
    case 'e': {
      std::vector<BusValue> pair = ReadContainer(message, budget, 'e', contents);
      if (pair.size() != 2) FailRead(-EBADMSG);
      return BusValue::DictEntry(std::move(pair[0]), std::move(pair[1]));
    }
    default:
      FailRead(-EBADMSG);
  }
}

}  // namespace

void AppendArgument(sd_bus_message* message, std::string_view signature, const CallArgument& argument) {
  if (!IsSingleCompleteType(signature)) Fail(Quoted(signature) + " is not a single complete type");
  Append(message, signature, argument, 0);
}

std::string VariantSignatureOf(const CallArgument& argument) {
  return VariantSignature(argument);
}

std::vector<BusValue> ReadValues(sd_bus_message* message) {
  ReadBudget budget;
  return ReadItems(message, budget);
}

}  // namespace quoll::automation
