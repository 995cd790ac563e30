// Adds the forms library to a script host: its two registration steps, and input to a script's
// windows held back while the host has the script paused.
#pragma once

#include "host/script_host.h"

namespace quoll::forms {

void AddFormsLibrary(ScriptHost& host);

}  // namespace quoll::forms
