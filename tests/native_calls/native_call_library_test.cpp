// The script functions through a real host, where the golden scripts cannot look: the clean-up
// after a run, the routine records the engine gets, and calls that reach a bound routine with
// arguments the engine would never build.
#include "libs/native_calls/native_call_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/script_host.h"
#include "load_counter.h"
#include "tests/unit/test_support.h"

namespace quoll {
namespace {

using quoll_test::RecordingUi;

const std::string kLoad = "LoadLibrary('" + std::string(QUOLL_TEST_EXPORTS) + "', Lib)";

bool TestLibraryMapped() {
  std::ifstream maps("/proc/self/maps");
  std::string all((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
  return all.find(std::filesystem::canonical(QUOLL_TEST_EXPORTS).string()) != std::string::npos;
}

// A host with the native call library (and whatever else a test adds at that step), ready to run.
class NativeCallHost {
 public:
  explicit NativeCallHost(LibraryRegistrar extra = nullptr) : host_(ui_) {
    host_.AddLibrary(LibraryStep::NativeCalls, RegisterNativeCallLibrary);
    if (extra) host_.AddLibrary(LibraryStep::NativeCalls, extra);
    host_.Initialize();
  }
  ~NativeCallHost() { host_.Shutdown(); }

  // The output pane after running the text, the status lines left out of it.
  std::vector<std::string> Run(const std::string& text) {
    int32_t errorPos = -1;
    host_.Run(text, errorPos);
    std::vector<std::string> lines = ui_.lines;
    if (!lines.empty() && lines.front() == "Script is running.") lines.erase(lines.begin());
    return lines;
  }
  ScriptEngine& Engine() { return *host_.Engine(); }

 private:
  RecordingUi ui_;
  ScriptHost host_;
};

using Lines = std::vector<std::string>;

TEST(NativeCallLibrary, TheCleanUpUnloadsWhatTheScriptLeftLoaded) {
  ASSERT_EQ(quoll_load_counter_value(), 0);
  NativeCallHost host;
  // Loaded three times, closed once, two handles left to the clean-up.
  EXPECT_EQ(host.Run("var Lib, Kept: ResourcePointer; begin " + kLoad + "; CloseLibrary(Lib); " + kLoad +
                     "; Kept := Lib; " + kLoad +
                     "; MapLibraryProc(Lib, 'qt_store', 'procedure Store(V: Integer)'); "
                     "MapLibraryProc(Lib, 'qt_load_count', 'function Count: Integer'); "
                     "Store(42); Writeln(IntToStr(Count)); end."),
            (Lines{"1", "Script finished, no errors."}));
  EXPECT_EQ(quoll_load_counter_value(), 0);
  EXPECT_FALSE(TestLibraryMapped());
  // The next run loads a fresh copy: nothing of the first one's state is left.
  EXPECT_EQ(host.Run("var Lib: ResourcePointer; begin " + kLoad +
                     "; MapLibraryProc(Lib, 'qt_stored', 'function Stored: Integer'); "
                     "Writeln(IntToStr(Stored)); end."),
            (Lines{"0", "Script finished, no errors."}));
  EXPECT_EQ(quoll_load_counter_value(), 0);
  // A run that fails is cleaned up as well.
  const Lines failed =
      host.Run("var Lib: ResourcePointer; I: Integer; begin " + kLoad + "; I := I div 0; end.");
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_TRUE(failed[0].ends_with(") divide by zero")) << failed[0];
  EXPECT_EQ(quoll_load_counter_value(), 0);
}

const Routine* FindRoutine(ScriptEngine& script, const char* name) {
  for (const auto& routine : script.Routines())
    if (routine->name == InternUpper(name)) return routine.get();
  return nullptr;
}

size_t CountTypesNamed(ScriptEngine& script, const char* name) {
  size_t count = 0;
  for (const auto& type : script.Types().All()) count += type->name == InternUpper(name);
  return count;
}

TEST(NativeCallLibrary, BoundRoutinesCarryTheDeclarationAndPCharIsRegisteredOnce) {
  NativeCallHost host;
  ASSERT_EQ(host.Run("var Lib: ResourcePointer; begin " + kLoad + "; end."),
            (Lines{"Script finished, no errors."}));
  EXPECT_EQ(CountTypesNamed(host.Engine(), "!PCHAR"), 0u) << "registered before any declaration used it";

  ASSERT_EQ(
      host.Run("var Lib: ResourcePointer; begin " + kLoad +
               "; MapLibraryProc(Lib, 'qt_swap_uchar', 'function Mixed(var A: Byte; B: PChar; C: string): "
               "Char; stdcall'); MapLibraryProc(Lib, 'qt_text_length', 'function Len(S: PChar): Integer'); "
               "MapLibraryProc(Lib, 'qt_store', 'procedure Store(V: Integer)'); end."),
      (Lines{"Script finished, no errors."}));
  ScriptEngine& script = host.Engine();
  EXPECT_EQ(CountTypesNamed(script, "!PCHAR"), 1u);
  Type* pchar = script.Types().Find(InternUpper("!PCHAR"));
  ASSERT_NE(pchar, nullptr);
  EXPECT_EQ(pchar->Resolved(), script.StdType(TypeCode::String));

  const Routine* mixed = FindRoutine(script, "Mixed");
  ASSERT_NE(mixed, nullptr);
  EXPECT_EQ(mixed->kind, RoutineKind::Native);
  EXPECT_NE(mixed->hostData, 0);
  const ParamList expected{script.StdType(TypeCode::Char),
                           {{InternUpper("A"), ParamMode::Var, script.StdType(TypeCode::Byte)},
                            {InternUpper("B"), ParamMode::Value, pchar},
                            {InternUpper("C"), ParamMode::Value, script.StdType(TypeCode::String)}}};
  EXPECT_EQ(mixed->decl, expected);
  const Routine* store = FindRoutine(script, "Store");
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(store->decl,
            (ParamList{nullptr, {{InternUpper("V"), ParamMode::Value, script.StdType(TypeCode::LongInt)}}}));
}

// Calls of a bound routine that the engine itself never makes: arguments and results of other
// types than declared, and arguments missing.
enum class Misuse : intptr_t {
  ArgumentOfAnotherType,
  ReferenceToAnotherType,
  NoArgument,
  ResultOfAnotherType
};

struct MisusedCall {
  ErrorCode code;
  std::string param;
};
std::vector<MisusedCall> misusedCalls;

ErrorCode CallBoundRoutineWrongly(ScriptEngine* script, void* host, Routine* routine, Value* /*result*/,
                                  VariableList& args) {
  std::string name;
  args.Get(0)->Deref()->GetString(name);
  Routine* bound = nullptr;
  for (const auto& r : script->Routines())
    if (r->name == InternUpper(name)) bound = r.get();
  if (!bound) return ErrorCode::UnknownIdentifier;
  VariableList wrong;
  ValuePtr result;
  const NameId v = InternUpper("V");
  switch (static_cast<Misuse>(routine->hostData)) {
    case Misuse::ArgumentOfAnotherType:
      wrong.Add(v, Value::Create(script->StdType(TypeCode::Boolean)));
      break;
    case Misuse::ReferenceToAnotherType: {
      ValuePtr reference = NewValue(script->VarType());
      reference->target = Value::Create(script->StdType(TypeCode::String));
      wrong.Add(v, reference);
      break;
    }
    case Misuse::NoArgument:
      break;
    case Misuse::ResultOfAnotherType:
      wrong.Add(v, Value::Create(script->StdType(TypeCode::LongInt)));
      result = Value::Create(script->StdType(TypeCode::String));
      break;
  }
  ErrorCode code = bound->native(script, host, bound, result.get(), wrong);
  misusedCalls.push_back({code, script->Error().param});
  return code;
}

void RegisterMisuses(ScriptEngine& script) {
  const std::pair<Misuse, const char*> functions[] = {
      {Misuse::ArgumentOfAnotherType, "procedure WithBoolean(Name: string)"},
      {Misuse::ReferenceToAnotherType, "procedure WithStringVariable(Name: string)"},
      {Misuse::NoArgument, "procedure WithoutArgument(Name: string)"},
      {Misuse::ResultOfAnotherType, "procedure WithStringResult(Name: string)"},
  };
  for (const auto& [misuse, text] : functions)
    script.AddFunction(CallBoundRoutineWrongly, text, static_cast<intptr_t>(misuse));
}

TEST(NativeCallLibrary, ArgumentsOfOtherTypesAtCallTimeCannotBeCalled) {
  NativeCallHost host(RegisterMisuses);
  misusedCalls.clear();
  const std::string text =
      "var Lib: ResourcePointer;\r\n"
      "procedure Attempt(Which: Integer);\r\n"
      "begin\r\n"
      "  try\r\n"
      "    case Which of\r\n"
      "      0: WithBoolean('Next');\r\n"
      "      1: WithStringVariable('Next');\r\n"
      "      2: WithoutArgument('Next');\r\n"
      "      3: WithStringResult('Next');\r\n"
      "    end;\r\n"
      "  except\r\n"
      "    Writeln('refused');\r\n"
      "  end;\r\n"
      "end;\r\n"
      "begin\r\n  " +
      kLoad +
      ";\r\n"
      "  MapLibraryProc(Lib, 'qt_swap_int32', 'function Next(var V: Integer): Integer');\r\n"
      "  MapLibraryProc(Lib, 'qt_store', 'procedure Store(V: Integer)');\r\n"
      "  MapLibraryProc(Lib, 'qt_stored', 'function Stored: Integer');\r\n"
      "  Attempt(0); Attempt(1); Attempt(2); Attempt(3);\r\n"
      "  Store(7);\r\n"
      "  try WithBoolean('Store'); except end;\r\n"
      "  Writeln(IntToStr(Stored));\r\n"  // the export was not called
      "  WithBoolean('Store');\r\n"
      "end.\r\n";
  const Lines lines = host.Run(text);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4), Lines(4, "refused"));
  EXPECT_EQ(lines[4], "7");
  const std::string errorLine = lines[5];
  EXPECT_EQ(errorLine.substr(0, 14), "Error in MAIN(") << errorLine;
  EXPECT_TRUE(errorLine.ends_with(") Could not call function")) << errorLine;
  ASSERT_EQ(misusedCalls.size(), 6u);
  for (const MisusedCall& call : misusedCalls) {
    EXPECT_EQ(call.code, ErrorCode::Custom);
    EXPECT_EQ(call.param, "Could not call function");
  }
}

}  // namespace
}  // namespace quoll
