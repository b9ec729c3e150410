#pragma once
// Chapters of a FLAC stream (after up to four ID3v2 tags): "CHAPTERnnn" Vorbis
// comments, else the tracks of its CUESHEET metadata block (at the stream's sample rate, the
// lead-out left out); a "CUESHEET" comment goes to ChapterSet::embeddedCueSheet.

#include "import/byte_source.h"
#include "import/chapter.h"

namespace tarnix {

// True when chapters or an embedded cue sheet were found.
bool ReadFlacChapters(ByteSource& source, ChapterSet* out);

}  // namespace tarnix
