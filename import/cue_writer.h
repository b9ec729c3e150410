#pragma once
// Writes one track of a list as a standard cue sheet that other players read: UTF-8 with a
// byte order mark, CR LF line ends, one FILE block for the played file.

#include <string>

#include "tracklist/text_string.h"
#include "tracklist/track_list.h"

namespace tarnix {

// The format numbers its tracks 01 to 99.
constexpr int kMaxCueTracks = 99;

// The sheet's FILE type for a played file: "MP3", "AIFF", or "WAVE" for everything else
// (players take WAVE to mean any audio they can decode).
const char* CueFileType(const TextString& playedPath);

// The bytes of a sheet for track `trackIndex` (0-based) of a list made for one plain file:
// the list's album as TITLE, its artist as PERFORMER, a FILE line naming the played file (its
// name only, as the sheet goes beside it), then one TRACK with TITLE and INDEX 01 per
// subtrack. Names and the file name are written whole. False, with `reason` for
// the user and `bytes` empty, for a list of a CD or of subsongs, a track that does not exist,
// or more than kMaxCueTracks subtracks.
bool MakeCueSheet(const TrackList& list, int trackIndex, const TextString& playedPath, std::string* bytes,
                  std::string* reason);

}  // namespace tarnix
