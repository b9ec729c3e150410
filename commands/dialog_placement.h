#pragma once
// Placing the plug-in's dialogs next to its window.

#include <windows.h>

namespace tarnix {

// Shows a dialog next to the plug-in window `beside` (below it, or above when there is no room).
void PlaceDialog(HWND dialog, HWND beside);
// Where PlaceDialog puts a dialog of rectangle `dialog` for the plug-in window at `plugin` on
// the screen `screen`: centred below the window (above it when the room below is too small),
// then moved as little as needed to lie on the screen.
POINT DialogPosition(const RECT& plugin, const RECT& dialog, const RECT& screen);

}  // namespace tarnix
