#pragma once
// Reads the subtracks of one played file out of a cue sheet: the tracks of the FILE block that
// names the file, at their INDEX 01 times, with the sheet's title and performer as album and
// artist.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "import/chapter.h"
#include "import/cue_encoding.h"

namespace tarnix {

// Larger sheets are not read at all.
constexpr size_t kMaxCueSheetBytes = 1024 * 1024;

// Parses the sheet's bytes (read as DecodeCueSheet reads them, with `exists` telling which
// files lie beside it) for the file named `playedFileNameUtf8` (a name or a path; only its
// file-name part counts, letter case ignored). A sheet `foundByName` (named after the played file) whose only
// FILE block names some other file is used all the same: rips are often converted after the
// sheet was written. True with `out` filled when at least one subtrack was found; false, with
// `out` empty, for a sheet that is malformed, too large or has nothing for this file.
bool ParseCueSheet(std::string_view bytes, std::string_view playedFileNameUtf8, bool foundByName, ChapterSet* out,
                   const CueFileCheck& exists = CueFileCheck());

// The values of the FILE lines of a sheet's text, in order.
std::vector<std::string> CueFileNames(std::string_view text);

}  // namespace tarnix
