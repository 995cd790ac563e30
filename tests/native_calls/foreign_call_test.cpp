// Calls through the libffi layer: every type in and out of the project's test library, `var`
// parameters, texts, a filled buffer, sixteen arguments, and a few functions of the C library.
#include "libs/native_calls/foreign_call.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "libs/native_calls/native_call_error.h"
#include "libs/native_calls/shared_library.h"

namespace quoll {
namespace {

constexpr CParameter In(CType type) {
  return {type, false};
}
constexpr CParameter Var(CType type) {
  return {type, true};
}

ForeignValue Number(std::int64_t value) {
  return {value, {}};
}
ForeignValue Text(std::string value) {
  return {0, std::move(value)};
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const NativeCallError& e) {
    return e.what();
  }
  return "no error";
}

class ForeignCall : public ::testing::Test {
 protected:
  // Calls the export `name` of `library` with `signature`; the arguments hold what `var`
  // parameters received afterwards.
  static ForeignValue CallIn(const SharedLibrary& library, const std::string& name, CSignature signature,
                             std::vector<ForeignValue>& arguments) {
    ForeignValue result;
    PreparedSignature(std::move(signature)).Call(library.Export(name), arguments, result);
    return result;
  }
  ForeignValue Call(const std::string& name, CSignature signature, std::vector<ForeignValue>& arguments) {
    return CallIn(exports_, name, std::move(signature), arguments);
  }
  ForeignValue Call(const std::string& name, CSignature signature, std::vector<ForeignValue>&& arguments) {
    return Call(name, std::move(signature), arguments);
  }

  SharedLibrary exports_ = SharedLibrary::Open(QUOLL_TEST_EXPORTS);
};

struct NumericType {
  const char* suffix;
  CType type;
  std::vector<std::pair<std::int64_t, std::int64_t>> successors;  // argument, result of qt_next_*
  std::int64_t given, found, stored;                              // the qt_swap_* call
};

const NumericType kNumericTypes[] = {
    {"uint8", CType::kUInt8, {{0, 1}, {254, 255}, {255, 0}, {256 + 7, 8}, {-1, 0}}, 300, 44, 200},
    {"int8", CType::kInt8, {{-1, 0}, {127, -128}, {-128, -127}, {255, 0}}, -5, -5, -100},
    {"uchar", CType::kUnsignedChar, {{'a', 'b'}, {255, 0}, {128, 129}}, 'q', 'q', 'Z'},
    {"uint16", CType::kUInt16, {{40000, 40001}, {65535, 0}, {65536, 1}}, 1234, 1234, 60000},
    {"int16", CType::kInt16, {{32767, -32768}, {-32768, -32767}, {65535, 0}}, -1234, -1234, -30000},
    {"uint32",
     CType::kUInt32,
     {{4294967294, 4294967295}, {4294967295, 0}, {-1, 0}},
     3000000000,
     3000000000,
     4000000000},
    {"int32",
     CType::kInt32,
     {{2147483647, -2147483648}, {-2147483648, -2147483647}, {4294967295, 0}},
     -7,
     -7,
     -2000000000},
};

TEST_F(ForeignCall, EveryNumericTypeInAndOutCutToItsWidth) {
  for (const NumericType& t : kNumericTypes) {
    SCOPED_TRACE(t.suffix);
    PreparedSignature next({t.type, {In(t.type)}});
    void* function = exports_.Export(std::string("qt_next_") + t.suffix);
    for (auto [argument, expected] : t.successors) {
      std::vector<ForeignValue> arguments{Number(argument)};
      ForeignValue result;
      next.Call(function, arguments, result);
      EXPECT_EQ(result.number, expected) << "argument " << argument;
    }
  }
  // The callee widens what it gets: a wrong sign or zero extension would change the sum.
  ForeignValue sum = Call("qt_sum_small",
                          {CType::kInt32,
                           {In(CType::kInt8), In(CType::kUInt8), In(CType::kInt16), In(CType::kUInt16),
                            In(CType::kUnsignedChar)}},
                          {Number(-1), Number(255), Number(-1), Number(65535), Number(200)});
  EXPECT_EQ(sum.number, -1 + 255 - 1 + 65535 + 200);
}

TEST_F(ForeignCall, VarNumbersPassTheirValueAndReadBackWhatTheRoutineStored) {
  for (const NumericType& t : kNumericTypes) {
    SCOPED_TRACE(t.suffix);
    std::vector<ForeignValue> arguments{Number(t.given)};
    ForeignValue found = Call(std::string("qt_swap_") + t.suffix, {t.type, {Var(t.type)}}, arguments);
    EXPECT_EQ(found.number, t.found);
    EXPECT_EQ(arguments[0].number, t.stored);
  }
}

TEST_F(ForeignCall, TextsInArePointersToZeroTerminatedCharacters) {
  const CSignature length{CType::kInt32, {In(CType::kText)}};
  for (const char* text : {"", "abc", "with a blank", "\xC3\xA9t\xC3\xA9"})
    EXPECT_EQ(Call("qt_text_length", length, {Text(text)}).number,
              static_cast<std::int64_t>(std::strlen(text)))
        << text;
  // A NUL byte inside a text ends it for the routine.
  EXPECT_EQ(Call("qt_text_length", length, {Text(std::string("ab\0cd", 5))}).number, 2);

  const CSignature equal{CType::kInt32, {In(CType::kText), In(CType::kText)}};
  EXPECT_EQ(Call("qt_texts_equal", equal, {Text("same"), Text("same")}).number, 1);
  EXPECT_EQ(Call("qt_texts_equal", equal, {Text("same"), Text("Same")}).number, 0);
  EXPECT_EQ(Call("qt_texts_equal", equal, {Text(""), Text("")}).number, 1);
}

TEST_F(ForeignCall, TextResultsAreCopiedAndNullIsEmpty) {
  EXPECT_EQ(Call("qt_greeting", {CType::kText, {}}, {}).text, "Hello from the test library");
  EXPECT_EQ(Call("qt_null_text", {CType::kText, {}}, {}).text, "");
  // The returned pointer points into the argument; the copy outlives it.
  std::string longText(10000, 'x');
  EXPECT_EQ(Call("qt_echo_text", {CType::kText, {In(CType::kText)}}, {Text(longText)}).text, longText);
  EXPECT_EQ(Call("qt_echo_text", {CType::kText, {In(CType::kText)}}, {Text("")}).text, "");

  // A text result replaces what the result held; a void result leaves it.
  ForeignValue result = Text("old");
  PreparedSignature nullText({CType::kText, {}});
  nullText.Call(exports_.Export("qt_null_text"), {}, result);
  EXPECT_EQ(result.text, "");
  result = {17, "kept"};
  std::vector<ForeignValue> arguments{Number(31)};
  PreparedSignature({CType::kVoid, {In(CType::kInt32)}}).Call(exports_.Export("qt_store"), arguments, result);
  EXPECT_EQ(result.number, 17);
  EXPECT_EQ(result.text, "kept");
  EXPECT_EQ(Call("qt_stored", {CType::kInt32, {}}, {}).number, 31);
}

TEST_F(ForeignCall, VarTextsAreTheBufferAndKeepTheirLength) {
  const CSignature upcase{CType::kVoid, {Var(CType::kText)}};
  for (auto [given, expected] : {std::pair{"MiXed 1a z", "MIXED 1A Z"}, std::pair{"", ""}}) {
    std::vector<ForeignValue> arguments{Text(given)};
    Call("qt_upcase_in_place", upcase, arguments);
    EXPECT_EQ(arguments[0].text, expected);
  }

  struct Fill {
    std::string buffer;
    std::int64_t size, value, returned;
    std::string expected;
  };
  const Fill fills[] = {
      // Room to spare: the text, its NUL, and the untouched rest.
      {std::string(20, '.'), 21, 42, 8, std::string("value=42\0...........", 20)},
      // Exactly the buffer and its terminator: the NUL lands on the terminator.
      {"        ", 9, -7, 8, "value=-7"},
      // Too small: cut to the buffer, the NUL on the terminator.
      {"     ", 6, 12345, 11, "value"},
      // A size short of the buffer: the routine's NUL inside the text.
      {"abc", 3, 1, 7, std::string("va\0", 3)},
      {"unchanged", 0, 5, 7, "unchanged"},
  };
  const CSignature fill{CType::kInt32, {Var(CType::kText), In(CType::kUInt32), In(CType::kInt32)}};
  for (const Fill& f : fills) {
    std::vector<ForeignValue> arguments{Text(f.buffer), Number(f.size), Number(f.value)};
    EXPECT_EQ(Call("qt_fill_buffer", fill, arguments).number, f.returned);
    EXPECT_EQ(arguments[0].text, f.expected) << "size " << f.size;
    EXPECT_EQ(arguments[0].text.c_str()[arguments[0].text.size()], '\0');
  }

  // strncpy fills all the bytes it is given, the terminator's among them, and leaves no NUL; the
  // buffer gets its terminator back before the result, a pointer into it, is read.
  SharedLibrary libc = SharedLibrary::Open("libc.so.6");
  std::vector<ForeignValue> arguments{Text("....."), Text("abcdefgh"), Number(6)};
  ForeignValue copied = CallIn(
      libc, "strncpy", {CType::kText, {Var(CType::kText), In(CType::kText), In(CType::kUInt32)}}, arguments);
  EXPECT_EQ(arguments[0].text, "abcde");
  EXPECT_EQ(copied.text, "abcde");
}

TEST_F(ForeignCall, SixteenArgumentsMostOnTheStack) {
  const CSignature signature{
      CType::kUInt32,
      {In(CType::kUInt8), In(CType::kInt8), In(CType::kUInt16), In(CType::kInt16), In(CType::kUInt32),
       In(CType::kInt32), In(CType::kText), In(CType::kUnsignedChar), Var(CType::kInt32), In(CType::kUInt8),
       In(CType::kInt16), In(CType::kText), In(CType::kUInt32), In(CType::kInt8), Var(CType::kUInt16),
       In(CType::kInt32)}};
  std::vector<ForeignValue> arguments{Number(250),        Number(-3),      Number(60000), Number(-20000),
                                      Number(3000000000), Number(-123456), Text("seven"), Number('x'),
                                      Number(999),        Number(10),      Number(-11),   Text("twelve!"),
                                      Number(13),         Number(-14),     Number(1515),  Number(16)};
  // The values the routine sees, texts by their length, weighted by position.
  const std::int64_t seen[] = {250, -3, 60000, -20000, 3000000000, -123456, 5,    'x',
                               999, 10, -11,   7,      13,         -14,     1515, 16};
  std::uint32_t checksum = 0;
  std::int64_t sum = 0;
  for (int i = 0; i < 16; ++i) {
    checksum += static_cast<std::uint32_t>(seen[i]) * static_cast<std::uint32_t>(i + 1);
    sum += seen[i];
  }
  EXPECT_EQ(Call("qt_checksum16", signature, arguments).number, checksum);
  EXPECT_EQ(arguments[8].number, static_cast<std::int32_t>(sum));
  EXPECT_EQ(arguments[14].number, 16);
}

TEST_F(ForeignCall, TheCLibrary) {
  SharedLibrary libc = SharedLibrary::Open("libc.so.6");
  std::vector<ForeignValue> arguments{Text("hello, world")};
  EXPECT_EQ(CallIn(libc, "strlen", {CType::kUInt32, {In(CType::kText)}}, arguments).number, 12);
  arguments = {Text("")};
  EXPECT_EQ(CallIn(libc, "strlen", {CType::kUInt32, {In(CType::kText)}}, arguments).number, 0);
  for (auto [given, expected] : {std::pair{-42, 42}, std::pair{42, 42}, std::pair{0, 0}}) {
    arguments = {Number(given)};
    EXPECT_EQ(CallIn(libc, "abs", {CType::kInt32, {In(CType::kInt32)}}, arguments).number, expected);
  }
  for (auto [given, expected] : {std::pair{'q', 'Q'}, std::pair{'Q', 'Q'}, std::pair{'1', '1'}}) {
    arguments = {Number(given)};
    EXPECT_EQ(CallIn(libc, "toupper", {CType::kInt32, {In(CType::kInt32)}}, arguments).number, expected);
  }
  ASSERT_EQ(setenv("QUOLL_NATIVE_CALL_TEST", "found it", 1), 0);
  unsetenv("QUOLL_NATIVE_CALL_TEST_UNSET");
  const CSignature getenvSignature{CType::kText, {In(CType::kText)}};
  arguments = {Text("QUOLL_NATIVE_CALL_TEST")};
  EXPECT_EQ(CallIn(libc, "getenv", getenvSignature, arguments).text, "found it");
  arguments = {Text("QUOLL_NATIVE_CALL_TEST_UNSET")};
  EXPECT_EQ(CallIn(libc, "getenv", getenvSignature, arguments).text, "");
}

TEST_F(ForeignCall, BadSignaturesAndArgumentsAreRefused) {
  EXPECT_EQ(ErrorOf([] {
              PreparedSignature({CType::kInt32, {In(CType::kInt32), In(CType::kVoid)}});
            }),
            "parameter 2 cannot be void");
  EXPECT_EQ(ErrorOf([] {
              PreparedSignature({CType::kInt32, {Var(CType::kVoid)}});
            }),
            "parameter 1 cannot be void");
  EXPECT_EQ(ErrorOf([] { PreparedSignature({static_cast<CType>(99), {}}); }), "unknown result type");

  PreparedSignature next({CType::kInt32, {In(CType::kInt32)}});
  void* function = exports_.Export("qt_next_int32");
  ForeignValue result{5, ""};
  std::vector<ForeignValue> none, two{Number(1), Number(2)};
  EXPECT_EQ(ErrorOf([&] { next.Call(function, none, result); }),
            "wrong number of arguments: 1 expected, 0 given");
  EXPECT_EQ(ErrorOf([&] { next.Call(function, two, result); }),
            "wrong number of arguments: 1 expected, 2 given");
  std::vector<ForeignValue> one{Number(1)};
  EXPECT_EQ(ErrorOf([&] { next.Call(nullptr, one, result); }), "no function to call");
  EXPECT_EQ(result.number, 5);

  // A copy shares the prepared call and outlives the original.
  PreparedSignature copy = next;
  next = PreparedSignature({CType::kVoid, {}});
  copy.Call(function, one, result);
  EXPECT_EQ(result.number, 2);
}

}  // namespace
}  // namespace quoll
