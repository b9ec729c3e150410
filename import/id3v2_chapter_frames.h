#pragma once
// The ID3v2 frames that carry chapters (the "ID3v2 Chapter Frame Addendum"): a "CHAP" frame per
// chapter ("chp0", "chp1"...: start and end in milliseconds, no byte offsets, the name in an
// embedded "TIT2") and a top-level, ordered "CTOC" table ("toc") that lists them. A table holds
// at most 255 entries, so more chapters go into ordered child tables ("toc0", "toc1"...) of 255
// each, which the top-level table lists in order.

#include <cstdint>
#include <string>
#include <string_view>

#include "import/chapter_embedding.h"

namespace tarnix {

// How many chapters the two levels of tables can list.
constexpr size_t kMaxId3v2Chapters = 255 * 255;

// A 28-bit size as ID3v2 writes it: four bytes of seven bits each, most significant first.
std::string Id3v2Synchsafe(uint32_t size);

// A frame header and `data` for ID3v2.`version` (3 or 4: 2.4 sizes are synchsafe).
std::string Id3v2Frame(std::string_view id, std::string_view data, int version);

// A text frame's data: ISO-8859-1 when every character fits, else UTF-16 with a byte order mark
// in 2.3 and UTF-8 in 2.4. Bytes that are not UTF-8 count as U+FFFD.
std::string Id3v2TextData(std::string_view utf8, int version);

// The tables and then the chapter frames, in time order. Each chapter ends where the next one
// starts; the last at `lastEndMs` (or at its start, when that is earlier). False, with the
// reason, when a time does not fit the frames' 32 bits or there are too many chapters.
bool BuildId3v2ChapterFrames(const ChaptersToEmbed& chapters, int64_t lastEndMs, int version, std::string* out,
                             std::string* reason);

}  // namespace tarnix
