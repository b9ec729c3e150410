#pragma once
// The subtracks a played file already carries, looked for at a song change when no stored list
// was found: a cue sheet beside the file first, then a chapter file beside it, then chapters
// inside it.

#include "tracklist/text_string.h"
#include "tracklist/track_list.h"

namespace tarnix {

// Replaces `list` by the imported list of the file at `playedPath` (the player's full path)
// and returns true; returns false, `list` unchanged, when no source gives a subtrack or
// the file can't be read. Reads are bounded: a large file costs a few seeks, not a pass.
bool ImportSubtracks(const TextString& playedPath, const TextString& title, TrackList* list);

}  // namespace tarnix
