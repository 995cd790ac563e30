// Where exchange records go: the workbench's trace pane, or a stream for the console runner.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "card/exchange_record.h"

namespace quoll {

class TraceSink {
 public:
  virtual ~TraceSink() = default;
  virtual void Record(const ExchangeRecord& record) = 0;
};

// Writes one TraceLine per record to a stream: standard error, each line flushed as it comes, or
// a file it opens, written in blocks (a write per exchange would cost a good part of what the
// exchange costs) and flushed at least every kFlushIntervalMs of exchanges and when the sink goes.
class TraceFileSink : public TraceSink {
 public:
  static constexpr int64_t kFlushIntervalMs = 100;

  // Writes to `stream`, which stays open and belongs to the caller; every line is flushed.
  explicit TraceFileSink(std::FILE* stream) : stream_(stream) {}
  ~TraceFileSink() override { Flush(); }
  // Opens (truncates) the file; nullptr with `error` set to the system's reason when it cannot.
  static std::unique_ptr<TraceFileSink> Open(const std::string& path, std::string& error);

  void Record(const ExchangeRecord& record) override;
  void Flush();
  // The errno of the first write that failed, 0 while every write succeeded.
  int WriteError() const { return writeError_; }

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  void NoteError();

  std::unique_ptr<std::FILE, Closer> owned_;
  std::FILE* stream_;
  bool buffered_ = false;
  int64_t lastFlushNs_ = 0;
  int writeError_ = 0;
};

}  // namespace quoll
