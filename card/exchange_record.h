// One exchange with a reader as the trace shows it: a connection, a command APDU and its answer
// (also the GET RESPONSE and the resend that the automatic mode adds), a disconnection, or a new
// PC/SC context after the service went away; and its one-line text for files and terminals.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "card/hex_text.h"

namespace quoll {

enum class ExchangeKind : uint8_t {
  kConnect,      // OpenReader: the response is the card's ATR, the detail its protocol
  kTransmit,     // SendAPDU: the command as the script gave it
  kGetResponse,  // added after 61xx when GET RESPONSE is automatic
  kResend,       // the command again with the Le of a 6Cxx answer
  kDisconnect,   // CloseReader
  kContext,      // a new PC/SC context after the service went away or restarted
};

// The kind's word in the trace ("connect", "transmit", "get-response", "resend", "disconnect",
// "context").
const char* ExchangeKindName(ExchangeKind kind);

// Where in a script the exchange was made: the module of the statement and the position of the
// call in that module's text (-1 when not known); `line` is 1-based, 0 when not known.
struct StatementPlace {
  std::string module;
  int32_t position = -1;
  int line = 0;
};

struct ExchangeRecord {
  timespec wallTime{};  // when it started (CLOCK_REALTIME)
  int64_t durationNs = 0;
  ExchangeKind kind = ExchangeKind::kTransmit;
  int readerIndex = 0;  // 1-based; 0 for none (a context)
  std::string readerName;
  Bytes command;
  Bytes response;  // every byte the service returned, SW1 SW2 last; the ATR for a connection
  // Empty when PC/SC reported success; else its text and code ("Card was removed. (0x80100069)").
  std::string failure;
  std::string detail;  // the protocol of a connection ("T=0"), what a context record did
  StatementPlace place;

  // The answer's status bytes: a transmission that succeeded with at least two bytes.
  bool HasStatus() const { return IsApdu() && failure.empty() && response.size() >= 2; }
  bool IsApdu() const {
    return kind == ExchangeKind::kTransmit || kind == ExchangeKind::kGetResponse ||
           kind == ExchangeKind::kResend;
  }
  uint8_t Sw1() const { return response[response.size() - 2]; }
  uint8_t Sw2() const { return response[response.size() - 1]; }
  // The answer without its status bytes (the whole ATR for a connection).
  Bytes ResponseData() const;
};

// The trace's columns, in their order: time, reader, name, kind, command, data, sw, meaning,
// ms, module, line, failure.
const std::vector<std::string>& TraceColumns();

// The record's fields as the columns show them: the time of day "HH:MM:SS.mmm" (local time),
// the reader index, its name, the kind, the command and the response data as spaced hex
// ("00 A4 00 00"), SW1 SW2 ("9000"), their meaning (card/status_words; the protocol for a
// connection, what was done for a context), the duration in milliseconds with one decimal
// ("0.4"), the module, the line, and the failure text. A field that does not apply is empty.
// Tabs and line breaks inside a field become blanks, so a field never splits a line.
std::vector<std::string> TraceFields(const ExchangeRecord& record);

// The fields joined by tabs, without a line break.
std::string TraceLine(const ExchangeRecord& record);

// "HH:MM:SS.mmm" in local time, and the duration "12.3" in milliseconds.
std::string TimeOfDayText(const timespec& wallTime);
std::string DurationText(int64_t durationNs);

}  // namespace quoll
