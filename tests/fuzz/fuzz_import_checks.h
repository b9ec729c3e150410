#pragma once
// Checks shared by the import fuzz targets: what every ChapterSet and every imported list must
// be, whatever the input was. A broken rule stops the run.

#include "import/chapter.h"
#include "tracklist/track_list.h"

namespace tarnix::fuzz {

// Bounds of the set a reader returned; names valid UTF-8 of at most 255 characters.
void CheckChapterSet(const ChapterSet& set);
// The list made from the set: one track, in time order, bounded, named rows, not modified.
// Returns it for further checks.
TrackList CheckImportedList(const ChapterSet& set);
// Exports the list as a cue sheet, reads it back and requires the same names and frames.
void CheckCueRoundTrip(const TrackList& list);

}  // namespace tarnix::fuzz
