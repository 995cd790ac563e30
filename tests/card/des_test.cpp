// DES against published known answers, and the padding, MAC and key rules of the six functions.
#include "card/des.h"

#include <gtest/gtest.h>

#include <functional>

#include "card/card_error.h"
#include "card/cipher_functions.h"

namespace quoll {
namespace {

uint64_t Encrypt(uint64_t key, uint64_t block) {
  uint8_t k[8];
  StoreBlock(key, k);
  return DesCipher(std::span<const uint8_t, 8>(k, 8)).EncryptBlock(block);
}

uint64_t Decrypt(uint64_t key, uint64_t block) {
  uint8_t k[8];
  StoreBlock(key, k);
  return DesCipher(std::span<const uint8_t, 8>(k, 8)).DecryptBlock(block);
}

std::string CipherError(std::function<void()> call) {
  try {
    call();
  } catch (const CardError& e) {
    return e.what();
  }
  return "no error";
}

TEST(DesKnownAnswers, Fips81EcbExample) {
  // "Now is the time for all " under 0123456789ABCDEF.
  EXPECT_EQ(
      SingleDes(CipherMode::Encode, "0123456789ABCDEF", "4E6F772069732074 68652074696D6520 666F7220616C6C20"),
      "3FA40E8A984D48156A271787AB8883F9893D51EC4B563B53");
  EXPECT_EQ(
      SingleDes(CipherMode::Decode, "0123456789abcdef", "3FA40E8A984D48156A271787AB8883F9893D51EC4B563B53"),
      "4E6F77206973207468652074696D6520666F7220616C6C20");
}

TEST(DesKnownAnswers, Sp800_20VariablePlaintextAndVariableKey) {
  struct Case {
    uint64_t key, plain, cipher;
  };
  const Case cases[] = {
      // Variable plaintext, key 01..01 (parity bits only).
      {0x0101010101010101, 0x8000000000000000, 0x95F8A5E5DD31D900},
      {0x0101010101010101, 0x4000000000000000, 0xDD7F121CA5015619},
      {0x0101010101010101, 0x2000000000000000, 0x2E8653104F3834EA},
      {0x0101010101010101, 0x1000000000000000, 0x4BD388FF6CD81D4F},
      {0x0101010101010101, 0x0000000000000001, 0x166B40B44ABA4BD6},
      // Variable key, plaintext 0.
      {0x8001010101010101, 0, 0x95A8D72813DAA94D},
      {0x4001010101010101, 0, 0x0EEC1487DD8C26D5},
      {0x2001010101010101, 0, 0x7AD16FFB79C45926},
      {0x0101010101010102, 0, 0x869EFD7F9F265A09},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "key " << c.key << " plain " << c.plain);
    EXPECT_EQ(Encrypt(c.key, c.plain), c.cipher);
    EXPECT_EQ(Decrypt(c.key, c.cipher), c.plain);
  }
  // The lowest bit of every key byte is parity and does not count.
  EXPECT_EQ(Encrypt(0x0000000000000000, 0x8000000000000000), 0x95F8A5E5DD31D900u);
}

TEST(CipherFunctions, PaddingAppliesToShortDataAndToEveryMac) {
  const std::string key = "0123456789ABCDEF";
  // 3 bytes are encrypted as the block 11 22 33 80 00 00 00 00; decoding does not unpad.
  std::string c = SingleDes(CipherMode::Encode, key, "112233");
  EXPECT_EQ(c, SingleDes(CipherMode::Encode, key, "1122338000000000"));
  EXPECT_EQ(SingleDes(CipherMode::Decode, key, c), "1122338000000000");
  // Equal blocks give equal cryptogram halves (ECB).
  std::string two = SingleDes(CipherMode::Encode, key, "0011223344556677 0011223344556677");
  ASSERT_EQ(two.size(), 32u);
  EXPECT_EQ(two.substr(0, 16), two.substr(16));
  // Fewer than 8 bytes: the MAC is the first half of the padded data, whatever the key.
  EXPECT_EQ(SingleDes(CipherMode::Mac, key, "112233"), "11223380");
  EXPECT_EQ(SingleDes(CipherMode::Mac, "FEDCBA9876543210", "112233"), "11223380");
  // Exactly 8 bytes still gain the block 80 00 .. 00: X = E(K1, B1 xor 80..00), then D K2, E K1.
  Bytes padded = {0x80, 0, 0, 0, 0, 0, 0, 0};
  PadData(padded, CipherMode::Encode);
  EXPECT_EQ(padded.size(), 8u);
  PadData(padded, CipherMode::Mac);
  EXPECT_EQ(BytesToHex(padded), "80000000000000008000000000000000");
}

TEST(CipherFunctions, TripleDesWithEqualHalvesIsSingleDesAndDecodeUndoesEncode) {
  const std::string k1 = "0123456789ABCDEF", data = "4E6F772069732074 68652074696D6520";
  EXPECT_EQ(TripleDes(CipherMode::Encode, k1 + k1, data), SingleDes(CipherMode::Encode, k1, data));
  const std::string key = "0123456789ABCDEF FEDCBA9876543210";
  EXPECT_EQ(TripleDes(CipherMode::Decode, key, TripleDes(CipherMode::Encode, key, data)),
            "4E6F77206973207468652074696D6520");
  EXPECT_EQ(SingleDes(CipherMode::Mac, k1, data), TripleDes(CipherMode::Mac, k1 + k1, data));
}

TEST(CipherFunctions, ChecksKeyTextThenKeyLengthThenData) {
  const std::string key8 = "0123456789ABCDEF", key16 = key8 + key8;
  EXPECT_EQ(CipherError([&] { SingleDes(CipherMode::Encode, key16, "00"); }), "DES key len should be 8!");
  EXPECT_EQ(CipherError([&] { SingleDes(CipherMode::Mac, key16, "00"); }), "DES key len should be 8!");
  EXPECT_EQ(CipherError([&] { TripleDes(CipherMode::Encode, key8, "00"); }), "3DES key len should be 16!");
  EXPECT_EQ(CipherError([&] { TripleDes(CipherMode::Mac, "0123", "zz"); }), "3DES key len should be 16!");
  EXPECT_EQ(CipherError([&] { SingleDes(CipherMode::Decode, "01234", ""); }), "String can not be odd!");
  EXPECT_EQ(CipherError([&] { SingleDes(CipherMode::Encode, key8, "  "); }), "String can not be empty!");
  EXPECT_EQ(CipherError([&] { TripleDes(CipherMode::Mac, key16, "0G"); }), "Invalid Hex string!");
  // A key text with a line break after it is a valid key for the MAC as for the other modes.
  EXPECT_EQ(SingleDes(CipherMode::Mac, key8 + "\r\n", "00112233445566778899"),
            SingleDes(CipherMode::Mac, key8, "00112233445566778899"));
}

}  // namespace
}  // namespace quoll
