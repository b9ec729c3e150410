#include "import/recording_chapters.h"

#include "import/id3v2_chapter_writer.h"
#include "import/matroska_chapter_writer.h"
#include "import/mp4_chapter_writer.h"
#include "import/utf8.h"
#include "import/vorbis_comment_chapter_writer.h"

namespace tarnix {

bool MakeChaptersToEmbed(const TrackList& list, int trackIndex, int64_t lengthMs, ChaptersToEmbed* out,
                         std::string* reason) {
  *out = ChaptersToEmbed();
  reason->clear();
  if (list.subsongs || list.cddbId != 0 || list.cdKey != 0 || list.TrackCount() != 1) {
    *reason = "only the list of a single file can be saved into a file";
    return false;
  }
  if (trackIndex < 0 || trackIndex >= list.TrackCount()) {
    *reason = "there is no playing track to save";
    return false;
  }
  for (const Subtrack& subtrack : list.tracks[static_cast<size_t>(trackIndex)].subtracks) {
    const std::string name =
        ValidUtf8(std::string_view(subtrack.name.c_str(), static_cast<size_t>(subtrack.name.Length())));
    out->chapters.push_back({subtrack.time < 0 ? 0 : subtrack.time, name});
  }
  out->lengthMs = lengthMs > 0 ? lengthMs : 0;
  if (!out->chapters.empty()) out->trackName = out->chapters.front().name;
  return true;
}

EmbedResult WriteRecordingChapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out) {
  // Each writer looks at the first bytes only before it decides that a file is not its own, and
  // writes nothing then; FLAC behind an ID3v2 tag is the Vorbis comment writer's.
  using Writer = EmbedResult (*)(ByteSource&, const ChaptersToEmbed&, ByteSink&);
  for (const Writer writer :
       {WriteVorbisCommentChapters, WriteId3v2Chapters, WriteMp4Chapters, WriteMatroskaChapters}) {
    EmbedResult result = writer(original, chapters, out);
    if (result.status != EmbedStatus::kNotThisFormat) return result;
  }
  return {EmbedStatus::kNotThisFormat, "chapters cannot be written into files of this kind", {}};
}

}  // namespace tarnix
