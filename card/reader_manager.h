// ReaderManager, the reader manager: one PC/SC context, the reader list, and the readers
// connected on demand by their 1-based index. ReaderConnection is one connected reader.
// The list is read again at the start of a run when no reader is connected (RefreshReaders), and
// a result that means the service went away or restarted drops the connections and establishes a
// new context, so a reader plugged in or a pcscd restarted needs no restart of the program.
// With a trace sink every exchange is recorded; with automatic GET RESPONSE a 61xx answer is
// followed by GET RESPONSE and a 6Cxx answer by the command resent with the right Le.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "card/exchange_record.h"
#include "card/hex_text.h"
#include "card/pcsc_library.h"

namespace quoll {

class TraceSink;

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
  // One exchange of bytes: the service's result. On success Response() holds the answer until the
  // next exchange; a response longer than the buffer is reported as SCARD_E_INSUFFICIENT_BUFFER.
  // Raises CardError when the library cannot transmit at all (no entry point, no send record).
  LONG Exchange(std::span<const uint8_t> command);
  std::span<const uint8_t> Response() const { return {receiveBuffer_.get(), responseLength_}; }
  // Disconnects, unpowering the card; false when the service reports a failure. Either way the
  // reader is no longer connected afterwards.
  bool Disconnect();
  // Forgets the card handle without asking the service: it went with the service's context.
  void Abandon() { connected_ = false; }

  DWORD ActiveProtocol() const { return activeProtocol_; }
  SCARDHANDLE CardHandle() const { return cardHandle_; }

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
  // Loads the library, establishes a new context and lists the readers, dropping every
  // connection; false when any of that fails (also when the service lists no reader), with the
  // reason in FailureReason(). Reports nothing.
  bool EnumerateReaders();
  // At the start of a run: with no reader connected, EnumerateReaders again (a reader plugged in
  // or removed since, a service started or restarted); with a connection, the list stays, since
  // the connection's index points into it. True when PC/SC is usable.
  bool RefreshReaders();
  // Why the last EnumerateReaders failed: "SCardEstablishContext: Service not available.
  // (0x8010001D)", the loader's message, ...; empty after success.
  const std::string& FailureReason() const { return failureReason_; }

  int ReaderCount() const { return static_cast<int>(names_.size()); }
  // Raises "Not a valid reader index, shoud be 1..N" unless 1 <= index <= ReaderCount().
  void CheckIndex(int index) const;
  std::string ReaderName(int index) const;
  // Connects, or returns the reader already connected at that index.
  ReaderConnection& Connect(int index);
  // Always true when it returns; a failed disconnection still empties the slot, then raises.
  bool Disconnect(int index);
  std::string Transmit(int index, std::string_view command);
  bool AnyConnected() const;
  // The names of the readers this program holds a connection to.
  std::vector<std::string> ConnectedReaderNames() const;

  // Every exchange goes to `sink` (none: nullptr); the sink must outlive its use here.
  void SetTrace(TraceSink* sink) { trace_ = sink; }
  TraceSink* Trace() const { return trace_; }
  // Where the script is for the exchanges that follow (read by the reader functions only while
  // tracing).
  void SetStatementPlace(StatementPlace place) { place_ = std::move(place); }
  // The T=0 transport's GET RESPONSE and resend, done for the script (off: the script sees
  // exactly what the service returns).
  void SetAutoGetResponse(bool on) { autoGetResponse_ = on; }
  bool AutoGetResponse() const { return autoGetResponse_; }

  const PcscLibrary& Library() const { return library_; }

  // How many GET RESPONSE commands one SendAPDU may add: a card answering 61xx for ever ends.
  static constexpr int kMaxGetResponses = 256;

 private:
  // One exchange on a connection, recorded when tracing; raises "SCardTransmit error!" with the
  // service's reason when it fails.
  void ExchangeOnce(int index, ReaderConnection& reader, std::span<const uint8_t> command, ExchangeKind kind);
  std::string TransmitWithTransport(int index, ReaderConnection& reader, const Bytes& command);
  // Establishes the context when there is none; false with `reason` set when that fails.
  bool EnsureContext(std::string& reason);
  // After a result that means the service went away or restarted: every connection is dropped
  // (its handle died with the old context) and a new context is established, once.
  void RecoverFromServiceLoss(const std::string& reason);
  void Record(ExchangeRecord& record) const;
  ExchangeRecord StartRecord(ExchangeKind kind, int index) const;

  std::string libraryName_;
  PcscLibrary library_;
  SCARDCONTEXT context_ = 0;
  bool contextEstablished_ = false;
  std::vector<std::string> names_;
  std::vector<std::unique_ptr<ReaderConnection>> readers_;
  std::string failureReason_;
  TraceSink* trace_ = nullptr;
  StatementPlace place_;
  bool autoGetResponse_ = false;
};

}  // namespace quoll
