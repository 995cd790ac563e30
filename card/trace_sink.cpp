// Trace lines written to a stream.
#include "card/trace_sink.h"

#include <cerrno>
#include <cstring>

namespace quoll {

std::unique_ptr<TraceFileSink> TraceFileSink::Open(const std::string& path, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) {
    error = std::strerror(errno);
    return nullptr;
  }
  auto sink = std::make_unique<TraceFileSink>(f);
  sink->owned_.reset(f);
  sink->buffered_ = true;
  std::setvbuf(f, nullptr, _IOFBF, 1 << 16);
  return sink;
}

void TraceFileSink::Record(const ExchangeRecord& record) {
  std::string line = TraceLine(record);
  line += '\n';
  if (std::fwrite(line.data(), 1, line.size(), stream_) != line.size()) NoteError();
  const int64_t now = int64_t{record.wallTime.tv_sec} * 1'000'000'000 + record.wallTime.tv_nsec;
  if (!buffered_ || now - lastFlushNs_ >= kFlushIntervalMs * 1'000'000) {
    Flush();
    lastFlushNs_ = now;
  }
}

void TraceFileSink::Flush() {
  if (std::fflush(stream_) != 0) NoteError();
}

void TraceFileSink::NoteError() {
  if (writeError_ == 0) writeError_ = errno ? errno : EIO;
  std::clearerr(stream_);
}

}  // namespace quoll
