#pragma once
// The two chapter forms the MP4 writer puts into a movie, as bytes: the QuickTime chapter track
// (a disabled text track, one sample and one timing entry per chapter), which Apple's players
// and most others read, and the Nero list "chpl", which older players read.

#include <cstdint>
#include <string>
#include <vector>

#include "import/chapter.h"
#include "import/mp4_box_tree.h"

namespace tarnix {

// The Nero list counts its chapters in one byte.
constexpr size_t kMaxNeroChapters = 255;

// The chapters with how long each lasts, in milliseconds; the first starts at 0.
struct Mp4ChapterTiming {
  std::vector<Chapter> chapters;
  std::vector<uint32_t> durationsMs;
};

// The text samples, one after the other: a 16-bit length, the UTF-8 text, then an "encd" box
// that says the text is UTF-8 (what Apple's files and the common writers carry). `sizes` gets
// each sample's size.
std::string Mp4ChapterSamples(const std::vector<Chapter>& chapters, std::vector<uint32_t>* sizes);

struct Mp4ChapterTrackPlace {
  uint32_t trackId = 0;
  uint32_t movieTimescale = 1000;
  uint64_t created = 0;  // the movie's times, in seconds since 1904
  uint64_t modified = 0;
  uint64_t samplesAt = 0;  // where the samples lie in the new file: one chunk
};

// The "trak" box of the chapter track.
Mp4Node Mp4ChapterTrak(const Mp4ChapterTiming& timing, const std::vector<uint32_t>& sampleSizes,
                       const Mp4ChapterTrackPlace& place);

// The Nero list, version 1 (starts in 100 ns units), names cut to 255 bytes between characters;
// at most kMaxNeroChapters chapters.
Mp4Node Mp4NeroChapters(const std::vector<Chapter>& chapters);

}  // namespace tarnix
