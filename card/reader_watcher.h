// ReaderWatcher: a thread with its own PC/SC context that waits for readers and cards to come
// and go (SCardGetStatusChange, with the "\\?PnP?\Notification" reader for readers plugged in or
// out) and hands every new picture of the readers to a listener. The listener runs on the
// watcher's thread; a user interface posts what it gets to its own thread. The watcher keeps
// trying while the service is missing, so it sees pcscd start, stop and restart.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "card/hex_text.h"
#include "card/pcsc_library.h"

namespace quoll {

// What a reader looks like to a user.
enum class ReaderCondition : uint8_t {
  kNoCard,
  kCardPresent,
  kConnectedHere,  // this program holds a connection to it
  kInUseElsewhere,
  kCardMute,  // a card that does not answer
  kUnavailable,
};

// "no card", "card present", "connected by this program", "in use by another", "card mute",
// "unavailable".
const char* ReaderConditionText(ReaderCondition condition);

struct ReaderStatus {
  std::string name;
  DWORD eventState = 0;  // SCARD_STATE_* as the service reported it
  Bytes atr;             // when a card is present

  // `connectedHere`: this program holds a connection to the reader.
  ReaderCondition Condition(bool connectedHere) const;
};

struct ReaderSnapshot {
  bool serviceAvailable = false;
  // Why the service is unavailable ("SCardEstablishContext: Service not available.
  // (0x8010001D)"); empty while it is available.
  std::string problem;
  std::vector<ReaderStatus> readers;  // in the service's order
};

class ReaderWatcher {
 public:
  using Listener = std::function<void(const ReaderSnapshot&)>;

  // How long the watcher waits before asking a missing service again.
  static constexpr int kRetryMs = 1000;

  explicit ReaderWatcher(Listener listener, std::string libraryName = PcscLibraryName());
  // Stops the thread (SCardCancel ends its wait) and waits for it.
  ~ReaderWatcher();
  ReaderWatcher(const ReaderWatcher&) = delete;
  ReaderWatcher& operator=(const ReaderWatcher&) = delete;

  void Start();
  void Stop();

 private:
  void Run();
  // Watches through one context until the service fails or Stop; false when stopping.
  bool WatchWith(SCARDCONTEXT context);
  bool ListReaders(SCARDCONTEXT context, std::vector<std::string>& names, LONG& result);
  // Waits kRetryMs or until Stop; false when stopping.
  bool Pause();
  void Publish(ReaderSnapshot snapshot);

  Listener listener_;
  std::string libraryName_;
  PcscLibrary library_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  bool hasContext_ = false;  // guarded by mutex_, with context_: what Stop cancels
  SCARDCONTEXT context_ = 0;
  ReaderSnapshot last_;
  bool published_ = false;
};

}  // namespace quoll
