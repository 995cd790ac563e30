// IDispatch and CreateOleObject: automation objects for scripts, made on D-Bus.
#include "libs/automation/script/automation_library.h"

#include <exception>
#include <memory>
#include <string>

#include "engine/script_engine.h"
#include "libs/automation/bus_connection.h"
#include "libs/automation/bus_object.h"
#include "libs/automation/script/automation_object.h"
#include "libs/automation/script/error_texts.h"

namespace quoll {

namespace {

// Tells IDispatch values apart from the native objects of other libraries.
constexpr char kAutomationClass[] = "IDispatch";

// CreateOleObject(Name): the object the identifier names (bus_name.h), its service started
// when it is not running; any failure is error 32777 with the reason.
ErrorCode CreateOleObject(ScriptEngine* script, void* /*host*/, Routine* /*routine*/, Value* result,
                          VariableList& args) {
  std::string name;
  if (Value* argument = args.Get(0)) argument->Deref()->GetString(name);
  try {
    automation::BusObject object = automation::BusObject::Create(automation::ProcessBusConnections(), name);
    NativeHolder* holder =
        script->AdoptNativeObject(std::make_unique<AutomationObject>(script, std::move(object)));
    if (result && result->code() == TypeCode::NativeObject) result->v.holder = holder;
    return ErrorCode::NoError;
  } catch (const std::exception& e) {
    script->SetErrorParam(ErrorCode::Custom, CreationFailedText(e.what()));
    return ErrorCode::Custom;
  }
}

}  // namespace

void RegisterAutomation(ScriptEngine& script) {
  script.AddNativeObjectType("IDispatch", kAutomationClass);
  script.AddFunction(CreateOleObject, "function CreateOleObject(Name: string): IDispatch", 0);
}

}  // namespace quoll
