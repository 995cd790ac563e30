// quoll-run: runs a script file from the command line with the workbench's output and error lines.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "host/script_host.h"
#include "libs/automation/script/automation_library.h"
#include "libs/native_calls/native_call_library.h"
#include "libs/forms/forms_host.h"
#include "libs/forms/forms_library.h"
#include "libs/forms/toolkit_module.h"

namespace {

const char kUsage[] =
    "Usage: quoll-run FILE\n"
    "       quoll-run --help | --version\n"
    "Runs the Quoll script FILE and prints what the workbench's output pane would show:\n"
    "\"Script is running.\", the script's Writeln lines, then \"Script finished, no errors.\"\n"
    "or the error line. Readln asks on stderr and reads a line from stdin. Without a usable\n"
    "PC/SC service the start-up line about it goes to stderr.\n"
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

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    return PrintToStdout(kUsage) ? 0 : 3;
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    return PrintToStdout("quoll-run " QUOLL_VERSION "\n") ? 0 : 3;
  if (argc != 2) {
    std::cerr << "quoll-run: expected one script file (try --help)\n";
    return 2;
  }
  std::string text;
  if (!ReadWholeFile(argv[1], text)) {
    std::cerr << "quoll-run: cannot read " << argv[1] << ": " << std::strerror(errno) << '\n';
    return 2;
  }
  ConsoleUi ui;
  bool ok;
  {
    quoll::ScriptHost host(ui);
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
  // Output that did not arrive is a failure of the run, whatever the script did.
  if (std::fflush(stdout) != 0) ui.NoteWriteError(stdout);
  if (ui.WriteError() != 0) {
    std::fprintf(stderr, "quoll-run: cannot write to %s: %s\n", ui.FailedStream(),
                 std::strerror(ui.WriteError()));
    return 3;
  }
  return ok ? 0 : 1;
}
