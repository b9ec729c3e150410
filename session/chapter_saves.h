#pragma once
// Saving chapters into the playing recording, as the UI thread sees it: starting the save,
// showing its progress in the title, finishing it when its thread posts its end, and trying a
// save again that the player kept from being done (it held the file) once the player lets go:
// at the next song change, at Stop, and at the next start for saves kept across a quit.

#include <windows.h>

#include "host/plugin.h"

namespace tarnix {

// Starts the save, or says why not (one runs already).
void StartChapterSave(Plugin& plugin, ChapterSave save);
// UM_APPLY_CHAPTERS_PROGRESS and UM_APPLY_CHAPTERS_SAVED.
void OnChapterSaveProgress(Plugin& plugin, WPARAM percent);
void OnChapterSaveEnded(Plugin& plugin);
// Starts the oldest waiting save when none runs (song change, Stop, start-up).
void RetryWaitingChapterSaves(Plugin& plugin);
// At each playback check: a waiting save is tried again when playback has stopped.
void RetryWaitingChapterSavesWhenStopped(Plugin& plugin, bool playing);
// The mark the title carries while a save of the playing file waits; empty otherwise.
TextString WaitingChapterSaveMark(const Plugin& plugin);
// Start-up takes the saves kept at the last quit; quit stops a running save and keeps the waiting.
void AdoptKeptChapterSaves(Plugin& plugin);
void KeepChapterSavesAtQuit(Plugin& plugin);

}  // namespace tarnix
