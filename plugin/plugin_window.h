#pragma once
// The window procedure of the plug-in window, "TarnixPluginWindow", the one place its messages
// are handled, whether sent or dispatched by the plug-in's loop or by a modal loop.

#include <windows.h>

namespace tarnix {

LRESULT CALLBACK PluginWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tarnix
