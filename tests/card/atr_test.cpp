// ATR parsing: real-world ATRs with their fields and texts, the virtual card's own ATRs,
// malformed ATRs with their messages, and every byte pattern read without a fault.
#include "card/atr.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tools/vcard/virtual_card.h"

namespace quoll {
namespace {

using Lines = std::vector<std::string>;

Bytes FromHex(const std::string& hex) {
  return hex.empty() ? Bytes{} : HexToBytes(hex);
}

ParsedAtr Parse(const std::string& hex) {
  return ParseAtr(FromHex(hex));
}

// Lines of `expected` that DescribeAtr does not give.
Lines MissingLines(const ParsedAtr& atr, const Lines& expected) {
  Lines lines = DescribeAtr(atr), missing;
  for (const std::string& line : expected)
    if (std::find(lines.begin(), lines.end(), line) == lines.end()) missing.push_back(line);
  return missing;
}

struct WellFormed {
  const char* what;
  std::string hex;
  std::vector<int> protocols;
  std::string historical;
  TckVerdict tck;
  Lines lines;  // some of the lines DescribeAtr gives
};

TEST(Atr, RealWorldAtrsGiveTheirFields) {
  const WellFormed cases[] = {
      {"T=0, historical bytes only",
       "3B 02 14 50",
       {0},
       "1450",
       TckVerdict::kAbsent,
       {"ATR = 3B 02 14 50", "TS = 3B (direct convention)",
        "T0 = 02 (Y1: no interface bytes; K=2 historical bytes)", "Protocols: T=0",
        "TCK: absent (none is due when only T=0 is indicated)"}},
      {"T=0 with TA1 TB1 TC1",
       "3B 7D 94 00 00 80 31 80 65 B0 83 11 C0 A9 83 00 90 00",
       {0},
       "80318065B08311C0A983009000",
       TckVerdict::kAbsent,
       {"TA1 = 94 (Fi=512, Di=8)", "TB1 = 00 (VPP, deprecated)", "TC1 = 00 (extra guard time N=0)",
        "Historical bytes (13) = 80 31 80 65 B0 83 11 C0 A9 83 00 90 00 (category 80: COMPACT-TLV data "
        "objects)"}},
      {"T=0 with TC2 (Belgian eID)",
       "3B 98 13 40 0A A5 03 01 01 01 AD 13 11",
       {0},
       "A503010101AD1311",
       TckVerdict::kAbsent,
       {"TD1 = 40 (T=0; next: TC2)", "TC2 = 0A (T=0 work waiting integer WI=10)"}},
      {"inverse convention",
       "3F 65 25 08 93 04 6C 90 00",
       {0},
       "93046C9000",
       TckVerdict::kAbsent,
       {"TS = 3F (inverse convention)", "TB1 = 25 (VPP, deprecated)", "TC1 = 08 (extra guard time N=8)"}},
      {"T=1 Java card (JCOP41)",
       "3B FA 13 00 00 81 31 FE 45 4A 43 4F 50 34 31 56 32 32 31 96",
       {1},
       "4A434F50343156323231",
       TckVerdict::kOk,
       {"T0 = FA (Y1: TA1 TB1 TC1 TD1; K=10 historical bytes)", "TA1 = 13 (Fi=372, Di=4)",
        "TD1 = 81 (T=1; next: TD2)", "TD2 = 31 (T=1; next: TA3 TB3)", "TA3 = FE (T=1 IFSC=254)",
        "TB3 = 45 (T=1 BWI=4, CWI=5)", "Protocols: T=1", "TCK = 96 (ok)"}},
      {"T=1 and T=15 global bytes (OpenPGP card)",
       "3B DA 18 FF 81 B1 FE 75 1F 03 00 31 C5 73 C0 01 40 00 90 00 0C",
       {1},
       "0031C573C00140009000",
       TckVerdict::kOk,
       {"TA1 = 18 (Fi=372, Di=12)", "TC1 = FF (extra guard time N=255: 12 etu for T=0, 11 etu for T=1)",
        "TD2 = B1 (T=1; next: TA3 TB3 TD3)", "TD3 = 1F (T=15 global bytes; next: TA4)",
        "TA4 = 03 (T=15 clock stop: not supported; classes: A B)",
        "Historical bytes (10) = 00 31 C5 73 C0 01 40 00 90 00 (category 00: status indicator in the last "
        "three bytes)"}},
      {"T=0 and T=1 with T=15 (Estonian ID)",
       "3B FE 94 00 FF 80 B1 FA 45 1F 03 45 73 74 45 49 44 20 76 65 72 20 31 2E 30 43",
       {0, 1},
       "457374454944207665722031 2E30",
       TckVerdict::kOk,
       {"TD1 = 80 (T=0; next: TD2)", "TA3 = FA (T=1 IFSC=250)", "Protocols: T=0, T=1"}},
      {"TC3 and T=15 TB (MIFARE SAM)",
       "3B DF 18 FF 81 F1 FE 43 00 3F 03 83 4D 49 46 41 52 45 20 50 6C 75 73 20 53 41 4D 3B",
       {1},
       "4D494641524520506C75732053414D",
       TckVerdict::kOk,
       {"TC3 = 00 (T=1 error detection code: LRC)", "TD3 = 3F (T=15 global bytes; next: TA4 TB4)",
        "TB4 = 83 (T=15 SPU: proprietary use)"}},
      {"contactless pseudo-ATR (MIFARE Classic 1K)",
       "3B 8F 80 01 80 4F 0C A0 00 00 03 06 03 00 01 00 00 00 00 6A",
       {0, 1},
       "804F0CA00000030603000100000000",
       TckVerdict::kOk,
       {"T0 = 8F (Y1: TD1; K=15 historical bytes)", "TD2 = 01 (T=1; last level)", "TCK = 6A (ok)"}},
      {"contactless pseudo-ATR (ISO 14443-4)", "3B 81 80 01 80 80", {0, 1}, "80", TckVerdict::kOk, {}},
      {"specific mode (made up)",
       "3B 80 90 81 01 90",
       {0, 1},
       "",
       TckVerdict::kOk,
       {"TA2 = 81 (specific mode T=1; mode change not possible; parameters from the interface bytes)",
        "Historical bytes: none"}},
  };
  for (const WellFormed& c : cases) {
    SCOPED_TRACE(c.what);
    ParsedAtr atr = Parse(c.hex);
    EXPECT_EQ(atr.error, "");
    EXPECT_EQ(atr.protocols, c.protocols);
    EXPECT_EQ(atr.historical, FromHex(c.historical));
    EXPECT_EQ(atr.tckVerdict, c.tck);
    EXPECT_EQ(MissingLines(atr, c.lines), Lines{});
  }
}

TEST(Atr, TheVirtualCardsAtrsAreWellFormed) {
  ParsedAtr t0 = ParseAtr(vcard::VirtualCard(vcard::VirtualCard::Protocol::T0).Atr());
  EXPECT_EQ(t0.error, "");
  EXPECT_EQ(t0.protocols, std::vector<int>{0});
  EXPECT_EQ(t0.tckVerdict, TckVerdict::kAbsent);
  ParsedAtr t1 = ParseAtr(vcard::VirtualCard(vcard::VirtualCard::Protocol::T1).Atr());
  EXPECT_EQ(t1.error, "");
  EXPECT_EQ(t1.protocols, std::vector<int>{1});
  EXPECT_EQ(t1.tckVerdict, TckVerdict::kOk);
  EXPECT_EQ(DescribeAtr(t1), (Lines{"ATR = 3B 80 01 81", "TS = 3B (direct convention)",
                                    "T0 = 80 (Y1: TD1; K=0 historical bytes)", "TD1 = 01 (T=1; last level)",
                                    "Protocols: T=1", "Historical bytes: none", "TCK = 81 (ok)"}));
}

TEST(Atr, MalformedAtrsSayWhatIsWrong) {
  const struct {
    std::string hex, error;
  } cases[] = {
      {"", "too short: 0 bytes, an ATR has at least TS and T0"},
      {"3B", "too short: 1 byte, an ATR has at least TS and T0"},
      {"3B 0F" + std::string(64, '0'), "too long: 34 bytes, an ATR has at most 33"},
      {"3A 00", "TS = 3A is neither 3B (direct convention) nor 3F (inverse convention)"},
      {"3B FA 13 00", "TC1 missing: the ATR ends after 4 bytes"},
      {"3B 80 F1 11 22", "TC2 missing: the ATR ends after 5 bytes"},
      {"3B 8F 80 01 80 4F",
       "historical bytes missing: T0 announces 15, the ATR has 2 after the interface bytes"},
      {"3B 80 01", "TCK missing: it is due when a protocol other than T=0 is indicated"},
      {"3B 80 01 82", "TCK = 82 is wrong: T0 to TCK XOR to 03 instead of 00, the TCK would be 81"},
      {"3B 80 01 81 00", "1 byte after TCK"},
      {"3B 02 14 50 00 00", "2 bytes after the historical bytes; no TCK is due when only T=0 is indicated"},
      {"3B 90 10 1F 00 00", "TD1 announces T=15, which only TD2 and later may announce"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hex);
    ParsedAtr atr = Parse(c.hex);
    EXPECT_EQ(atr.error, c.error);
    Lines lines = DescribeAtr(atr);
    EXPECT_EQ(lines.back(), "Error: " + c.error);
  }
  // What was read before the fault is kept and shown; nothing after it.
  EXPECT_EQ(DescribeAtr(Parse("3B FA 13 00")),
            (Lines{"ATR = 3B FA 13 00", "TS = 3B (direct convention)",
                   "T0 = FA (Y1: TA1 TB1 TC1 TD1; K=10 historical bytes)", "TA1 = 13 (Fi=372, Di=4)",
                   "TB1 = 00 (VPP, deprecated)", "Error: TC1 missing: the ATR ends after 4 bytes"}));
  ParsedAtr wrong = Parse("3B 80 01 82");
  EXPECT_EQ(wrong.tck, uint8_t{0x82});
  EXPECT_EQ(wrong.tckVerdict, TckVerdict::kWrong);
}

TEST(Atr, EveryCutOfAWellFormedAtrIsMalformed) {
  const Bytes atr =
      HexToBytes("3B DF 18 FF 81 F1 FE 43 00 3F 03 83 4D 49 46 41 52 45 20 50 6C 75 73 20 53 41 4D 3B");
  for (size_t n = 0; n < atr.size(); ++n) {
    ParsedAtr cut = ParseAtr(std::span(atr).first(n));
    EXPECT_FALSE(cut.Ok()) << n;
  }
}

// Every T0 and first interface byte, over several lengths: a well-formed result accounts for
// every byte (the sanitizer build also checks that nothing is read past the end).
TEST(Atr, EveryLeadingPatternIsReadWithinTheBytes) {
  size_t wellFormed = 0;
  for (size_t size : {2, 3, 5, 17, 33}) {
    Bytes atr(size, 0x00);
    atr[0] = 0x3B;
    for (int t0 = 0; t0 < 256; ++t0) {
      for (int next = 0; next < 256; ++next) {
        atr[1] = static_cast<uint8_t>(t0);
        if (size > 2) atr[2] = static_cast<uint8_t>(next);
        ParsedAtr parsed = ParseAtr(atr);
        if (!parsed.Ok()) continue;
        size_t interfaceBytes = 0;
        for (const AtrLevel& l : parsed.levels)
          interfaceBytes += l.ta.has_value() + l.tb.has_value() + l.tc.has_value() + l.td.has_value();
        ASSERT_EQ(2 + interfaceBytes + parsed.historical.size() + parsed.tck.has_value(), size)
            << BytesToSpacedHex(atr);
        ++wellFormed;
        if (size == 2) break;
      }
    }
  }
  EXPECT_GT(wellFormed, 1000u);
}

}  // namespace
}  // namespace quoll
