#pragma once
// Chapter saves that waited for the player to let go of a recording when the player quit: kept in
// a small file in the store directory, one line a save, and tried again at the next start. A line
// is the recording's path, the track's name, the length in milliseconds and then a time and a name
// per chapter, separated by tabs; a tab, a line break or a backslash inside a text is written as
// "\t", "\n", "\r" or "\\". A line that does not read back whole is dropped, never guessed at.

#include <string>
#include <vector>

#include "import/chapter_embedding.h"

namespace tarnix {

struct ChapterSave {
  std::string path;  // UTF-8
  ChaptersToEmbed chapters;
};

std::string FormatPendingChapterSaves(const std::vector<ChapterSave>& saves);
std::vector<ChapterSave> ParsePendingChapterSaves(const std::string& text);

}  // namespace tarnix
