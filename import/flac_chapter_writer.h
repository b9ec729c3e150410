#pragma once
// Chapters into a FLAC file (also one that an ID3v2 tag precedes: the tag stays byte for byte)
// as the CHAPTERnnn comments of its VORBIS_COMMENT block. Every other metadata block keeps its
// bytes and its place, the audio frames are copied unchanged. The new comment block takes the
// room of the old one and the padding when it fits there, so the audio stays where it was;
// otherwise the metadata grows and gets kNewFlacPadding bytes of padding for later edits.

#include "import/chapter_embedding.h"

namespace tarnix {

constexpr uint32_t kNewFlacPadding = 8192;

EmbedResult WriteFlacChapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out);

}  // namespace tarnix
