// ReaderManager, the reader manager: one PC/SC context, the reader list made once, and the
// readers connected on demand by their 1-based index. ReaderConnection is one connected reader.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "card/hex_text.h"
#include "card/pcsc_library.h"

namespace quoll {

class ReaderConnection {
 public:
  static constexpr DWORD kReceiveBufferSize = 2048;

  ReaderConnection(const PcscLibrary& library, SCARDHANDLE cardHandle, DWORD activeProtocol);
  // Disconnects with the unpower disposition when still connected; failures are ignored here.
  ~ReaderConnection();
  ReaderConnection(const ReaderConnection&) = delete;
  ReaderConnection& operator=(const ReaderConnection&) = delete;

  // Sends a command (hex text) and returns every byte of the response, SW1 SW2 included, as hex
  // text. Raises CardError; the connection stays open after a failure.
  std::string Transmit(std::string_view command);
  // Disconnects, unpowering the card; false when the service reports a failure. Either way the
  // reader is no longer connected afterwards.
  bool Disconnect();

  DWORD ActiveProtocol() const { return activeProtocol_; }

 private:
  const PcscLibrary& library_;
  SCARDHANDLE cardHandle_;
  DWORD activeProtocol_;
  bool connected_ = true;
  DWORD responseLength_ = 0;
  std::unique_ptr<uint8_t[]> receiveBuffer_;
};

class ReaderManager {
 public:
  // `libraryName`: the PC/SC client library to load (see PcscLibraryName).
  explicit ReaderManager(std::string libraryName = PcscLibraryName());
  // Disconnects every connected reader, releases the context and the library.
  ~ReaderManager();
  ReaderManager(const ReaderManager&) = delete;
  ReaderManager& operator=(const ReaderManager&) = delete;

  // Loads the library and its entry points once; false when it cannot be loaded.
  bool LoadPCSCLibrary();
  // Loads the library, establishes the context and lists the readers; false when any of that
  // fails (also when the service lists no reader). Reports nothing.
  bool EnumerateReaders();

  int ReaderCount() const { return static_cast<int>(names_.size()); }
  // Raises "Not a valid reader index, shoud be 1..N" unless 1 <= index <= ReaderCount().
  void CheckIndex(int index) const;
  std::string ReaderName(int index) const;
  // Connects, or returns the reader already connected at that index.
  ReaderConnection& Connect(int index);
  // Always true when it returns; a failed disconnection still empties the slot, then raises.
  bool Disconnect(int index);
  std::string Transmit(int index, std::string_view command);

 private:
  std::string libraryName_;
  PcscLibrary library_;
  SCARDCONTEXT context_ = 0;
  bool contextEstablished_ = false;
  std::vector<std::string> names_;
  std::vector<std::unique_ptr<ReaderConnection>> readers_;
};

}  // namespace quoll
