// ScriptHost: configures the engine, answers unit requests, runs a text and reports its outcome.
#include "host/script_host.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

#include "card/cipher_functions.h"
#include "card/reader_functions.h"
#include "engine/lib/stdlib.h"
#include "engine/lib/string_list_class.h"
#include "engine/lib/value_images.h"
#include "engine/textutil.h"

namespace quoll {

namespace {
// The host routines, by their host data.
enum class HostRoutine : intptr_t { Writeln, Readln };

// A coarse clock: a few nanoseconds to read, no system call.
timespec CoarseNow() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return now;
}

timespec After(timespec t, int64_t ns) {
  t.tv_sec += static_cast<time_t>(ns / 1'000'000'000);
  t.tv_nsec += static_cast<long>(ns % 1'000'000'000);
  if (t.tv_nsec >= 1'000'000'000) {
    t.tv_nsec -= 1'000'000'000;
    ++t.tv_sec;
  }
  return t;
}

bool Before(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}
}  // namespace

bool HostUi::Wait(int32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  return true;
}

ScriptHost::ScriptHost(HostUi& ui) : ui_(ui) {}

ScriptHost::~ScriptHost() {
  Shutdown();
}

void ScriptHost::Initialize() {
  ReserveStackSpace();
  engine_ = std::make_unique<ScriptEngine>(this);
  if (ui_.WantsLineHook()) {
    engine_->OnRunLine = LineHookEntry;
    engine_->ShareHookAllowance(&allowance_);
  }
  engine_->OnUses = UsesHandler;
  engine_->MaxBeginNesting = kMaxBeginNesting;
  state_ = RunState::Idle;
  SetSleepHandler(SleepEntry);
  // The card reader manager starts here; without PC/SC the program goes on without the reader
  // functions.
  if (!StartPCSC())
    ui_.WriteOutput("PCSC Init error(Winscard.DLL not exist?), associated functions removed.");
}

// Frees the card reader manager, disconnecting every connected reader.
void ScriptHost::Shutdown() {
  SetReaderTrace(nullptr);
  trace_.target = nullptr;
  StopPCSC();
}

void ScriptHost::SetTrace(TraceSink* sink) {
  trace_.target = sink;
  SetReaderTrace(sink ? &trace_ : nullptr);
}

void ScriptHost::LineNumberingTrace::AddModule(const std::string& module, std::string_view text) {
  if (!target) return;
  std::vector<int32_t>& starts = lineStarts_[module];
  starts.assign(1, 0);
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') starts.push_back(static_cast<int32_t>(i + 1));
}

void ScriptHost::LineNumberingTrace::Record(const ExchangeRecord& record) {
  if (!target) return;
  auto module = lineStarts_.find(record.place.module);
  if (module == lineStarts_.end() || record.place.position < 0) {
    target->Record(record);
    return;
  }
  ExchangeRecord numbered = record;
  const std::vector<int32_t>& starts = module->second;
  numbered.place.line = static_cast<int>(
      std::upper_bound(starts.begin(), starts.end(), record.place.position) - starts.begin());
  target->Record(numbered);
}

ErrorCode ScriptHost::SleepEntry(void* host, ScriptEngine* script, int32_t milliseconds) {
  auto* self = static_cast<ScriptHost*>(host);
  if (!self || self->ui_.Wait(milliseconds)) return ErrorCode::NoError;
  // Stopped during the wait: the run ends here, through routines and try blocks.
  self->ui_.WriteOutput("User break.");
  script->SetError(ErrorCode::ExitSignal);
  ScriptError stop = script->Error();
  stop.endsRun = true;
  script->OverrideError(stop);
  return ErrorCode::ExitSignal;
}

bool ScriptHost::Run(const std::string& text, int32_t& errorPos) {
  return Start(RunState::Running, text, errorPos);
}

bool ScriptHost::Step(const std::string& text, int32_t& errorPos) {
  return Start(RunState::Stepping, text, errorPos);
}

// Run and Step: a paused script goes on in the new mode; a running one is left alone; from Idle a
// new run starts in that mode.
bool ScriptHost::Start(RunState mode, const std::string& text, int32_t& errorPos) {
  switch (state_) {
    case RunState::Paused:
      state_ = mode;
      allowance_.statements = 0;
      return true;
    case RunState::Running:
    case RunState::Stepping:
      return true;
    case RunState::Idle:
      state_ = mode;
      return ExecuteText(text, errorPos);
  }
  return true;
}

void ScriptHost::Stop() {
  state_ = RunState::Idle;
  allowance_.statements = 0;
}

bool ScriptHost::ExecuteText(const std::string& text, int32_t& errorPos) {
  // Whatever happens, the run ends in Idle with the editor and title told so.
  struct EndOfRun {
    ScriptHost& host;
    ~EndOfRun() {
      host.state_ = RunState::Idle;
      host.ui_.UpdateCurrentLine();
      host.ui_.ShowRunState(RunState::Idle);
    }
  };
  constexpr size_t kMemoryReserve = 4 << 20;
  bool ok = false;
  try {
    if (!memoryReserve_) memoryReserve_ = std::make_unique_for_overwrite<char[]>(kMemoryReserve);
    EndOfRun end{*this};
    if (!engine_) {
      // A host whose start-up failed or was skipped gets its engine now; Initialize resets the
      // state to Idle, which the line hook would take for Stop.
      const RunState mode = state_;
      Initialize();
      state_ = mode;
    }
    ui_.ShowRunState(state_);
    lastPausePos_ = -1;
    messageIntervalNs_ = int64_t{ui_.MessageIntervalMs()} * 1'000'000;
    nextMessages_ = After(CoarseNow(), messageIntervalNs_);
    ReadMarks();
    clockScript_ = nullptr;
    allowance_.statements = 0;
    allowance_.quietPosition = -1;
    ui_.ClearOutput();
    // A reader plugged in or a service started since the last run is seen now; when PC/SC stays
    // unusable, the output says why before anything else.
    RefreshPCSC();
    if (!PCSCAvailable())
      ui_.WriteNotice("PC/SC unavailable, reader functions removed: " + PCSCFailureReason());
    trace_.Clear();
    ScriptEngine& engine = *engine_;
    engine.SetText(text);
    trace_.AddModule(engine.ModuleName(), text);
    if (!engine.Error().Failed()) {
      ui_.WriteOutput("Script is running.");
      engine.RunMain();
      SelectLastQuietStatement();
    }
    ok = !engine.Error().Failed();
    if (ok) {
      ui_.WriteOutput("Script finished, no errors.");
    } else {
      // What the script holds stays allocated until the clean-up; the reserve pays for the line.
      if (engine.Error().code == ErrorCode::OutOfMemory) memoryReserve_.reset();
      errorPos = engine.Error().position;
      ui_.WriteOutput("Error in " + engine.Error().module + "(" + std::to_string(engine.Error().position) +
                      ") " + ErrorMessage(engine.Error().code, engine.Error().param));
      const std::string reason = CardFailureReason(engine.Error());
      if (!reason.empty()) ui_.WriteNotice("PC/SC: " + reason);
    }
  } catch (const std::bad_alloc&) {
    // Memory ran out outside the engine (the host's own bookkeeping, an output line): the run
    // fails; the clean-up below frees what it held.
    memoryReserve_.reset();
    ok = false;
  }
  try {
    if (engine_) engine_->Cleanup();
  } catch (const std::bad_alloc&) {
    // Resetting a record global needs new fields; what could not be reset is reset by the next run.
  }
  return ok;
}

ErrorCode ScriptHost::LineHookEntry(void* host, ScriptEngine* script, int32_t position) {
  auto* self = static_cast<ScriptHost*>(host);
  if (script != self->engine_.get()) return self->UnitLineHook(script);
  return self->LineHook(position);
}

// A unit's positions are not in the running editor's text: its statements neither pause nor move
// the caret (Step runs a unit routine as one step), but they keep the window usable and obey Stop.
ErrorCode ScriptHost::UnitLineHook(const ScriptEngine* unit) {
  if (MessagesDue(unit)) {
    LetMessagesThrough();
    if (unit->Error().Failed()) return ErrorCode::NoError;  // see LineHook
  }
  if (state_ != RunState::Idle) {
    GrantQuietStatements(unit);
    return ErrorCode::NoError;
  }
  ui_.WriteOutput("User break.");
  return ErrorCode::ExitSignal;
}

// Reading the clock costs as much as a simple statement. A statement that called no native code
// spent interpreter time only, so the clock is read after every few such statements, and after
// any that did: a card command, Sleep or an input box can take long.
inline bool ScriptHost::MessagesDue(const ScriptEngine* script) {
  if (script == clockScript_ && script->NativeCallCount() == clockNativeCalls_ && --statementsUntilClock_ > 0)
    return false;
  return ReadClockForMessages(script);
}

bool ScriptHost::ReadClockForMessages(const ScriptEngine* script) {
  constexpr int kStatementsPerClockReading = 16;
  if (messageIntervalNs_ <= 0) return true;
  clockScript_ = script;
  clockNativeCalls_ = script->NativeCallCount();
  statementsUntilClock_ = kStatementsPerClockReading;
  const timespec now = CoarseNow();
  if (Before(now, nextMessages_)) return false;
  nextMessages_ = After(now, messageIntervalNs_);
  return true;
}

void ScriptHost::LetMessagesThrough() {
  SelectLastQuietStatement();
  ui_.ProcessMessages();
  ReadMarks();
  allowance_.statements = 0;  // a script's handler may have been granted some meanwhile
}

void ScriptHost::ReadMarks() {
  marks_ = ui_.HasMarks();
  breakpoints_ = marks_ && ui_.HasBreakpointLines();
  // With marks the caret follows the statements, so those that pass quietly note where they are.
  allowance_.tracked = marks_ ? engine_.get() : nullptr;
}

void ScriptHost::SelectLastQuietStatement() {
  if (allowance_.quietPosition < 0) return;
  const int32_t position = allowance_.quietPosition;
  allowance_.quietPosition = -1;
  ui_.SelectPosition(position);
}

// Only while the run goes on without a step, a pause or a breakpoint line, which need every
// statement's hook.
void ScriptHost::GrantQuietStatements(const ScriptEngine* script) {
  if (state_ != RunState::Running || breakpoints_ || messageIntervalNs_ <= 0 || script != clockScript_)
    return;
  allowance_.statements = statementsUntilClock_ - 1;
  statementsUntilClock_ = 1;
}

ErrorCode ScriptHost::LineHook(int32_t position) {
  if (MessagesDue(engine_.get())) {
    LetMessagesThrough();
    // A script's handler that ran meanwhile failed, or was stopped (and said so): the run ends
    // with what it recorded.
    if (engine_->Error().Failed()) return ErrorCode::NoError;
  }
  // The common case, a run that no breakpoint can pause, stays this short.
  if (state_ == RunState::Running && !breakpoints_) {
    if (marks_) {
      ui_.SelectPosition(position);
      allowance_.quietPosition = -1;
    }
    GrantQuietStatements(engine_.get());
    return ErrorCode::NoError;
  }
  return LineHookAfterMessages(position);
}

ErrorCode ScriptHost::LineHookAfterMessages(int32_t position) {
  switch (state_) {
    case RunState::Running:
      ui_.SelectPosition(position);
      if (!ui_.IsBreakpointLine()) return ErrorCode::NoError;
      ui_.RefreshWatches();
      state_ = RunState::Paused;
      lastPausePos_ = position;
      ui_.UpdateCurrentLine();
      break;
    case RunState::Stepping:
      ui_.RefreshWatches();
      if (position == lastPausePos_) return ErrorCode::NoError;
      state_ = RunState::Paused;
      lastPausePos_ = position;
      ui_.SelectPosition(position);
      ui_.UpdateCurrentLine();
      break;
    case RunState::Idle:  // Stop was chosen while the script ran
      ui_.WriteOutput("User break.");
      return ErrorCode::ExitSignal;
    case RunState::Paused:
      return ErrorCode::NoError;
  }
  // Paused: the user works on until Run, Step or Stop changes the state.
  ui_.ShowRunState(RunState::Paused);
  while (state_ == RunState::Paused) ui_.WaitForMessages();
  ReadMarks();
  nextMessages_ = After(CoarseNow(), messageIntervalNs_);
  ui_.ShowRunState(state_);
  if (state_ == RunState::Idle) {
    ui_.WriteOutput("User break.");
    return ErrorCode::ExitSignal;
  }
  return ErrorCode::NoError;
}

bool ScriptHost::ReadUnitFile(const std::string& unitName, std::string& text) {
  namespace fs = std::filesystem;
  std::string wanted = unitName + ".qs";
  fs::path path = wanted;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    // Unit names arrive in upper case; find the one file whose name matches ignoring case.
    std::string upper = UpperCase(wanted);
    int matches = 0;
    for (const auto& entry : fs::directory_iterator(".", ec)) {
      std::string name = entry.path().filename().string();
      if (UpperCase(name) == upper && entry.is_regular_file(ec)) {
        path = entry.path();
        ++matches;
      }
    }
    if (matches != 1) return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;
  text = buffer.str();
  return true;
}

ErrorCode ScriptHost::UsesHandler(void* host, ScriptEngine* script, const std::string& unitName) {
  auto* self = static_cast<ScriptHost*>(host);
  if (unitName == "SYSTEM") {
    // Libraries register here, in a fixed order, so they exist before the script's declarations.
    RegisterStdLib(script, false);
    RegisterStringListClass(script);
    self->RegisterLibraries(LibraryStep::Automation, *script);
    RegisterValueImages(script);
    self->RegisterLibraries(LibraryStep::Forms, *script);
    self->RegisterLibraries(LibraryStep::Controls, *script);
    self->RegisterLibraries(LibraryStep::NativeCalls, *script);
    RegisterCipherFunctions(*script);
    RegisterReaderFunctions(*script);  // only when PC/SC started
    // The host routines come last.
    script->AddFunction(HostCall, "procedure Writeln(s: string)",
                        static_cast<intptr_t>(HostRoutine::Writeln));
    script->AddFunction(HostCall, "function Readln(strCaption, strPrompt: string) : string",
                        static_cast<intptr_t>(HostRoutine::Readln));
    return ErrorCode::NoError;
  }
  // A unit is one module per run: a unit that another script of this run used already is
  // attached as it is, with its types, variables and state.
  ScriptEngine& runOwner = script->RunOwner();
  if (ScriptEngine* loaded = runOwner.KeptUnit(unitName)) {
    if (script->AttachUnit(*loaded)) return ErrorCode::NoError;
    script->SetErrorParam(ErrorCode::Custom, "duplicate unit: " + unitName);
    return ErrorCode::Custom;
  }
  // Units that use each other would otherwise load one another without end.
  if (std::find(self->loadingUnits_.begin(), self->loadingUnits_.end(), unitName) !=
      self->loadingUnits_.end()) {
    script->SetErrorParam(ErrorCode::Custom, "circular unit reference: " + unitName);
    return ErrorCode::Custom;
  }
  // Each unit in a chain of units using units is compiled inside the one before: a count
  // bounds the chain, like the engine's other nesting limits.
  if (self->loadingUnits_.size() >= kMaxUnitNesting) return ErrorCode::OutOfMemory;
  std::string text;
  if (!ReadUnitFile(unitName, text)) return ErrorCode::UnitNotFound;
  auto unit = std::make_unique<ScriptEngine>(host);
  unit->OnUses = UsesHandler;
  unit->OnRunLine = script->OnRunLine;
  if (unit->OnRunLine) unit->ShareHookAllowance(&self->allowance_);
  unit->SetRunOwner(&runOwner);  // its blocks count on the run's depth, under the run's limit
  unit->MaxBeginNesting = runOwner.MaxBeginNesting;
  self->loadingUnits_.push_back(unitName);
  unit->SetText(text);
  self->loadingUnits_.pop_back();
  self->trace_.AddModule(unit->ModuleName(), text);
  if (unit->Error().Failed()) {
    // The unit's own error wins: its position in the unit's file, and the unit's name.
    if (!script->Error().Failed()) {
      script->SetErrorParam(script, unit->Error().code, unit->Error().param);
      ScriptError copy = unit->Error();
      if (copy.module == "MAIN") copy.module = unitName;
      script->OverrideError(copy);
    }
    return ErrorCode::UnitNotFound;
  }
  bool isUnit = unit->IsUnit();
  if (!script->AttachUnit(*unit)) {
    script->SetErrorParam(ErrorCode::Custom,
                          isUnit ? "duplicate unit: " + unitName : unitName + ".qs is not a unit");
    return ErrorCode::Custom;
  }
  runOwner.KeepUnit(unitName, std::move(unit));
  return ErrorCode::NoError;
}

void ScriptHost::RegisterLibraries(LibraryStep step, ScriptEngine& script) const {
  for (const Library& library : libraries_)
    if (library.step == step) library.registrar(script);
}

ErrorCode ScriptHost::HostCall(ScriptEngine* /*script*/, void* host, Routine* routine, Value* result,
                               VariableList& args) {
  auto* self = static_cast<ScriptHost*>(host);
  std::string a;
  if (routine->hostData == static_cast<intptr_t>(HostRoutine::Writeln)) {
    args.Get(0)->Deref()->GetString(a);
    self->ui_.WriteOutput(a);
  } else if (routine->hostData == static_cast<intptr_t>(HostRoutine::Readln)) {
    std::string b;
    args.Get(0)->Deref()->GetString(a);
    args.Get(1)->Deref()->GetString(b);
    std::string line = self->ui_.ReadLine(a, b);
    // Text from outside the script obeys the same limit as the strings a script builds.
    if (line.size() > kMaxStringLength) return ErrorCode::OutOfMemory;
    if (result) result->SetString(std::move(line));
  }
  return ErrorCode::NoError;
}

}  // namespace quoll
