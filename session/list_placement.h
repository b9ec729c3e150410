#pragma once
// Where the list sits in the plug-in window: below the title line while that is shown.

#include <windows.h>

namespace tarnix {

class Plugin;

// The frame's resize hook: puts the list below the title line while the title is shown.
void PlaceListBelowTitle(Plugin& plugin, const RECT& content);
// Puts the list below the title line or back to its full height, by the options.
void PlaceList(Plugin& plugin);

}  // namespace tarnix
