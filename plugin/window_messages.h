#pragma once
// What the plug-in window does with each message, sent or dispatched by whichever loop took it
// (the plug-in's own, a popup menu's, a file dialog's): the frame's mouse, painting and focus,
// keys and commands through the command table, the timer, the private messages, the subsong
// source's sends and queries, and quit. The window procedure (plugin/plugin_window.h) runs it
// under the callback guard.

#include <windows.h>

namespace tarnix {

class Plugin;

// False leaves the message to the default procedure; *result is the answer otherwise.
bool HandleWindowMessage(Plugin& plugin, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace tarnix
