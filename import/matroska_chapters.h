#pragma once
// Chapters of a Matroska or WebM file (.mka, .mkv, .webm): the "Chapters" element of the
// segment, found among the top-level elements before the first cluster or, when it sits after
// the clusters, through the SeekHead; the clusters themselves are never walked. Of its editions
// the default one is read (else the first); its chapter atoms, nested ones included, give their
// start time and the string of their first display. Hidden and disabled atoms are left out with
// the atoms inside them. Album and artist come from the "Tags" element, found the same way:
// "TITLE" (else ffmpeg's "ALBUM") of the album level, and "ARTIST" of the album level, else of
// the track level, else "ALBUM_ARTIST".

#include "import/byte_source.h"
#include "import/chapter.h"

namespace tarnix {

// True when at least one chapter was found; tags alone give nothing and are not read then. A file
// costs a few reads whatever its length: the elements before the first cluster (mostly within
// one read-ahead of a file source) and the Chapters and Tags the SeekHead names.
bool ReadMatroskaChapters(ByteSource& source, ChapterSet* out);

}  // namespace tarnix
