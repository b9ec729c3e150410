#pragma once
// Writing a list's chapters into a Matroska or WebM file (.mka, .mkv, .webm).
//
// The file gets one Chapters element in place of every one it had: one default edition whose
// atoms each hold a start, an end (the next start; the last one's the segment's duration, else
// the player's length), a uid made from the list (so the same list gives the same bytes) and one
// display with the name, language "und". WebM files get only the elements WebM allows (no edition
// uid or flags, no atom flags). Nothing before the first cluster moves or changes size, so the
// Cues and every other position in the file stay valid: the new Chapters goes where an old one
// and the Voids after it leave room, else into a Void before the clusters, else at the end of the
// segment, a SeekHead entry pointing at it; an old one not reused becomes a Void. Clusters, Cues,
// Tracks, Tags and Attachments are copied byte for byte, clusters unread.

#include "import/byte_source.h"
#include "import/chapter_embedding.h"

namespace tarnix {

// Streams the new file into `out`. Refuses a DocType other than "matroska" or "webm"
// (kNotThisFormat), element sizes that run past their parent (kDamaged), several Segments, and a
// Segment whose size field cannot hold its new size (kUnsupported). Before writing, the new file
// is read with this plug-in's own chapter reader; when that would not find the chapters the
// file is refused, except when they had to go after the clusters with no SeekHead able to name
// them: then it is written with a note, since tools that walk the whole file still read them.
EmbedResult WriteMatroskaChapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out);

}  // namespace tarnix
