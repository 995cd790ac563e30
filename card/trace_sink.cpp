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
  return sink;
}

void TraceFileSink::Record(const ExchangeRecord& record) {
  std::string line = TraceLine(record);
  line += '\n';
  if (std::fwrite(line.data(), 1, line.size(), stream_) != line.size() || std::fflush(stream_) != 0) {
    if (writeError_ == 0) writeError_ = errno ? errno : EIO;
    std::clearerr(stream_);
  }
}

}  // namespace quoll
