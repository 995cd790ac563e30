// The OpenSSL side of the trides_mac workload: the same MAC as TriDes_MAC (first block as initial
// value, CBC under K1, then D K2 and E K1, 4 bytes) over the same bytes, with OpenSSL's DES.
// Reads "key HEX", "block HEX", "doublings N", "repeat N" lines; prints the MAC in hex.
//   des-mac-openssl FILE.mac
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> ParseHex(const std::string& text) {
  std::vector<unsigned char> bytes;
  for (size_t i = 0; i + 1 < text.size(); i += 2)
    bytes.push_back(static_cast<unsigned char>(std::stoi(text.substr(i, 2), nullptr, 16)));
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: des-mac-openssl FILE.mac\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  std::map<std::string, std::string> settings;
  for (std::string key, value; in >> key >> value;) settings[key] = value;
  std::vector<unsigned char> key = ParseHex(settings["key"]);
  std::vector<unsigned char> data = ParseHex(settings["block"]);
  int doublings = std::stoi(settings["doublings"]), repeat = std::stoi(settings["repeat"]);
  if (key.size() != 16) return 2;
  for (int i = 0; i < doublings; ++i) data.insert(data.end(), data.begin(), data.end());
  // The MAC's padding: 80 then 00 up to the next multiple of 8, always.
  data.push_back(0x80);
  while (data.size() % 8 != 0) data.push_back(0x00);

  DES_cblock k1Block, k2Block;
  std::memcpy(k1Block, key.data(), 8);
  std::memcpy(k2Block, key.data() + 8, 8);
  DES_key_schedule k1, k2;
  DES_set_key_unchecked(&k1Block, &k1);
  DES_set_key_unchecked(&k2Block, &k2);
  std::vector<unsigned char> out(data.size());
  DES_cblock x;
  for (int r = 0; r < repeat; ++r) {
    std::memcpy(x, data.data(), 8);
    DES_ncbc_encrypt(data.data() + 8, out.data(), static_cast<long>(data.size() - 8), &k1, &x, DES_ENCRYPT);
    DES_cblock y;
    DES_ecb_encrypt(&x, &y, &k2, DES_DECRYPT);
    DES_ecb_encrypt(&y, &x, &k1, DES_ENCRYPT);
  }
  std::printf("%02X%02X%02X%02X\n", x[0], x[1], x[2], x[3]);
  return 0;
}
