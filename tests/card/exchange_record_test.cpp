// The trace's text of an exchange: the columns in their fixed order, what each kind fills in,
// the time and duration texts, and fields that can never split a line.
#include "card/exchange_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "card/trace_sink.h"

namespace quoll {
namespace {

ExchangeRecord Make(ExchangeKind kind, Bytes command, Bytes response) {
  ExchangeRecord r;
  r.kind = kind;
  r.readerIndex = 1;
  r.readerName = "Virtual PCD 00 00";
  r.command = std::move(command);
  r.response = std::move(response);
  r.durationNs = 1'234'567;
  r.place = {"MAIN", 30, 3};
  return r;
}

TEST(ExchangeRecord, FieldsOfEachKindInTheColumnOrder) {
  ASSERT_EQ(TraceColumns(), (std::vector<std::string>{"time", "reader", "name", "kind", "command", "data",
                                                      "sw", "meaning", "ms", "module", "line", "failure"}));
  ExchangeRecord connect = Make(ExchangeKind::kConnect, {}, {0x3B, 0x00});
  connect.detail = "T=0";
  ExchangeRecord failed = Make(ExchangeKind::kTransmit, {0x00, 0xB0}, {});
  failed.failure = "Card was removed. (0x80100069)";
  ExchangeRecord context = Make(ExchangeKind::kContext, {}, {});
  context.readerIndex = 0;
  context.readerName.clear();
  context.detail = "new context after: Service not available. (0x8010001D)";
  context.place = {};
  struct Case {
    ExchangeRecord record;
    std::vector<std::string> fields;  // every field but the time
  };
  const Case cases[] = {
      {connect, {"1", "Virtual PCD 00 00", "connect", "", "3B 00", "", "T=0", "1.2", "MAIN", "3", ""}},
      {Make(ExchangeKind::kTransmit, {0x00, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00}, {0x61, 0x09}),
       {"1", "Virtual PCD 00 00", "transmit", "00 A4 00 00 02 3F 00", "", "6109", "9 bytes still available",
        "1.2", "MAIN", "3", ""}},
      {Make(ExchangeKind::kGetResponse, {0x00, 0xC0, 0x00, 0x00, 0x02}, {0x6F, 0x00, 0x90, 0x00}),
       {"1", "Virtual PCD 00 00", "get-response", "00 C0 00 00 02", "6F 00", "9000", "normal processing",
        "1.2", "MAIN", "3", ""}},
      {Make(ExchangeKind::kResend, {0x00, 0x84, 0x00, 0x00, 0x08}, {0x6A, 0x82}),
       {"1", "Virtual PCD 00 00", "resend", "00 84 00 00 08", "", "6A82", "file or application not found",
        "1.2", "MAIN", "3", ""}},
      {failed,
       {"1", "Virtual PCD 00 00", "transmit", "00 B0", "", "", "", "1.2", "MAIN", "3",
        "Card was removed. (0x80100069)"}},
      {Make(ExchangeKind::kDisconnect, {}, {}),
       {"1", "Virtual PCD 00 00", "disconnect", "", "", "", "", "1.2", "MAIN", "3", ""}},
      {context,
       {"", "", "context", "", "", "", "new context after: Service not available. (0x8010001D)", "1.2", "",
        "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ExchangeKindName(c.record.kind));
    std::vector<std::string> fields = TraceFields(c.record);
    ASSERT_EQ(fields.size(), TraceColumns().size());
    fields.erase(fields.begin());
    EXPECT_EQ(fields, c.fields);
  }
}

TEST(ExchangeRecord, LineIsTheFieldsJoinedByTabsAndNeverBreaks) {
  ExchangeRecord r = Make(ExchangeKind::kTransmit, {0x00}, {0x90, 0x00});
  r.readerName = "odd\treader\nname";
  r.failure = "two\r\nlines";
  const std::string line = TraceLine(r);
  EXPECT_EQ(line.find('\n'), std::string::npos);
  EXPECT_EQ(line.find('\r'), std::string::npos);
  size_t tabs = 0;
  for (char c : line) tabs += c == '\t';
  EXPECT_EQ(tabs, TraceColumns().size() - 1);
  EXPECT_NE(line.find("\todd reader name\t"), std::string::npos) << line;
}

TEST(ExchangeRecord, TimeOfDayAndDurationTexts) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(TimeOfDayText({3600 * 13 + 60 * 4 + 5, 678'900'000}), "13:04:05.678");
  EXPECT_EQ(TimeOfDayText({0, 999'999'999}), "00:00:00.999");
  unsetenv("TZ");
  tzset();
  struct Case {
    int64_t ns;
    const char* text;
  };
  for (const Case& c : {Case{0, "0.0"}, Case{49'999, "0.0"}, Case{50'000, "0.1"}, Case{1'250'000, "1.3"},
                        Case{12'345'678'901, "12345.7"}})
    EXPECT_EQ(DurationText(c.ns), c.text) << c.ns;
}

TEST(ExchangeRecord, FileSinkWritesOneLinePerRecordAndReportsTheOpenError) {
  std::string error;
  EXPECT_EQ(TraceFileSink::Open("/nonexistent/dir/trace.txt", error), nullptr);
  EXPECT_EQ(error, "No such file or directory");
  char path[] = "/tmp/quoll-trace-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  {
    std::unique_ptr<TraceFileSink> sink = TraceFileSink::Open(path, error);
    ASSERT_NE(sink, nullptr);
    sink->Record(Make(ExchangeKind::kTransmit, {0x00}, {0x90, 0x00}));
    sink->Record(Make(ExchangeKind::kDisconnect, {}, {}));
    EXPECT_EQ(sink->WriteError(), 0);
  }
  std::FILE* f = std::fopen(path, "r");
  ASSERT_NE(f, nullptr);
  char buffer[512];
  int lines = 0;
  while (std::fgets(buffer, sizeof buffer, f)) ++lines;
  std::fclose(f);
  std::remove(path);
  EXPECT_EQ(lines, 2);
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  TraceFileSink failing(full);
  failing.Record(Make(ExchangeKind::kDisconnect, {}, {}));
  EXPECT_EQ(failing.WriteError(), ENOSPC);
  std::fclose(full);
  // A file is written in blocks: the failure shows when they are flushed.
  std::unique_ptr<TraceFileSink> buffered = TraceFileSink::Open("/dev/full", error);
  ASSERT_NE(buffered, nullptr);
  buffered->Record(Make(ExchangeKind::kDisconnect, {}, {}));
  buffered->Flush();
  EXPECT_EQ(buffered->WriteError(), ENOSPC);
}

}  // namespace
}  // namespace quoll
