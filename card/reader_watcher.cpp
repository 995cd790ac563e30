// The reader watcher's thread: establish a context, list the readers, wait for changes, publish.
#include "card/reader_watcher.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace quoll {

namespace {
const char kPnpReader[] = "\\\\?PnP?\\Notification";
// The wait is cut into slices, so a Stop that came between two waits is seen soon even when its
// SCardCancel found no wait to end.
constexpr DWORD kWaitSliceMs = 500;

bool SameSnapshot(const ReaderSnapshot& a, const ReaderSnapshot& b) {
  if (a.serviceAvailable != b.serviceAvailable || a.problem != b.problem ||
      a.readers.size() != b.readers.size())
    return false;
  for (size_t i = 0; i < a.readers.size(); ++i)
    if (a.readers[i].name != b.readers[i].name || a.readers[i].eventState != b.readers[i].eventState ||
        a.readers[i].atr != b.readers[i].atr)
      return false;
  return true;
}
}  // namespace

const char* ReaderConditionText(ReaderCondition condition) {
  switch (condition) {
    case ReaderCondition::kNoCard:
      return "no card";
    case ReaderCondition::kCardPresent:
      return "card present";
    case ReaderCondition::kConnectedHere:
      return "connected by this program";
    case ReaderCondition::kInUseElsewhere:
      return "in use by another";
    case ReaderCondition::kCardMute:
      return "card mute";
    case ReaderCondition::kUnavailable:
      return "unavailable";
  }
  return "?";
}

ReaderCondition ReaderStatus::Condition(bool connectedHere) const {
  if (connectedHere) return ReaderCondition::kConnectedHere;
  if (eventState & (SCARD_STATE_UNAVAILABLE | SCARD_STATE_UNKNOWN | SCARD_STATE_IGNORE))
    return ReaderCondition::kUnavailable;
  if (!(eventState & SCARD_STATE_PRESENT)) return ReaderCondition::kNoCard;
  if (eventState & (SCARD_STATE_INUSE | SCARD_STATE_EXCLUSIVE)) return ReaderCondition::kInUseElsewhere;
  if (eventState & SCARD_STATE_MUTE) return ReaderCondition::kCardMute;
  return ReaderCondition::kCardPresent;
}

ReaderWatcher::ReaderWatcher(Listener listener, std::string libraryName)
    : listener_(std::move(listener)), libraryName_(std::move(libraryName)) {}

ReaderWatcher::~ReaderWatcher() {
  Stop();
}

void ReaderWatcher::Start() {
  if (thread_.joinable()) return;
  stopping_ = false;
  thread_ = std::thread([this] { Run(); });
}

void ReaderWatcher::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    if (hasContext_ && library_.Cancel) library_.Cancel(context_);
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool ReaderWatcher::Pause() {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, std::chrono::milliseconds(kRetryMs), [this] { return stopping_; });
}

void ReaderWatcher::Publish(ReaderSnapshot snapshot) {
  if (published_ && SameSnapshot(snapshot, last_)) return;
  last_ = snapshot;
  published_ = true;
  listener_(snapshot);
}

void ReaderWatcher::Run() {
  if (!library_.Load(libraryName_)) {
    Publish({false, library_.LoadError(), {}});
    return;
  }
  if (!library_.EstablishContext || !library_.ListReaders || !library_.GetStatusChange || !library_.Cancel) {
    Publish({false, libraryName_ + " cannot report reader changes (no SCardGetStatusChange)", {}});
    return;
  }
  for (;;) {
    SCARDCONTEXT context = 0;
    LONG result = library_.EstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context);
    if (result != SCARD_S_SUCCESS) {
      Publish({false, "SCardEstablishContext: " + library_.Describe(result), {}});
      if (!Pause()) return;
      continue;
    }
    {
      std::lock_guard lock(mutex_);
      if (stopping_) {
        if (library_.ReleaseContext) library_.ReleaseContext(context);
        return;
      }
      context_ = context;
      hasContext_ = true;
    }
    const bool goOn = WatchWith(context);
    {
      std::lock_guard lock(mutex_);
      hasContext_ = false;
    }
    if (library_.ReleaseContext) library_.ReleaseContext(context);
    if (!goOn || !Pause()) return;
  }
}

bool ReaderWatcher::ListReaders(SCARDCONTEXT context, std::vector<std::string>& names, LONG& result) {
  names.clear();
  DWORD length = 0;
  result = library_.ListReaders(context, nullptr, nullptr, &length);
  if (static_cast<uint32_t>(result) == static_cast<uint32_t>(SCARD_E_NO_READERS_AVAILABLE)) return true;
  if (result != SCARD_S_SUCCESS) return false;
  std::vector<char> buffer(static_cast<size_t>(length) + 8, '\0');
  result = library_.ListReaders(context, nullptr, buffer.data(), &length);
  if (static_cast<uint32_t>(result) == static_cast<uint32_t>(SCARD_E_NO_READERS_AVAILABLE)) return true;
  if (result != SCARD_S_SUCCESS) return false;
  for (size_t at = 0; at < buffer.size() && buffer[at] != '\0';) {
    std::string name(buffer.data() + at);
    at += name.size() + 1;
    names.push_back(std::move(name));
  }
  return true;
}

bool ReaderWatcher::WatchWith(SCARDCONTEXT context) {
  for (;;) {
    std::vector<std::string> names;
    LONG result = SCARD_S_SUCCESS;
    if (!ListReaders(context, names, result)) {
      Publish({false, "SCardListReaders: " + library_.Describe(result), {}});
      return true;
    }
    // The readers, then the notification reader that announces readers plugged in or out.
    std::vector<SCARD_READERSTATE> states(names.size() + 1);
    for (size_t i = 0; i < names.size(); ++i) {
      std::memset(&states[i], 0, sizeof states[i]);
      states[i].szReader = names[i].c_str();
      states[i].dwCurrentState = SCARD_STATE_UNAWARE;
    }
    SCARD_READERSTATE& pnp = states.back();
    std::memset(&pnp, 0, sizeof pnp);
    pnp.szReader = kPnpReader;
    // The notification reader's high word counts the readers; with the count we know, it
    // reports only a change.
    pnp.dwCurrentState = static_cast<DWORD>(names.size()) << 16;
    if (names.empty()) Publish({true, {}, {}});
    bool relist = false;
    while (!relist) {
      {
        std::lock_guard lock(mutex_);
        if (stopping_) return false;
      }
      result =
          library_.GetStatusChange(context, kWaitSliceMs, states.data(), static_cast<DWORD>(states.size()));
      const auto code = static_cast<uint32_t>(result);
      if (code == static_cast<uint32_t>(SCARD_E_TIMEOUT)) continue;
      if (code == static_cast<uint32_t>(SCARD_E_CANCELLED)) return false;
      if (result != SCARD_S_SUCCESS) {
        Publish({false, "SCardGetStatusChange: " + library_.Describe(result), {}});
        return true;
      }
      ReaderSnapshot snapshot{true, {}, {}};
      for (size_t i = 0; i + 1 < states.size(); ++i) {
        SCARD_READERSTATE& state = states[i];
        const DWORD event = state.dwEventState & ~static_cast<DWORD>(SCARD_STATE_CHANGED);
        ReaderStatus status{names[i], event & 0xFFFF, {}};
        if (event & SCARD_STATE_PRESENT)
          status.atr.assign(state.rgbAtr, state.rgbAtr + std::min<DWORD>(state.cbAtr, sizeof state.rgbAtr));
        snapshot.readers.push_back(std::move(status));
        if (event & SCARD_STATE_UNKNOWN) relist = true;  // the reader went away
        state.dwCurrentState = event;
      }
      if (pnp.dwEventState & SCARD_STATE_CHANGED) relist = true;
      pnp.dwCurrentState = pnp.dwEventState & ~static_cast<DWORD>(SCARD_STATE_CHANGED);
      if (!relist) Publish(std::move(snapshot));
    }
  }
}

}  // namespace quoll
