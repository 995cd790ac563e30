// The status-word table: exact rows, counted rows, group meanings and what it does not know.
#include "card/status_words.h"

#include <gtest/gtest.h>

namespace quoll {
namespace {

TEST(StatusWords, GiveTheInterindustryMeaning) {
  const struct {
    uint16_t sw;
    const char* meaning;
  } cases[] = {
      {0x9000, "normal processing"},
      {0x6109, "9 bytes still available"},  // counts in decimal
      {0x61FF, "255 bytes still available"},
      {0x6100, "256 bytes still available"},
      {0x6C10, "wrong Le, 16 available"},
      {0x6C00, "wrong Le, 256 available"},
      {0x63C0, "counter: 0"},
      {0x63CF, "counter: 15"},
      {0x6282, "end of file or record reached before reading Ne bytes"},  // exact rows before their group
      {0x6210, "triggering by the card (warning, non-volatile memory unchanged)"},
      {0x62F0, "warning, non-volatile memory unchanged"},
      {0x6381, "file filled up by the last write"},
      {0x6310, "warning, non-volatile memory changed"},
      {0x6986, "command not allowed (no current EF)"},
      {0x6999, "command not allowed"},
      {0x6A00, "no information given (wrong parameters P1-P2)"},
      {0x6A88, "referenced data not found"},
      {0x6AFF, "wrong parameters P1-P2"},
      {0x6700, "wrong length"},
      {0x6701, "unknown"},  // groups without a meaning of their own
      {0x6B01, "unknown"},
      {0x6F00, "no precise diagnosis"},
      {0x6F01, "unknown"},
      {0x9001, "unknown"},  // proprietary
      {0x6000, "unknown"},
      {0x0000, "unknown"},
      {0xFFFF, "unknown"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StatusWordMeaning(static_cast<uint8_t>(c.sw >> 8), static_cast<uint8_t>(c.sw)), c.meaning)
        << std::hex << c.sw;
  }
}

}  // namespace
}  // namespace quoll
