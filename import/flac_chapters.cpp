#include "import/flac_chapters.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "import/bounded_source.h"
#include "import/chapter_text.h"
#include "import/id3v2_chapters.h"
#include "import/vorbis_comments.h"

namespace tarnix {
namespace {

constexpr int kStreamInfo = 0, kVorbisComment = 4, kCueSheet = 5;
constexpr int kMaxBlocks = 1024;
constexpr int kMaxLeadingTags = 4;
constexpr size_t kCueSheetHeader = 128 + 8 + 259 + 1;
constexpr size_t kCueTrackHeader = 8 + 1 + 12 + 14 + 1;
constexpr size_t kCueIndex = 12;

// Milliseconds of `samples` at `rate`, without overflow for any 64-bit count.
int64_t SamplesToMs(uint64_t samples, uint32_t rate) {
  const uint64_t ms = samples / rate * 1000 + samples % rate * 1000 / rate;
  return ms > uint64_t{INT64_MAX} ? -1 : static_cast<int64_t>(ms);
}

// Tracks of a CUESHEET block: each at its index 1 point if it has one, else at its start; the
// last track is the lead-out.
void ReadCueSheetBlock(std::string_view block, uint32_t rate, ChapterSet* out) {
  if (rate == 0 || block.size() < kCueSheetHeader) return;
  const unsigned tracks = static_cast<unsigned char>(block[kCueSheetHeader - 1]);
  size_t at = kCueSheetHeader;
  for (unsigned t = 0; t + 1 < tracks; ++t) {
    if (block.size() - at < kCueTrackHeader) return;
    const uint64_t offset = Be64(block.data() + at);
    const unsigned indexes = static_cast<unsigned char>(block[at + kCueTrackHeader - 1]);
    at += kCueTrackHeader;
    if ((block.size() - at) / kCueIndex < indexes) return;
    uint64_t start = offset;
    for (unsigned i = 0; i < indexes; ++i) {
      const char* index = block.data() + at + i * kCueIndex;
      if (static_cast<unsigned char>(index[8]) == 1 && Be64(index) <= UINT64_MAX - offset) {
        start = offset + Be64(index);
      }
    }
    at += indexes * kCueIndex;
    if (ChaptersFull(*out)) return;
    AddChapter(out, SamplesToMs(start, rate), std::string_view());
  }
}

}  // namespace

bool ReadFlacChapters(ByteSource& source, ChapterSet* out) {
  BoundedSource in(source, kMaxChapterReadBytes);
  uint64_t at = 0;
  for (int i = 0; i < kMaxLeadingTags; ++i) {
    const uint64_t end = Id3v2TagEnd(in, at);
    if (end == at) break;
    at = end;
  }
  char magic[4];
  if (!in.ReadAt(at, magic, 4) || std::string_view(magic, 4) != "fLaC") return false;
  at += 4;

  uint32_t rate = 0;
  ChapterSet fromComments;
  ChapterSet fromCueBlock;
  bool last = false;
  for (int i = 0; i < kMaxBlocks && !last; ++i) {
    unsigned char header[4];
    if (!in.ReadAt(at, header, 4)) break;
    last = header[0] & 0x80;
    const int type = header[0] & 0x7F;
    const uint32_t length = Be24(header + 1);
    at += 4;
    // Only the blocks read here cost their bytes; pictures and seek tables are stepped over.
    if (type == kStreamInfo || type == kVorbisComment || type == kCueSheet) {
      std::string block;
      if (!in.ReadBytes(at, length, &block)) {
        // A comment block cut short still holds the comments before the cut.
        if (type != kVorbisComment || !in.ReadBytes(at, std::min<uint64_t>(in.Size() - at, in.Remaining()), &block)) {
          break;
        }
      }
      if (type == kStreamInfo && block.size() >= 13) {
        rate = Be24(block.data() + 10) >> 4;
      } else if (type == kVorbisComment && fromComments.Empty() && fromComments.embeddedCueSheet.empty()) {
        ReadVorbisComments(block, &fromComments);
      } else if (type == kCueSheet && fromCueBlock.Empty()) {
        ReadCueSheetBlock(block, rate, &fromCueBlock);
      }
    }
    at += length;
  }

  if (fromComments.Empty()) fromComments.chapters = std::move(fromCueBlock.chapters);
  if (fromComments.Empty() && fromComments.embeddedCueSheet.empty()) return false;
  *out = std::move(fromComments);
  return true;
}

}  // namespace tarnix
