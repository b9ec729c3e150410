#pragma once
// Connecting the track list with its .trk files in the bookmark directory on the user's
// behalf: the save question before a list is replaced, the default file name, the search for
// the stored list of a newly played file or CD, and the bookmark directory check.

#include "tracklist/text_string.h"

namespace tarnix {

void SaveIfModified();
// The file name proposed for the current list (never leaves the bookmark directory).
TextString DefaultFileName();
TextString SavePath();
bool FindTrackList(const TextString& title, const TextString& fileName);
bool FindCdTrackList(int32_t cdKey, uint32_t cddbId);
bool CheckBookmarkDirectory(bool warn);
// The index of the bookmark directory: read at start-up (ignored when it belongs to another
// directory, another version, or is damaged), written when it changed, started afresh when the
// bookmark directory changes.
void LoadBookmarkIndex();
void SaveBookmarkIndex();
void StartBookmarkIndex();

}  // namespace tarnix
