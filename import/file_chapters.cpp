#include "import/file_chapters.h"

#include <exception>
#include <string_view>
#include <utility>

#include "import/bounded_source.h"
#include "import/flac_chapters.h"
#include "import/id3v2_chapters.h"
#include "import/matroska_chapters.h"
#include "import/mp4_chapters.h"
#include "import/ogg_chapters.h"

namespace tarnix {
namespace {

bool HasAt(ByteSource& source, uint64_t offset, std::string_view magic) {
  char bytes[8];
  return magic.size() <= sizeof bytes && source.ReadAt(offset, bytes, magic.size()) &&
         std::string_view(bytes, magic.size()) == magic;
}

bool ReadSniffed(ByteSource& source, ChapterSet* out) {
  if (HasAt(source, 0, "ID3")) {
    if (ReadId3v2Chapters(source, out)) return true;
    // FLAC files sometimes begin with ID3v2 tags (one or more) that hold no chapters; the FLAC
    // reader steps over them and gives up when no "fLaC" follows.
    return ReadFlacChapters(source, out);
  }
  if (HasAt(source, 0, "fLaC")) return ReadFlacChapters(source, out);
  if (HasAt(source, 0, "OggS")) return ReadOggChapters(source, out);
  if (HasAt(source, 0, "\x1A\x45\xDF\xA3")) return ReadMatroskaChapters(source, out);
  if (HasAt(source, 4, "ftyp") || HasAt(source, 4, "moov")) return ReadMp4Chapters(source, out);
  return false;
}

}  // namespace

bool ReadFileChapters(ByteSource& source, ChapterSet* out) {
  // One budget for the whole file, however many readers look at it.
  BoundedSource bounded(source, kMaxChapterReadBytes);
  try {
    ChapterSet found;
    if (!ReadSniffed(bounded, &found)) return false;
    *out = std::move(found);
    return true;
  } catch (const std::exception&) {
    // Only running out of memory can throw here: the file then counts as having no chapters.
    return false;
  }
}

}  // namespace tarnix
