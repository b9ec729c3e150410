#pragma once
// Vorbis comments as FLAC, Ogg Vorbis and Opus carry them: "CHAPTERnnn=hh:mm:ss.sss" with
// "CHAPTERnnnNAME", "ALBUM" and "ARTIST" (else "ALBUMARTIST"), and a whole cue sheet in
// "CUESHEET". Keys ignore letter case.

#include <cstdint>
#include <optional>
#include <string_view>

#include "import/chapter.h"

namespace tarnix {

// Reads a comment block (vendor string, count, comments; all lengths little-endian) into `out`:
// chapters in the order of their numbers, album, artist, embedded cue sheet. A block cut short
// is read as far as its comments are whole. False when the block is not one at all.
bool ReadVorbisComments(std::string_view block, ChapterSet* out);

// "hh:mm:ss.sss" (hours and the fraction optional, any number of fraction digits) in
// milliseconds; nothing when the text is not such a time.
std::optional<int64_t> ParseChapterTime(std::string_view text);

}  // namespace tarnix
