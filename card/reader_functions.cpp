// The reader script functions over the one ReaderManager of the program.
#include "card/reader_functions.h"

#include <chrono>
#include <memory>
#include <new>
#include <thread>

#include "card/card_error.h"
#include "card/reader_manager.h"

namespace quoll {

namespace {

// The program's reader manager and whether it found PC/SC usable. Connections live here from
// start-up to StopPCSC, across script runs.
std::unique_ptr<ReaderManager> programReaderManager;
bool pcscAvailable = false;
// Settings that outlive a manager: a manager made later gets them too.
TraceSink* readerTrace = nullptr;
bool autoGetResponse = false;

ErrorCode PlainSleep(void* /*host*/, ScriptEngine* /*script*/, int32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  return ErrorCode::NoError;
}
SleepHandler sleepHandler = PlainSleep;

// The error a reader function recorded last and PC/SC's reason for it.
struct CardFailure {
  ScriptError error;
  std::string reason;
};
CardFailure lastFailure;

bool SameError(const ScriptError& a, const ScriptError& b) {
  return a.code == b.code && a.position == b.position && a.param == b.param && a.module == b.module;
}

void MakeManager() {
  programReaderManager = std::make_unique<ReaderManager>();
  programReaderManager->SetTrace(readerTrace);
  programReaderManager->SetAutoGetResponse(autoGetResponse);
}

// Where the script's call is: the engine's error record gives the module and the position of the
// current token, so an error is recorded and taken back. Only while tracing.
StatementPlace PlaceOfCall(ScriptEngine* script) {
  if (script->Error().Failed()) return {};
  script->SetError(ErrorCode::Custom);
  StatementPlace place{script->Error().module, script->Error().position, 0};
  script->ClearError();
  return place;
}

// The reader functions, by their host data.
enum class ReaderRoutine : intptr_t {
  Sleep,
  GetReaderCount,
  GetReaderName,
  OpenReader,
  CloseReader,
  SendApdu
};

constexpr intptr_t HostData(ReaderRoutine r) {
  return static_cast<intptr_t>(r);
}

int IntArgument(VariableList& args, int i) {
  return static_cast<int>(args.Get(i)->Deref()->GetInt());
}

}  // namespace

bool StartPCSC() {
  if (!programReaderManager) {
    MakeManager();
    pcscAvailable = programReaderManager->EnumerateReaders();
  }
  return pcscAvailable;
}

bool RefreshPCSC() {
  if (!programReaderManager) return StartPCSC();
  pcscAvailable =
      pcscAvailable ? programReaderManager->RefreshReaders() : programReaderManager->EnumerateReaders();
  return pcscAvailable;
}

std::string PCSCFailureReason() {
  if (pcscAvailable) return {};
  if (!programReaderManager) return "not started";
  return programReaderManager->FailureReason();
}

void SetReaderTrace(TraceSink* sink) {
  readerTrace = sink;
  if (programReaderManager) programReaderManager->SetTrace(sink);
}

void SetAutoGetResponse(bool on) {
  autoGetResponse = on;
  if (programReaderManager) programReaderManager->SetAutoGetResponse(on);
}

bool AutoGetResponse() {
  return autoGetResponse;
}

void SetSleepHandler(SleepHandler handler) {
  sleepHandler = handler ? handler : PlainSleep;
}

std::string CardFailureReason(const ScriptError& error) {
  return SameError(error, lastFailure.error) ? lastFailure.reason : std::string();
}

std::vector<std::string> ListedReaderNames() {
  std::vector<std::string> names;
  if (!programReaderManager || !pcscAvailable) return names;
  for (int i = 1; i <= programReaderManager->ReaderCount(); ++i)
    names.push_back(programReaderManager->ReaderName(i));
  return names;
}

std::vector<std::string> ConnectedReaderNames() {
  return programReaderManager ? programReaderManager->ConnectedReaderNames() : std::vector<std::string>();
}

void StopPCSC() {
  programReaderManager.reset();
  pcscAvailable = false;
}

bool PCSCAvailable() {
  return pcscAvailable;
}

void RegisterReaderFunctions(ScriptEngine& script) {
  if (!programReaderManager && !StartPCSC()) return;
  if (!pcscAvailable) return;
  using R = ReaderRoutine;
  script.AddFunction(ReaderCall, "procedure Sleep(nTime : Integer);", HostData(R::Sleep));
  script.AddFunction(ReaderCall, "function GetReaderCount : Integer;", HostData(R::GetReaderCount));
  script.AddFunction(ReaderCall, "function GetReaderName(nIndex : Integer) : string;",
                     HostData(R::GetReaderName));
  script.AddFunction(ReaderCall, "function OpenReader(nIndex : Integer) : Boolean;", HostData(R::OpenReader));
  script.AddFunction(ReaderCall, "function CloseReader(nIndex : Integer) : Boolean;",
                     HostData(R::CloseReader));
  script.AddFunction(ReaderCall, "function SendAPDU(nIndex : Integer; strIN : string) : string;",
                     HostData(R::SendApdu));
}

ErrorCode ReaderCall(ScriptEngine* script, void* host, Routine* routine, Value* result, VariableList& args) {
  // The manager may have been stopped by another host since this script registered the names.
  if (!pcscAvailable || !programReaderManager) return ErrorCode::NoError;
  ReaderManager& manager = *programReaderManager;
  if (manager.Trace()) manager.SetStatementPlace(PlaceOfCall(script));
  try {
    switch (static_cast<ReaderRoutine>(routine->hostData)) {
      case ReaderRoutine::GetReaderCount:
        if (result) result->SetInt(manager.ReaderCount());
        break;
      case ReaderRoutine::GetReaderName: {
        std::string text = manager.ReaderName(IntArgument(args, 0));
        if (result) result->SetString(std::move(text));
        break;
      }
      case ReaderRoutine::OpenReader:
        manager.Connect(IntArgument(args, 0));
        if (result) result->SetBool(true);
        break;
      case ReaderRoutine::CloseReader:
        manager.Disconnect(IntArgument(args, 0));
        if (result) result->SetBool(true);
        break;
      case ReaderRoutine::SendApdu: {
        std::string command;
        args.Get(1)->Deref()->GetString(command);
        std::string response = manager.Transmit(IntArgument(args, 0), command);
        if (result) result->SetString(std::move(response));
        break;
      }
      case ReaderRoutine::Sleep: {
        // A negative time returns at once rather than meaning "for ever".
        int milliseconds = IntArgument(args, 0);
        if (milliseconds > 0) return sleepHandler(host, script, milliseconds);
        break;
      }
    }
    return ErrorCode::NoError;
  } catch (const CardError& e) {
    script->SetErrorParam(ErrorCode::Custom, e.what());
    lastFailure = {script->Error(), e.Reason()};
  } catch (const std::bad_alloc&) {
    script->SetErrorParam(ErrorCode::Custom, "Not enough memory!");
  }
  return ErrorCode::Custom;
}

}  // namespace quoll
