#pragma once
// Reads a tracklist copied as text (from a web page, a video description, a forum post) into
// subtracks: every line that carries one time, at its start or at its end, is an entry.

#include <string>
#include <string_view>

#include "import/chapter.h"

namespace tarnix {

// Text beyond this size is not read.
constexpr size_t kMaxPastedTextBytes = 1024 * 1024;

// Parses UTF-8 text (anything that is not valid UTF-8 is read in the ANSI code page). A line counts when it carries a
// time [h:]mm:ss at its start (after an optional number such as "1." or "01)", optionally in brackets) or at its end
// (optionally in brackets); the rest of the line, trimmed of separators such as " - ", "|" and dashes, is the name. A
// time at the start wins over one at the end; other lines are skipped. True with `out` filled when at least two entries
// were found in order. Otherwise false with `reason` saying why in a sentence for the user; a time earlier than the
// entry before it fails the whole text, since such a list is most often one of durations rather than of positions.
bool ParsePastedTracklist(std::string_view textUtf8, ChapterSet* out, std::string* reason);

}  // namespace tarnix
