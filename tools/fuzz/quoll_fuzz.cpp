// quoll-fuzz: the libFuzzer entry point. Every input is a script text that the engine compiles
// and runs as the console runner would, with the host's nesting limit, the standard libraries
// and the cipher functions, but without the card stack, unit files or a console: Writeln output
// is dropped, Readln answers an empty line, a uses clause finds no unit.
//
// Endless scripts end after a fixed number of statements or a second of run time, whichever
// comes first (the statement hook answers the exit signal, as the host does for Stop), and arrays
// stay small, so an input runs in milliseconds and within little memory; what the fuzzer looks
// for is the engine reading or writing out of bounds, undefined behaviour, a leak or an exception
// escaping, whatever the text.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "card/cipher_functions.h"
#include "engine/lib/stdlib.h"
#include "engine/lib/string_list_class.h"
#include "engine/lib/value_images.h"
#include "engine/script_engine.h"
#include "host/script_host.h"

namespace {

using quoll::ErrorCode;
using quoll::ScriptEngine;

constexpr int kStatementBudget = 20000;
// A statement can be slow (a string of a million characters built each time round a loop).
constexpr std::chrono::milliseconds kTimeBudget{1000};
constexpr int32_t kMaxArrayLength = 1024;

enum class HostRoutine : intptr_t { Writeln, Readln };

struct Run {
  int statements = 0;
  std::chrono::steady_clock::time_point end = std::chrono::steady_clock::now() + kTimeBudget;
};

ErrorCode CountStatement(void* host, ScriptEngine* /*script*/, int32_t /*position*/) {
  auto* run = static_cast<Run*>(host);
  // The clock is read every 64 statements: a read costs about as much as a simple statement.
  const bool over = ++run->statements > kStatementBudget ||
                    (run->statements % 64 == 0 && std::chrono::steady_clock::now() > run->end);
  return over ? ErrorCode::ExitSignal : ErrorCode::NoError;
}

ErrorCode HostCall(ScriptEngine* /*script*/, void* /*host*/, quoll::Routine* routine, quoll::Value* result,
                   quoll::VariableList& args) {
  std::string text;
  args.Get(0)->Deref()->GetString(text);  // read like the host does, then dropped
  if (routine->hostData == static_cast<intptr_t>(HostRoutine::Readln) && result) result->SetString("");
  return ErrorCode::NoError;
}

// SYSTEM in the host's order, less the libraries that need a platform service or a card.
ErrorCode Uses(void* /*host*/, ScriptEngine* script, const std::string& unitName) {
  if (unitName != "SYSTEM") return ErrorCode::UnitNotFound;
  quoll::RegisterStdLib(script, false);
  quoll::RegisterStringListClass(script);
  quoll::RegisterValueImages(script);
  quoll::RegisterCipherFunctions(*script);
  script->AddFunction(HostCall, "procedure Writeln(s: string)", static_cast<intptr_t>(HostRoutine::Writeln));
  script->AddFunction(HostCall, "function Readln(strCaption, strPrompt: string) : string",
                      static_cast<intptr_t>(HostRoutine::Readln));
  return ErrorCode::NoError;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  quoll::ReserveStackSpace();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Run run;
  ScriptEngine engine(&run);
  engine.OnUses = Uses;
  engine.OnRunLine = CountStatement;
  engine.MaxBeginNesting = quoll::ScriptHost::kMaxBeginNesting;
  engine.MaxArrayLength = kMaxArrayLength;
  engine.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!engine.Error().Failed()) engine.RunMain();
  // The error message is made as the host makes it for the error line.
  if (engine.Error().Failed()) quoll::ErrorMessage(engine.Error().code, engine.Error().param);
  engine.Cleanup();
  return 0;
}
