// Calls on the test server: arguments converted by the method's signature (and refused when
// they do not fit), every type of result, error replies, time-outs.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "libs/automation/bus_object.h"
#include "libs/automation/marshalling.h"
#include "test_bus.h"

namespace quoll::automation {
namespace {

using testing::DescribeAll;
using testing::FailureOf;
using testing::kServer;
using testing::OnTestBus;
using A = CallArgument::Array;

struct EchoCase {
  const char* name;
  const char* method;
  CallArgument argument;
  const char* reply;  // the echoed value as Describe writes it
};

void PrintTo(const EchoCase& c, std::ostream* os) {
  *os << c.name;
}

const EchoCase kEchoCases[] = {
    {"ByteLowest", "EchoByte", 0, "y 0"},
    {"ByteHighest", "EchoByte", 255, "y 255"},
    {"BoolTrue", "EchoBool", true, "b true"},
    {"BoolFalse", "EchoBool", false, "b false"},
    {"Int16Lowest", "EchoInt16", -32768, "n -32768"},
    {"UInt16Highest", "EchoUInt16", 65535, "q 65535"},
    {"Int32Lowest", "EchoInt32", INT32_MIN, "i -2147483648"},
    {"Int32Highest", "EchoInt32", INT32_MAX, "i 2147483647"},
    {"UInt32Highest", "EchoUInt32", 4294967295LL, "u 4294967295"},
    {"Int64Lowest", "EchoInt64", INT64_MIN, "x -9223372036854775808"},
    {"UInt64FromInteger", "EchoUInt64", INT64_MAX, "t 9223372036854775807"},
    {"Double", "EchoDouble", 2.5, "d 2.5"},
    {"DoubleFromInteger", "EchoDouble", -3, "d -3"},
    {"String", "EchoString",
     "gr\xC3\xBC\xC3\x9F"
     "e",
     "s \"gr\xC3\xBC\xC3\x9F"
     "e\""},
    {"EmptyString", "EchoString", "", "s \"\""},
    {"Path", "EchoPath", "/org/quoll/x", "o \"/org/quoll/x\""},
    {"Signature", "EchoSignature", "a{sv}", "g \"a{sv}\""},
    {"ByteArray", "EchoByteArray", A{0, 127, 255}, "ay [0, 127, 255]"},
    {"Int16Array", "EchoInt16Array", A{-1, 2}, "an [-1, 2]"},
    {"Int32Array", "EchoInt32Array", A{1, -2, 3}, "ai [1, -2, 3]"},
    {"EmptyArray", "EchoInt32Array", A{}, "ai []"},
    {"UInt32Array", "EchoUInt32Array", A{4294967295LL}, "au [4294967295]"},
    {"DoubleArray", "EchoDoubleArray", A{0.5, 2}, "ad [0.5, 2]"},
    {"BoolArray", "EchoBoolArray", A{true, false}, "ab [true, false]"},
    {"StringArray", "EchoStringArray", A{"a", "b"}, "as [\"a\", \"b\"]"},
    {"NestedArray", "EchoNestedArray", A{A{1}, A{}, A{2, 3}}, "aai [[1], [], [2, 3]]"},
    {"VariantOfInteger", "EchoVariant", 7, "v i 7"},
    {"VariantOfLargeInteger", "EchoVariant", 1LL << 40, "v x 1099511627776"},
    {"VariantOfReal", "EchoVariant", 0.25, "v d 0.25"},
    {"VariantOfBool", "EchoVariant", true, "v b true"},
    {"VariantOfString", "EchoVariant", "x", "v s \"x\""},
    {"VariantOfStrings", "EchoVariant", A{"a", "b"}, "v as [\"a\", \"b\"]"},
    {"VariantOfMixedIntegers", "EchoVariant", A{1, 1LL << 40}, "v ax [1, 1099511627776]"},
    {"VariantOfMixedArray", "EchoVariant", A{1, "a"}, "v av [i 1, s \"a\"]"},
    {"VariantOfEmptyArray", "EchoVariant", A{}, "v av []"},
    {"VariantOfNestedArrays", "EchoVariant", A{A{1}, A{2}}, "v aai [[1], [2]]"},
    {"VariantArray", "EchoVariantArray", A{1, "b", A{true}}, "av [i 1, s \"b\", ab [true]]"},
};

class EchoesArgument : public OnTestBus, public ::testing::WithParamInterface<EchoCase> {};

TEST_P(EchoesArgument, ConvertedByTheSignature) {
  const BusObject server = Create(kServer);
  const CallArgument arguments[] = {GetParam().argument};
  EXPECT_EQ(DescribeAll(server.Call(GetParam().method, arguments)), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(Call, EchoesArgument, ::testing::ValuesIn(kEchoCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  const char* method;
  CallArgument argument;
  const char* failure;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.name;
}

const RefusedCase kRefusedCases[] = {
    {"ByteBelow", "EchoByte", -1, "argument 1 of EchoByte: -1 does not fit \"y\" (0 to 255)"},
    {"ByteAbove", "EchoByte", 256, "argument 1 of EchoByte: 256 does not fit \"y\" (0 to 255)"},
    {"Int16Above", "EchoInt16", 32768, "argument 1 of EchoInt16: 32768 does not fit \"n\" (-32768 to 32767)"},
    {"UInt16Below", "EchoUInt16", -1, "argument 1 of EchoUInt16: -1 does not fit \"q\" (0 to 65535)"},
    {"Int32Above", "EchoInt32", 2147483648LL,
     "argument 1 of EchoInt32: 2147483648 does not fit \"i\" (-2147483648 to 2147483647)"},
    {"UInt32Below", "EchoUInt32", -1, "argument 1 of EchoUInt32: -1 does not fit \"u\" (0 to 4294967295)"},
    {"UInt64Below", "EchoUInt64", -1,
     "argument 1 of EchoUInt64: -1 does not fit \"t\" (0 to 18446744073709551615)"},
    {"RealToInteger", "EchoInt32", 1.0, "argument 1 of EchoInt32: \"i\" takes an integer, got a real"},
    {"StringToInteger", "EchoInt32", "1", "argument 1 of EchoInt32: \"i\" takes an integer, got a text"},
    {"BoolToInteger", "EchoInt32", true, "argument 1 of EchoInt32: \"i\" takes an integer, got a boolean"},
    {"IntegerToBool", "EchoBool", 1, "argument 1 of EchoBool: \"b\" takes a boolean, got an integer"},
    {"StringToDouble", "EchoDouble", "1.5", "argument 1 of EchoDouble: \"d\" takes a number, got a text"},
    {"IntegerToString", "EchoString", 5, "argument 1 of EchoString: \"s\" takes a text, got an integer"},
    {"ArrayToString", "EchoString", A{"a"}, "argument 1 of EchoString: \"s\" takes a text, got an array"},
    {"Latin1String", "EchoString", "caf\xE9", "argument 1 of EchoString: the text is not valid UTF-8"},
    {"StringWithNul", "EchoString", std::string("a\0b", 3),
     "argument 1 of EchoString: the text is not valid UTF-8"},
    {"BadPath", "EchoPath", "not/a/path",
     "argument 1 of EchoPath: \"not/a/path\" is not a valid object path"},
    {"BadSignature", "EchoSignature", "a{", "argument 1 of EchoSignature: \"a{\" is not a valid signature"},
    {"ScalarToArray", "EchoInt32Array", 1,
     "argument 1 of EchoInt32Array: \"ai\" takes an array, got an integer"},
    {"ArrayElementOutOfRange", "EchoByteArray", A{1, 2, 300},
     "argument 1 of EchoByteArray: element 3: 300 does not fit \"y\" (0 to 255)"},
    {"NestedElementWrong", "EchoNestedArray", A{A{1}, A{"x"}},
     "argument 1 of EchoNestedArray: element 2: element 1: \"i\" takes an integer, got a text"},
    {"VariantStringNotUtf8", "EchoVariant", "\xFF", "argument 1 of EchoVariant: the text is not valid UTF-8"},
};

class RefusesArgument : public OnTestBus, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusesArgument, ThatDoesNotFitTheSignature) {
  const BusObject server = Create(kServer);
  const CallArgument arguments[] = {GetParam().argument};
  EXPECT_EQ(FailureOf([&] { server.Call(GetParam().method, arguments); }),
            std::string("Argument: ") + GetParam().failure);
}

INSTANTIATE_TEST_SUITE_P(Call, RefusesArgument, ::testing::ValuesIn(kRefusedCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Signatures a script value cannot be given for: the member is described by hand, since the
// test server's table has no such inputs.
TEST_F(OnTestBus, TypesWithoutAScriptValueAreRefused) {
  const BusObject server = Create(kServer);
  const auto failure = [&](const char* signature, CallArgument argument) {
    BusMember member;
    member.name = "EchoAnything";
    member.interface = "org.quoll.TestServer.Types";
    member.in_signatures = {signature};
    const CallArgument arguments[] = {std::move(argument)};
    return FailureOf([&] { server.Call(member, arguments); });
  };
  EXPECT_EQ(failure("h", 3),
            "Argument: argument 1 of EchoAnything: \"h\" (a file descriptor) cannot be passed");
  EXPECT_EQ(failure("(is)", A{1, "a"}),
            "Argument: argument 1 of EchoAnything: \"(is)\" (a struct) cannot be passed");
  EXPECT_EQ(failure("a{sv}", A{}),
            "Argument: argument 1 of EchoAnything: \"a{sv}\" (a dict) cannot be passed");
  EXPECT_EQ(failure("ii", 1), "Argument: argument 1 of EchoAnything: \"ii\" is not a single complete type");
}

TEST_F(OnTestBus, ArgumentCountMustMatch) {
  const BusObject server = Create(kServer);
  const CallArgument one[] = {1};
  EXPECT_EQ(FailureOf([&] { server.Call("Sum", one); }), "Argument: Sum takes 2 arguments, got 1");
  EXPECT_EQ(FailureOf([&] { server.Call("Count", one); }), "Argument: Count takes 0 arguments, got 1");
  const CallArgument two[] = {40, 2};
  EXPECT_EQ(DescribeAll(server.Call("Sum", two)), "i 42");
}

TEST_F(OnTestBus, VariantArgumentsCarryTheTypeOfTheirValue) {
  const BusObject server = Create(kServer);
  const auto type_of = [&](CallArgument argument) {
    const CallArgument arguments[] = {std::move(argument)};
    return DescribeAll(server.Call("DescribeVariant", arguments));
  };
  EXPECT_EQ(type_of(INT32_MIN), "s \"i\"");
  EXPECT_EQ(type_of(INT64_C(2147483648)), "s \"x\"");
  EXPECT_EQ(type_of(A{A{"a"}, A{"b"}}), "s \"aas\"");
  EXPECT_EQ(type_of(A{A{}, A{"a"}}), "s \"aas\"");  // an empty array takes its neighbours' type
  EXPECT_EQ(type_of(A{A{}, A{A{}}, A{A{1}}}), "s \"aaai\"");
  EXPECT_EQ(type_of(A{A{}}), "s \"aav\"");
  EXPECT_EQ(type_of(A{A{1}, A{"a"}}), "s \"av\"");
  EXPECT_EQ(type_of(A{A{1}, A{INT64_C(1) << 40}}), "s \"aax\"");
  EXPECT_EQ(type_of(A{A{1}, 2}), "s \"av\"");
}

TEST(Call, ArraysTooDeepForAVariantAreRefused) {
  CallArgument deep = 1;
  for (int i = 0; i < 33; ++i) deep = A{deep};
  EXPECT_EQ(FailureOf([&] { VariantSignatureOf(deep); }), "Argument: arrays nest too deeply for the bus");
  CallArgument limit = 1;
  for (int i = 0; i < 32; ++i) limit = A{limit};
  EXPECT_EQ(VariantSignatureOf(limit), std::string(32, 'a') + "i");
}

struct ResultCase {
  const char* name;
  const char* method;
  const char* reply;
  bool convertible;
};

void PrintTo(const ResultCase& c, std::ostream* os) {
  *os << c.name;
}

const ResultCase kResultCases[] = {
    {"SeveralOutArguments", "Several", "i 42; s \"forty-two\"; b true; as [\"a\", \"b\"]", true},
    {"NoOutArgument", "Nothing", "", true},
    {"Int64", "GetInt64", "x -5000000000", false},
    {"UInt64", "GetUInt64", "t 18446744073709551615", false},
    {"Struct", "GetStruct", "(is) (7, \"seven\")", false},
    {"Dict", "GetDict", "a{sv} {\"one\": i 1, \"two\": s \"2\"}", false},
    {"Fd", "GetFd", "h fd", false},
    {"ArrayOfStructs", "GetArrayOfStructs", "a(is) [(3, \"three\")]", false},
    {"VariantOfInt64", "GetVariantOfInt64", "v x 1099511627776", false},
    {"Property", "Count", "i 7", true},
};

class ReadsResult : public OnTestBus, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ReadsResult, WholeWhateverItsType) {
  const BusObject server = Create(kServer);
  const std::vector<BusValue> values = server.Call(GetParam().method, {});
  EXPECT_EQ(DescribeAll(values), GetParam().reply);
  bool convertible = true;
  for (const BusValue& value : values) convertible = convertible && value.IsConvertible();
  EXPECT_EQ(convertible, GetParam().convertible);
}

INSTANTIATE_TEST_SUITE_P(Call, ReadsResult, ::testing::ValuesIn(kResultCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OnTestBus, ErrorReplyGivesItsNameAndMessage) {
  const BusObject server = Create(kServer);
  EXPECT_EQ(FailureOf([&] { server.Call("Fail", {}); }),
            "Call: The server refuses, as asked. [org.quoll.TestServer.Error.Refused]");
  // The connection serves the next call as before.
  EXPECT_EQ(DescribeAll(server.Call("EchoInt32", std::vector<CallArgument>{1})), "i 1");
}

TEST_F(OnTestBus, MethodTheObjectDoesNotHaveIsTheRemoteError) {
  const BusObject server = Create(kServer);
  BusMember missing;
  missing.name = "NoSuchMethod";
  missing.interface = "org.quoll.TestServer.Types";
  const std::string failure = FailureOf([&] { server.Call(missing, {}); });
  EXPECT_TRUE(failure.starts_with("Call: ")) << failure;
  EXPECT_TRUE(failure.ends_with("[org.freedesktop.DBus.Error.UnknownMethod]")) << failure;
}

TEST_F(OnTestBus, ReplyLaterThanTheTimeOutIsACallError) {
  const BusObject server = Create(kServer);
  const CallArgument long_sleep[] = {2000};
  const auto started = std::chrono::steady_clock::now();
  const std::string failure =
      FailureOf([&] { server.Call("Sleep", long_sleep, std::chrono::milliseconds(100)); });
  EXPECT_TRUE(failure.starts_with("Call: ")) << failure;
  EXPECT_TRUE(failure.find("Timeout") != std::string::npos || failure.find("timed out") != std::string::npos)
      << failure;
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1500));
  // A reply that comes in time is read; the late one of before is dropped unread.
  const CallArgument short_sleep[] = {10};
  EXPECT_EQ(DescribeAll(server.Call("Sleep", short_sleep)), "");
}

TEST_F(OnTestBus, ReplyOfMoreValuesThanAScriptArrayHoldsIsRefused) {
  const BusObject server = Create(kServer);
  // The array counts as one value, its elements as one each.
  const CallArgument most[] = {static_cast<std::int64_t>(kMaxReplyValues - 1)};
  EXPECT_EQ(server.Call("Bytes", most).front().items().size(), kMaxReplyValues - 1);
  const CallArgument too_many[] = {static_cast<std::int64_t>(kMaxReplyValues)};
  EXPECT_EQ(FailureOf([&] { server.Call("Bytes", too_many); }),
            "Reply: the reply holds more than 4194304 values");
}

TEST_F(OnTestBus, WritablePropertyReadsItsValue) {
  const BusObject server = Create(kServer);
  EXPECT_EQ(DescribeAll(server.Call("Greeting", {})), "s \"hello\"");
}

}  // namespace
}  // namespace quoll::automation
