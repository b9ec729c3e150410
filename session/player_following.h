#pragma once
// Showing the plug-in window beside the player, and the filter of the two hooks on the player's
// thread, which turns what happens at the player's main window into private messages.

#include <windows.h>

namespace tarnix {

class Plugin;

// Places the window beside the player (when docked) and shows it; a window that was hidden
// gets a timer tick at once. UI thread.
void ShowBesidePlayer(Plugin& plugin, UINT flags);
// Hides the plug-in window (the close button, Ctrl+F4, UM_HIDE_WINDOW, the hot key).
void HidePluginWindow(Plugin& plugin);
// Hides the shown window, or shows it beside the player without activating it.
void ToggleWindowWithoutFocus(Plugin& plugin);
// ShowBesidePlayer for a shown window, when forced or when the player is in the foreground.
void FollowPlayer(Plugin& plugin, bool force);
// Asks the loop for a timer tick at once (UM_TICK_NOW); from any thread, never waits.
void RequestTick();
// Runs on the player's thread for both hooks; only reads Shared() and posts.
void PlayerHookFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tarnix
