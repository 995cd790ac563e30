// The PC/SC service's client library (pcsc-lite), loaded by name at run time. Only its header's
// types are used at compile time; nothing links against it.
#pragma once

#include <PCSC/winscard.h>

#include <memory>
#include <string>

namespace quoll {

// The library to load: $QUOLL_PCSC_LIBRARY when set, else "libpcsclite.so.1".
std::string PcscLibraryName();

// A result code fails when the top bit of its 32-bit value is set. pcsc-lite returns its codes
// (0x8010000C ...) as positive 64-bit LONG values, so a sign test would miss every failure.
inline bool PcscFailed(LONG result) {
  return (static_cast<uint32_t>(result) & 0x80000000u) != 0;
}

// The loaded library and its entry points. An entry point the library lacks stays null; callers
// check before calling.
class PcscLibrary {
 public:
  // Loads the library and looks up its entry points; false (and nothing loaded) when the library
  // cannot be loaded.
  bool Load(const std::string& name);
  bool Loaded() const { return handle_ != nullptr; }
  // Forgets the entry points and releases the library.
  void Unload();

  decltype(&::SCardEstablishContext) EstablishContext = nullptr;
  decltype(&::SCardReleaseContext) ReleaseContext = nullptr;
  decltype(&::SCardListReaders) ListReaders = nullptr;
  decltype(&::SCardConnect) Connect = nullptr;
  decltype(&::SCardDisconnect) Disconnect = nullptr;
  decltype(&::SCardTransmit) Transmit = nullptr;
  decltype(&::SCardControl) Control = nullptr;  // looked up for completeness; nothing calls it
  // The send records of a transmission, by protocol.
  const SCARD_IO_REQUEST* T0Pci = nullptr;
  const SCARD_IO_REQUEST* T1Pci = nullptr;

 private:
  struct Closer {
    void operator()(void* handle) const;
  };
  std::unique_ptr<void, Closer> handle_;
};

}  // namespace quoll
