// DesCipher: the DES block cipher of FIPS 46-3 in electronic-codebook mode, with raw 8-byte
// keys (the parity bits are ignored by the key schedule, as the standard does).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quoll {

class DesCipher {
 public:
  static constexpr size_t kBlockSize = 8;
  static constexpr size_t kKeySize = 8;

  explicit DesCipher(std::span<const uint8_t, kKeySize> key) { Init(key); }
  // Builds the encryption and decryption key schedules.
  void Init(std::span<const uint8_t, kKeySize> key);

  // ECB: copies src to dst (they may be the same buffer) and encrypts or decrypts every whole
  // 8-byte block of it independently; bytes after the last whole block are copied unchanged.
  void EncodeBuffer(const uint8_t* src, uint8_t* dst, size_t length) const;
  void DecodeBuffer(const uint8_t* src, uint8_t* dst, size_t length) const;

  // One block, as a big-endian 64-bit value (the first byte in the top bits).
  uint64_t EncryptBlock(uint64_t block) const { return CryptBlock(block, encryptKeys_); }
  uint64_t DecryptBlock(uint64_t block) const { return CryptBlock(block, decryptKeys_); }

 private:
  // A round key: the eight 6-bit groups that meet the eight S-boxes, one per byte.
  using RoundKey = std::array<uint8_t, 8>;
  using Schedule = std::array<RoundKey, 16>;

  static uint64_t CryptBlock(uint64_t block, const Schedule& keys);
  static void CryptBuffer(const uint8_t* src, uint8_t* dst, size_t length, const Schedule& keys);

  Schedule encryptKeys_{};
  Schedule decryptKeys_{};
};

// Big-endian loads and stores of one block.
uint64_t LoadBlock(const uint8_t* p);
void StoreBlock(uint64_t block, uint8_t* p);

}  // namespace quoll
