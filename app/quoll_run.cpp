// quoll-run: runs a script file from the command line with the workbench's output and error lines.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "card/reader_functions.h"
#include "card/trace_sink.h"
#include "host/script_host.h"
#include "libs/automation/script/automation_library.h"
#include "libs/forms/forms_host.h"
#include "libs/forms/forms_library.h"
#include "libs/forms/toolkit_module.h"
#include "libs/native_calls/native_call_library.h"

namespace {

const char kUsage[] =
    "Usage: quoll-run [--trace[=TRACE-FILE]] [--get-response] FILE\n"
    "       quoll-run --help | --version\n"
    "Runs the Quoll script FILE and prints what the workbench's output pane would show:\n"
    "\"Script is running.\", the script's Writeln lines, then \"Script finished, no errors.\"\n"
    "or the error line. Readln asks on stderr and reads a line from stdin. Lines about PC/SC\n"
    "go to stderr: the start-up line and why the reader functions are missing when the service\n"
    "is unusable, and after a card error line the service's reason (\"PC/SC: Card was removed.\n"
    "(0x80100069)\").\n"
    "  --trace          one line per card exchange on stderr\n"
    "  --trace=FILE     the same lines into FILE (created or truncated)\n"
    "  --get-response   answer 61xx with GET RESPONSE and 6Cxx with the command resent with\n"
    "                   the right Le, as T=0 transport does (each exchange is traced)\n"
    "A trace line has 12 tab-separated fields, in this order (empty where one does not apply):\n"
    "time of day (HH:MM:SS.mmm), reader index, reader name, kind (connect, transmit,\n"
    "get-response, resend, disconnect, context), command (hex), response data (hex; the ATR\n"
    "for connect), SW1SW2, its meaning (the protocol for connect), duration in ms, module,\n"
    "line of the call, PC/SC failure.\n"
    "QUOLL_PCSC_LIBRARY names the PC/SC client library to load (default libpcsclite.so.1).\n"
    "Forms that scripts make open on the display, or offscreen when there is none\n"
    "(QT_QPA_PLATFORM chooses); their handlers run inside the script's ProcessMessages.\n"
    "Exit status: 0 without error, 1 after a script error, 2 when FILE cannot be read,\n"
    "3 when the output could not be written (a full disk, a closed pipe).\n";

// Prints text on stdout; when it cannot be written, says why on stderr and gives false.
bool PrintToStdout(const char* text) {
  if (std::fputs(text, stdout) != EOF && std::fflush(stdout) == 0) return true;
  std::fprintf(stderr, "quoll-run: cannot write to standard output: %s\n", std::strerror(errno));
  return false;
}

// Reads a whole regular file; false with errno set otherwise (a directory gives EISDIR).
bool ReadWholeFile(const char* path, std::string& out) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  struct stat st {};
  if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(f);
    errno = EISDIR;
    return false;
  }
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  bool ok = !std::ferror(f);
  int saved = errno;
  std::fclose(f);
  errno = saved;
  return ok;
}

// The text as the editor hands it over: every line, the last included, ends with CR LF.
std::string EditorText(const std::string& raw) {
  std::string out;
  out.reserve(raw.size() + raw.size() / 16 + 2);
  size_t i = 0;
  const size_t n = raw.size();
  while (i < n) {
    size_t start = i;
    while (i < n && raw[i] != '\r' && raw[i] != '\n') ++i;
    out.append(raw, start, i - start);
    out += "\r\n";
    if (i < n) {
      if (raw[i] == '\r' && i + 1 < n && raw[i + 1] == '\n')
        i += 2;
      else
        ++i;
    }
  }
  return out;
}

class ConsoleUi : public quoll::HostUi {
 public:
  // stdout shows the output pane as the run leaves it. A line written before the run (the PC/SC
  // start-up failure) is one the run's clearing of the pane removes, so it goes to stderr.
  void WriteOutput(const std::string& line) override {
    std::FILE* out = cleared_ ? stdout : stderr;
    if (std::fwrite(line.data(), 1, line.size(), out) != line.size() || std::fputc('\n', out) == EOF ||
        std::fflush(out) != 0)
      NoteWriteError(out);
  }
  void ClearOutput() override { cleared_ = true; }
  // Reads one line of stdin. Of a line longer than a script string may be, one byte more than
  // that is kept (so the script's Readln fails) and the rest is read and dropped.
  std::string ReadLine(const std::string& caption, const std::string& prompt) override {
    const std::string ask = caption + '\n' + prompt + ' ';
    if (std::fwrite(ask.data(), 1, ask.size(), stderr) != ask.size() || std::fflush(stderr) != 0)
      NoteWriteError(stderr);
    constexpr size_t kLineLimit = quoll::kMaxStringLength + 2;  // a CR may follow the text
    std::string line;
    bool truncated = false;
    for (;;) {
      if (inPos_ == inEnd_ && !FillInput()) break;
      const char* start = input_ + inPos_;
      const auto* lf = static_cast<const char*>(std::memchr(start, '\n', inEnd_ - inPos_));
      const size_t n = lf ? static_cast<size_t>(lf - start) : inEnd_ - inPos_;
      const size_t room = kLineLimit - std::min(line.size(), kLineLimit);
      truncated = truncated || n > room;
      line.append(start, std::min(n, room));
      inPos_ += n;
      if (lf) {
        ++inPos_;
        break;
      }
    }
    if (!truncated && !line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
  void ShowRunState(quoll::RunState) override {}
  // Lines about PC/SC go with the other diagnostics, so stdout stays the script's.
  void WriteNotice(const std::string& line) override {
    if (std::fwrite(line.data(), 1, line.size(), stderr) != line.size() || std::fputc('\n', stderr) == EOF ||
        std::fflush(stderr) != 0)
      NoteWriteError(stderr);
  }

 private:
  bool FillInput() {
    ssize_t n;
    do n = read(STDIN_FILENO, input_, sizeof input_);
    while (n < 0 && errno == EINTR);
    inPos_ = 0;
    inEnd_ = n > 0 ? static_cast<size_t>(n) : 0;
    return n > 0;
  }

 public:
  // Notes the first failed write; the stream's error flag is cleared so later writes are tried.
  void NoteWriteError(std::FILE* out) {
    if (writeError_ == 0) {
      writeError_ = errno ? errno : EIO;
      failedStream_ = out == stdout ? "standard output" : "standard error";
    }
    std::clearerr(out);
  }
  // The first write that failed: its errno (0 when every write succeeded) and which stream.
  int WriteError() const { return writeError_; }
  const char* FailedStream() const { return failedStream_; }

 private:
  bool cleared_ = false;
  int writeError_ = 0;
  const char* failedStream_ = "";
  char input_[65536];
  size_t inPos_ = 0, inEnd_ = 0;
};

struct Options {
  const char* file = nullptr;
  bool trace = false;
  std::string traceFile;  // empty: stderr
  bool getResponse = false;
};

// Options come before the file; "--" ends them. False after a message on stderr.
bool ParseArguments(int argc, char** argv, Options& options) {
  int i = 1;
  for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (arg == "--trace") {
      options.trace = true;
    } else if (arg.starts_with("--trace=") && arg.size() > 8) {
      options.trace = true;
      options.traceFile = arg.substr(8);
    } else if (arg == "--get-response") {
      options.getResponse = true;
    } else {
      std::cerr << "quoll-run: unknown option " << arg << " (try --help)\n";
      return false;
    }
  }
  if (i + 1 != argc) {
    std::cerr << "quoll-run: expected one script file (try --help)\n";
    return false;
  }
  options.file = argv[i];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    return PrintToStdout(kUsage) ? 0 : 3;
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    return PrintToStdout("quoll-run " QUOLL_VERSION "\n") ? 0 : 3;
  Options options;
  if (!ParseArguments(argc, argv, options)) return 2;
  std::string text;
  if (!ReadWholeFile(options.file, text)) {
    std::cerr << "quoll-run: cannot read " << options.file << ": " << std::strerror(errno) << '\n';
    return 2;
  }
  std::unique_ptr<quoll::TraceFileSink> trace;
  if (options.trace) {
    std::string error;
    trace = options.traceFile.empty() ? std::make_unique<quoll::TraceFileSink>(stderr)
                                      : quoll::TraceFileSink::Open(options.traceFile, error);
    if (!trace) {
      std::cerr << "quoll-run: cannot write the trace to " << options.traceFile << ": " << error << '\n';
      return 2;
    }
  }
  ConsoleUi ui;
  bool ok;
  {
    quoll::ScriptHost host(ui);
    host.SetTrace(trace.get());
    quoll::SetAutoGetResponse(options.getResponse);
    host.AddLibrary(quoll::LibraryStep::Automation, quoll::RegisterAutomation);
    host.AddLibrary(quoll::LibraryStep::NativeCalls, quoll::RegisterNativeCallLibrary);
    // Forms start the toolkit (a shared module) only when a script first makes a control.
    quoll::forms::AddFormsLibrary(host);
    quoll::forms::UseToolkitLoader(quoll::forms::LoadToolkitModule);
    host.Initialize();
    int32_t errorPos = -1;
    ok = host.Run(EditorText(text), errorPos);
    host.Shutdown();
  }
  quoll::forms::ReleaseToolkit();
  if (trace) trace->Flush();
  if (trace && trace->WriteError() != 0) {
    std::fprintf(stderr, "quoll-run: cannot write the trace: %s\n", std::strerror(trace->WriteError()));
    return 3;
  }
  // Output that did not arrive is a failure of the run, whatever the script did.
  if (std::fflush(stdout) != 0) ui.NoteWriteError(stdout);
  if (ui.WriteError() != 0) {
    std::fprintf(stderr, "quoll-run: cannot write to %s: %s\n", ui.FailedStream(),
                 std::strerror(ui.WriteError()));
    return 3;
  }
  return ok ? 0 : 1;
}
