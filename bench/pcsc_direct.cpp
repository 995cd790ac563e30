// The direct way for the sendapdu workload: the same SCardTransmit calls as quoll-run makes,
// from C++ linked against pcsc-lite. Reads one command APDU in hex per line and prints the last
// response as upper-case hex.
//   pcsc-direct READER FILE.apdu
#include <PCSC/winscard.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> ParseHex(const std::string& line) {
  std::vector<BYTE> bytes;
  std::string digits;
  for (char c : line)
    if (c != ' ' && c != '\r') digits += c;
  for (size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes.push_back(static_cast<BYTE>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: pcsc-direct READER FILE.apdu\n";
    return 2;
  }
  std::ifstream in(argv[2]);
  std::vector<std::vector<BYTE>> commands;
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') commands.push_back(ParseHex(line));
  SCARDCONTEXT context;
  if (SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context) != SCARD_S_SUCCESS) return 1;
  SCARDHANDLE card;
  DWORD protocol;
  if (SCardConnect(context, argv[1], SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card,
                   &protocol) != SCARD_S_SUCCESS) {
    std::cerr << "pcsc-direct: cannot connect to " << argv[1] << "\n";
    return 1;
  }
  const SCARD_IO_REQUEST* pci = protocol == SCARD_PROTOCOL_T0 ? SCARD_PCI_T0 : SCARD_PCI_T1;
  BYTE response[2048];
  DWORD length = 0;
  for (const auto& command : commands) {
    length = sizeof response;
    if (SCardTransmit(card, pci, command.data(), static_cast<DWORD>(command.size()), nullptr, response,
                      &length) != SCARD_S_SUCCESS) {
      std::cerr << "pcsc-direct: SCardTransmit failed\n";
      return 1;
    }
  }
  for (DWORD i = 0; i < length; ++i) std::printf("%02X", response[i]);
  std::printf("\n");
  SCardDisconnect(card, SCARD_UNPOWER_CARD);
  SCardReleaseContext(context);
  return 0;
}
