// The answer to reset (ISO/IEC 7816-3) taken apart: TS, T0, the interface bytes of every level,
// the protocols offered, the historical bytes and the check byte TCK; and its text for a user.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "card/hex_text.h"

namespace quoll {

// The interface bytes of one level i: TAi, TBi, TCi, TDi, each present or not.
struct AtrLevel {
  std::optional<uint8_t> ta, tb, tc, td;
  // The protocol T that TDi announces for the next level; none without TDi.
  std::optional<int> AnnouncedProtocol() const;
};

enum class TckVerdict {
  kAbsent,  // no TCK: none is due when only T=0 is indicated, or the ATR ends before it
  kOk,      // T0 .. TCK XOR to 00
  kWrong,
};

struct ParsedAtr {
  // The longest ATR: TS and at most 32 further bytes.
  static constexpr size_t kMaxSize = 33;

  Bytes bytes;                     // the ATR as given
  bool inverseConvention = false;  // TS 3F; 3B is the direct convention
  uint8_t t0 = 0;
  std::vector<AtrLevel> levels;  // levels[0] is level 1; only the levels the ATR has
  std::vector<int> protocols;    // offered, in the order of the TD bytes; T=0 without TD1
  Bytes historical;
  std::optional<uint8_t> tck;
  TckVerdict tckVerdict = TckVerdict::kAbsent;
  // Empty for a well-formed ATR; otherwise what is wrong. The fields then hold what could be
  // read before the fault (every field after it stays empty).
  std::string error;
  bool headerRead = false;  // TS and T0 are valid
  bool bodyRead = false;    // the interface and historical bytes are complete, `protocols` final

  bool Ok() const { return error.empty(); }
  // Which of TA1, TB1, TC1, TD1 follow T0 (bits 1..4 of Y1 = T0's high nibble).
  uint8_t Y1() const { return static_cast<uint8_t>(t0 >> 4); }
  // The number of historical bytes that T0 announces.
  size_t K() const { return t0 & 0x0F; }
};

// Never fails and never reads past `atr`: a malformed ATR comes back with `error` set.
ParsedAtr ParseAtr(std::span<const uint8_t> atr);

// One line per field, for a user interface: "ATR = 3B 02 14 50", "TS = 3B (direct convention)",
// "T0 = ...", "TA1 = 11 (Fi=372, Di=1)" and the other interface bytes with their meaning for the
// level's protocol, "Protocols: T=0", the historical bytes, the TCK and its verdict, and
// "Error: ..." last for a malformed ATR.
std::vector<std::string> DescribeAtr(const ParsedAtr& atr);

}  // namespace quoll
