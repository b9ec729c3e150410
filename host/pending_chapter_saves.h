#pragma once
// Chapter saves that waited for the player to let go of a recording when the player quit: kept in
// a small file in the store directory, one line a save, and tried again at the next start. A line
// is the recording's path, the track's name, the length in milliseconds and then a time and a name
// per chapter, separated by tabs; each text in the ASCII spelling of tracklist/ascii_escape.h, so that
// no tab or line break stands inside one. A line that does not read back whole is dropped.

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
