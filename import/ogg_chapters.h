#pragma once
// Chapters of an Ogg Vorbis or Opus file: the "CHAPTERnnn" comments of its comment header
// ("\x03vorbis" or "OpusTags"), the second packet of the first stream, which may span pages.

#include "import/byte_source.h"
#include "import/chapter.h"

namespace tarnix {

// True when at least one chapter (or an embedded cue sheet) was found.
bool ReadOggChapters(ByteSource& source, ChapterSet* out);

}  // namespace tarnix
