#pragma once
// Keeping the plug-in in step with the player: the 500 ms timer tick (song changes, the current
// row, the next boundary), the title refresh, the subsong source's announcements, showing the
// window beside the player, and the filter of the two hooks on the player's thread.

#include <windows.h>

#include <cstdint>

namespace tarnix {

class Player;

void TimerTick();
bool RefreshTitle(bool redraw);
// The same for the playlist entry `pos` the caller has just asked the player for.
bool RefreshTitleAt(const Player& player, int pos, bool redraw);
// Takes only the window procedure's copy of a record (g_state.subsongRecord).
void OnSubsongInfo(const uint32_t* record);
void ApplyTrackNames();
// Selects the current row from the playing position; returns the next timer interval in ms.
int32_t UpdateCurrentEntry();
void ShowBesidePlayer(UINT flags);
void FollowPlayer(bool force);
// Asks the loop for a timer tick at once (UM_TICK_NOW); from any thread, never waits.
void RequestTick();
// Runs on the player's thread for both hooks; only reads single words and posts.
void PlayerHookFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The loop's handlers of UM_SUBSONG_CHANGED and UM_REPEAT_END.
void OnSubsongChanged(WPARAM subsong);
void OnRepeatEnd();

}  // namespace tarnix
