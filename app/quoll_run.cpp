// quoll-run: runs a script file from the command line with the workbench's output and error lines.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "host/script_host.h"

namespace {

const char kUsage[] =
    "Usage: quoll-run FILE\n"
    "Runs the Quoll script FILE and prints what the workbench's output pane would show:\n"
    "\"Script is running.\", the script's Writeln lines, then \"Script finished, no errors.\"\n"
    "or the error line. Readln asks on stderr and reads a line from stdin. Without a usable\n"
    "PC/SC service the start-up line about it goes to stderr.\n"
    "QUOLL_PCSC_LIBRARY names the PC/SC client library to load (default libpcsclite.so.1).\n"
    "Exit status: 0 without error, 1 after a script error, 2 when FILE cannot be read.\n";

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
    std::ostream& out = cleared_ ? std::cout : std::cerr;
    out << line << '\n';
    out.flush();
  }
  void ClearOutput() override { cleared_ = true; }
  std::string ReadLine(const std::string& caption, const std::string& prompt) override {
    std::cerr << caption << '\n' << prompt << ' ';
    std::cerr.flush();
    std::string line;
    if (!std::getline(std::cin, line)) return std::string();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
  void ShowRunState(quoll::RunState) override {}

 private:
  bool cleared_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << kUsage;
    return 0;
  }
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
  quoll::TScript host(ui);
  host.Initialize();
  int32_t errorPos = -1;
  bool ok = host.Run(EditorText(text), errorPos);
  host.Shutdown();
  return ok ? 0 : 1;
}
