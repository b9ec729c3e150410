#pragma once
// The subsong source's announcements as the plug-in window receives them. A source sends
// UM_SUBSONG_INFO and UM_SET_TRACK_NAME; the window procedure takes what it needs at once and
// posts the same message, and the loop applies it later (session/playback_tracking.h).

#include <windows.h>

namespace tarnix {

class Plugin;

// A sent UM_SUBSONG_INFO: copies the record (wParam) into the playback state and posts it.
LRESULT TakeSubsongRecord(Plugin& plugin, WPARAM wParam, LPARAM lParam);
// A sent UM_SET_TRACK_NAME: keeps the name (lParam) for the 0-based index and posts.
LRESULT TakeTrackName(Plugin& plugin, WPARAM index, LPARAM lParam);
// The loop's UM_SET_TRACK_NAME: waits until the names stop coming, then applies them all.
void ApplyTrackNamesWhenSettled();

}  // namespace tarnix
