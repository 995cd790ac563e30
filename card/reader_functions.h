// The reader functions offered to scripts (GetReaderCount, GetReaderName, OpenReader,
// CloseReader, SendAPDU, Sleep) and the program's one reader manager behind them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/script_engine.h"

namespace quoll {

class TraceSink;

// Creates the reader manager and lists the readers. True when PC/SC is usable: the library
// loaded, a context was established and the service listed at least one reader. Calling it again
// while the manager exists answers the first outcome.
bool StartPCSC();
// At the start of a run: PC/SC started again when it failed before, the reader list read again
// when no reader is connected. True when PC/SC is usable for the run.
bool RefreshPCSC();
// Frees the reader manager: every connected reader is disconnected (unpowering its card), then
// the context and the library are released. Harmless when not started.
void StopPCSC();
// Whether PC/SC was found usable, at start-up or at the last RefreshPCSC.
bool PCSCAvailable();
// Why PC/SC is not usable ("SCardEstablishContext: Service not available. (0x8010001D)");
// empty while it is.
std::string PCSCFailureReason();

// Registers the six reader functions, only when PC/SC is usable (starting it if need be).
void RegisterReaderFunctions(ScriptEngine& script);
// The native function behind them.
ErrorCode ReaderCall(ScriptEngine* script, void* host, Routine* routine, Value* result, VariableList& args);

// Every exchange of the reader functions goes to `sink` (nullptr: none, the default); it must
// outlive its use. Each record carries the module and position of the call in the script.
void SetReaderTrace(TraceSink* sink);
// GET RESPONSE after 61xx and the resend after 6Cxx done for the script (off by default).
void SetAutoGetResponse(bool on);
bool AutoGetResponse();

// How Sleep waits: the host's handler may let user actions through while it waits and end the
// run when the user stops it (it returns the engine's code then). The default blocks.
using SleepHandler = ErrorCode (*)(void* host, ScriptEngine* script, int32_t milliseconds);
void SetSleepHandler(SleepHandler handler);

// The reason PC/SC gave for the failure behind `error`, when `error` is the one a reader function
// recorded last ("Card was removed. (0x80100069)"); empty otherwise.
std::string CardFailureReason(const ScriptError& error);

// The readers as scripts number them (index 1 first), and those this program is connected to.
std::vector<std::string> ListedReaderNames();
std::vector<std::string> ConnectedReaderNames();

}  // namespace quoll
