#pragma once
// The subsong source's announcements as the plug-in window receives them. A source sends
// UM_SUBSONG_INFO, UM_SUBSONG_CHANGED and UM_SET_TRACK_NAME; the window procedure takes what the
// message carries at once and posts the deferred work under an id of the plug-in's own
// (UM_APPLY_*, host/player_codes.h), which it handles when a loop dispatches it
// (session/playback_tracking.h applies it). A source's id that arrives posted is taken the same
// way: what it carries is all that counts.

#include <windows.h>

namespace tarnix {

class Plugin;

// UM_SUBSONG_INFO: copies the record (wParam) into the playback state; posts
// UM_APPLY_SUBSONG_INFO.
LRESULT TakeSubsongRecord(Plugin& plugin, WPARAM wParam, LPARAM lParam);
// UM_SUBSONG_CHANGED: posts UM_APPLY_SUBSONG_CHANGED with the 0-based subsong (wParam).
LRESULT TakeSubsongChange(Plugin& plugin, WPARAM subsong);
// UM_SET_TRACK_NAME: keeps the name (lParam) for the 0-based index; posts UM_APPLY_TRACK_NAMES.
LRESULT TakeTrackName(Plugin& plugin, WPARAM index, LPARAM lParam);
// UM_APPLY_TRACK_NAMES: waits until the names stop coming, then applies them all.
void ApplyTrackNamesWhenSettled();

}  // namespace tarnix
