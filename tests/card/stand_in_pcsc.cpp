// A stand-in for the PC/SC client library, loaded through QUOLL_PCSC_LIBRARY, for the service's
// corner cases that pcscd cannot produce on demand. The variable QUOLL_STAND_IN_PCSC, read at
// every call, sets its behaviour as "key=value;key=value":
//   readers=N     readers listed (default 2); 0 answers the listing with "no readers"
//   establish=R   result of SCardEstablishContext (default 0); also connect=R, transmit=R,
//                 disconnect=R; R in decimal or 0x hex, taken as the 32-bit code
//   protocol=P    active protocol reported by SCardConnect (default 1, T=0)
//   length=N      response length reported by SCardTransmit; by default the command is echoed
//                 followed by 90 00
// Built a second time without SCardTransmit, for a library that lacks an entry point.
// StandInCounters() tells the tests what the library was asked to do.
#include <PCSC/winscard.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Counters {
  int establishes, releases, connects, disconnects, transmits;
  DWORD lastDisposition;
  DWORD lastSendProtocol;
};
Counters gCounters;

// The value of one key of the scenario, or the fallback.
long long Setting(const char* key, long long fallback) {
  const char* scenario = std::getenv("QUOLL_STAND_IN_PCSC");
  if (!scenario) return fallback;
  std::string s = std::string(";") + scenario + ";";
  std::string needle = std::string(";") + key + "=";
  size_t at = s.find(needle);
  if (at == std::string::npos) return fallback;
  return std::strtoll(s.c_str() + at + needle.size(), nullptr, 0);
}

// A result code as pcsc-lite returns it: the 32-bit code in a 64-bit LONG, never sign-extended.
LONG Result(const char* key) {
  return static_cast<LONG>(static_cast<uint32_t>(Setting(key, 0)));
}

}  // namespace

extern "C" {

const SCARD_IO_REQUEST g_rgSCardT0Pci = {SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardT1Pci = {SCARD_PROTOCOL_T1, sizeof(SCARD_IO_REQUEST)};

__attribute__((visibility("default"))) Counters* StandInCounters() {
  return &gCounters;
}

LONG SCardEstablishContext(DWORD, LPCVOID, LPCVOID, LPSCARDCONTEXT context) {
  ++gCounters.establishes;
  *context = 0x1234;
  return Result("establish");
}

LONG SCardReleaseContext(SCARDCONTEXT) {
  ++gCounters.releases;
  return SCARD_S_SUCCESS;
}

LONG SCardListReaders(SCARDCONTEXT, LPCSTR, LPSTR buffer, LPDWORD length) {
  long long readers = Setting("readers", 2);
  if (readers <= 0) return SCARD_E_NO_READERS_AVAILABLE;
  std::string list;
  for (long long i = 0; i < readers; ++i) list += "Stand-in Reader " + std::to_string(i) + '\0';
  list += '\0';
  if (buffer) {
    if (*length < list.size()) return SCARD_E_INSUFFICIENT_BUFFER;
    std::memcpy(buffer, list.data(), list.size());
  }
  *length = list.size();
  return SCARD_S_SUCCESS;
}

LONG SCardConnect(SCARDCONTEXT, LPCSTR, DWORD, DWORD, LPSCARDHANDLE card, LPDWORD protocol) {
  ++gCounters.connects;
  *card = 0x5678 + gCounters.connects;
  *protocol = static_cast<DWORD>(Setting("protocol", SCARD_PROTOCOL_T0));
  return Result("connect");
}

LONG SCardDisconnect(SCARDHANDLE, DWORD disposition) {
  ++gCounters.disconnects;
  gCounters.lastDisposition = disposition;
  return Result("disconnect");
}

#ifndef STAND_IN_WITHOUT_TRANSMIT
LONG SCardTransmit(SCARDHANDLE, const SCARD_IO_REQUEST* sendPci, LPCBYTE command, DWORD commandLength,
                   SCARD_IO_REQUEST*, LPBYTE response, LPDWORD responseLength) {
  ++gCounters.transmits;
  gCounters.lastSendProtocol = sendPci ? sendPci->dwProtocol : 0;
  long long reported = Setting("length", -1);
  if (reported >= 0) {
    // Fills what fits and reports the length asked for, as a misbehaving service might.
    std::memset(response, 0xA5, std::min<DWORD>(*responseLength, static_cast<DWORD>(reported)));
    *responseLength = static_cast<DWORD>(reported);
  } else {
    DWORD n = std::min<DWORD>(commandLength, *responseLength - 2);
    std::memcpy(response, command, n);
    response[n] = 0x90;
    response[n + 1] = 0x00;
    *responseLength = n + 2;
  }
  return Result("transmit");
}
#endif

LONG SCardControl(SCARDHANDLE, DWORD, LPCVOID, DWORD, LPVOID, DWORD, LPDWORD) {
  return SCARD_E_UNSUPPORTED_FEATURE;
}

}  // extern "C"
