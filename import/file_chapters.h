#pragma once
// The chapters a file carries inside it, whatever its format: the format is told by its first
// bytes (an ID3v2 tag, "fLaC", "OggS", an MP4 "ftyp" box, the EBML header of Matroska and
// WebM), never by its name.

#include "import/byte_source.h"
#include "import/chapter.h"

namespace tarnix {

// True when chapters (or a FLAC file's embedded cue sheet) were found; `out` is left as it was
// otherwise. Reads at most kMaxChapterReadBytes however large the file; a malformed file gives
// false, never a crash or a hang.
bool ReadFileChapters(ByteSource& source, ChapterSet* out);

}  // namespace tarnix
