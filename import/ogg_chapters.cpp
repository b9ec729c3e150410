#include "import/ogg_chapters.h"

#include <string>
#include <utility>

#include "import/bounded_source.h"
#include "import/vorbis_comments.h"

namespace tarnix {
namespace {

constexpr size_t kPageHeader = 27;
// The comment packet may span pages when it carries cover art; it is gathered up to this size
// (the comments before a picture are then still whole) and from at most this many pages.
constexpr size_t kMaxCommentPacket = 4 * 1024 * 1024;
constexpr int kMaxPages = 128;

}  // namespace

bool ReadOggChapters(ByteSource& source, ChapterSet* out) {
  BoundedSource in(source, kMaxChapterReadBytes);
  uint64_t at = 0;
  bool haveSerial = false;
  uint32_t serial = 0;
  int packetIndex = 0;  // 0: identification header, 1: comments
  std::string packet;
  bool complete = false;
  for (int page = 0; page < kMaxPages && !complete && packet.size() < kMaxCommentPacket; ++page) {
    unsigned char header[kPageHeader];
    if (!in.ReadAt(at, header, sizeof header) || std::string_view(reinterpret_cast<char*>(header), 4) != "OggS" ||
        header[4] != 0) {
      break;
    }
    const uint32_t pageSerial = Le32(header + 14);
    const unsigned segments = header[26];
    unsigned char lacing[255];
    if (!in.ReadAt(at + kPageHeader, lacing, segments)) break;
    const uint64_t body = at + kPageHeader + segments;
    uint64_t bodySize = 0;
    for (unsigned i = 0; i < segments; ++i) bodySize += lacing[i];
    at = body + bodySize;
    // Pages of other streams multiplexed with the first are stepped over.
    if (!haveSerial) serial = pageSerial, haveSerial = true;
    if (pageSerial != serial) continue;

    // A page body is at most 255 * 255 bytes: read whole, then cut into packets.
    std::string bytes;
    if (!in.ReadBytes(body, bodySize, &bytes)) break;
    size_t offset = 0;
    for (unsigned i = 0; i < segments && !complete; ++i) {
      if (packetIndex == 1) packet.append(bytes, offset, lacing[i]);
      offset += lacing[i];
      if (lacing[i] < 255) {
        if (packetIndex == 1) complete = true;
        ++packetIndex;
      }
    }
  }

  std::string_view comments = packet;
  if (comments.substr(0, 7) == std::string_view("\x03vorbis", 7)) {
    comments.remove_prefix(7);
  } else if (comments.substr(0, 8) == "OpusTags") {
    comments.remove_prefix(8);
  } else {
    return false;
  }
  ChapterSet found;
  ReadVorbisComments(comments, &found);
  if (found.Empty() && found.embeddedCueSheet.empty()) return false;
  *out = std::move(found);
  return true;
}

}  // namespace tarnix
