#pragma once
// Posted mouse and key input for a window, as the system would queue it. Posted input does not
// change the thread's key state: code that asks GetKeyState (Ctrl held?) sees the real keyboard.

#include <windows.h>

namespace tarnix::testhost {

enum class MouseButton { kLeft, kRight };

// Button down and up at a client point (with the button's MK_ flag on the down message).
bool PostClick(HWND window, POINT client, MouseButton button = MouseButton::kLeft);
// Down, up, double-click message, up: the sequence of a double click.
bool PostDoubleClick(HWND window, POINT client);
bool PostMouseMove(HWND window, POINT client, WPARAM keys = 0);
bool PostMouse(HWND window, UINT message, POINT client, WPARAM keys);

// The lParam of a key message: repeat count 1, the key's scan code, bit 29 for alt, bits 30
// and 31 for a release.
LPARAM KeyLParam(UINT virtualKey, bool release, bool alt);
// WM_KEYDOWN then WM_KEYUP (WM_SYSKEYDOWN/UP with alt, lParam bit 29 set).
bool PostKey(HWND window, UINT virtualKey, bool alt = false);
bool PostKeyDown(HWND window, UINT virtualKey, bool alt = false);

}  // namespace tarnix::testhost
