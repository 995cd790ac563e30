// The status-word table: one row per SW1 and range of SW2, looked up first match first, so
// exact rows stand before the range that covers their whole group.
#include "card/status_words.h"

#include <array>
#include <string_view>

namespace quoll {

namespace {

// What replaces the '#' in a row's text.
enum class Count : uint8_t {
  kNone,
  kBytes,   // SW2 as a byte count, 00 meaning 256
  kNibble,  // SW2's low four bits
};

struct StatusWordRow {
  uint8_t sw1;
  uint8_t firstSw2, lastSw2;
  std::string_view text;
  Count count = Count::kNone;
};

constexpr auto kRows = std::to_array<StatusWordRow>({
    {0x90, 0x00, 0x00, "normal processing"},
    {0x61, 0x00, 0xFF, "# bytes still available", Count::kBytes},

    {0x62, 0x00, 0x00, "no information given (warning, non-volatile memory unchanged)"},
    {0x62, 0x02, 0x80, "triggering by the card (warning, non-volatile memory unchanged)"},
    {0x62, 0x81, 0x81, "part of returned data may be corrupted"},
    {0x62, 0x82, 0x82, "end of file or record reached before reading Ne bytes"},
    {0x62, 0x83, 0x83, "selected file deactivated"},
    {0x62, 0x84, 0x84, "file control information not formatted"},
    {0x62, 0x85, 0x85, "selected file in termination state"},
    {0x62, 0x86, 0x86, "no input data available from a sensor on the card"},
    {0x62, 0x00, 0xFF, "warning, non-volatile memory unchanged"},

    {0x63, 0x00, 0x00, "no information given (warning, non-volatile memory changed)"},
    {0x63, 0x81, 0x81, "file filled up by the last write"},
    {0x63, 0xC0, 0xCF, "counter: #", Count::kNibble},
    {0x63, 0x00, 0xFF, "warning, non-volatile memory changed"},

    {0x64, 0x00, 0x00, "execution error, non-volatile memory unchanged"},
    {0x64, 0x01, 0x01, "immediate response required by the card"},
    {0x64, 0x02, 0x80, "triggering by the card (execution error, non-volatile memory unchanged)"},
    {0x64, 0x00, 0xFF, "execution error, non-volatile memory unchanged"},

    {0x65, 0x00, 0x00, "execution error, non-volatile memory changed"},
    {0x65, 0x81, 0x81, "memory failure"},
    {0x65, 0x00, 0xFF, "execution error, non-volatile memory changed"},

    {0x66, 0x00, 0xFF, "security-related issue"},

    {0x67, 0x00, 0x00, "wrong length"},

    {0x68, 0x00, 0x00, "no information given (functions in CLA not supported)"},
    {0x68, 0x81, 0x81, "logical channel not supported"},
    {0x68, 0x82, 0x82, "secure messaging not supported"},
    {0x68, 0x83, 0x83, "last command of the chain expected"},
    {0x68, 0x84, 0x84, "command chaining not supported"},
    {0x68, 0x00, 0xFF, "functions in CLA not supported"},

    {0x69, 0x00, 0x00, "no information given (command not allowed)"},
    {0x69, 0x81, 0x81, "command incompatible with file structure"},
    {0x69, 0x82, 0x82, "security status not satisfied"},
    {0x69, 0x83, 0x83, "authentication method blocked"},
    {0x69, 0x84, 0x84, "reference data not usable"},
    {0x69, 0x85, 0x85, "conditions of use not satisfied"},
    {0x69, 0x86, 0x86, "command not allowed (no current EF)"},
    {0x69, 0x87, 0x87, "expected secure messaging data objects missing"},
    {0x69, 0x88, 0x88, "incorrect secure messaging data objects"},
    {0x69, 0x00, 0xFF, "command not allowed"},

    {0x6A, 0x00, 0x00, "no information given (wrong parameters P1-P2)"},
    {0x6A, 0x80, 0x80, "incorrect parameters in the command data field"},
    {0x6A, 0x81, 0x81, "function not supported"},
    {0x6A, 0x82, 0x82, "file or application not found"},
    {0x6A, 0x83, 0x83, "record not found"},
    {0x6A, 0x84, 0x84, "not enough memory space in the file"},
    {0x6A, 0x85, 0x85, "Nc inconsistent with TLV structure"},
    {0x6A, 0x86, 0x86, "incorrect parameters P1-P2"},
    {0x6A, 0x87, 0x87, "Nc inconsistent with parameters P1-P2"},
    {0x6A, 0x88, 0x88, "referenced data not found"},
    {0x6A, 0x89, 0x89, "file already exists"},
    {0x6A, 0x8A, 0x8A, "DF name already exists"},
    {0x6A, 0x00, 0xFF, "wrong parameters P1-P2"},

    {0x6B, 0x00, 0x00, "wrong parameters P1-P2"},
    {0x6C, 0x00, 0xFF, "wrong Le, # available", Count::kBytes},
    {0x6D, 0x00, 0x00, "instruction code not supported or invalid"},
    {0x6E, 0x00, 0x00, "class not supported"},
    {0x6F, 0x00, 0x00, "no precise diagnosis"},
});

}  // namespace

std::string StatusWordMeaning(uint8_t sw1, uint8_t sw2) {
  for (const StatusWordRow& row : kRows) {
    if (row.sw1 != sw1 || sw2 < row.firstSw2 || sw2 > row.lastSw2) continue;
    std::string text(row.text);
    if (row.count == Count::kNone) return text;
    int n = row.count == Count::kNibble ? sw2 & 0x0F : (sw2 == 0 ? 256 : sw2);
    return text.replace(text.find('#'), 1, std::to_string(n));
  }
  return "unknown";
}

}  // namespace quoll
