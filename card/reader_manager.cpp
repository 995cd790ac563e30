// The reader manager over pcsc-lite. Without automatic GET RESPONSE it does no protocol work of
// its own: a script sees exactly what the service returns.
#include "card/reader_manager.h"

#include <algorithm>
#include <chrono>

#include "card/card_error.h"
#include "card/trace_sink.h"

namespace quoll {

namespace {
constexpr DWORD kShareShared = SCARD_SHARE_SHARED;                            // 2
constexpr DWORD kPreferredProtocols = SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1;  // 3
constexpr DWORD kUnpowerCard = SCARD_UNPOWER_CARD;                            // 2
const char kTransmitError[] = "SCardTransmit error!";
const char kConnectError[] = "SCardConnect error!";

int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

const char* ProtocolName(DWORD protocol) {
  switch (protocol) {
    case SCARD_PROTOCOL_T0:
      return "T=0";
    case SCARD_PROTOCOL_T1:
      return "T=1";
    case SCARD_PROTOCOL_RAW:
      return "raw";
    default:
      return "unknown protocol";
  }
}

// The command with its Le set to `le`: appended to a command without Le (case 1, or case 3 with
// its data), replacing the last byte otherwise.
Bytes WithLe(Bytes command, uint8_t le) {
  const bool hasLe = command.size() == 5 || (command.size() > 5 && command.size() != 5u + command[4]);
  if (command.size() <= 4 || !hasLe)
    command.push_back(le);
  else
    command.back() = le;
  return command;
}
}  // namespace

// ---- ReaderConnection ----

ReaderConnection::ReaderConnection(const PcscLibrary& library, SCARDHANDLE cardHandle, DWORD activeProtocol)
    : library_(library),
      cardHandle_(cardHandle),
      activeProtocol_(activeProtocol),
      receiveBuffer_(std::make_unique<uint8_t[]>(kReceiveBufferSize)) {}

ReaderConnection::~ReaderConnection() {
  Disconnect();
}

bool ReaderConnection::Disconnect() {
  if (!connected_) return true;
  connected_ = false;
  if (!library_.Disconnect) return false;
  return !PcscFailed(library_.Disconnect(cardHandle_, kUnpowerCard));
}

LONG ReaderConnection::Exchange(std::span<const uint8_t> command) {
  responseLength_ = kReceiveBufferSize;
  const SCARD_IO_REQUEST* sendPci = activeProtocol_ == SCARD_PROTOCOL_T0 ? library_.T0Pci : library_.T1Pci;
  // A library without the entry point or the send records fails the transmission cleanly.
  if (!connected_ || !library_.Transmit || !sendPci) {
    responseLength_ = 0;
    throw CardError(kTransmitError);
  }
  LONG result = library_.Transmit(cardHandle_, sendPci, command.data(), static_cast<DWORD>(command.size()),
                                  nullptr, receiveBuffer_.get(), &responseLength_);
  if (PcscFailed(result)) {
    responseLength_ = 0;
    return result;
  }
  if (responseLength_ > kReceiveBufferSize) {
    responseLength_ = 0;
    return SCARD_E_INSUFFICIENT_BUFFER;
  }
  return result;
}

std::string ReaderConnection::Transmit(std::string_view command) {
  Bytes bytes = HexToBytes(command);
  if (PcscFailed(Exchange(bytes))) throw CardError(kTransmitError);
  return BytesToHex(Response());
}

// ---- ReaderManager ----

ReaderManager::ReaderManager(std::string libraryName) : libraryName_(std::move(libraryName)) {}

ReaderManager::~ReaderManager() {
  names_.clear();
  readers_.clear();  // each connected reader disconnects, unpowering its card
  if (contextEstablished_ && library_.ReleaseContext) library_.ReleaseContext(context_);
  library_.Unload();
}

bool ReaderManager::LoadPCSCLibrary() {
  return library_.Load(libraryName_);
}

bool ReaderManager::EnumerateReaders() {
  readers_.clear();
  names_.clear();
  if (!LoadPCSCLibrary()) {
    failureReason_ = library_.LoadError();
    return false;
  }
  if (!library_.EstablishContext || !library_.ListReaders) {
    failureReason_ = libraryName_ + " lacks SCardEstablishContext or SCardListReaders";
    return false;
  }
  if (contextEstablished_ && library_.ReleaseContext) library_.ReleaseContext(context_);
  contextEstablished_ = false;
  LONG result = library_.EstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context_);
  if (result != SCARD_S_SUCCESS) {
    failureReason_ = "SCardEstablishContext: " + library_.Describe(result);
    return false;
  }
  contextEstablished_ = true;
  DWORD length = 0;
  result = library_.ListReaders(context_, nullptr, nullptr, &length);
  if (result != SCARD_S_SUCCESS) {
    failureReason_ = "SCardListReaders: " + library_.Describe(result);
    return false;
  }
  // Eight spare zero bytes: the list stays terminated whatever the service writes.
  std::vector<char> buffer(static_cast<size_t>(length) + 8, '\0');
  result = library_.ListReaders(context_, nullptr, buffer.data(), &length);
  if (result != SCARD_S_SUCCESS) {
    failureReason_ = "SCardListReaders: " + library_.Describe(result);
    return false;
  }
  // Names one after another, each ended by a zero byte; an empty name ends the list.
  const size_t end = std::min(buffer.size(), static_cast<size_t>(length));
  for (size_t at = 0; at < end && buffer[at] != '\0';) {
    std::string name(buffer.data() + at);
    at += name.size() + 1;
    names_.push_back(std::move(name));
  }
  readers_.resize(names_.size());
  failureReason_.clear();
  return true;
}

bool ReaderManager::RefreshReaders() {
  if (AnyConnected()) return true;
  return EnumerateReaders();
}

bool ReaderManager::AnyConnected() const {
  return std::any_of(readers_.begin(), readers_.end(), [](const auto& r) { return r != nullptr; });
}

std::vector<std::string> ReaderManager::ConnectedReaderNames() const {
  std::vector<std::string> names;
  for (size_t i = 0; i < readers_.size(); ++i)
    if (readers_[i]) names.push_back(names_[i]);
  return names;
}

void ReaderManager::CheckIndex(int index) const {
  if (index < 1 || index > ReaderCount())
    throw CardError("Not a valid reader index, shoud be 1.." + std::to_string(ReaderCount()));
}

std::string ReaderManager::ReaderName(int index) const {
  CheckIndex(index);
  return names_[index - 1];
}

bool ReaderManager::EnsureContext(std::string& reason) {
  if (contextEstablished_) return true;
  if (!library_.EstablishContext) {
    reason = libraryName_ + " lacks SCardEstablishContext";
    return false;
  }
  LONG result = library_.EstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context_);
  if (result != SCARD_S_SUCCESS) {
    reason = library_.Describe(result);
    return false;
  }
  contextEstablished_ = true;
  return true;
}

void ReaderManager::RecoverFromServiceLoss(const std::string& reason) {
  for (std::unique_ptr<ReaderConnection>& reader : readers_) {
    if (reader) reader->Abandon();
    reader.reset();
  }
  if (contextEstablished_ && library_.ReleaseContext) library_.ReleaseContext(context_);
  contextEstablished_ = false;
  ExchangeRecord record = trace_ ? StartRecord(ExchangeKind::kContext, 0) : ExchangeRecord{};
  const int64_t start = trace_ ? SteadyNs() : 0;
  std::string failure;
  const bool ok = EnsureContext(failure);
  if (!trace_) return;
  record.durationNs = SteadyNs() - start;
  record.failure = failure;
  record.detail = (ok ? "new context after: " : "no new context after: ") + reason;
  Record(record);
}

ExchangeRecord ReaderManager::StartRecord(ExchangeKind kind, int index) const {
  ExchangeRecord record;
  clock_gettime(CLOCK_REALTIME, &record.wallTime);
  record.kind = kind;
  record.readerIndex = index;
  if (index >= 1 && index <= ReaderCount()) record.readerName = names_[index - 1];
  record.place = place_;
  return record;
}

void ReaderManager::Record(ExchangeRecord& record) const {
  if (trace_) trace_->Record(record);
}

ReaderConnection& ReaderManager::Connect(int index) {
  CheckIndex(index);
  std::unique_ptr<ReaderConnection>& slot = readers_[index - 1];
  if (slot) return *slot;
  if (!library_.Connect) throw CardError(kConnectError);
  ExchangeRecord record = trace_ ? StartRecord(ExchangeKind::kConnect, index) : ExchangeRecord{};
  const int64_t start = trace_ ? SteadyNs() : 0;
  // The context went with a stopped service: one attempt at a new one per connection attempt.
  std::string reason;
  if (!EnsureContext(reason)) {
    if (trace_) {
      record.durationNs = SteadyNs() - start;
      record.failure = reason;
      Record(record);
    }
    throw CardError(kConnectError, reason);
  }
  SCARDHANDLE card = 0;
  DWORD protocol = 0;
  LONG result = library_.Connect(context_, names_[index - 1].c_str(), kShareShared, kPreferredProtocols,
                                 &card, &protocol);
  if (PcscFailed(result)) {
    reason = library_.Describe(result);
    if (trace_) {
      record.durationNs = SteadyNs() - start;
      record.failure = reason;
      Record(record);
    }
    if (PcscServiceLost(result)) RecoverFromServiceLoss(reason);
    throw CardError(kConnectError, reason);
  }
  try {
    slot = std::make_unique<ReaderConnection>(library_, card, protocol);
  } catch (const std::bad_alloc&) {
    if (library_.Disconnect) library_.Disconnect(card, kUnpowerCard);
    throw CardError("Not enough memory!");
  }
  if (trace_) {
    record.durationNs = SteadyNs() - start;
    record.detail = ProtocolName(protocol);
    // The card's ATR, for the trace: asked only while tracing.
    if (library_.Status) {
      BYTE atr[MAX_ATR_SIZE];
      DWORD atrLength = sizeof atr, state = 0, activeProtocol = 0, nameLength = 0;
      if (!PcscFailed(
              library_.Status(card, nullptr, &nameLength, &state, &activeProtocol, atr, &atrLength)) &&
          atrLength <= sizeof atr)
        record.response.assign(atr, atr + atrLength);
    }
    Record(record);
  }
  return *slot;
}

bool ReaderManager::Disconnect(int index) {
  CheckIndex(index);
  std::unique_ptr<ReaderConnection> reader = std::move(readers_[index - 1]);
  if (!reader) return true;
  ExchangeRecord record = trace_ ? StartRecord(ExchangeKind::kDisconnect, index) : ExchangeRecord{};
  const int64_t start = trace_ ? SteadyNs() : 0;
  const SCARDHANDLE card = reader->CardHandle();
  reader->Abandon();
  const LONG result = library_.Disconnect ? library_.Disconnect(card, kUnpowerCard) : SCARD_E_NO_SERVICE;
  const std::string reason = PcscFailed(result) ? library_.Describe(result) : std::string();
  if (trace_) {
    record.durationNs = SteadyNs() - start;
    record.failure = reason;
    Record(record);
  }
  if (PcscServiceLost(result)) RecoverFromServiceLoss(reason);
  if (PcscFailed(result)) throw CardError("SCardDisconnect error!", reason);
  return true;
}

void ReaderManager::ExchangeOnce(int index, ReaderConnection& reader, std::span<const uint8_t> command,
                                 ExchangeKind kind) {
  ExchangeRecord record = trace_ ? StartRecord(kind, index) : ExchangeRecord{};
  const int64_t start = trace_ ? SteadyNs() : 0;
  const LONG result = reader.Exchange(command);
  std::string reason;
  if (PcscFailed(result)) reason = library_.Describe(result);
  if (trace_) {
    record.durationNs = SteadyNs() - start;
    record.command.assign(command.begin(), command.end());
    const std::span<const uint8_t> response = reader.Response();
    record.response.assign(response.begin(), response.end());
    record.failure = reason;
    Record(record);
  }
  if (reason.empty()) return;
  if (PcscServiceLost(result)) RecoverFromServiceLoss(reason);
  throw CardError(kTransmitError, reason);
}

std::string ReaderManager::Transmit(int index, std::string_view command) {
  CheckIndex(index);
  ReaderConnection* reader = readers_[index - 1].get();
  if (!reader) throw CardError("reader not open; use OpenReader first.");
  const Bytes bytes = HexToBytes(command);
  if (!trace_ && !autoGetResponse_) {
    // The common case: one exchange, nothing recorded.
    const LONG result = reader->Exchange(bytes);
    if (PcscFailed(result)) {
      std::string reason = library_.Describe(result);
      if (PcscServiceLost(result)) RecoverFromServiceLoss(reason);
      throw CardError(kTransmitError, reason);
    }
    return BytesToHex(reader->Response());
  }
  return TransmitWithTransport(index, *reader, bytes);
}

// As T=0 transport does: after 61xx, GET RESPONSE with Le = xx, the data of each answer joined,
// the last status kept; after 6Cxx, the same command once more with Le = xx.
std::string ReaderManager::TransmitWithTransport(int index, ReaderConnection& reader, const Bytes& command) {
  ExchangeOnce(index, reader, command, ExchangeKind::kTransmit);
  if (!autoGetResponse_) return BytesToHex(reader.Response());
  Bytes joined;
  Bytes current = command;
  bool resent = false;
  for (int getResponses = 0;;) {
    const std::span<const uint8_t> response = reader.Response();
    if (response.size() < 2) {
      joined.insert(joined.end(), response.begin(), response.end());
      break;
    }
    const uint8_t sw1 = response[response.size() - 2], sw2 = response.back();
    if (sw1 == 0x6C && !resent) {
      resent = true;
      current = WithLe(current, sw2);
      ExchangeOnce(index, reader, current, ExchangeKind::kResend);
      continue;
    }
    if (sw1 == 0x61 && getResponses < kMaxGetResponses) {
      ++getResponses;
      joined.insert(joined.end(), response.begin(), response.end() - 2);
      current = {0x00, 0xC0, 0x00, 0x00, sw2};
      resent = false;
      ExchangeOnce(index, reader, current, ExchangeKind::kGetResponse);
      continue;
    }
    joined.insert(joined.end(), response.begin(), response.end());
    break;
  }
  return BytesToHex(joined);
}

}  // namespace quoll
