#pragma once
// Editing the track list: inserting and deleting subtracks, the modeless "Edit subtrack" dialog with its
// minutes/seconds/frames fields, and the track dialog for the track name, album and artist.

#include <windows.h>

#include <cstdint>

#include "session/rows.h"
#include "tracklist/item_id.h"
#include "tracklist/text_string.h"

namespace tarnix {

// What the dialogs show is the Plugin's EditingState (host/plugin.h).

void InsertSubtrack(ItemId reference);
void DeleteSubtrack();

void OpenSubtrackDialog();
void FillSubtrackDialog(ItemId item, int excludedField);  // excludedField 0: none
void ApplySubtrackDialog();
void RefreshSubtrackDialog(int excludedField);
void SetToCurrentTime();
void OnListSelectionChanged();  // the list view's callback
// UDN_DELTAPOS from a control of "Edit subtrack"; returns the dialog procedure's answer.
INT_PTR HandleSubtrackUpDown(const NMHDR* header);
// WM_COMMAND from "Edit subtrack" (IDOK, IDCANCEL, buttons, EN_CHANGE).
void HandleSubtrackCommand(WPARAM wParam, LPARAM lParam);
void CloseSubtrackDialog();
// After the list was replaced: shows the selected row's subtrack without applying the fields,
// which belong to the list that is gone.
void ReloadSubtrackDialog();

void OpenTrackDialog();
void CloseTrackDialog(bool apply);
// Shows the open editing dialogs again for the list that replaced the one they showed.
void RefreshEditingDialogs();

}  // namespace tarnix
