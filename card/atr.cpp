// ATR parsing and its text. The parser reads only inside the given bytes and stops at the first
// fault it cannot read past; the text explains each interface byte by its level and protocol.
#include "card/atr.h"

#include <algorithm>
#include <array>

namespace quoll {

namespace {

constexpr uint8_t kDirectConvention = 0x3B;
constexpr uint8_t kInverseConvention = 0x3F;
constexpr int kGlobalBytes = 15;  // the "protocol" of the global interface bytes after TD2 on

// Clock rate conversion Fi and baud rate adjustment Di by TA1's nibbles; 0 is RFU.
constexpr std::array<int, 16> kFi = {372, 372, 558, 744,  1116, 1488, 1860, 0,
                                     0,   512, 768, 1024, 1536, 2048, 0,    0};
constexpr std::array<int, 16> kDi = {0, 1, 2, 4, 8, 16, 32, 64, 12, 20, 0, 0, 0, 0, 0, 0};

std::string Hex(uint8_t b) {
  return BytesToHex(std::span<const uint8_t>(&b, 1));
}

std::string ByteName(char kind, size_t level) {
  return std::string("T") + kind + std::to_string(level);
}

std::string CountOf(size_t n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

std::string TableValue(const std::array<int, 16>& table, uint8_t index) {
  return table[index] ? std::to_string(table[index]) : "RFU";
}

// The names of the interface bytes of `level` that the presence nibble Y announces.
std::string PresentBytes(uint8_t y, size_t level) {
  std::string names;
  for (int k = 0; k < 4; ++k) {
    if (!(y & (1 << k))) continue;
    if (!names.empty()) names += ' ';
    names += ByteName("ABCD"[k], level);
  }
  return names;
}

// XOR of T0 up to and including the byte before index `end`.
uint8_t XorFromT0(std::span<const uint8_t> atr, size_t end) {
  uint8_t x = 0;
  for (size_t i = 1; i < end; ++i) x ^= atr[i];
  return x;
}

}  // namespace

std::optional<int> AtrLevel::AnnouncedProtocol() const {
  if (!td) return std::nullopt;
  return *td & 0x0F;
}

ParsedAtr ParseAtr(std::span<const uint8_t> atr) {
  ParsedAtr r;
  r.bytes.assign(atr.begin(), atr.end());
  auto fail = [&r](std::string message) {
    if (r.error.empty()) r.error = std::move(message);
  };
  const size_t n = atr.size();
  if (n < 2) {
    fail("too short: " + CountOf(n, "byte") + ", an ATR has at least TS and T0");
    return r;
  }
  if (n > ParsedAtr::kMaxSize) {
    fail("too long: " + CountOf(n, "byte") + ", an ATR has at most " + std::to_string(ParsedAtr::kMaxSize));
    return r;
  }
  if (atr[0] != kDirectConvention && atr[0] != kInverseConvention) {
    fail("TS = " + Hex(atr[0]) + " is neither 3B (direct convention) nor 3F (inverse convention)");
    return r;
  }
  r.inverseConvention = atr[0] == kInverseConvention;
  r.t0 = atr[1];
  r.headerRead = true;

  // Each level holds at least one byte, so the loop ends within the ATR's 33 bytes.
  size_t pos = 2;
  bool tckDue = false;
  for (uint8_t presence = r.Y1(); presence != 0;) {
    const size_t level = r.levels.size() + 1;
    AtrLevel& current = r.levels.emplace_back();
    std::optional<uint8_t>* slots[] = {&current.ta, &current.tb, &current.tc, &current.td};
    for (int k = 0; k < 4; ++k) {
      if (!(presence & (1 << k))) continue;
      if (pos >= n) {
        fail(ByteName("ABCD"[k], level) + " missing: the ATR ends after " + CountOf(n, "byte"));
        return r;
      }
      *slots[k] = atr[pos++];
    }
    if (!current.td) break;
    const int t = *current.AnnouncedProtocol();
    if (t == kGlobalBytes && level == 1) fail("TD1 announces T=15, which only TD2 and later may announce");
    if (t != 0) tckDue = true;
    if (t != kGlobalBytes && std::find(r.protocols.begin(), r.protocols.end(), t) == r.protocols.end())
      r.protocols.push_back(t);
    presence = static_cast<uint8_t>(*current.td >> 4);
  }
  if (r.protocols.empty()) r.protocols.push_back(0);

  const size_t k = r.K();
  if (n - pos < k) {
    fail("historical bytes missing: T0 announces " + std::to_string(k) + ", the ATR has " +
         std::to_string(n - pos) + " after the interface bytes");
    return r;
  }
  r.historical.assign(atr.begin() + static_cast<std::ptrdiff_t>(pos),
                      atr.begin() + static_cast<std::ptrdiff_t>(pos + k));
  r.bodyRead = true;
  pos += k;

  const size_t rest = n - pos;
  if (!tckDue) {
    if (rest > 0)
      fail(CountOf(rest, "byte") + " after the historical bytes; no TCK is due when only T=0 is indicated");
    return r;
  }
  if (rest == 0) {
    fail("TCK missing: it is due when a protocol other than T=0 is indicated");
    return r;
  }
  r.tck = atr[pos];
  const uint8_t expected = XorFromT0(atr, pos);
  r.tckVerdict = expected == *r.tck ? TckVerdict::kOk : TckVerdict::kWrong;
  if (r.tckVerdict == TckVerdict::kWrong)
    fail("TCK = " + Hex(*r.tck) + " is wrong: T0 to TCK XOR to " +
         Hex(static_cast<uint8_t>(expected ^ *r.tck)) + " instead of 00, the TCK would be " + Hex(expected));
  if (rest > 1) fail(CountOf(rest - 1, "byte") + " after TCK");
  return r;
}

namespace {

// The meaning of one interface byte by its kind (A..D), its level and the protocol that the
// level's TD(i-1) announced; `firstForProtocol` tells whether it is the first of its kind for
// that protocol, the one whose meaning the standard fixes.
std::string InterfaceByteMeaning(char kind, size_t level, uint8_t value, int protocol,
                                 bool firstForProtocol) {
  const uint8_t high = value >> 4, low = value & 0x0F;
  if (kind == 'D') {
    std::string next = PresentBytes(high, level + 1);
    return "T=" + std::to_string(low) + (low == kGlobalBytes ? " global bytes" : "") +
           (next.empty() ? "; last level" : "; next: " + next);
  }
  if (level == 1) {
    if (kind == 'A') return "Fi=" + TableValue(kFi, high) + ", Di=" + TableValue(kDi, low);
    if (kind == 'B') return "VPP, deprecated";
    if (value == 0xFF) return "extra guard time N=255: 12 etu for T=0, 11 etu for T=1";
    return "extra guard time N=" + std::to_string(value);
  }
  if (level == 2) {
    if (kind == 'A')
      return "specific mode T=" + std::to_string(low) +
             (value & 0x80 ? "; mode change not possible" : "; mode change possible") +
             (value & 0x10 ? "; implicit parameters" : "; parameters from the interface bytes");
    if (kind == 'B') return "VPP PI2, deprecated";
    return "T=0 work waiting integer WI=" + (value ? std::to_string(value) : std::string("RFU"));
  }
  const std::string t = "T=" + std::to_string(protocol);
  if (protocol == 1 && firstForProtocol) {
    if (kind == 'A')
      return t + " IFSC=" + (value == 0 || value == 0xFF ? std::string("RFU") : std::to_string(value));
    if (kind == 'B')
      return t + " BWI=" + (high <= 9 ? std::to_string(high) : std::string("RFU")) +
             ", CWI=" + std::to_string(low);
    return t + " error detection code: " + (value & 1 ? "CRC" : "LRC");
  }
  if (protocol == kGlobalBytes && firstForProtocol) {
    if (kind == 'A') {
      static const char* const kClockStop[] = {"not supported", "state L", "state H", "no preference"};
      std::string classes;
      for (int bit = 0; bit < 3; ++bit)
        if (value & (1 << bit)) classes += std::string(classes.empty() ? "" : " ") + "ABC"[bit];
      return t + " clock stop: " + kClockStop[value >> 6] +
             "; classes: " + (classes.empty() ? "none" : classes);
    }
    if (kind == 'B')
      return t + " SPU: " + (value == 0 ? "not used" : value & 0x80 ? "proprietary use" : "standard use");
  }
  return t;
}

std::string HistoricalCategory(const Bytes& historical) {
  if (historical.empty()) return "";
  switch (historical[0]) {
    case 0x00:
      return "category 00: status indicator in the last three bytes";
    case 0x10:
      return "category 10: DIR data reference";
    case 0x80:
      return "category 80: COMPACT-TLV data objects";
    default:
      return historical[0] > 0x80 && historical[0] <= 0x8F ? "category " + Hex(historical[0]) + ": RFU"
                                                           : "proprietary category " + Hex(historical[0]);
  }
}

}  // namespace

std::vector<std::string> DescribeAtr(const ParsedAtr& atr) {
  std::vector<std::string> lines;
  lines.push_back("ATR = " + BytesToSpacedHex(atr.bytes));
  if (atr.headerRead) {
    lines.push_back("TS = " + Hex(atr.bytes[0]) +
                    (atr.inverseConvention ? " (inverse convention)" : " (direct convention)"));
    std::string present = PresentBytes(atr.Y1(), 1);
    lines.push_back("T0 = " + Hex(atr.t0) + " (Y1: " + (present.empty() ? "no interface bytes" : present) +
                    "; K=" + std::to_string(atr.K()) + " historical bytes)");
  }
  int protocol = 0;       // what the level's TD(i-1) announced; level 1 and 2 bytes are global
  std::vector<int> seen;  // "protocol * 4 + kind" of the bytes met so far, to find the first ones
  for (size_t i = 0; i < atr.levels.size(); ++i) {
    const AtrLevel& level = atr.levels[i];
    const std::optional<uint8_t>* slots[] = {&level.ta, &level.tb, &level.tc, &level.td};
    for (int k = 0; k < 4; ++k) {
      if (!*slots[k]) continue;
      const uint8_t value = **slots[k];
      const int key = protocol * 4 + k;
      const bool first = std::find(seen.begin(), seen.end(), key) == seen.end();
      if (i >= 2) seen.push_back(key);
      lines.push_back(ByteName("ABCD"[k], i + 1) + " = " + Hex(value) + " (" +
                      InterfaceByteMeaning("ABCD"[k], i + 1, value, protocol, first) + ")");
    }
    if (level.td) protocol = *level.AnnouncedProtocol();
  }
  if (atr.bodyRead) {
    std::string protocols;
    for (int t : atr.protocols) protocols += (protocols.empty() ? "T=" : ", T=") + std::to_string(t);
    lines.push_back("Protocols: " + protocols);
    if (atr.historical.empty()) {
      lines.push_back("Historical bytes: none");
    } else {
      lines.push_back("Historical bytes (" + std::to_string(atr.historical.size()) + ") = " +
                      BytesToSpacedHex(atr.historical) + " (" + HistoricalCategory(atr.historical) + ")");
    }
    if (atr.tck) {
      lines.push_back("TCK = " + Hex(*atr.tck) + (atr.tckVerdict == TckVerdict::kOk ? " (ok)" : " (wrong)"));
    } else {
      bool due = std::any_of(atr.levels.begin(), atr.levels.end(),
                             [](const AtrLevel& l) { return l.AnnouncedProtocol().value_or(0) != 0; });
      lines.push_back(due ? "TCK: missing" : "TCK: absent (none is due when only T=0 is indicated)");
    }
  }
  if (!atr.Ok()) lines.push_back("Error: " + atr.error);
  return lines;
}

}  // namespace quoll
