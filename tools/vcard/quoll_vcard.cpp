// quoll-vcard: a virtual smart card for the vpcd reader driver of pcscd (Debian's
// vsmartcard-vpcd). The driver waits for a card on a TCP port (35963 for "Virtual PCD 00 00",
// 35964 for "Virtual PCD 00 01"); this program connects there and answers as the card.
// Every message in both directions is a 2-byte big-endian length and that many bytes. A 1-byte
// message from the reader is a control: 0 power off, 1 power on, 2 reset, 4 asks for the ATR
// (answered as a message). Any longer message is a command APDU, answered with the response; so
// is a one-byte message that is not a control, or a 0, 1 or 2 that nothing follows.
// Tests take the card out and put it back with signals: closing the connection is what the
// driver reports as "no card", connecting again as a card inserted.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "tools/vcard/virtual_card.h"

namespace {

using quoll::vcard::Bytes;
using quoll::vcard::VirtualCard;

const char kUsage[] =
    "Usage: quoll-vcard [--port N] [--host ADDRESS] [--t1] [--wait SECONDS]\n"
    "       quoll-vcard --help | --version\n"
    "Connects to the vpcd reader driver of pcscd (default 127.0.0.1:35963, the reader\n"
    "\"Virtual PCD 00 00\"; 35964 is \"Virtual PCD 00 01\") and answers as a small ISO/IEC 7816-4\n"
    "card until the reader closes the connection. --t1 gives an ATR offering T=1 instead of T=0.\n"
    "--wait: how long to keep trying to connect (default 10 seconds).\n"
    "Card: MF 3F00 with the transparent EFs 0001 (16 bytes 00..0F), 0002 (256 bytes 00..FF) and\n"
    "0003 (32 bytes 00, writable). SELECT by identifier answers 61xx and GET RESPONSE gives the\n"
    "FCI; selection by name (P1 04) finds nothing; READ BINARY, UPDATE BINARY, GET CHALLENGE\n"
    "(without Le it answers 6C08, its challenge's length);\n"
    "6A82 missing file, 6D00 unknown instruction,\n"
    "6700 wrong length (also for a one-byte command; 00, 01 and 02 after 2 s, since the reader\n"
    "sends its power controls the same way).\n"
    "Removing and inserting the card while running: SIGUSR1 removes it (the connection to the\n"
    "reader is closed, so the reader reports no card), SIGUSR2 inserts it again (connects anew,\n"
    "trying for --wait seconds; exit status 1 if that fails). The card comes back as after a\n"
    "reset, its files keeping their contents. Each change is written on stderr (\"card removed\",\n"
    "\"card inserted\"); wait until the reader shows one change before asking for the next, since\n"
    "signals that arrive together count once.\n"
    "Exit status 0 when the reader closes the connection (pcscd stopped), 1 when the reader\n"
    "cannot be reached or an answer cannot be written, 2 for wrong arguments.\n";

// Prints text on stdout; when it cannot be written, says why on stderr and gives false.
bool PrintToStdout(const char* text) {
  if (std::fputs(text, stdout) != EOF && std::fflush(stdout) == 0) return true;
  std::fprintf(stderr, "quoll-vcard: cannot write to standard output: %s\n", std::strerror(errno));
  return false;
}

// Control bytes of the vpcd protocol.
enum Control : uint8_t { kPowerOff = 0, kPowerOn = 1, kReset = 2, kGetAtr = 4 };
// How long the reader may stay silent after a control before the byte counts as a command.
constexpr int kControlSilenceMs = 2000;

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

  bool ReadExactly(uint8_t* p, size_t n) {
    while (n > 0) {
      // The driver writes a message's length and its bytes separately; acknowledging at once
      // keeps its second write from waiting out our delayed acknowledgement (about 40 ms).
      int one = 1;
      setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
      ssize_t got = read(fd_, p, n);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      p += got;
      n -= static_cast<size_t>(got);
    }
    return true;
  }
  bool WriteAll(const uint8_t* p, size_t n) {
    while (n > 0) {
      ssize_t put = write(fd_, p, n);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      p += put;
      n -= static_cast<size_t>(put);
    }
    return true;
  }
  // Whether something (data or the end of the connection) can be read within `ms`.
  bool WaitForData(int ms) {
    pollfd p{fd_, POLLIN, 0};
    int ready;
    do ready = poll(&p, 1, ms);
    while (ready < 0 && errno == EINTR);
    return ready != 0;
  }
  bool ReadMessage(Bytes& message) {
    uint8_t header[2];
    if (!ReadExactly(header, 2)) return false;
    message.resize(static_cast<size_t>(header[0] << 8 | header[1]));
    return message.empty() || ReadExactly(message.data(), message.size());
  }
  bool WriteMessage(const Bytes& message) {
    if (message.size() > 0xFFFF) return false;
    Bytes out = {static_cast<uint8_t>(message.size() >> 8), static_cast<uint8_t>(message.size())};
    out.insert(out.end(), message.begin(), message.end());
    return WriteAll(out.data(), out.size());
  }

 private:
  int fd_;
};

struct Options {
  std::string host = "127.0.0.1";
  int port = 35963;
  bool t1 = false;
  double waitSeconds = 10;
};

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--t1") {
      o.t1 = true;
    } else if (a == "--port" && hasValue) {
      o.port = std::atoi(argv[++i]);
      if (o.port <= 0 || o.port > 65535) return false;
    } else if (a == "--host" && hasValue) {
      o.host = argv[++i];
    } else if (a == "--wait" && hasValue) {
      o.waitSeconds = std::atof(argv[++i]);
    } else {
      return false;
    }
  }
  return true;
}

// Connects, retrying while the reader driver is not listening yet; -1 after the wait.
int ConnectToReader(const Options& o) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(o.port));
  if (inet_pton(AF_INET, o.host.c_str(), &address.sin_addr) != 1) return -1;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(o.waitSeconds);
  while (true) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      int one = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);  // one small message per turn
      return fd;
    }
    close(fd);
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

// SIGUSR1 (remove) and SIGUSR2 (insert), blocked and read from a descriptor, so that they are
// taken between two messages and polled for together with the reader's connection.
class CardSignals {
 public:
  CardSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGUSR1);
    sigaddset(&set, SIGUSR2);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    fd_ = signalfd(-1, &set, SFD_CLOEXEC);
  }
  ~CardSignals() {
    if (fd_ >= 0) close(fd_);
  }
  CardSignals(const CardSignals&) = delete;
  CardSignals& operator=(const CardSignals&) = delete;
  int fd() const { return fd_; }

  // The next signal; call only when poll says the descriptor is readable.
  int Take() {
    signalfd_siginfo info;
    ssize_t got;
    do got = read(fd_, &info, sizeof info);
    while (got < 0 && errno == EINTR);
    return got == static_cast<ssize_t>(sizeof info) ? static_cast<int>(info.ssi_signo) : 0;
  }

 private:
  int fd_;
};

enum class Ready { kSignal, kReader, kFailed };

// Waits until the signals or the reader's connection (when there is one) have something. A
// waiting signal goes first: a removal beats the reader's next message.
Ready WaitForSignalOrReader(const std::optional<Socket>& reader, const CardSignals& signals) {
  pollfd p[2] = {{signals.fd(), POLLIN, 0}, {reader ? reader->fd() : -1, POLLIN, 0}};
  int ready;
  do ready = poll(p, 2, -1);
  while (ready < 0 && errno == EINTR);
  if (ready < 0) return Ready::kFailed;
  if (p[0].revents & POLLIN) return Ready::kSignal;
  return reader ? Ready::kReader : Ready::kFailed;
}

// Answers one message from the reader; false when the answer cannot be written.
bool Answer(Socket& reader, VirtualCard& card, const Bytes& message) {
  if (message.size() != 1) return message.empty() || reader.WriteMessage(card.Process(message));
  switch (message[0]) {
    case kPowerOff:
    case kPowerOn:
    case kReset:
      // A one-byte command APDU (a script's '00') arrives looking like a control, and the
      // driver then waits for its answer; left unanswered, it blocks the reader for good.
      // Real controls are followed by more traffic at once: an ATR request after power on
      // and reset, presence polls every 400 ms after power off. Silence means a command.
      if (reader.WaitForData(kControlSilenceMs)) {
        card.Reset();
        return true;
      }
      return reader.WriteMessage(card.Process(message));
    case kGetAtr:
      return reader.WriteMessage(card.Atr());
    default:  // not a control: a one-byte command APDU
      return reader.WriteMessage(card.Process(message));
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Exit status 3: the answer to --help or --version could not be written.
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    return PrintToStdout(kUsage) ? 0 : 3;
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    return PrintToStdout("quoll-vcard " QUOLL_VERSION "\n") ? 0 : 3;
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::cerr << kUsage;
    return 2;
  }
  // Blocked before anything else, so that a signal sent at any time after start waits for us.
  CardSignals signals;
  if (signals.fd() < 0) {
    std::cerr << "quoll-vcard: cannot receive signals: " << std::strerror(errno) << "\n";
    return 1;
  }
  const std::string where = options.host + ":" + std::to_string(options.port);
  int fd = ConnectToReader(options);
  if (fd < 0) {
    std::cerr << "quoll-vcard: cannot connect to " << where << "\n";
    return 1;
  }
  std::optional<Socket> reader(std::in_place, fd);
  VirtualCard card(options.t1 ? VirtualCard::Protocol::T1 : VirtualCard::Protocol::T0);
  std::cerr << "quoll-vcard: card inserted at " << where << std::endl;
  Bytes message;
  while (true) {
    const Ready ready = WaitForSignalOrReader(reader, signals);
    if (ready == Ready::kFailed) {
      std::cerr << "quoll-vcard: cannot wait for the reader: " << std::strerror(errno) << "\n";
      return 1;
    }
    if (ready == Ready::kSignal) {
      const int request = signals.Take();
      if (request == SIGUSR1 && reader) {
        reader.reset();
        std::cerr << "quoll-vcard: card removed" << std::endl;
      } else if (request == SIGUSR2 && !reader) {
        fd = ConnectToReader(options);
        if (fd < 0) {
          std::cerr << "quoll-vcard: cannot connect to " << where << "\n";
          return 1;
        }
        reader.emplace(fd);
        card.Reset();
        std::cerr << "quoll-vcard: card inserted at " << where << std::endl;
      }
      continue;
    }
    if (!reader->ReadMessage(message)) return 0;  // the reader closed the connection (pcscd stopped)
    if (!Answer(*reader, card, message)) return 1;
  }
}
