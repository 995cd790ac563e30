// The trace's text of an exchange: fixed columns, tab-separated, one exchange per line.
#include "card/exchange_record.h"

#include <cstdio>

#include "card/status_words.h"

namespace quoll {

namespace {

// A field never holds the characters that separate fields and lines.
std::string Sanitized(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

const char* ExchangeKindName(ExchangeKind kind) {
  switch (kind) {
    case ExchangeKind::kConnect:
      return "connect";
    case ExchangeKind::kTransmit:
      return "transmit";
    case ExchangeKind::kGetResponse:
      return "get-response";
    case ExchangeKind::kResend:
      return "resend";
    case ExchangeKind::kDisconnect:
      return "disconnect";
    case ExchangeKind::kContext:
      return "context";
  }
  return "?";
}

Bytes ExchangeRecord::ResponseData() const {
  if (!IsApdu()) return response;
  if (response.size() < 2) return {};
  return Bytes(response.begin(), response.end() - 2);
}

const std::vector<std::string>& TraceColumns() {
  static const std::vector<std::string> columns = {"time", "reader",  "name", "kind",   "command", "data",
                                                   "sw",   "meaning", "ms",   "module", "line",    "failure"};
  return columns;
}

std::string TimeOfDayText(const timespec& wallTime) {
  // The local time of the last second asked for: a trace asks many times per second, and
  // localtime_r looks at the time zone file each time.
  thread_local time_t cachedSecond = -1;
  thread_local tm local{};
  if (wallTime.tv_sec != cachedSecond) {
    const time_t seconds = wallTime.tv_sec;
    localtime_r(&seconds, &local);
    cachedSecond = seconds;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(wallTime.tv_nsec / 1'000'000));
  return text;
}

std::string DurationText(int64_t durationNs) {
  // Rounded to the nearest tenth of a millisecond.
  const int64_t tenths = (durationNs + 50'000) / 100'000;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::vector<std::string> TraceFields(const ExchangeRecord& r) {
  std::string sw, meaning = r.detail;
  if (r.HasStatus()) {
    sw = BytesToHex(std::span<const uint8_t>(r.response).last(2));
    meaning = StatusWordMeaning(r.Sw1(), r.Sw2());
  }
  const bool apdu = r.IsApdu();
  return {TimeOfDayText(r.wallTime),
          r.readerIndex > 0 ? std::to_string(r.readerIndex) : std::string(),
          Sanitized(r.readerName),
          ExchangeKindName(r.kind),
          apdu ? BytesToSpacedHex(r.command) : std::string(),
          BytesToSpacedHex(r.ResponseData()),
          sw,
          Sanitized(meaning),
          DurationText(r.durationNs),
          Sanitized(r.place.module),
          r.place.line > 0 ? std::to_string(r.place.line) : std::string(),
          Sanitized(r.failure)};
}

std::string TraceLine(const ExchangeRecord& record) {
  const std::vector<std::string> fields = TraceFields(record);
  std::string line = fields.front();
  for (size_t i = 1; i < fields.size(); ++i) (line += '\t') += fields[i];
  return line;
}

}  // namespace quoll
