// DES (FIPS 46-3). The block function is table-driven: the initial and final permutations are
// eight byte-indexed lookups each, and every round is eight lookups in tables that fold the
// S-box and the P permutation together, so no bit is moved one at a time while encrypting.
// All tables are computed at compile time from the standard's own tables.
#include "card/des.h"

#include <bit>
#include <cstring>

namespace quoll {

namespace {

// Bit positions count from 1 at the most significant bit, as in FIPS 46-3.
constexpr std::array<uint8_t, 64> kInitialPermutation = {
    58, 50, 42, 34, 26, 18, 10, 2,  60, 52, 44, 36, 28, 20, 12, 4,  62, 54, 46, 38, 30, 22,
    14, 6,  64, 56, 48, 40, 32, 24, 16, 8,  57, 49, 41, 33, 25, 17, 9,  1,  59, 51, 43, 35,
    27, 19, 11, 3,  61, 53, 45, 37, 29, 21, 13, 5,  63, 55, 47, 39, 31, 23, 15, 7};

constexpr std::array<uint8_t, 32> kP = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                                        2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

constexpr std::array<uint8_t, 56> kPermutedChoice1 = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
                                                      10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
                                                      63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
                                                      14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

constexpr std::array<uint8_t, 48> kPermutedChoice2 = {
    14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr std::array<uint8_t, 16> kKeyShifts = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// S-boxes: [box][row][column].
constexpr uint8_t kSBoxes[8][4][16] = {{{14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7},
                                        {0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8},
                                        {4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0},
                                        {15, 12, 8, 2, 4, 9, 1, 7, 5, 11, 3, 14, 10, 0, 6, 13}},
                                       {{15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10},
                                        {3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5},
                                        {0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15},
                                        {13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9}},
                                       {{10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8},
                                        {13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1},
                                        {13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7},
                                        {1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12}},
                                       {{7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15},
                                        {13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9},
                                        {10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4},
                                        {3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14}},
                                       {{2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9},
                                        {14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6},
                                        {4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14},
                                        {11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3}},
                                       {{12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11},
                                        {10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8},
                                        {9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6},
                                        {4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13}},
                                       {{4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1},
                                        {13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6},
                                        {1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2},
                                        {6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12}},
                                       {{13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7},
                                        {1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2},
                                        {7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8},
                                        {2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11}}};

// Applies a permutation table: output bit j (from the top of an outWidth-bit value) is input
// bit table[j] (from the top of an inWidth-bit value). Used only where speed does not matter:
// to build the lookup tables and in the key schedule.
template <size_t N>
constexpr uint64_t Permute(uint64_t in, int inWidth, const std::array<uint8_t, N>& table) {
  uint64_t out = 0;
  for (size_t j = 0; j < N; ++j) out = (out << 1) | ((in >> (inWidth - table[j])) & 1);
  return out;
}

constexpr std::array<uint8_t, 64> Inverse(const std::array<uint8_t, 64>& table) {
  std::array<uint8_t, 64> inverse{};
  for (size_t j = 0; j < 64; ++j) inverse[table[j] - 1] = static_cast<uint8_t>(j + 1);
  return inverse;
}

// A 64-bit permutation as eight tables, one per input byte: the permutation of x is the OR of
// the entries of x's eight bytes.
using ByteTables = std::array<std::array<uint64_t, 256>, 8>;

constexpr ByteTables MakeByteTables(const std::array<uint8_t, 64>& table) {
  ByteTables t{};
  for (int k = 0; k < 8; ++k)
    for (uint64_t v = 0; v < 256; ++v) t[k][v] = Permute(v << (56 - 8 * k), 64, table);
  return t;
}

constexpr ByteTables kInitialTables = MakeByteTables(kInitialPermutation);
constexpr ByteTables kFinalTables = MakeByteTables(Inverse(kInitialPermutation));

inline uint64_t PermuteBytes(const ByteTables& t, uint64_t x) {
  return t[0][x >> 56] | t[1][(x >> 48) & 255] | t[2][(x >> 40) & 255] | t[3][(x >> 32) & 255] |
         t[4][(x >> 24) & 255] | t[5][(x >> 16) & 255] | t[6][(x >> 8) & 255] | t[7][x & 255];
}

// kSp[i][g]: the 32-bit round output contributed by S-box i for the 6-bit group g of the
// expanded half-block, with P already applied. Row = outer bits of g, column = inner four.
using SpTables = std::array<std::array<uint32_t, 64>, 8>;

constexpr SpTables MakeSpTables() {
  SpTables t{};
  for (int i = 0; i < 8; ++i)
    for (int g = 0; g < 64; ++g) {
      int row = ((g >> 4) & 2) | (g & 1);
      int column = (g >> 1) & 15;
      uint64_t s = static_cast<uint64_t>(kSBoxes[i][row][column]) << (4 * (7 - i));
      t[i][g] = static_cast<uint32_t>(Permute(s, 32, kP));
    }
  return t;
}

constexpr SpTables kSp = MakeSpTables();

// The expansion E gives group i the half-block bits 4i .. 4i+5 (counted from 1 at the top, bit 0
// being bit 32 and bit 33 being bit 1); rotating left by 4i+5 brings them to the bottom six bits.
template <int I>
inline uint32_t Group(uint32_t r, uint8_t key) {
  return kSp[I][(std::rotl(r, (4 * I + 5) % 32) & 63) ^ key];
}

inline uint32_t RoundFunction(uint32_t r, const std::array<uint8_t, 8>& k) {
  return Group<0>(r, k[0]) ^ Group<1>(r, k[1]) ^ Group<2>(r, k[2]) ^ Group<3>(r, k[3]) ^ Group<4>(r, k[4]) ^
         Group<5>(r, k[5]) ^ Group<6>(r, k[6]) ^ Group<7>(r, k[7]);
}

}  // namespace

uint64_t LoadBlock(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
  return v;
}

void StoreBlock(uint64_t block, uint8_t* p) {
  for (int i = 7; i >= 0; --i) {
    p[i] = static_cast<uint8_t>(block);
    block >>= 8;
  }
}

void DesCipher::Init(std::span<const uint8_t, kKeySize> key) {
  uint64_t cd = Permute(LoadBlock(key.data()), 64, kPermutedChoice1);
  uint32_t c = static_cast<uint32_t>(cd >> 28) & 0x0FFFFFFF;
  uint32_t d = static_cast<uint32_t>(cd) & 0x0FFFFFFF;
  auto rotate28 = [](uint32_t x, int n) { return ((x << n) | (x >> (28 - n))) & 0x0FFFFFFF; };
  for (size_t round = 0; round < 16; ++round) {
    c = rotate28(c, kKeyShifts[round]);
    d = rotate28(d, kKeyShifts[round]);
    uint64_t k = Permute((static_cast<uint64_t>(c) << 28) | d, 56, kPermutedChoice2);
    for (int i = 0; i < 8; ++i) encryptKeys_[round][i] = static_cast<uint8_t>((k >> (42 - 6 * i)) & 63);
    decryptKeys_[15 - round] = encryptKeys_[round];
  }
}

uint64_t DesCipher::CryptBlock(uint64_t block, const Schedule& keys) {
  uint64_t b = PermuteBytes(kInitialTables, block);
  uint32_t l = static_cast<uint32_t>(b >> 32), r = static_cast<uint32_t>(b);
  for (size_t round = 0; round < 16; round += 2) {
    l ^= RoundFunction(r, keys[round]);
    r ^= RoundFunction(l, keys[round + 1]);
  }
  // The halves are not swapped after the last round.
  return PermuteBytes(kFinalTables, (static_cast<uint64_t>(r) << 32) | l);
}

void DesCipher::CryptBuffer(const uint8_t* src, uint8_t* dst, size_t length, const Schedule& keys) {
  if (src != dst) std::memmove(dst, src, length);
  for (size_t at = 0; at + kBlockSize <= length; at += kBlockSize)
    StoreBlock(CryptBlock(LoadBlock(dst + at), keys), dst + at);
}

void DesCipher::EncodeBuffer(const uint8_t* src, uint8_t* dst, size_t length) const {
  CryptBuffer(src, dst, length, encryptKeys_);
}

void DesCipher::DecodeBuffer(const uint8_t* src, uint8_t* dst, size_t length) const {
  CryptBuffer(src, dst, length, decryptKeys_);
}

}  // namespace quoll
