#pragma once
// Writes chapters into an MP3: an ID3v2 tag at the start followed by MPEG audio, or MPEG audio
// from the first byte (checked strictly: two frame headers that agree). The tag's "CHAP" and
// "CTOC" frames are replaced (see id3v2_chapter_frames.h); every other frame is kept byte for
// byte and in order, after the new chapter frames. A tag keeps its version (2.3 or 2.4); a file
// without one gets an ID3v2.3 tag. When the new frames fit the old tag, the tag keeps its size
// (the padding shrinks or grows) so the audio does not move; otherwise the new tag gets 1 KB of
// padding plus a quarter of the chapter frames' size, room for later edits of the list. What
// follows the tag (the audio, ID3v1, APE and appended tags) is copied as it is.
//
// Refused as unsupported: ID3v2.2 and unknown versions, unsynchronisation, a CRC or
// restrictions in the extended header, compressed or encrypted frames, 2.4 frame sizes that are
// not synchsafe, an audio seek point index when the audio would move. A FLAC stream (or other
// container) after the tag is not this writer's.

#include "import/byte_source.h"
#include "import/chapter_embedding.h"

namespace tarnix {

EmbedResult WriteId3v2Chapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out);

}  // namespace tarnix
