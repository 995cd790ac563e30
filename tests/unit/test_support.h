// Shared helpers of the unit tests: token listing, a recording host UI, running a text through
// the host, and a temporary working directory for unit files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "engine/script_engine.h"
#include "engine/tokens.h"
#include "host/script_host.h"

namespace quoll {

// Readable token kinds in failure messages ("BEGIN", ":=", "IDENTIFIER" ...).
inline void PrintTo(TokenKind kind, std::ostream* os) {
  *os << TokenKindName(kind) << " (" << static_cast<int>(kind) << ")";
}

inline void PrintTo(LexError kind, std::ostream* os) {
  static const char* const kNames[] = {"none", "comment error", "string error", "char error",
                                       "invalid character"};
  auto i = static_cast<size_t>(kind);
  *os << (i < std::size(kNames) ? kNames[i] : "?");
}

inline void PrintTo(RunState state, std::ostream* os) {
  static const char* const kNames[] = {"Idle", "Running", "Stepping", "Paused"};
  auto i = static_cast<size_t>(state);
  *os << (i < std::size(kNames) ? kNames[i] : "?");
}

}  // namespace quoll

namespace quoll_test {

using quoll::TokenKind;

// One token as the parser's cursor reports it.
struct Tok {
  TokenKind kind;
  int32_t pos;
  std::string text;
  bool operator==(const Tok&) const = default;
};

inline void PrintTo(const Tok& t, std::ostream* os) {
  *os << "{";
  quoll::PrintTo(t.kind, os);
  *os << " @" << t.pos << " \"" << t.text << "\"}";
}

// Tokenizes a text that must be lexically valid and lists its tokens through the cursor.
inline std::vector<Tok> Tokenize(std::string_view text) {
  SCOPED_TRACE(testing::Message() << "tokenizing \"" << text << "\"");
  quoll::Tokenizer parser;
  quoll::LexErrorReport report;
  bool ok = parser.SetText(text, report);
  EXPECT_TRUE(ok) << "lexical error kind " << static_cast<int>(report.kind) << " at " << report.pos;
  std::vector<Tok> tokens;
  if (!ok) return tokens;
  for (size_t guard = 0; parser.CurrTokenKind() != TokenKind::EndOfText && guard <= text.size(); ++guard) {
    tokens.push_back({parser.CurrTokenKind(), parser.CurrTokenPos(), parser.CurrTokenText()});
    parser.Next();
  }
  return tokens;
}

// The byte offset of the n-th (0-based) occurrence of `needle` in `text`; fails the test when absent.
inline int32_t PosOf(std::string_view text, std::string_view needle, int nth = 0) {
  size_t at = text.find(needle);
  for (int i = 0; i < nth && at != std::string_view::npos; ++i) at = text.find(needle, at + 1);
  EXPECT_NE(at, std::string_view::npos) << "\"" << needle << "\" not found in \"" << text << "\"";
  return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}

// A host UI that records everything the host shows and answers input boxes from a queue.
class RecordingUi : public quoll::HostUi {
 public:
  struct InputRequest {
    std::string caption;
    std::string prompt;
    bool operator==(const InputRequest&) const = default;
  };

  std::vector<std::string> lines;  // the output pane, as it stands
  int clears = 0;
  std::deque<std::string> answers;  // returned by ReadLine in order; then the empty text
  std::vector<InputRequest> inputRequests;
  std::vector<quoll::RunState> shownStates;
  int currentLineUpdates = 0;
  int watchRefreshes = 0;
  std::vector<int32_t> selections;  // SelectPosition calls
  // The user's actions: called whenever the host lets messages through (before every statement
  // and while paused). Setting it makes the UI want the line hook.
  std::function<void(quoll::ScriptHost&)> onMessages;
  quoll::ScriptHost* host = nullptr;  // set by RunWith
  bool marks = false;
  int32_t intervalMs = 0;                     // MessageIntervalMs
  int messagePasses = 0;                      // ProcessMessages calls
  std::function<bool(int32_t)> breakpointAt;  // whether the selected position's line has a breakpoint

  void WriteOutput(const std::string& line) override { lines.push_back(line); }
  void ClearOutput() override {
    lines.clear();
    ++clears;
  }
  std::string ReadLine(const std::string& caption, const std::string& prompt) override {
    inputRequests.push_back({caption, prompt});
    if (answers.empty()) return std::string();
    std::string a = answers.front();
    answers.pop_front();
    return a;
  }
  void ShowRunState(quoll::RunState state) override { shownStates.push_back(state); }
  bool WantsLineHook() const override { return static_cast<bool>(onMessages); }
  void ProcessMessages() override {
    ++messagePasses;
    if (onMessages && host) onMessages(*host);
  }
  int32_t MessageIntervalMs() const override { return intervalMs; }
  bool HasMarks() override { return marks; }
  void SelectPosition(int32_t position) override { selections.push_back(position); }
  bool IsBreakpointLine() override {
    return breakpointAt && !selections.empty() && breakpointAt(selections.back());
  }
  bool HasBreakpointLines() override { return marks && static_cast<bool>(breakpointAt); }
  void UpdateCurrentLine() override { ++currentLineUpdates; }
  void RefreshWatches() override { ++watchRefreshes; }
};

inline void PrintTo(const RecordingUi::InputRequest& r, std::ostream* os) {
  *os << "{caption \"" << r.caption << "\", prompt \"" << r.prompt << "\"}";
}

// What one run through the host left behind.
struct RunOutcome {
  bool ok = false;
  int32_t errorPos = -1;
  std::vector<std::string> lines;
};

// Runs a text through a freshly initialized host with the given UI.
inline RunOutcome RunWith(RecordingUi& ui, const std::string& text, bool step = false) {
  SCOPED_TRACE(testing::Message() << "running script:\n" << text);
  quoll::ScriptHost host(ui);
  ui.host = &host;
  host.Initialize();
  RunOutcome out;
  out.ok = step ? host.Step(text, out.errorPos) : host.Run(text, out.errorPos);
  ui.host = nullptr;
  out.lines = ui.lines;
  EXPECT_EQ(host.State(), quoll::RunState::Idle) << "a run must end in Idle";
  return out;
}

inline RunOutcome RunText(const std::string& text) {
  RecordingUi ui;
  return RunWith(ui, text);
}

// A fresh temporary directory made the current directory for the scope; the previous current
// directory is restored and the directory removed afterwards.
class ScopedWorkDir {
 public:
  ScopedWorkDir() {
    namespace fs = std::filesystem;
    static std::atomic<int> counter{0};
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "quoll-unit-" + std::to_string(static_cast<long>(::getpid())) + "-" +
                       std::to_string(counter++) + "-" + (info ? info->name() : "test");
    for (char& c : name)
      if (c == '/') c = '_';
    previous_ = fs::current_path();
    dir_ = fs::temp_directory_path() / name;
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  ~ScopedWorkDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  ScopedWorkDir(const ScopedWorkDir&) = delete;
  ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

  // Writes a file in the directory, bytes as given.
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream out(dir_ / name, std::ios::binary);
    out << text;
    ASSERT_TRUE(out.good()) << "cannot write " << (dir_ / name).string();
  }

 private:
  std::filesystem::path previous_;
  std::filesystem::path dir_;
};

}  // namespace quoll_test
