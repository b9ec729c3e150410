#pragma once
// Chapters into an Ogg Vorbis or Opus file as the CHAPTERnnn comments of its comment header.
// The identification page and the audio pages keep their bytes; the comment header (and, for
// Vorbis, the setup header that shares its pages) is laid out in new pages. When the count of
// header pages changes, the audio pages' sequence numbers (and so their checksums) follow, and
// nothing else of them changes. Only a file of one logical stream is written: a multiplexed or
// chained file, Ogg FLAC and other codecs are refused. Bytes after the stream are kept.

#include "import/chapter_embedding.h"

namespace tarnix {

EmbedResult WriteOggChapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out);

}  // namespace tarnix
