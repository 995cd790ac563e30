// The reader manager over pcsc-lite. It does no protocol work of its own (no GET RESPONSE after
// 61xx, no resend after 6Cxx): a script sees exactly what the service returns.
#include "card/reader_manager.h"

#include <algorithm>

#include "card/card_error.h"

namespace quoll {

namespace {
constexpr DWORD kShareShared = SCARD_SHARE_SHARED;                            // 2
constexpr DWORD kPreferredProtocols = SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1;  // 3
constexpr DWORD kUnpowerCard = SCARD_UNPOWER_CARD;                            // 2
const char kTransmitError[] = "SCardTransmit error!";
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
  receiveBuffer_.reset();
  if (!library_.Disconnect) return false;
  return !PcscFailed(library_.Disconnect(cardHandle_, kUnpowerCard));
}

std::string ReaderConnection::Transmit(std::string_view command) {
  Bytes bytes = HexToBytes(command);
  responseLength_ = kReceiveBufferSize;
  const SCARD_IO_REQUEST* sendPci = activeProtocol_ == SCARD_PROTOCOL_T0 ? library_.T0Pci : library_.T1Pci;
  // A library without the entry point or the send records fails the transmission cleanly.
  if (!connected_ || !library_.Transmit || !sendPci) throw CardError(kTransmitError);
  LONG result = library_.Transmit(cardHandle_, sendPci, bytes.data(), static_cast<DWORD>(bytes.size()),
                                  nullptr, receiveBuffer_.get(), &responseLength_);
  if (PcscFailed(result) || responseLength_ > kReceiveBufferSize) throw CardError(kTransmitError);
  return BytesToHex(std::span<const uint8_t>(receiveBuffer_.get(), responseLength_));
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
  if (!LoadPCSCLibrary()) return false;
  if (!library_.EstablishContext || !library_.ListReaders) return false;
  if (contextEstablished_ && library_.ReleaseContext) library_.ReleaseContext(context_);
  contextEstablished_ = false;
  names_.clear();
  readers_.clear();
  if (library_.EstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context_) != SCARD_S_SUCCESS)
    return false;
  contextEstablished_ = true;
  DWORD length = 0;
  if (library_.ListReaders(context_, nullptr, nullptr, &length) != SCARD_S_SUCCESS) return false;
  // Eight spare zero bytes: the list stays terminated whatever the service writes.
  std::vector<char> buffer(static_cast<size_t>(length) + 8, '\0');
  if (library_.ListReaders(context_, nullptr, buffer.data(), &length) != SCARD_S_SUCCESS) return false;
  // Names one after another, each ended by a zero byte; an empty name ends the list.
  const size_t end = std::min(buffer.size(), static_cast<size_t>(length));
  for (size_t at = 0; at < end && buffer[at] != '\0';) {
    std::string name(buffer.data() + at);
    at += name.size() + 1;
    names_.push_back(std::move(name));
  }
  readers_.clear();
  readers_.resize(names_.size());
  return true;
}

void ReaderManager::CheckIndex(int index) const {
  if (index < 1 || index > ReaderCount())
    throw CardError("Not a valid reader index, shoud be 1.." + std::to_string(ReaderCount()));
}

std::string ReaderManager::ReaderName(int index) const {
  CheckIndex(index);
  return names_[index - 1];
}

ReaderConnection& ReaderManager::Connect(int index) {
  CheckIndex(index);
  std::unique_ptr<ReaderConnection>& slot = readers_[index - 1];
  if (slot) return *slot;
  SCARDHANDLE card = 0;
  DWORD protocol = 0;
  if (!library_.Connect) throw CardError("SCardConnect error!");
  LONG result = library_.Connect(context_, names_[index - 1].c_str(), kShareShared, kPreferredProtocols,
                                 &card, &protocol);
  if (PcscFailed(result)) throw CardError("SCardConnect error!");
  try {
    slot = std::make_unique<ReaderConnection>(library_, card, protocol);
  } catch (const std::bad_alloc&) {
    if (library_.Disconnect) library_.Disconnect(card, kUnpowerCard);
    throw CardError("Not enough memory!");
  }
  return *slot;
}

bool ReaderManager::Disconnect(int index) {
  CheckIndex(index);
  std::unique_ptr<ReaderConnection> reader = std::move(readers_[index - 1]);
  if (!reader) return true;
  if (!reader->Disconnect()) throw CardError("SCardDisconnect error!");
  return true;
}

std::string ReaderManager::Transmit(int index, std::string_view command) {
  CheckIndex(index);
  ReaderConnection* reader = readers_[index - 1].get();
  if (!reader) throw CardError("reader not open; use OpenReader first.");
  return reader->Transmit(command);
}

}  // namespace quoll
