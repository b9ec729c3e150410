#include "import/vorbis_comment_chapter_writer.h"

#include <string>

#include "import/flac_chapter_writer.h"
#include "import/ogg_chapter_writer.h"

namespace tarnix {

EmbedResult WriteVorbisCommentChapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out) {
  std::string magic;
  if (original.Size() >= 4 && !original.ReadString(0, 4, &magic)) {
    return EmbedResult{EmbedStatus::kReadFailed, "the file could not be read", {}};
  }
  if (magic == "OggS") return WriteOggChapters(original, chapters, out);
  if (magic == "fLaC" || magic.compare(0, 3, "ID3") == 0) return WriteFlacChapters(original, chapters, out);
  return EmbedResult{EmbedStatus::kNotThisFormat, "neither FLAC nor Ogg", {}};
}

}  // namespace tarnix
