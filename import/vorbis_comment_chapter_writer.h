#pragma once
// Chapters into the files that carry Vorbis comments: FLAC (also after an ID3v2 tag), Ogg
// Vorbis and Opus. Told by the first bytes; any other file is kNotThisFormat.

#include "import/chapter_embedding.h"

namespace tarnix {

EmbedResult WriteVorbisCommentChapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out);

}  // namespace tarnix
