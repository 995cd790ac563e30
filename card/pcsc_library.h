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

// The results that mean the service went away or restarted under an open context or handle:
// only a new context helps. pcsc-lite answers a call whose connection to pcscd broke with
// SCARD_F_COMM_ERROR ("RPC transport error"), which means the same.
inline bool PcscServiceLost(LONG result) {
  const auto code = static_cast<uint32_t>(result);
  return code == static_cast<uint32_t>(SCARD_E_NO_SERVICE) ||
         code == static_cast<uint32_t>(SCARD_E_SERVICE_STOPPED) ||
         code == static_cast<uint32_t>(SCARD_E_INVALID_HANDLE) ||
         code == static_cast<uint32_t>(SCARD_F_COMM_ERROR);
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
  // A result code as pcsc-lite's text and the code: "Card was removed. (0x80100069)"; the code
  // alone when the library has no text for it.
  std::string Describe(LONG result) const;
  // Why the last Load failed (the loader's message).
  const std::string& LoadError() const { return loadError_; }

  decltype(&::SCardEstablishContext) EstablishContext = nullptr;
  decltype(&::SCardReleaseContext) ReleaseContext = nullptr;
  decltype(&::SCardListReaders) ListReaders = nullptr;
  decltype(&::SCardConnect) Connect = nullptr;
  decltype(&::SCardDisconnect) Disconnect = nullptr;
  decltype(&::SCardTransmit) Transmit = nullptr;
  decltype(&::SCardControl) Control = nullptr;  // looked up for completeness; nothing calls it
  // For the trace and the readers pane: the ATR of a connection, waiting for reader and card
  // changes, cancelling that wait, and the library's own text of a result code.
  decltype(&::SCardStatus) Status = nullptr;
  decltype(&::SCardGetStatusChange) GetStatusChange = nullptr;
  decltype(&::SCardCancel) Cancel = nullptr;
  decltype(&::pcsc_stringify_error) StringifyError = nullptr;
  // The send records of a transmission, by protocol.
  const SCARD_IO_REQUEST* T0Pci = nullptr;
  const SCARD_IO_REQUEST* T1Pci = nullptr;

 private:
  struct Closer {
    void operator()(void* handle) const;
  };
  std::unique_ptr<void, Closer> handle_;
  std::string loadError_;
};

}  // namespace quoll
