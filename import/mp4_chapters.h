#pragma once
// Chapters of an MP4 (M4A, M4B, MOV) file: the QuickTime chapter track (a text track that
// another track's "tref/chap" names; times from its sample table, names from its samples),
// else the Nero chapter list "moov/udta/chpl" (times in 100 ns units). Album and artist come
// from "moov/udta/meta/ilst". "moov" may come after the media data: boxes are stepped over by
// their sizes, never read through.

#include "import/byte_source.h"
#include "import/chapter.h"

namespace tarnix {

// True when at least one chapter was found.
bool ReadMp4Chapters(ByteSource& source, ChapterSet* out);

}  // namespace tarnix
