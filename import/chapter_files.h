#pragma once
// The chapter files audiobook and podcast tools keep beside a recording: a plain list of times
// and titles, ffmpeg's metadata file, and the JSON chapters podcasts publish. Their text is
// UTF-8, with or without a byte order mark, or else the ANSI code page.

#include <cstddef>
#include <string>
#include <string_view>

#include "import/chapter.h"

namespace tarnix {

// Larger chapter files are not read at all.
constexpr size_t kMaxChapterFileBytes = 1024 * 1024;

enum class ChapterFileForm {
  kPlainText,    // "<name>.chapters.txt": a time (H:MM:SS, HH:MM:SS.mmm or MM:SS), a dash perhaps, the title
  kFfmetadata,   // "<name>.ffmetadata": ";FFMETADATA1", [CHAPTER] sections with TIMEBASE, START, title
  kPodcastJson,  // "<name>.chapters.json": chapters[].startTime in seconds and title; "toc": false left out
};

// The file's bytes as UTF-8, read as a cue sheet is: a byte order mark decides (UTF-8, UTF-16
// LE or BE), else valid UTF-8 is UTF-8, else the text is in the ANSI code page.
std::string ChapterFileText(std::string_view bytes);

// True with `out` filled when the bytes hold at least one chapter in that form; false, `out`
// empty, for a file that is malformed, too large or has none.
bool ParseChapterFile(ChapterFileForm form, std::string_view bytes, ChapterSet* out);

// The plain form's time at the start of `text` in milliseconds, and where the title begins;
// false when the text does not start with one.
bool ParsePlainTextTime(std::string_view text, int64_t* ms, size_t* titleAt);

// The length of the dash ("-" or "–") that starts `text` when a blank or the end follows it,
// which the plain form reads as the separator between the time and the name; else 0.
size_t SeparatorDashLength(std::string_view text);

// The JSON form (podcast_chapters.cpp), given text already in UTF-8.
bool ParsePodcastChapters(std::string_view utf8, ChapterSet* out);

}  // namespace tarnix
