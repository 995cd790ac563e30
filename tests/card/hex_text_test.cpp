// Hex text: what is accepted, the three messages and the order of their checks.
#include "card/hex_text.h"

#include <gtest/gtest.h>

#include "card/card_error.h"

namespace quoll {
namespace {

std::string HexError(std::string_view text) {
  try {
    HexToBytes(text);
  } catch (const CardError& e) {
    return e.what();
  }
  return "no error";
}

TEST(HexText, AcceptsBlanksEitherCaseAndOuterControlCharacters) {
  const Bytes apdu = {0x00, 0xA4, 0x04, 0x00};
  EXPECT_EQ(HexToBytes(" 00 A4 04 00 "), apdu);
  EXPECT_EQ(HexToBytes("00a40400"), apdu);
  EXPECT_EQ(HexToBytes("\t\r\n00A40400\r\n"), apdu);
  EXPECT_EQ(HexToBytes("0 0A 4"), (Bytes{0x00, 0xA4}));  // blanks inside a byte too
  EXPECT_EQ(HexToBytes("fF"), (Bytes{0xFF}));
}

TEST(HexText, ChecksEmptyThenOddThenDigits) {
  EXPECT_EQ(HexError(""), "String can not be empty!");
  EXPECT_EQ(HexError(" \t\r\n "), "String can not be empty!");
  EXPECT_EQ(HexError("ABC"), "String can not be odd!");
  EXPECT_EQ(HexError("ABG"), "String can not be odd!");
  EXPECT_EQ(HexError("AG"), "Invalid Hex string!");
  EXPECT_EQ(HexError("GA"), "Invalid Hex string!");
  EXPECT_EQ(HexError("00,A4,04"), "Invalid Hex string!");
  EXPECT_EQ(HexError("00,A4"), "String can not be odd!");
  EXPECT_EQ(HexError("00\tA4\t04"), "Invalid Hex string!");
  EXPECT_EQ(HexError("0x00A4"), "Invalid Hex string!");
  EXPECT_EQ(HexError("\xC3\xA4"), "Invalid Hex string!");  // bytes above 127
  EXPECT_EQ(HexError(std::string("00\0A4", 5)), "String can not be odd!");
}

TEST(HexText, WritesTwoUpperCaseDigitsPerByte) {
  const Bytes bytes = {0x00, 0xAB, 0x0F};
  EXPECT_EQ(BytesToHex(bytes), "00AB0F");
  EXPECT_EQ(BytesToHex(bytes, 0), "");
  EXPECT_EQ(BytesToHex(bytes, 2), "00AB");
  EXPECT_EQ(BytesToHex(bytes, -1, 1), "AB0F");
  EXPECT_EQ(BytesToHex(bytes, 10, 2), "0F");  // never past the end
  EXPECT_EQ(BytesToHex(bytes, -1, 3), "");
  EXPECT_EQ(BytesToHex(Bytes{}), "");
  EXPECT_EQ(BytesToSpacedHex(bytes), "00 AB 0F");
  EXPECT_EQ(BytesToSpacedHex(Bytes{0x3B}), "3B");
  EXPECT_EQ(BytesToSpacedHex(Bytes{}), "");
}

}  // namespace
}  // namespace quoll
