// The six functions' cryptographic core against OpenSSL's DES over random keys and data.
#define OPENSSL_SUPPRESS_DEPRECATED  // the DES_* primitives are the reference here
#include <gtest/gtest.h>
#include <openssl/des.h>

#include <cstring>
#include <random>

#include "card/cipher_functions.h"

namespace quoll {
namespace {

DES_key_schedule Schedule(const uint8_t* key) {
  DES_cblock block;
  std::memcpy(block, key, 8);
  DES_key_schedule s;
  DES_set_key_unchecked(&block, &s);
  return s;
}

void Ecb(Bytes& data, DES_key_schedule& s, int direction) {
  for (size_t at = 0; at < data.size(); at += 8) {
    DES_cblock in, out;
    std::memcpy(in, data.data() + at, 8);
    DES_ecb_encrypt(&in, &out, &s, direction);
    std::memcpy(data.data() + at, out, 8);
  }
}

// The retail MAC with the first block as initial value: CBC under K1 over the rest, then
// D K2, E K1 on the last block; 4 bytes.
std::string ReferenceMac(const Bytes& key16, Bytes data) {
  DES_key_schedule k1 = Schedule(key16.data()), k2 = Schedule(key16.data() + 8);
  DES_cblock x;
  std::memcpy(x, data.data(), 8);
  if (data.size() > 8) {
    Bytes out(data.size() - 8);
    DES_ncbc_encrypt(data.data() + 8, out.data(), static_cast<long>(out.size()), &k1, &x, DES_ENCRYPT);
    // x now holds the last cipher block (the updated chaining value).
  }
  DES_cblock y;
  DES_ecb_encrypt(&x, &y, &k2, DES_DECRYPT);
  DES_ecb_encrypt(&y, &x, &k1, DES_ENCRYPT);
  return BytesToHex(std::span<const uint8_t>(x, 4));
}

class CipherVersusOpenSsl : public testing::Test {
 protected:
  Bytes RandomBytes(size_t n) {
    Bytes b(n);
    for (auto& v : b) v = static_cast<uint8_t>(random_());
    return b;
  }
  std::mt19937 random_{20261209};
};

TEST_F(CipherVersusOpenSsl, AllSixFunctionsOverRandomKeysAndData) {
  for (int round = 0; round < 300; ++round) {
    const Bytes key = RandomBytes(16);
    const Bytes data = RandomBytes(1 + random_() % 80);
    const std::string keyText = BytesToHex(key), key8Text = BytesToHex(key, 8), dataText = BytesToHex(data);
    SCOPED_TRACE("key " + keyText + " data " + dataText);
    DES_key_schedule k1 = Schedule(key.data()), k2 = Schedule(key.data() + 8);

    Bytes padded = data;
    PadData(padded, CipherMode::Encode);
    Bytes expected = padded;
    Ecb(expected, k1, DES_ENCRYPT);
    EXPECT_EQ(SingleDes(CipherMode::Encode, key8Text, dataText), BytesToHex(expected));
    expected = padded;
    Ecb(expected, k1, DES_DECRYPT);
    EXPECT_EQ(SingleDes(CipherMode::Decode, key8Text, dataText), BytesToHex(expected));

    expected = padded;
    for (size_t at = 0; at < expected.size(); at += 8) {
      DES_cblock in;
      std::memcpy(in, expected.data() + at, 8);
      DES_ecb3_encrypt(&in, &in, &k1, &k2, &k1, DES_ENCRYPT);
      std::memcpy(expected.data() + at, in, 8);
    }
    EXPECT_EQ(TripleDes(CipherMode::Encode, keyText, dataText), BytesToHex(expected));
    EXPECT_EQ(TripleDes(CipherMode::Decode, keyText, BytesToHex(expected)), BytesToHex(padded));

    Bytes macPadded = data;
    PadData(macPadded, CipherMode::Mac);
    EXPECT_EQ(TripleDes(CipherMode::Mac, keyText, dataText), ReferenceMac(key, macPadded));
    Bytes singleKey(key.begin(), key.begin() + 8);
    singleKey.insert(singleKey.end(), key.begin(), key.begin() + 8);
    EXPECT_EQ(SingleDes(CipherMode::Mac, key8Text, dataText), ReferenceMac(singleKey, macPadded));
  }
}

}  // namespace
}  // namespace quoll
