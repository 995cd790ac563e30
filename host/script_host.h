// ScriptHost: binds one engine instance to a user interface through HostUi.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "card/trace_sink.h"
#include "engine/script_engine.h"

namespace quoll {

enum class RunState { Idle, Running, Stepping, Paused };

// What the host needs from its surroundings: the console runner, the workbench and tests each
// provide one.
class HostUi {
 public:
  virtual ~HostUi() = default;
  // Appends one line to the output pane.
  virtual void WriteOutput(const std::string& line) = 0;
  virtual void ClearOutput() = 0;
  // A modal input box; returns the text entered, or the empty text on cancel. A text longer
  // than kMaxStringLength fails the script's Readln with "out of memory"; a UI need not read
  // more than one byte past that length.
  virtual std::string ReadLine(const std::string& caption, const std::string& prompt) = 0;
  virtual void ShowRunState(RunState state) = 0;
  // A line about the program's surroundings rather than the script: why PC/SC is unavailable for
  // a run, the service's reason after a card error line. The workbench shows it on the output
  // pane; the console runner writes it on stderr, so standard output stays the script's.
  virtual void WriteNotice(const std::string& line) { WriteOutput(line); }
  // The script's Sleep: waits that long. A UI with an event loop lets user actions happen
  // meanwhile and ends the wait at once when the user stops the run, answering false then.
  // The default blocks and answers true.
  virtual bool Wait(int32_t milliseconds);

  // Whether the host installs its statement hook at all. A UI that never stops, steps or pauses a
  // script (the console runner) answers false and saves a call per statement.
  virtual bool WantsLineHook() const { return false; }
  // Lets pending user actions happen (they may call the host's Run, Step or Stop).
  virtual void ProcessMessages() {}
  // How often a running script lets user actions happen: at most every this many milliseconds
  // of run time; 0 before every statement. User actions change the run state and the marks only
  // in ProcessMessages and WaitForMessages (dialogs that scripts open are modal), so between two
  // passes a statement costs the hook a clock read and two tests.
  virtual int32_t MessageIntervalMs() const { return 0; }
  // While a script is paused: waits for and processes user actions.
  virtual void WaitForMessages() { ProcessMessages(); }

  // The running editor, as debugging needs it.
  // Whether it has any mark (a breakpoint or a bookmark).
  virtual bool HasMarks() { return false; }
  // Selects the character at an engine position, which moves its caret to that statement.
  virtual void SelectPosition(int32_t position) { (void)position; }
  // Whether the caret line is a breakpoint line.
  virtual bool IsBreakpointLine() { return false; }
  // Whether any line could answer IsBreakpointLine with true; while none can, a run with marks
  // needs the hook only for the selection, which the host then moves when it shows anything.
  virtual bool HasBreakpointLines() { return HasMarks(); }
  // Its execution line is to be repainted (shown while paused, removed when the run ends).
  virtual void UpdateCurrentLine() {}
  // The watch window recomputes its values.
  virtual void RefreshWatches() {}
};

// Libraries offered to scripts that live outside the host because they need a platform service
// (widgets, a message bus, libffi). The program adds the ones it links; the host registers each
// on SYSTEM at its place in the fixed order.
enum class LibraryStep : uint8_t {
  Automation,   // after the string list class: IDispatch and CreateOleObject
  Forms,        // after the value images: TControl, TForm, ProcessMessages
  Controls,     // then TButton, TEdit, TLabel, TMemo
  NativeCalls,  // then LoadLibrary, CloseLibrary, MapLibraryProc
};
using LibraryRegistrar = void (*)(ScriptEngine& script);

class ScriptHost {
 public:
  explicit ScriptHost(HostUi& ui);
  ~ScriptHost();
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;

  // Every card exchange of later runs goes to `sink` (nullptr: none), each record with the module
  // and line of the call that made it. The sink must outlive the host or be reset first.
  void SetTrace(TraceSink* sink);

  // Adds a library for every later run's SYSTEM unit (and the units it loads).
  void AddLibrary(LibraryStep step, LibraryRegistrar registrar) { libraries_.push_back({step, registrar}); }

  // Creates the engine instance and sets its handlers and limits.
  void Initialize();
  void Shutdown();
  // True when the run ended without error or nothing new was started; false after a script
  // error, with errorPos set to the error's position in the text.
  bool Run(const std::string& text, int32_t& errorPos);
  bool Step(const std::string& text, int32_t& errorPos);
  void Stop();
  RunState State() const { return state_; }
  // Sets the run state directly (a UI restoring its state; tests).
  void SetState(RunState s) { state_ = s; }
  // The engine position of the last pause (-1 from the start of a run until it pauses).
  int32_t LastPausePosition() const { return lastPausePos_; }

  ScriptEngine* Engine() { return engine_.get(); }
  HostUi& Ui() { return ui_; }

  // The engine's unit handler and the host routines' native function.
  static ErrorCode UsesHandler(void* host, ScriptEngine* script, const std::string& unitName);
  static ErrorCode HostCall(ScriptEngine* script, void* host, Routine* routine, Value* result,
                            VariableList& args);
  static ErrorCode LineHookEntry(void* host, ScriptEngine* script, int32_t position);
  // Called before every statement: pauses at breakpoints and after single steps, and ends the run
  // with the exit code after Stop. Returns 0 or 32773.
  // The exit code ends the whole run, also from inside routines, units and try blocks.
  ErrorCode LineHook(int32_t position);
  // Selects the last statement that ran without the hook, if any ran since the last selection:
  // whoever is about to show the running editor calls it first.
  void SelectLastQuietStatement();
  // The reader functions' Sleep: waits through the UI; after Stop ends the run as the line hook
  // does.
  static ErrorCode SleepEntry(void* host, ScriptEngine* script, int32_t milliseconds);

  // The nesting limit set on the main instance (and on the units of its runs).
  static constexpr int32_t kMaxBeginNesting = 1000;
  // How long a chain of units using units may be.
  static constexpr size_t kMaxUnitNesting = 1000;

 private:
  ErrorCode UnitLineHook(const ScriptEngine* unit);
  // Whether user actions are due before this statement of `script` (always when the UI wants
  // them before every statement).
  bool MessagesDue(const ScriptEngine* script);
  [[gnu::noinline]] bool ReadClockForMessages(const ScriptEngine* script);
  // Lets user actions happen and notes what they may have changed.
  void LetMessagesThrough();
  // Reads whether the running editor has marks and breakpoint lines.
  void ReadMarks();
  // In a run that cannot pause at a breakpoint (no breakpoint lines, user actions every so
  // often), lets the statements that would only be counted until the next clock reading pass
  // without the hook.
  void GrantQuietStatements(const ScriptEngine* script);
  // The line hook once pending user actions have happened: breakpoints, steps, Stop, pausing.
  [[gnu::noinline]] ErrorCode LineHookAfterMessages(int32_t position);
  bool Start(RunState mode, const std::string& text, int32_t& errorPos);
  bool ExecuteText(const std::string& text, int32_t& errorPos);
  // Reads UNIT.qs from the current directory; on a case-sensitive file system the one file whose
  // name matches ignoring case.
  static bool ReadUnitFile(const std::string& unitName, std::string& text);

  HostUi& ui_;
  std::unique_ptr<ScriptEngine> engine_;
  RunState state_ = RunState::Idle;
  int32_t lastPausePos_ = -1;
  // Within a run: how often user actions happen, when next, and whether the running editor had
  // marks after the last time.
  int64_t messageIntervalNs_ = 0;
  timespec nextMessages_{};
  bool marks_ = false;
  bool breakpoints_ = false;  // the marks include a breakpoint line
  // When the clock was last read: the script and its count of native calls then, and how many
  // more statements without native calls may pass before the next reading.
  const ScriptEngine* clockScript_ = nullptr;
  uint64_t clockNativeCalls_ = 0;
  int statementsUntilClock_ = 0;
  // Shared by the run's script and its units; voided whenever the run state may change.
  ScriptEngine::HookAllowance allowance_;
  std::vector<std::string> loadingUnits_;  // units being compiled inside one another
  // Card exchanges get the line of their call from the texts of the run's modules.
  class LineNumberingTrace : public TraceSink {
   public:
    void Record(const ExchangeRecord& record) override;
    // Notes a module's text (its line starts); Clear forgets the run's modules.
    void AddModule(const std::string& module, std::string_view text);
    void Clear() { lineStarts_.clear(); }
    TraceSink* target = nullptr;

   private:
    std::map<std::string, std::vector<int32_t>> lineStarts_;
  };
  LineNumberingTrace trace_;
  void RegisterLibraries(LibraryStep step, ScriptEngine& script) const;
  struct Library {
    LibraryStep step;
    LibraryRegistrar registrar;
  };
  std::vector<Library> libraries_;
  // Memory set aside at the start of a run and given back when the run ran out of memory, so
  // that the error line can still be written and the run cleaned up.
  std::unique_ptr<char[]> memoryReserve_;
};

}  // namespace quoll
