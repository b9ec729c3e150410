#pragma once
// Writes one track of a list as the plain chapter file audiobook and podcast tools read
// ("<name>.chapters.txt"): UTF-8 without a byte order mark, one "HH:MM:SS.mmm Title" line per
// subtrack, the form the import reads back; "HH:MM:SS.mmm - Title" for a name that starts or ends
// with a blank, holds a tab or starts with a dash and a blank, so that it reads back whole.

#include <string>

#include "tracklist/track_list.h"

namespace tarnix {

// The bytes for track `trackIndex` (0-based) of a list made for one plain file, its start
// entry included. Names are written whole, in UTF-8, their control characters but tabs as
// spaces (a line holds one name). False, with `reason`
// for the user and `bytes` empty, for a list of a CD or of subsongs or a track that does not
// exist.
bool MakeChapterText(const TrackList& list, int trackIndex, std::string* bytes, std::string* reason);

}  // namespace tarnix
