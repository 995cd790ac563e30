// Automation objects as the engine sees them: the method table, and calls with their failures.
#include "libs/automation/script/automation_object.h"

#include <exception>
#include <vector>

#include "engine/script_engine.h"
#include "libs/automation/bus_error.h"
#include "libs/automation/script/error_texts.h"

namespace quoll {

namespace {

using automation::BusError;
using automation::BusErrorKind;
using automation::BusMember;

// Parameters need distinct names only to be entries of the argument list: P1, P2, ...
ParamList VariantParameters(Type* variant, std::size_t count) {
  ParamList decl;  // no result type: the call hands back what the reply holds
  decl.params.reserve(count);
  for (std::size_t i = 1; i <= count; ++i) {
    decl.params.push_back({InternUpper("P" + std::to_string(i)), ParamMode::Value, variant});
  }
  return decl;
}

}  // namespace

AutomationObject::AutomationObject(ScriptEngine* owner, automation::BusObject object)
    : NativeObject(owner), object_(std::move(object)), replies_(*owner) {
  // Every parameter has the anonymous VARIANT type, which the type list hands back as the
  // script's own VARIANT.
  Type* variant = owner->Types().Add(kNoName, TypeCode::Variant);
  for (const BusMember& member : object_.methods().members()) {
    const std::size_t count = member.in_signatures.size();
    if (!declarations_.count(count)) declarations_.emplace(count, VariantParameters(variant, count));
  }
}

int32_t AutomationObject::FindMethod(NameId name) {
  const BusMember* member = object_.methods().Find(NameText(name));
  return member ? static_cast<int32_t>(member - object_.methods().members().data()) : -1;
}

const ParamList* AutomationObject::MethodDeclaration(int32_t handle) {
  if (handle < 0 || handle >= MethodCount()) return nullptr;
  const BusMember& member = object_.methods().members()[static_cast<std::size_t>(handle)];
  return &declarations_.at(member.in_signatures.size());
}

int32_t AutomationObject::MethodCount() {
  return static_cast<int32_t>(object_.methods().members().size());
}

ValuePtr AutomationObject::CallMethod(int32_t handle, VariableList& args) {
  if (handle < 0 || handle >= MethodCount()) return Fail(kMethodNotFound);
  const BusMember& member = object_.methods().members()[static_cast<std::size_t>(handle)];
  try {
    std::vector<automation::CallArgument> arguments;
    arguments.reserve(static_cast<std::size_t>(args.Count()));
    for (int i = 0; i < args.Count(); ++i) {
      std::optional<automation::CallArgument> argument = ToCallArgument(*args.Get(i));
      if (!argument) return Fail(kParameterNotConverted);
      arguments.push_back(std::move(*argument));
    }
    const std::vector<automation::BusValue> reply = object_.Call(member, arguments);
    ValuePtr result;
    if (!replies_.Convert(reply, result)) return Fail(kResultNotConverted);
    return result;
  } catch (const BusError& e) {
    switch (e.kind()) {
      case BusErrorKind::Argument:
        return Fail(kParameterNotConverted);
      case BusErrorKind::Call:
        return Fail(CallFailedText(e));
      case BusErrorKind::Reply:
        return Fail(kResultNotConverted);
      default:
        return Fail(kCallError);
    }
  } catch (const std::exception&) {
    return Fail(kCallError);
  }
}

ValuePtr AutomationObject::Fail(const std::string& reason) {
  Caller()->SetErrorParam(ErrorCode::Custom, reason);
  return nullptr;
}

}  // namespace quoll
