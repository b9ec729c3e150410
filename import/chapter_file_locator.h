#pragma once
// Finds the chapter files kept beside a played file and reads the first that gives chapters.

#include "import/chapter.h"
#include "tracklist/text_string.h"

namespace tarnix {

// `playedPath` is the full path the player gives. Tries, in the file's folder, named after the
// file without its extension, "<name>.chapters.txt", then "<name>.ffmetadata", then
// "<name>.chapters.json". True with `out` filled from the first that gives a chapter.
bool FindChapterFile(const TextString& playedPath, ChapterSet* out);

}  // namespace tarnix
