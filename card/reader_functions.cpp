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
    programReaderManager = std::make_unique<ReaderManager>();
    pcscAvailable = programReaderManager->EnumerateReaders();
  }
  return pcscAvailable;
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

ErrorCode ReaderCall(ScriptEngine* script, void* /*host*/, Routine* routine, Value* result,
                     VariableList& args) {
  // The manager may have been stopped by another host since this script registered the names.
  if (!pcscAvailable || !programReaderManager) return ErrorCode::NoError;
  ReaderManager& manager = *programReaderManager;
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
        if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        break;
      }
    }
    return ErrorCode::NoError;
  } catch (const CardError& e) {
    script->SetErrorParam(ErrorCode::Custom, e.what());
  } catch (const std::bad_alloc&) {
    script->SetErrorParam(ErrorCode::Custom, "Not enough memory!");
  }
  return ErrorCode::Custom;
}

}  // namespace quoll
