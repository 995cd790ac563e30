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

// Writes one TraceLine per record to a stream: standard error, or a file it opens. Each line is
// written whole and flushed, so a reader following the file sees complete exchanges.
class TraceFileSink : public TraceSink {
 public:
  // Writes to `stream`, which stays open and belongs to the caller.
  explicit TraceFileSink(std::FILE* stream) : stream_(stream) {}
  // Opens (truncates) the file; nullptr with `error` set to the system's reason when it cannot.
  static std::unique_ptr<TraceFileSink> Open(const std::string& path, std::string& error);

  void Record(const ExchangeRecord& record) override;
  // The errno of the first write that failed, 0 while every write succeeded.
  int WriteError() const { return writeError_; }

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> owned_;
  std::FILE* stream_;
  int writeError_ = 0;
};

}  // namespace quoll
