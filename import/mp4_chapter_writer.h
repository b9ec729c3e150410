#pragma once
// Writing chapters into an MP4 (M4A, M4B) file, in both forms players read: a QuickTime chapter
// track (a disabled text track the audio track names in "tref/chap") and the Nero list
// "moov/udta/chpl" (left out past 255 chapters, which it cannot count; the result's note says
// so). The chapter track and list the file had are replaced; the old chapter samples stay as
// unused bytes where they were, unless they sit in a box of their own beside the movie box,
// which is then reused.
//
// Only the movie box changes, and a small "mdat" with the chapter texts follows it. Where the
// movie box comes before the media, "free" boxes beside it take up the growth, or else every
// track's chunk offsets move by it ("stco" tables that would overflow become "co64"); a movie
// box after the media is rewritten at its place and the media keeps its offsets. Everything
// else, the media data, the iTunes tags, cover art and unknown boxes, is copied byte for byte.
// Fragmented and compressed movies, several movie boxes and files without an audio track are
// refused.

#include "import/byte_source.h"
#include "import/chapter_embedding.h"

namespace tarnix {

EmbedResult WriteMp4Chapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out);

}  // namespace tarnix
