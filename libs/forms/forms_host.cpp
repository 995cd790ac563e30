// The forms library on a script host. The engines of a host's runs carry the host as their
// identity, so a control's script leads to the host whose run state tells whether it is paused.
#include "libs/forms/forms_host.h"

#include "libs/forms/forms_library.h"

namespace quoll::forms {

void AddFormsLibrary(ScriptHost& host) {
  host.AddLibrary(LibraryStep::Forms, RegisterForms);
  host.AddLibrary(LibraryStep::Controls, RegisterControls);
  SetPausedQuery([](ScriptEngine& script) {
    auto* owner = static_cast<ScriptHost*>(script.HostIdentity());
    return owner && owner->State() == RunState::Paused;
  });
}

}  // namespace quoll::forms
