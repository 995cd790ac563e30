// AutomationObject: what a script's IDispatch value holds: an object on the bus with its method
// table as the engine sees it (one entry per method and per readable property, every parameter
// a VARIANT), called late-bound with the arguments converted by the method's signature.
#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "engine/native_object.h"
#include "libs/automation/bus_object.h"
#include "libs/automation/script/script_values.h"

namespace quoll {

class AutomationObject : public NativeObject {
 public:
  AutomationObject(ScriptEngine* owner, automation::BusObject object);

  // The entry of that upper-case name (entries are unique ignoring case); -1 when there is none,
  // which the engine reports as an unknown identifier.
  int32_t FindMethod(NameId name) override;
  // No result type, then one VARIANT parameter per argument the method takes.
  const ParamList* MethodDeclaration(int32_t handle) override;
  // Calls the method (a property entry reads the property); null after a failure, which is
  // recorded on the calling script as error 32777 with the reason, or when the method gives no
  // value.
  ValuePtr CallMethod(int32_t handle, VariableList& args) override;
  int32_t MethodCount() override;

 private:
  ValuePtr Fail(const std::string& reason);

  automation::BusObject object_;
  // The declarations by parameter count; a map, so that the pointers handed out stay valid.
  std::map<std::size_t, ParamList> declarations_;
  ReplyConverter replies_;
};

}  // namespace quoll
