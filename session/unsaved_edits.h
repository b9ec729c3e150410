#pragma once
// Saving on the user's behalf without losing the edit: a save that fails is reported with the
// system's reason, and the edit that would otherwise be given up is kept in a recovery file
// beside the list and saved into place once the list can be written.

#include <cstdint>

#include "tracklist/replacing_write.h"
#include "tracklist/text_string.h"

namespace tarnix {

class TrackList;

// "Couldn't save <path>" and the system's reason on the next line.
TextString SaveFailureText(const TextString& path, const WriteResult& result);

// Saves the list to `path`. On failure reports it; the list stays modified and in memory.
bool SaveListOrReport(TrackList& list, const TextString& path);
// Saves the list to `path` before it is given up. On failure keeps the edit (recovery file and a
// later save) and reports both the failure and where the edit is.
bool SaveListOrKeep(TrackList& list, const TextString& path);
// Keeps an edit nobody could be asked about (quit came) in its recovery file, unsaved: the next
// start takes it up and saves it into place as it does for a held file's.
void KeepEditForNextStart(const TrackList& list, const TextString& path);
// Saves the kept edits whose lists can be written now (one attempt each, no waiting).
void SaveWaitingEdits();
// Takes up the edits an earlier run kept in recovery files in the bookmark directory and the
// fallback directory: they are saved with the edits of this run.
void AdoptRecoveredEdits();
// Loads the list stored at `path` as TrackList::Load does, or the edit of it that is kept and not
// yet written: a list is shown as it was last edited, so that the next edit builds on that one.
bool LoadListOrKeptEdit(TrackList& list, const TextString& path, const TextString& title, int32_t cdKey,
                        uint32_t cddbId, bool alreadyMatched);

}  // namespace tarnix
