// The reader functions offered to scripts (GetReaderCount, GetReaderName, OpenReader,
// CloseReader, SendAPDU, Sleep) and the program's one reader manager behind them.
#pragma once

#include <cstdint>

#include "engine/script_engine.h"

namespace quoll {

// Creates the reader manager and lists the readers. True when PC/SC is usable: the library
// loaded, a context was established and the service listed at least one reader. Calling it again
// while the manager exists answers the first outcome.
bool StartPCSC();
// Frees the reader manager: every connected reader is disconnected (unpowering its card), then
// the context and the library are released. Harmless when not started.
void StopPCSC();
// Whether StartPCSC found PC/SC usable.
bool PCSCAvailable();

// Registers the six reader functions, only when PC/SC is usable (starting it if need be).
void RegisterReaderFunctions(ScriptEngine& script);
// The native function behind them.
ErrorCode ReaderCall(ScriptEngine* script, void* host, Routine* routine, Value* result, VariableList& args);

}  // namespace quoll
