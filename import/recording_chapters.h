#pragma once
// A track's subtracks as the chapters of its recording, and the writer for whatever the recording
// is: MP3 (ID3v2), MP4/M4A/M4B, FLAC, Ogg Vorbis, Opus, Matroska and WebM. The format is told by
// the file's first bytes, never by its name.

#include <string>

#include "import/chapter_embedding.h"
#include "tracklist/track_list.h"

namespace tarnix {

// The chapters of track `trackIndex` (0-based) of a list made for one plain file: one per
// subtrack, its start and its name. False, with `reason` for the listener, for a list of a CD or
// of subsongs, a list of several tracks, or a track that does not exist.
bool MakeChaptersToEmbed(const TrackList& list, int trackIndex, int64_t lengthMs, ChaptersToEmbed* out,
                         std::string* reason);

// Writes `chapters` into the recording `original` with the writer of its format; kNotThisFormat
// when no writer knows it.
EmbedResult WriteRecordingChapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out);

}  // namespace tarnix
