#pragma once
// What every importer gives back: the positions a recording already carries (a cue sheet, the
// chapters of a tag or a container, a pasted tracklist), before they become a track list.
// Texts are UTF-8 here; the conversion to the plug-in's code page happens once, when the list
// is made.

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

// Bounds that keep absurd input harmless; the list keeps at most this many subtracks.
constexpr size_t kMaxImportedChapters = 999;
constexpr size_t kMaxImportedNameBytes = 255 * 4;  // 255 characters of up to four UTF-8 bytes

struct Chapter {
  int64_t timeMs = 0;  // from the start of the file; readers never give a negative time
  std::string name;    // UTF-8; empty when the source names none
};

struct ChapterSet {
  std::vector<Chapter> chapters;  // in the source's order; the list maker sorts them
  std::string album;              // UTF-8; empty when the source has none
  std::string artist;
  // A FLAC "CUESHEET" comment: a whole cue sheet carried in the tags, read by the cue rules.
  std::string embeddedCueSheet;

  bool Empty() const { return chapters.empty(); }
};

}  // namespace tarnix
