#pragma once
// The UI thread's message loop, which routes the messages of the plug-in window and of the thread
// itself (dialogs, the frame, keys, commands, the timer and the private messages) instead of
// dispatching them (the reasons open plugin/message_loop.cpp). The window procedure is in
// plugin/plugin_window.h.

#include <windows.h>

namespace tarnix {

// Runs until UM_QUIT, WM_QUIT or a failed read. Throws what a handler threw, and
// CallbackFailure when a callback recorded a failure.
void RunMessageLoop();
// One message as the loop handles it: false when it ends the loop (UM_QUIT, after the save
// question). Throws CallbackFailure when a callback failed while it was handled.
bool HandleLoopMessage(const MSG& msg);
// One message as the loop handles it after the quit check.
void RouteMessage(const MSG& msg);

// Thrown by the loop when a callback caught a failure and handed it over.
struct CallbackFailure {};

}  // namespace tarnix
