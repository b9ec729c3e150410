#pragma once
// The UI thread's message loop: it takes each message, lets the plug-in's four modeless dialogs
// have theirs, and dispatches the rest. It handles nothing itself, so a message is handled the
// same way whichever loop dispatches it (plugin/plugin_window.h).

#include <windows.h>

namespace tarnix {

// Runs until quit reached the plug-in window (then saves or keeps a changed list, unasked:
// plugin/quit_at_once.h), WM_QUIT, or a failed read. Throws CallbackFailure when a callback
// caught a failure and handed it over.
void RunMessageLoop();
// One message as the loop handles it: false when quit arrived while it was handled (after the
// changed list was dealt with). Throws CallbackFailure when a callback failed meanwhile.
bool HandleLoopMessage(const MSG& msg);

// Thrown by the loop when a callback caught a failure and handed it over.
struct CallbackFailure {};

}  // namespace tarnix
