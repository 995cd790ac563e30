// The library record of each LoadLibrary is a resource of the run's main script, which owns it:
// the clean-up after the run frees it and unloads a library the script left loaded. A script
// holds it as a RESOURCEPOINTER whose companion word is this library's entry, and every use
// checks the record against the resource table before touching it.
#include "libs/native_calls/native_call_library.h"

#include <memory>
#include <string>
#include <vector>

#include "libs/native_calls/bound_routine.h"
#include "libs/native_calls/foreign_declaration.h"
#include "libs/native_calls/native_call_error.h"
#include "libs/native_calls/shared_library.h"

namespace quoll {

namespace {

enum class Function : intptr_t { LoadLibrary, CloseLibrary, MapLibraryProc };

// One loaded library and the routines bound to its exports. The bound routines stay until the
// record goes, unbound once the library is closed, so a call that still reaches one finds it.
struct LibraryRecord {
  SharedLibrary library;
  bool closed = false;
  std::vector<std::unique_ptr<BoundRoutine>> routines;
};

void FreeLibraryRecord(void* /*host*/, intptr_t data) {
  std::unique_ptr<LibraryRecord> owned(reinterpret_cast<LibraryRecord*>(data));
}

ErrorCode NativeCallLibraryCall(ScriptEngine* script, void* host, Routine* routine, Value* result,
                                VariableList& args);

// What marks a RESOURCEPOINTER as one of this library's: its entry's address.
intptr_t LibraryIdentity() {
  return reinterpret_cast<intptr_t>(&NativeCallLibraryCall);
}

// The records live in the run's main script, so that a library loaded in a unit can be used and
// closed from the script that uses the unit, and the other way round.
ScriptEngine& RecordOwner(ScriptEngine& script) {
  return script.RunOwner();
}

// The loaded library a RESOURCEPOINTER stands for; nullptr for any other value and for a library
// that is closed.
LibraryRecord* LoadedLibraryOf(ScriptEngine& script, Value* value) {
  if (!value || value->code() != TypeCode::ResourcePointer) return nullptr;
  const intptr_t handle = value->v.res.handle;
  if (value->v.res.companion != LibraryIdentity() || handle == 0 ||
      !RecordOwner(script).IsValidResource(FreeLibraryRecord, handle))
    return nullptr;
  auto* record = reinterpret_cast<LibraryRecord*>(handle);
  return record->closed ? nullptr : record;
}

std::string StringArgument(VariableList& args, int index) {
  std::string text;
  args.Get(index)->Deref()->GetString(text);
  return text;
}

// A name the script already uses would hide the bound routine, or the bound routine would hide
// it: a routine, type, variable or unit of that name.
bool NameTaken(ScriptEngine& script, const std::string& upperName) {
  const NameId name = FindName(upperName);
  if (name == kNoName) return false;
  for (const auto& routine : script.Routines())
    if (routine->name == name && !routine->IsMethod()) return true;
  for (NameId unit : script.Units())
    if (unit == name) return true;
  return script.FindType(upperName) || script.GetVariable(upperName);
}

// The `!PCHAR` type, registered on the script on first use: a named copy of STRING, so that the
// script's strings fit PChar parameters by value and by reference alike. (The bound routine keeps
// which of its texts were declared PChar; both are passed as const char* here.)
Type* PCharType(ScriptEngine& script) {
  if (Type* type = script.Types().Find(InternUpper("!PCHAR"))) return type;
  Type* type = script.AddTypeText("!PCHAR", "string");
  return type ? type : script.StdType(TypeCode::String);
}

Type* ScriptType(ScriptEngine& script, ForeignType type) {
  return type == ForeignType::PChar ? PCharType(script) : script.StdType(ScriptTypeCode(type));
}

ParamList ScriptDeclaration(ScriptEngine& script, const ForeignDeclaration& declaration) {
  ParamList list;
  if (declaration.isFunction) list.result = ScriptType(script, declaration.result);
  for (const ForeignParameter& parameter : declaration.parameters)
    list.params.push_back({parameter.name, parameter.byReference ? ParamMode::Var : ParamMode::Value,
                           ScriptType(script, parameter.type)});
  return list;
}

// LoadLibrary(Name, var Res): false, with Res as it was, when the library cannot be loaded.
bool LoadLibrary(ScriptEngine& script, VariableList& args) {
  SharedLibrary library;
  try {
    library = SharedLibrary::Open(StringArgument(args, 0));
  } catch (const NativeCallError&) {
    return false;
  }
  auto record = std::make_unique<LibraryRecord>();
  record->library = std::move(library);
  const auto handle = reinterpret_cast<intptr_t>(record.get());
  RecordOwner(script).AddResource(FreeLibraryRecord, handle);
  record.release();  // the resource table owns it now
  Value* res = args.Get(1)->Deref();
  res->v.res.handle = handle;
  res->v.res.companion = LibraryIdentity();
  return true;
}

// CloseLibrary(Res): the bound routines leave the script's lookups before the library goes, since
// their exports' addresses are invalid afterwards.
void CloseLibrary(LibraryRecord& record) {
  for (const auto& routine : record.routines) routine->Unbind();
  record.library.Close();
  record.closed = true;
}

// MapLibraryProc(Res, DllProcName, Declaration): false for an invalid declaration, a name the
// script uses already, or a missing export.
bool MapLibraryProc(ScriptEngine& script, LibraryRecord& record, VariableList& args) {
  std::optional<ForeignDeclaration> declaration = ParseForeignDeclaration(StringArgument(args, 2));
  if (!declaration || NameTaken(script, declaration->name)) return false;
  std::unique_ptr<BoundRoutine> bound;
  try {
    bound = std::make_unique<BoundRoutine>(*declaration, record.library.Export(StringArgument(args, 1)));
  } catch (const NativeCallError&) {
    return false;
  }
  ParamList parameters = ScriptDeclaration(script, *declaration);
  BoundRoutine& added = *record.routines.emplace_back(std::move(bound));
  Routine* routine = script.AddNativeRoutine(BoundRoutine::Call, declaration->name, std::move(parameters),
                                             reinterpret_cast<intptr_t>(&added));
  added.Attach(script, *routine);
  return true;
}

ErrorCode NativeCallLibraryCall(ScriptEngine* script, void* /*host*/, Routine* routine, Value* result,
                                VariableList& args) {
  bool outcome = false;
  switch (static_cast<Function>(routine->hostData)) {
    case Function::LoadLibrary:
      outcome = LoadLibrary(*script, args);
      break;
    case Function::CloseLibrary: {
      LibraryRecord* record = LoadedLibraryOf(*script, args.Get(0)->Deref());
      if (!record) return ErrorCode::TypeMismatch;
      CloseLibrary(*record);
      return ErrorCode::NoError;
    }
    case Function::MapLibraryProc: {
      LibraryRecord* record = LoadedLibraryOf(*script, args.Get(0)->Deref());
      if (!record) return ErrorCode::TypeMismatch;
      outcome = MapLibraryProc(*script, *record, args);
      break;
    }
    default:
      return ErrorCode::CommandNotSupported;
  }
  if (result) result->SetBool(outcome);
  return ErrorCode::NoError;
}

}  // namespace

void RegisterNativeCallLibrary(ScriptEngine& script) {
  script.AddFunction(NativeCallLibraryCall,
                     "function LoadLibrary(Name: string; var Res: ResourcePointer): Boolean;",
                     static_cast<intptr_t>(Function::LoadLibrary));
  script.AddFunction(NativeCallLibraryCall, "procedure CloseLibrary(Res: ResourcePointer);",
                     static_cast<intptr_t>(Function::CloseLibrary));
  script.AddFunction(
      NativeCallLibraryCall,
      "function MapLibraryProc(Res: ResourcePointer; DllProcName, Declaration: string): Boolean;",
      static_cast<intptr_t>(Function::MapLibraryProc));
}

}  // namespace quoll
