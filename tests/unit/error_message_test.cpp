// The message of every script error code, with and without an error parameter.
#include <gtest/gtest.h>

#include <string>

#include "engine/errors.h"

namespace quoll_test {
namespace {

using quoll::ErrorCode;
using quoll::ErrorMessage;

// The table is by number: the numbers are what scripts and users see in error reports.
std::string MessageOfNumber(uint16_t code, const std::string& param) {
  return ErrorMessage(static_cast<ErrorCode>(code), param);
}

struct MessageCase {
  uint16_t code;
  const char* message;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
  *os << "code " << c.code << " -> \"" << c.message << "\"";
}

class ErrorMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(ErrorMessageTest, CodeWithoutParameterGivesItsMessage) {
  EXPECT_EQ(MessageOfNumber(GetParam().code, ""), GetParam().message);
}

const MessageCase kMessages[] = {
    {0, "no error"},
    {1, "can not read property"},
    {2, "can not write property"},
    {3, "unknown identifier"},
    {4, "identifier expected"},
    {5, "semicolon expected"},
    {6, "begin expected"},
    {7, "duplicate identifier"},
    {8, "unexpected end of file"},
    {9, "colon expected"},
    {10, "syntax error"},
    {11, "string error"},
    {12, "error in statement"},
    {13, "assignment expected"},
    {14, "type mismatch"},
    {15, "error in expression"},
    {16, "round open expected"},
    {17, "round close expected"},
    {18, "variable expected"},
    {19, "comma expected"},
    {20, "then expected"},
    {21, "period expected"},
    {22, "parameter error"},
    {23, "to expected"},
    {24, "do expected"},
    {25, "of expected"},
    {26, "end expected"},
    {27, "open block expected"},
    {28, "close block expected"},
    {29, "constant expected"},
    {30, "is expected"},
    {31, "integer variable expected"},
    {32, "close round expected"},
    {33, "until expected"},
    {34, "class not allowed here"},
    {35, "class type expected"},
    {36, "can not override"},
    {37, "unsatisfied forward: "},
    {38, "constructor expected"},
    {39, "no inherited allowed here"},
    {40, "can not read or write property"},
    {41, "object expected"},
    {42, "comment error"},
    {43, "char error"},
    {44, "except expected"},
    {45, "string expected"},
    {32768, "unit is not found"},
    {32769, "class is not created"},
    {32770, "out of range"},
    {32771, "divide by zero"},
    {32772, "command is not supported"},
    {32773, "unknown error"},
    {32774, "class already freed"},
    {32775, "class reference not assigned"},
    {32776, "variant is nil"},
    {32777, ""},
    {32778, "out of memory"},
    {46, "unknown error"},
    {100, "unknown error"},
    {12345, "unknown error"},
    {32767, "unknown error"},
    {32779, "unknown error"},
    {65535, "unknown error"},
};

INSTANTIATE_TEST_SUITE_P(ErrorCodes, ErrorMessageTest, testing::ValuesIn(kMessages),
                         [](const testing::TestParamInfo<MessageCase>& info) {
                           return "Code" + std::to_string(info.param.code);
                         });

TEST(ErrorMessage, UnknownIdentifierNamesTheParameter) {
  EXPECT_EQ(ErrorMessage(ErrorCode::UnknownIdentifier, "FOO"), "unknown identifier: FOO");
}

TEST(ErrorMessage, UnsatisfiedForwardNamesTheMethod) {
  EXPECT_EQ(ErrorMessage(ErrorCode::UnsatisfiedForward, "TFOO.BAR"), "unsatisfied forward: TFOO.BAR");
}

TEST(ErrorMessage, FreeMessageCodeIsItsParameter) {
  EXPECT_EQ(ErrorMessage(ErrorCode::Custom, "DES key len should be 8!"), "DES key len should be 8!");
}

TEST(ErrorMessage, ParameterIsIgnoredByCodesThatDoNotShowIt) {
  EXPECT_EQ(ErrorMessage(ErrorCode::SemicolonExpected, "FOO"), "semicolon expected");
  EXPECT_EQ(ErrorMessage(ErrorCode::DivideByZero, "FOO"), "divide by zero");
  EXPECT_EQ(ErrorMessage(ErrorCode::ExitSignal, "FOO"), "unknown error");
  EXPECT_EQ(MessageOfNumber(999, "FOO"), "unknown error");
}

}  // namespace
}  // namespace quoll_test
