// ScriptHost: output and error lines of a run, run states, Readln, the line hook, and units loaded
// from files in the current directory.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "host/script_host.h"
#include "test_support.h"

namespace quoll_test {
namespace {

using quoll::RunState;
using quoll::ScriptHost;
using Lines = std::vector<std::string>;

constexpr quoll::ErrorCode kExit = quoll::ErrorCode::ExitSignal;

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.rfind(prefix, 0) == 0;
}
bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// ---- output of a run ----

TEST(HostRun, GoodRunWritesTheStatusLinesAroundTheScriptsOwnLines) {
  RunOutcome out = RunText("begin\r\n  Writeln('one');\r\n  Writeln('two');\r\nend.");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "one", "two", "Script finished, no errors."}));
}

TEST(HostRun, DeclarationErrorWritesOnlyTheErrorLine) {
  const std::string text = "var\r\n  x: TNoSuchType;\r\nbegin\r\n  Writeln('never');\r\nend.";
  RunOutcome out = RunText(text);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.errorPos, 10);
  EXPECT_EQ(out.lines, (Lines{"Error in MAIN(10) unknown identifier: TNOSUCHTYPE"}));
}

TEST(HostRun, LexicalErrorWritesOnlyTheErrorLine) {
  const std::string text = "begin\r\n  Writeln('a');\r\n  ?\r\nend.";
  RunOutcome out = RunText(text);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.errorPos, PosOf(text, "?"));
  EXPECT_EQ(out.lines, (Lines{"Error in MAIN(" + std::to_string(PosOf(text, "?")) + ") syntax error"}));
}

TEST(HostRun, RuntimeErrorFollowsTheLinesWrittenBeforeIt) {
  const std::string text =
      "program Test;\r\n"
      "var a, zero: Integer;\r\n"
      "begin\r\n"
      "  Writeln('before');\r\n"
      "  a := 1 div zero;\r\n"
      "  Writeln('after');\r\n"
      "end.";
  const int32_t pos = PosOf(text, "zero;") + 4;  // where the divisor has been read
  RunOutcome out = RunText(text);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.errorPos, pos);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "before",
                              "Error in TEST(" + std::to_string(pos) + ") divide by zero"}));
}

TEST(HostRun, EndlessRecursionEndsWithOutOfMemory) {
  RunOutcome out = RunText("program Deep;\r\nprocedure R;\r\nbegin\r\n  R;\r\nend;\r\nbegin\r\n  R;\r\nend.");
  EXPECT_FALSE(out.ok);
  ASSERT_EQ(out.lines.size(), 2u);
  EXPECT_EQ(out.lines[0], "Script is running.");
  EXPECT_TRUE(StartsWith(out.lines[1], "Error in DEEP(")) << out.lines[1];
  EXPECT_TRUE(EndsWith(out.lines[1], ") out of memory")) << out.lines[1];
}

TEST(HostRun, ExitInTheMainBlockFinishesWithoutError) {
  RunOutcome out = RunText("begin\r\n  Writeln('a');\r\n  exit;\r\n  Writeln('b');\r\nend.");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "a", "Script finished, no errors."}));
}

TEST(HostRun, OutputIsClearedAtTheStartOfEveryRun) {
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  int32_t pos = -1;
  ASSERT_TRUE(host.Run("begin Writeln('first'); end.", pos));
  ASSERT_TRUE(host.Run("begin Writeln('second'); end.", pos));
  EXPECT_EQ(ui.clears, 2);
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "second", "Script finished, no errors."}));
}

TEST(HostRun, ErrorOfOneRunDoesNotCarryIntoTheNext) {
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  int32_t pos = -1;
  ASSERT_FALSE(host.Run("begin x := 1; end.", pos));
  EXPECT_TRUE(host.Run("begin Writeln('fine'); end.", pos));
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "fine", "Script finished, no errors."}));
}

TEST(HostRun, GlobalsStartEmptyInTheNextRun) {
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  int32_t pos = -1;
  const std::string text = "var s: string;\r\nbegin\r\n  Writeln('[' + s + ']');\r\n  s := 'set';\r\nend.";
  ASSERT_TRUE(host.Run(text, pos));
  ASSERT_TRUE(host.Run(text, pos));
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "[]", "Script finished, no errors."}));
}

// ---- run states ----

TEST(HostRunState, RunShowsRunningThenIdleAndEndsIdle) {
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  int32_t pos = -1;
  ASSERT_TRUE(host.Run("begin end.", pos));
  EXPECT_EQ(ui.shownStates, (std::vector<RunState>{RunState::Running, RunState::Idle}));
  EXPECT_EQ(host.State(), RunState::Idle);
  EXPECT_EQ(ui.currentLineUpdates, 1);
}

TEST(HostRunState, StepShowsSteppingThenIdleAndRunsTheScript) {
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  int32_t pos = -1;
  ASSERT_TRUE(host.Step("begin Writeln('stepped'); end.", pos));
  EXPECT_EQ(ui.shownStates, (std::vector<RunState>{RunState::Stepping, RunState::Idle}));
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "stepped", "Script finished, no errors."}));
}

TEST(HostRunState, FailedRunAlsoEndsIdle) {
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  int32_t pos = -1;
  ASSERT_FALSE(host.Run("begin x := 1; end.", pos));
  EXPECT_EQ(host.State(), RunState::Idle);
  EXPECT_EQ(ui.shownStates.back(), RunState::Idle);
}

struct BusyCase {
  const char* name;
  RunState state;
  bool step;  // Step rather than Run
};

void PrintTo(const BusyCase& c, std::ostream* os) {
  *os << c.name;
}

class HostBusyTest : public testing::TestWithParam<BusyCase> {};

TEST_P(HostBusyTest, StartingWhileARunIsInProgressDoesNothing) {
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  const Lines atStart = ui.lines;  // the PC/SC start-up line when the service is absent
  host.SetState(GetParam().state);
  int32_t pos = -7;
  const std::string text = "begin Writeln('must not run'); end.";
  EXPECT_TRUE(GetParam().step ? host.Step(text, pos) : host.Run(text, pos));
  EXPECT_EQ(host.State(), GetParam().state);
  EXPECT_EQ(pos, -7);
  EXPECT_EQ(ui.lines, atStart);
  EXPECT_EQ(ui.clears, 0);
  EXPECT_TRUE(ui.shownStates.empty());
}

const BusyCase kBusyCases[] = {
    {"RunWhileRunning", RunState::Running, false},
    {"RunWhileStepping", RunState::Stepping, false},
    {"StepWhileRunning", RunState::Running, true},
    {"StepWhileStepping", RunState::Stepping, true},
};

INSTANTIATE_TEST_SUITE_P(Host, HostBusyTest, testing::ValuesIn(kBusyCases),
                         [](const testing::TestParamInfo<BusyCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(HostRunState, RunWhilePausedResumesRunning) {
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  const Lines atStart = ui.lines;  // the PC/SC start-up line when the service is absent
  host.SetState(RunState::Paused);
  int32_t pos = -1;
  EXPECT_TRUE(host.Run("begin Writeln('must not run'); end.", pos));
  EXPECT_EQ(host.State(), RunState::Running);
  EXPECT_EQ(ui.lines, atStart);
}

TEST(HostRunState, StepWhilePausedResumesStepping) {
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  const Lines atStart = ui.lines;  // the PC/SC start-up line when the service is absent
  host.SetState(RunState::Paused);
  int32_t pos = -1;
  EXPECT_TRUE(host.Step("begin Writeln('must not run'); end.", pos));
  EXPECT_EQ(host.State(), RunState::Stepping);
  EXPECT_EQ(ui.lines, atStart);
}

TEST(HostRunState, StopMakesTheStateIdle) {
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  host.SetState(RunState::Paused);
  host.Stop();
  EXPECT_EQ(host.State(), RunState::Idle);
}

// ---- the line hook: Stop, breakpoints and single steps ----

TEST(HostLineHook, StopWhileRunningEndsWithUserBreakAndNoError) {
  RecordingUi ui;
  const std::string text = "begin\r\n  Writeln('a');\r\n  Writeln('b');\r\n  Writeln('c');\r\nend.";
  ui.onMessages = [&](ScriptHost& host) {
    if (ui.lines.size() == 2) host.Stop();  // after "Script is running." and "a"
  };
  RunOutcome out = RunWith(ui, text);
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "a", "User break.", "Script finished, no errors."}));
}

TEST(HostLineHook, FirstRunOfAHostThatWasNotInitializedRunsToTheEnd) {
  RecordingUi ui;
  ui.onMessages = [](ScriptHost&) {};  // the line hook is installed
  ScriptHost host(ui);
  int32_t errorPos = -1;
  EXPECT_TRUE(host.Run("begin\r\n  Writeln('a');\r\nend.", errorPos));
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "a", "Script finished, no errors."}));
}

TEST(HostLineHook, WithoutMarksARunNeverTouchesTheEditor) {
  RecordingUi ui;
  ui.onMessages = [](ScriptHost&) {};
  RunOutcome out = RunWith(ui, "begin\r\n  Writeln('a');\r\n  Writeln('b');\r\nend.");
  EXPECT_TRUE(out.ok);
  EXPECT_TRUE(ui.selections.empty());
  EXPECT_EQ(ui.watchRefreshes, 0);
}

TEST(HostLineHook, ABreakpointInsideALoopPausesOnEveryPass) {
  RecordingUi ui;
  const std::string text =
      "var i: Integer;\r\nbegin\r\n  for i := 1 to 3 do\r\n  begin\r\n    Writeln('x');\r\n  end;\r\n"
      "  Writeln('done');\r\nend.";
  const int32_t body = PosOf(text, "Writeln('x')");
  int pauses = 0;
  ui.marks = true;
  ui.breakpointAt = [&](int32_t pos) { return pos == body; };
  ui.onMessages = [&](ScriptHost& host) {
    if (host.State() != RunState::Paused) return;
    ++pauses;
    int32_t ignored;
    host.Run("", ignored);  // resume
  };
  RunOutcome out = RunWith(ui, text);
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(pauses, 3);
  EXPECT_EQ(ui.watchRefreshes, 3);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "x", "x", "x", "done", "Script finished, no errors."}));
}

TEST(HostLineHook, StepFromIdlePausesAtTheFirstStatementAndAtEveryNewPosition) {
  RecordingUi ui;
  const std::string text = "begin\r\n  Writeln('a');\r\n  Writeln('b');\r\nend.";
  std::vector<int32_t> pausedAt;
  std::vector<size_t> outputWhenPaused;
  ui.onMessages = [&](ScriptHost& host) {
    if (host.State() != RunState::Paused) return;
    pausedAt.push_back(host.LastPausePosition());
    outputWhenPaused.push_back(ui.lines.size());
    int32_t ignored;
    host.Step("", ignored);
  };
  RunOutcome out = RunWith(ui, text, /*step=*/true);
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(pausedAt, (std::vector<int32_t>{PosOf(text, "Writeln('a')"), PosOf(text, "Writeln('b')")}));
  EXPECT_EQ(outputWhenPaused, (std::vector<size_t>{1, 2}));  // paused before each statement ran
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "a", "b", "Script finished, no errors."}));
}

// A loop whose body is one statement reports the same position twice per pass (the loop's own
// call and the statement's) and on every pass: Step pauses there once and then runs the remaining
// passes, refreshing the watches at every call.
TEST(HostLineHook, StepPausesOnlyOnceAtAPositionReachedAgainAndAgain) {
  RecordingUi ui;
  const std::string text = "var i: Integer;\r\nbegin\r\n  for i := 1 to 3 do Writeln('x');\r\nend.";
  std::vector<int32_t> pausedAt;
  ui.onMessages = [&](ScriptHost& host) {
    if (host.State() != RunState::Paused) return;
    pausedAt.push_back(host.LastPausePosition());
    int32_t ignored;
    host.Step("", ignored);
  };
  RunOutcome out = RunWith(ui, text, /*step=*/true);
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(pausedAt, (std::vector<int32_t>{PosOf(text, "Writeln")}));
  EXPECT_EQ(ui.watchRefreshes, 6);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "x", "x", "x", "Script finished, no errors."}));
}

// A UI that wants its messages only every so often gets them no more often while a script runs,
// but a pause still waits for the user and resumes.
TEST(HostLineHook, MessagesComeOnlyWhenTheirIntervalHasPassed) {
  RecordingUi ui;
  ui.intervalMs = 3'600'000;
  ui.onMessages = [](ScriptHost&) {};
  RunOutcome out = RunWith(ui, "begin\r\n  Writeln('a');\r\n  Writeln('b');\r\nend.");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(ui.messagePasses, 0);

  RecordingUi stepping;
  stepping.intervalMs = 3'600'000;
  int pauses = 0;
  stepping.onMessages = [&](ScriptHost& host) {
    if (host.State() != RunState::Paused) return;
    ++pauses;
    int32_t ignored;
    host.Run("", ignored);
  };
  out = RunWith(stepping, "begin\r\n  Writeln('a');\r\n  Writeln('b');\r\nend.", /*step=*/true);
  EXPECT_EQ(pauses, 1);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "a", "b", "Script finished, no errors."}));
}

// A native call may let user actions happen (here Stop during an input box): the statement after
// it sees them, even though the clock says no messages are due for a long while yet.
TEST(HostLineHook, AStopDuringANativeCallEndsTheRunAtTheNextStatement) {
  struct StoppingUi : RecordingUi {
    std::string ReadLine(const std::string&, const std::string&) override {
      host->Stop();
      return std::string();
    }
  };
  const struct {
    const char* name;
    const char* text;
  } cases[] = {
      {"main block",
       "var i: Integer;\r\nbegin\r\n  for i := 1 to 50 do begin\r\n    if i = 3 then Readln('T', 'P');\r\n"
       "    Writeln(IntToStr(i));\r\n  end;\r\nend."},
      {"routine",
       "var i: Integer;\r\nprocedure Ask(n: Integer);\r\nbegin\r\n  if n = 3 then Readln('T', 'P');\r\n"
       "  Writeln(IntToStr(n));\r\nend;\r\nbegin\r\n  for i := 1 to 50 do Ask(i);\r\nend."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StoppingUi ui;
    ui.intervalMs = 3'600'000;
    ui.onMessages = [](ScriptHost&) {};
    RunOutcome out = RunWith(ui, c.text);
    EXPECT_EQ(out.lines,
              (Lines{"Script is running.", "1", "2", "User break.", "Script finished, no errors."}));
  }
}

// With bookmarks only, nothing can pause the run, so statements pass without the hook between
// two message passes; whenever the editor is shown (a message pass, a dialog's Stop, the end of
// the run) the selection is the statement that ran last, as if every statement had selected
// itself.
TEST(HostLineHook, AMarkedRunWithoutBreakpointsSelectsTheLastStatementWhenShown) {
  struct AskingUi : RecordingUi {
    std::vector<int32_t> selectedDuringInput;
    std::string ReadLine(const std::string&, const std::string&) override {
      host->SelectLastQuietStatement();
      selectedDuringInput.push_back(selections.empty() ? -1 : selections.back());
      return std::string();
    }
  };
  const struct {
    const char* name;
    const char* text;
    const char* last;   // the statement that runs last
    const char* asked;  // the statement that reads a line, or nullptr
  } cases[] = {
      {"main block",
       "var i, x: Integer;\r\nbegin\r\n  for i := 1 to 60 do begin\r\n    x := x + i;\r\n  end;\r\n"
       "  x := x * 2;\r\nend.",
       "x := x * 2", nullptr},
      {"routine",
       "var i, x: Integer;\r\nprocedure Add(n: Integer);\r\nbegin\r\n  x := x + n;\r\n  x := x - "
       "1;\r\nend;\r\n"
       "begin\r\n  for i := 1 to 60 do Add(i);\r\nend.",
       "x := x - 1", nullptr},
      {"input box",
       "var i, x: Integer;\r\nbegin\r\n  for i := 1 to 60 do begin\r\n    x := x + i;\r\n"
       "    if i = 40 then Readln('T', 'P');\r\n  end;\r\nend.",
       "if i = 40", "Readln"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AskingUi ui;
    ui.marks = true;
    ui.intervalMs = 3'600'000;
    ui.onMessages = [](ScriptHost&) {};
    RunOutcome out = RunWith(ui, c.text);
    EXPECT_TRUE(out.ok);
    ASSERT_FALSE(ui.selections.empty());
    EXPECT_EQ(ui.selections.back(), PosOf(c.text, c.last));
    EXPECT_LT(ui.selections.size(), 40u);  // far fewer than the statements that ran
    if (c.asked) {
      EXPECT_EQ(ui.selectedDuringInput, (std::vector<int32_t>{PosOf(c.text, c.asked)}));
    }
  }
}

TEST(HostLineHook, StopWhilePausedEndsWithUserBreakAndTheTitleBackToIdle) {
  RecordingUi ui;
  const std::string text = "begin\r\n  Writeln('a');\r\n  Writeln('b');\r\nend.";
  ui.onMessages = [&](ScriptHost& host) {
    if (host.State() == RunState::Paused) host.Stop();
  };
  RunOutcome out = RunWith(ui, text, /*step=*/true);
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "User break.", "Script finished, no errors."}));
  ASSERT_GE(ui.shownStates.size(), 3u);
  EXPECT_EQ(ui.shownStates.front(), RunState::Stepping);
  EXPECT_EQ(ui.shownStates.back(), RunState::Idle);
  EXPECT_NE(std::find(ui.shownStates.begin(), ui.shownStates.end(), RunState::Paused), ui.shownStates.end());
}

TEST(HostLineHook, RunAndStepWhileAScriptRunsStartNothingNew) {
  RecordingUi ui;
  std::vector<bool> results;
  ui.onMessages = [&](ScriptHost& host) {
    if (!results.empty()) return;
    int32_t ignored = -7;
    results.push_back(host.Run("begin Writeln('other') end.", ignored));
    results.push_back(host.Step("begin Writeln('other') end.", ignored));
    EXPECT_EQ(ignored, -7);
  };
  RunOutcome out = RunWith(ui, "begin\r\n  Writeln('a');\r\nend.");
  EXPECT_EQ(results, (std::vector<bool>{true, true}));
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "a", "Script finished, no errors."}));
}

TEST(HostLineHook, StatementsOfAUnitRoutineDoNotReachTheHook) {
  ScopedWorkDir dir;
  dir.Write(
      "FOO.qs",
      "unit Foo;\r\nprocedure Hello;\r\nbegin\r\n  Writeln('one');\r\n  Writeln('two');\r\nend;\r\nend.");
  RecordingUi ui;
  ui.marks = true;  // every statement of the main text is selected as it runs
  ui.onMessages = [](ScriptHost&) {};
  const std::string text = "uses Foo;\r\nbegin\r\n  Hello;\r\n  Writeln('three');\r\nend.";
  RunOutcome out = RunWith(ui, text);
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(ui.selections, (std::vector<int32_t>{PosOf(text, "Hello"), PosOf(text, "Writeln")}));
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "one", "two", "three", "Script finished, no errors."}));
}

// Stop inside a routine, a try block or a unit routine ends the whole run at once: the callers'
// remaining statements and calls (a card command among them) never run, and "User break." is
// written once.
struct StopCase {
  const char* name;
  const char* unit;  // FOO.qs, or nullptr
  const char* text;
};

const StopCase kStopCases[] = {
    {"NestedRoutines", nullptr,
     "procedure Inner;\r\nbegin\r\n  Writeln('stop');\r\n  Writeln('inner after');\r\nend;\r\n"
     "function Middle: string;\r\nbegin\r\n  Inner;\r\n  Writeln('middle after');\r\n  Result := "
     "'x';\r\nend;\r\n"
     "begin\r\n  Writeln(Middle + 'caller expression');\r\n  Writeln('main after');\r\nend."},
    {"TryExcept", nullptr,
     "begin\r\n  try\r\n    Writeln('stop');\r\n    Writeln('try after');\r\n  except\r\n"
     "    Writeln('handler');\r\n  end;\r\n  Writeln('main after');\r\nend."},
    {"TryFinally", nullptr,
     "begin\r\n  try\r\n    Writeln('stop');\r\n    Writeln('try after');\r\n  finally\r\n"
     "    Writeln('finally');\r\n  end;\r\n  Writeln('main after');\r\nend."},
    {"UnitRoutineLoop",
     "unit Foo;\r\nprocedure Spin;\r\nbegin\r\n  Writeln('stop');\r\n  while True do begin "
     "end;\r\nend;\r\nend.",
     "uses Foo;\r\nbegin\r\n  Spin;\r\n  Writeln('main after');\r\nend."},
};

void PrintTo(const StopCase& c, std::ostream* os) {
  *os << c.name;
}

class HostStopTest : public testing::TestWithParam<StopCase> {};

TEST_P(HostStopTest, StopEndsTheWholeRunWithOneUserBreak) {
  ScopedWorkDir dir;
  if (GetParam().unit) dir.Write("FOO.qs", GetParam().unit);
  RecordingUi ui;
  ui.onMessages = [&](ScriptHost& host) {
    if (!ui.lines.empty() && ui.lines.back() == "stop") host.Stop();
  };
  RunOutcome out = RunWith(ui, GetParam().text);
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "stop", "User break.", "Script finished, no errors."}));
}

INSTANTIATE_TEST_SUITE_P(Host, HostStopTest, testing::ValuesIn(kStopCases),
                         [](const testing::TestParamInfo<StopCase>& info) { return info.param.name; });

// Without Stop the hook's presence changes nothing: exit still leaves only its routine.
TEST(HostLineHook, ExitInARoutineStillReturnsToTheCaller) {
  RecordingUi ui;
  ui.onMessages = [](ScriptHost&) {};
  RunOutcome out =
      RunWith(ui, "procedure P;\r\nbegin\r\n  exit;\r\nend;\r\nbegin\r\n  P;\r\n  Writeln('after');\r\nend.");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "after", "Script finished, no errors."}));
}

// ---- Readln ----

TEST(HostReadln, PassesCaptionAndPromptAndReturnsTheAnswer) {
  RecordingUi ui;
  ui.answers = {"42"};
  RunOutcome out = RunWith(ui, "begin\r\n  Writeln(Readln('Title', 'Value?'));\r\nend.");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(ui.inputRequests, (std::vector<RecordingUi::InputRequest>{{"Title", "Value?"}}));
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "42", "Script finished, no errors."}));
}

TEST(HostReadln, CancelledInputIsTheEmptyText) {
  RecordingUi ui;
  RunOutcome out = RunWith(ui, "begin\r\n  Writeln('[' + Readln('T', 'P') + ']');\r\nend.");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "[]", "Script finished, no errors."}));
}

// ---- units from files ----

const char kFooUnit[] =
    "unit Foo;\r\n"
    "procedure Hello;\r\n"
    "begin\r\n"
    "  Writeln('hello from foo');\r\n"
    "end;\r\n"
    "end.";

const char kUsesFoo[] = "uses Foo;\r\nbegin\r\n  Hello;\r\nend.";

TEST(HostUnits, UnitIsLoadedFromItsFileInTheCurrentDirectory) {
  ScopedWorkDir dir;
  dir.Write("FOO.qs", kFooUnit);
  RunOutcome out = RunText(kUsesFoo);
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "hello from foo", "Script finished, no errors."}));
}

TEST(HostUnits, UnitFileNameMatchesIgnoringCase) {
  ScopedWorkDir dir;
  dir.Write("foo.qs", kFooUnit);
  RunOutcome out = RunText(kUsesFoo);
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "hello from foo", "Script finished, no errors."}));
}

TEST(HostUnits, UnitIsReadAgainForEveryRun) {
  ScopedWorkDir dir;
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  int32_t pos = -1;
  dir.Write("FOO.qs", kFooUnit);
  ASSERT_TRUE(host.Run(kUsesFoo, pos));
  dir.Write("FOO.qs", "unit Foo;\r\nprocedure Hello;\r\nbegin\r\n  Writeln('changed');\r\nend;\r\nend.");
  ASSERT_TRUE(host.Run(kUsesFoo, pos));
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "changed", "Script finished, no errors."}));
}

TEST(HostUnits, UnitCanUseAnotherUnit) {
  ScopedWorkDir dir;
  dir.Write("FOO.qs", kFooUnit);
  dir.Write("BAR.qs", "unit Bar;\r\nuses Foo;\r\nprocedure Greet;\r\nbegin\r\n  Hello;\r\nend;\r\nend.");
  RunOutcome out = RunText("uses Bar;\r\nbegin\r\n  Greet;\r\nend.");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.lines, (Lines{"Script is running.", "hello from foo", "Script finished, no errors."}));
}

TEST(HostUnits, MissingUnitIsNotFoundAtTheUnitNameInTheScript) {
  ScopedWorkDir dir;
  const std::string text = "program Main2;\r\nuses Nowhere;\r\nbegin\r\nend.";
  const int32_t pos = PosOf(text, "Nowhere");
  RunOutcome out = RunText(text);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.errorPos, pos);
  EXPECT_EQ(out.lines, (Lines{"Error in MAIN2(" + std::to_string(pos) + ") unit is not found"}));
}

TEST(HostUnits, DeclarationErrorInAUnitNamesTheUnitAndThePositionInItsFile) {
  ScopedWorkDir dir;
  const std::string unit = "unit Broken;\r\nvar\r\n  a: Integer;\r\n  a: Integer;\r\nend.";
  const int32_t pos = PosOf(unit, "a:", 1);
  dir.Write("BROKEN.qs", unit);
  RunOutcome out = RunText("uses Broken;\r\nbegin\r\n  Writeln('never');\r\nend.");
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.errorPos, pos);
  EXPECT_EQ(out.lines, (Lines{"Error in BROKEN(" + std::to_string(pos) + ") duplicate identifier"}));
}

TEST(HostUnits, LexicalErrorInAUnitNamesTheRequestedUnitAndTheOffsetInItsFile) {
  ScopedWorkDir dir;
  const std::string unit = "unit Bad;\r\nvar\r\n  x: Integer;\r\n  %\r\nend.";
  const int32_t pos = PosOf(unit, "%");
  dir.Write("BAD.qs", unit);
  RunOutcome out = RunText("uses bad;\r\nbegin\r\nend.");
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.errorPos, pos);
  EXPECT_EQ(out.lines, (Lines{"Error in BAD(" + std::to_string(pos) + ") syntax error"}));
}

TEST(HostUnits, RuntimeErrorInAUnitRoutineNamesTheUnitAndThePositionInItsFile) {
  ScopedWorkDir dir;
  const std::string unit =
      "unit Maths;\r\n"
      "function Ratio(a, b: Integer): Integer;\r\n"
      "begin\r\n"
      "  Result := a div b;\r\n"
      "end;\r\n"
      "end.";
  const int32_t pos = PosOf(unit, "b;\r\nend;") + 1;  // where the divisor has been read
  dir.Write("MATHS.qs", unit);
  RunOutcome out = RunText("uses Maths;\r\nvar k: Integer;\r\nbegin\r\n  k := Ratio(1, 0);\r\nend.");
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.errorPos, pos);
  EXPECT_EQ(out.lines,
            (Lines{"Script is running.", "Error in MATHS(" + std::to_string(pos) + ") divide by zero"}));
}

TEST(HostUnits, ProgramFileInPlaceOfAUnitIsRefusedAtTheUnitName) {
  ScopedWorkDir dir;
  dir.Write("NOTUNIT.qs", "program NotUnit;\r\nbegin\r\nend.");
  const std::string text = "uses NotUnit;\r\nbegin\r\nend.";
  RunOutcome out = RunText(text);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.errorPos, PosOf(text, "NotUnit"));
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_TRUE(StartsWith(out.lines[0], "Error in MAIN(5) ")) << out.lines[0];
}

TEST(HostUnits, UnitsUsingEachOtherEndWithAnError) {
  ScopedWorkDir dir;
  dir.Write("CYCA.qs", "unit CycA;\r\nuses CycB;\r\nend.");
  dir.Write("CYCB.qs", "unit CycB;\r\nuses CycA;\r\nend.");
  RunOutcome out = RunText("uses CycA;\r\nbegin\r\n  Writeln('never');\r\nend.");
  EXPECT_FALSE(out.ok);
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_TRUE(StartsWith(out.lines[0], "Error in ")) << out.lines[0];
}

TEST(HostUnits, UnitUsingItselfEndsWithAnError) {
  ScopedWorkDir dir;
  dir.Write("SELFISH.qs", "unit Selfish;\r\nuses Selfish;\r\nend.");
  RunOutcome out = RunText("uses Selfish;\r\nbegin\r\nend.");
  EXPECT_FALSE(out.ok);
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_TRUE(StartsWith(out.lines[0], "Error in ")) << out.lines[0];
}

}  // namespace
}  // namespace quoll_test

namespace quoll_test {
namespace {

// The engine instance serves every run: what one text registered must not leak into the next,
// here the procedure types made for routine addresses (@P).
TEST(HostRuns, RoutineAddressesWorkInEveryRunOfTheSameEngine) {
  RecordingUi ui;
  quoll::ScriptHost host(ui);
  host.Initialize();
  const std::string text =
      "type TP = procedure(s: string);\r\n"
      "procedure Say(s: string);\r\nbegin\r\n  Writeln(s);\r\nend;\r\n"
      "var p: TP;\r\nbegin\r\n  p := @Say;\r\n  p^('called');\r\nend.";
  for (int run = 0; run < 3; ++run) {
    int32_t errorPos = -1;
    EXPECT_TRUE(host.Run(text, errorPos)) << "run " << run;
    EXPECT_EQ(ui.lines,
              (std::vector<std::string>{"Script is running.", "called", "Script finished, no errors."}));
  }
}

}  // namespace
}  // namespace quoll_test
