#pragma once
// Editing the track list: inserting and deleting subtracks, the modeless "Edit subtrack" dialog with its
// minutes/seconds/frames fields, and the track dialog for the track name, album and artist.

#include <windows.h>

#include <cstdint>

#include "session/rows.h"
#include "tracklist/item_id.h"
#include "tracklist/text_string.h"

namespace tarnix {

class Plugin;

// What the dialogs show is the Plugin's EditingState (host/plugin.h).

void InsertSubtrack(Plugin& plugin, ItemId reference);
// The global insert: a subtrack in the playing track at the playing time less the settings'
// markEarlier seconds (never before the track's start), its name saying so. Nothing while the
// player is stopped; the focus stays where it is.
void MarkPlayingTime(Plugin& plugin);
void DeleteSubtrack(Plugin& plugin);

void OpenSubtrackDialog(Plugin& plugin);
void FillSubtrackDialog(Plugin& plugin, ItemId item, int excludedField);  // excludedField 0: none
void ApplySubtrackDialog(Plugin& plugin);
void RefreshSubtrackDialog(Plugin& plugin, int excludedField);
void SetToCurrentTime(Plugin& plugin);
void OnListSelectionChanged(Plugin& plugin);  // the list view's callback
// UDN_DELTAPOS from a control of "Edit subtrack"; returns the dialog procedure's answer.
INT_PTR HandleSubtrackUpDown(Plugin& plugin, const NMHDR* header);
// WM_COMMAND from "Edit subtrack" (IDOK, IDCANCEL, buttons, EN_CHANGE).
void HandleSubtrackCommand(Plugin& plugin, WPARAM wParam, LPARAM lParam);
void CloseSubtrackDialog(Plugin& plugin);
// After the list was replaced: shows the selected row's subtrack without applying the fields,
// which belong to the list that is gone.
void ReloadSubtrackDialog(Plugin& plugin);

void OpenTrackDialog(Plugin& plugin);
void CloseTrackDialog(Plugin& plugin, bool apply);
// Shows the open editing dialogs again for the list that replaced the one they showed.
void RefreshEditingDialogs(Plugin& plugin);

}  // namespace tarnix
