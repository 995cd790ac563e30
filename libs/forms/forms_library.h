// The forms and controls library for scripts: TControl, TForm, ProcessMessages, TButton, TEdit,
// TLabel and TMemo over native controls of a Toolkit. Plain C++: the toolkit is handed in by the
// program, or loaded by a loader when a script first makes a control.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/script_engine.h"
#include "libs/forms/native_control.h"

namespace quoll::forms {

// The host's two registration steps: the font style constants, the event types, TControl,
// ProcessMessages, the border constants and TForm; then the standard controls.
void RegisterForms(ScriptEngine& script);
void RegisterControls(ScriptEngine& script);

// Makes the toolkit on first need; on failure returns nullptr with the reason in `error`.
using ToolkitLoader = std::unique_ptr<Toolkit> (*)(std::string& error);
// The toolkit every control is made with from now on (the workbench has one from the start).
void UseToolkit(std::unique_ptr<Toolkit> toolkit);
// Or a loader that makes it when a script first makes a control (quoll-run).
void UseToolkitLoader(ToolkitLoader loader);
// Frees the toolkit; the program's end, after the last run's clean-up freed every control.
void ReleaseToolkit();
// Whether the toolkit runs (a control was made, or the program handed one in).
bool ToolkitStarted();

// Tells whether the run of a script is paused; while it is, user input to that script's windows
// is held back, so that none of its handlers runs. Unset: never paused.
void SetPausedQuery(std::function<bool(ScriptEngine&)> paused);

// How many controls exist (tests: a run's clean-up leaves none).
size_t LiveControlCount();

}  // namespace quoll::forms
