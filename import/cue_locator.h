#pragma once
// Finds the cue sheet beside a played file and reads its subtracks for that file.

#include "import/chapter.h"
#include "tracklist/text_string.h"

namespace tarnix {

// At most this many sheets of a folder are opened when looking for one whose FILE line names
// the played file.
constexpr int kMaxCueSheetsSearched = 64;

// `playedPath` is the full path the player gives ("\" separators, UTF-8). Tries, in the file's
// folder and ignoring letter case, "<name without extension>.cue", then "<file name>.cue",
// then the other ".cue" files there whose FILE line names the played file. True with `out`
// filled from the first sheet that gives at least one subtrack.
bool FindCueSheetChapters(const TextString& playedPath, ChapterSet* out);

}  // namespace tarnix
