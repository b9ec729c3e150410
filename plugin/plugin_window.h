#pragma once
// The window procedure of the plug-in window, "TarnixPluginWindow", which sees sent messages and
// what a modal loop dispatches.

#include <windows.h>

namespace tarnix {

LRESULT CALLBACK PluginWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tarnix
