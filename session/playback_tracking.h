#pragma once
// Keeping the plug-in in step with the player: the 500 ms timer tick (song changes, the current
// row, the next boundary), the title refresh and the subsong source's announcements. Showing the
// window beside the player and the hook filter are in session/player_following.h.

#include <windows.h>

#include <cstdint>

namespace tarnix {

class Plugin;
class Player;

void TimerTick(Plugin& plugin);
// One look at the player at once, for a command that acts on the playing row: the listener may
// have moved playback since the last tick, and tracking may be paused (the window hidden and
// "Popup if bookmarks are found" off), when there is no tick at all.
void CatchUpWithPlayer(Plugin& plugin);
bool RefreshTitle(Plugin& plugin, bool redraw);
// The same for the playlist entry `pos` the caller has just asked the player for.
bool RefreshTitleAt(Plugin& plugin, const Player& player, int pos, bool redraw);
// Takes only the window procedure's copy of a record (the playback state's subsongRecord).
void OnSubsongInfo(Plugin& plugin, const uint32_t* record);
void ApplyTrackNames(Plugin& plugin);
// Selects the current row from the playing position; returns the next timer interval in ms.
int32_t UpdateCurrentEntry(Plugin& plugin);

// The handlers of UM_APPLY_SUBSONG_CHANGED and UM_REPEAT_END.
void OnSubsongChanged(Plugin& plugin, WPARAM subsong);
void OnRepeatEnd(Plugin& plugin);

}  // namespace tarnix
