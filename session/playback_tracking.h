#pragma once
// Keeping the plug-in in step with the player: the 500 ms timer tick (song changes, the current
// row, the next boundary), the title refresh and the subsong source's announcements. Showing the
// window beside the player and the hook filter are in session/player_following.h.

#include <windows.h>

#include <cstdint>

namespace tarnix {

class Player;

void TimerTick();
bool RefreshTitle(bool redraw);
// The same for the playlist entry `pos` the caller has just asked the player for.
bool RefreshTitleAt(const Player& player, int pos, bool redraw);
// Takes only the window procedure's copy of a record (ThePlugin().playback.subsongRecord).
void OnSubsongInfo(const uint32_t* record);
void ApplyTrackNames();
// Selects the current row from the playing position; returns the next timer interval in ms.
int32_t UpdateCurrentEntry();

// The handlers of UM_APPLY_SUBSONG_CHANGED and UM_REPEAT_END.
void OnSubsongChanged(WPARAM subsong);
void OnRepeatEnd();

}  // namespace tarnix
