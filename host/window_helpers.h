#pragma once
// Small helpers around the plug-in window that the UI thread and the commands share.

#include <windows.h>

#include "tracklist/text_string.h"

namespace tarnix {

// Shows a dialog next to the plug-in window (below it, or above when there is no room).
void PlaceDialog(HWND dialog);
// Where PlaceDialog puts a dialog of rectangle `dialog` for the plug-in window at `plugin` on
// the screen `screen`: centred below the window (above it when the room below is too small),
// then moved as little as needed to lie on the screen.
POINT DialogPosition(const RECT& plugin, const RECT& dialog, const RECT& screen);
// b when a is empty, else a + " - " + b.
TextString JoinWithDash(const TextString& a, const TextString& b);
// The frame's resize hook: puts the list below the title line while the title is shown.
void PlaceListBelowTitle(const RECT& content);
// Puts the list below the title line or back to its full height, by the options.
void PlaceList();
// Hides the plug-in window (close button, Ctrl+F4, UM_HIDE_WINDOW).
void HidePluginWindow();

}  // namespace tarnix
