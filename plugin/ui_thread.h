#pragma once
// The plug-in's own UI thread: its start-up, which makes the Plugin and builds the window, its
// menus, dialogs, hooks and widgets in a fixed order; the start-up steps that talk to the player,
// which run under the same guard as the loop; and the shutdown, which tears it all down in order.
// The thread runs them in turn; the in-process tests call them on their own thread.

#include <windows.h>

namespace tarnix {

class Plugin;

DWORD WINAPI UiThreadMain(void* parameter);

// Start-up up to the widgets, outside the guard: Shared().playerWindow and instance are set.
// Returns the Plugin it made, which the UI thread hands to everything it runs.
Plugin& StartUp();
// The start-up steps that talk to the player (skin, bookmark directory) and the 500 ms timer.
// Throws what a failed send throws.
void StartTracking(Plugin& plugin);
// Saves the settings, removes the hooks, destroys everything in order and the Plugin with it.
void ShutDown();

}  // namespace tarnix
