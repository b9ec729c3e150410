#include "import/id3v2_chapters.h"

#include <string>
#include <string_view>
#include <utility>

#include "import/bounded_source.h"
#include "import/chapter_text.h"

namespace tarnix {
namespace {

constexpr size_t kHeaderSize = 10;
constexpr size_t kFrameHeaderSize = 10;

// Tag header flags.
constexpr unsigned kTagUnsync = 0x80;
constexpr unsigned kTagExtendedHeader = 0x40;
constexpr unsigned kTagFooter = 0x10;
// Frame format flags (second flag byte), which differ between the versions.
constexpr unsigned kV3Compressed = 0x80, kV3Encrypted = 0x40, kV3Grouped = 0x20;
constexpr unsigned kV4Grouped = 0x40, kV4Compressed = 0x08, kV4Encrypted = 0x04, kV4Unsync = 0x02, kV4DataLength = 0x01;

uint32_t Synchsafe(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  return uint32_t{b[0] & 0x7Fu} << 21 | uint32_t{b[1] & 0x7Fu} << 14 | uint32_t{b[2] & 0x7Fu} << 7 | (b[3] & 0x7Fu);
}

bool IsSynchsafe(const void* p) { return (Be32(p) & 0x80808080u) == 0; }

bool ValidFrameId(std::string_view s, size_t at) {
  if (s.size() - at < 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    const char c = s[at + i];
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// Undoes unsynchronisation: every 0xFF 0x00 was a lone 0xFF.
std::string RemoveUnsync(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    out += bytes[i];
    if (static_cast<unsigned char>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
  }
  return out;
}

// How well a frame of `size` bytes at `at` fits: 2 when it ends where the frames end or another
// frame starts, 1 when padding follows it, 0 when it runs past the end or into garbage.
int FrameFit(std::string_view frames, size_t at, uint64_t size) {
  const uint64_t next = at + kFrameHeaderSize + size;
  if (next > frames.size()) return 0;
  if (next == frames.size() || ValidFrameId(frames, static_cast<size_t>(next))) return 2;
  return frames[static_cast<size_t>(next)] == '\0' ? 1 : 0;
}

// The size of the 2.4 frame at `at`. Sizes are synchsafe, but some writers put plain sizes in
// 2.4 tags; a plain size is taken only when the bytes cannot be synchsafe, or when it leads to
// the next frame better than the synchsafe reading does.
uint32_t V4FrameSize(std::string_view frames, size_t at) {
  const char* field = frames.data() + at + 4;
  const uint32_t plain = Be32(field);
  if (!IsSynchsafe(field)) return plain;
  const uint32_t safe = Synchsafe(field);
  return FrameFit(frames, at, plain) > FrameFit(frames, at, safe) ? plain : safe;
}

// Calls fn(id, data) for each readable frame in `frames`, with the frame's data freed of its
// flags' extra bytes and unsynchronisation. Stops at padding or the first frame that does not fit.
template <typename Fn>
void ForEachFrame(std::string_view frames, int version, bool allUnsynced, Fn fn) {
  size_t at = 0;
  while (frames.size() - at >= kFrameHeaderSize && ValidFrameId(frames, at)) {
    const uint64_t size = version == 4 ? V4FrameSize(frames, at) : Be32(frames.data() + at + 4);
    if (size > frames.size() - at - kFrameHeaderSize) return;
    const std::string_view id = frames.substr(at, 4);
    const auto format = static_cast<unsigned char>(frames[at + 9]);
    std::string_view data = frames.substr(at + kFrameHeaderSize, static_cast<size_t>(size));
    at += kFrameHeaderSize + static_cast<size_t>(size);

    std::string decoded;
    size_t extra = 0;
    if (version == 3) {
      if (format & (kV3Compressed | kV3Encrypted)) continue;
      if (format & kV3Grouped) extra += 1;
    } else {
      if (format & (kV4Compressed | kV4Encrypted)) continue;
      if (allUnsynced || (format & kV4Unsync)) {
        decoded = RemoveUnsync(data);
        data = decoded;
      }
      if (format & kV4Grouped) extra += 1;
      if (format & kV4DataLength) extra += 4;
    }
    if (extra > data.size()) continue;
    fn(id, data.substr(extra));
  }
}

// The first string of a text frame, as UTF-8.
std::string TextValue(std::string_view data) {
  if (data.empty()) return std::string();
  const auto encoding = static_cast<unsigned char>(data[0]);
  const std::string_view text = data.substr(1);
  switch (encoding) {
    case 0:
      return Latin1ToUtf8(text.substr(0, text.find('\0')));
    case 3:
      return ValidUtf8(text.substr(0, text.find('\0')));
    case 1:
    case 2: {
      size_t end = 0;
      while (end + 1 < text.size() && (text[end] != '\0' || text[end + 1] != '\0')) end += 2;
      // Type 1 must carry a byte order mark; without one, little-endian is the usual writer's.
      return Utf16BomToUtf8(text.substr(0, end), encoding == 2);
    }
    default:
      return std::string();
  }
}

void ReadChapterFrame(std::string_view data, int version, ChapterSet* out) {
  const size_t idEnd = data.find('\0');
  if (idEnd == std::string_view::npos || data.size() - idEnd - 1 < 16) return;
  const uint32_t startMs = Be32(data.data() + idEnd + 1);
  std::string name;
  bool named = false;
  // The chapter's own frames were already freed of the tag's unsynchronisation with it.
  ForEachFrame(data.substr(idEnd + 1 + 16), version, false, [&](std::string_view id, std::string_view sub) {
    if (!named && id == "TIT2") name = TextValue(sub), named = true;
  });
  AddChapter(out, startMs, name);
}

}  // namespace

uint64_t Id3v2TagEnd(ByteSource& source, uint64_t offset) {
  unsigned char h[kHeaderSize];
  if (!source.ReadAt(offset, h, sizeof h) || h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xFF ||
      h[4] == 0xFF || !IsSynchsafe(h + 6)) {
    return offset;
  }
  const uint64_t footer = (h[3] == 4 && (h[5] & kTagFooter)) ? kHeaderSize : 0;
  return offset + kHeaderSize + Synchsafe(h + 6) + footer;
}

bool ReadId3v2Chapters(ByteSource& source, ChapterSet* out) {
  BoundedSource in(source, kMaxChapterReadBytes);
  const uint64_t end = Id3v2TagEnd(in, 0);
  if (end == 0) return false;
  unsigned char h[kHeaderSize];
  if (!in.ReadAt(0, h, sizeof h)) return false;
  const int version = h[3];
  if (version != 3 && version != 4) return false;
  const unsigned flags = h[5];

  // A truncated tag is read as far as it goes: its first frames are often all there.
  uint64_t bodySize = Synchsafe(h + 6);
  if (bodySize > in.Size() - kHeaderSize) bodySize = in.Size() - kHeaderSize;
  if (bodySize > in.Remaining()) bodySize = in.Remaining();
  std::string body;
  if (!in.ReadBytes(kHeaderSize, bodySize, &body)) return false;
  if (version == 3 && (flags & kTagUnsync)) body = RemoveUnsync(body);

  std::string_view frames = body;
  if (flags & kTagExtendedHeader) {
    if (frames.size() < 4) return false;
    // 2.3 counts the size without its own four bytes, 2.4 (synchsafe) with them.
    const uint64_t skip = version == 3 ? uint64_t{Be32(frames.data())} + 4 : Synchsafe(frames.data());
    if (skip > frames.size() || (version == 4 && skip < 6)) return false;
    frames.remove_prefix(static_cast<size_t>(skip));
  }

  ChapterSet found;
  std::string band;
  const bool allUnsynced = version == 4 && (flags & kTagUnsync);
  ForEachFrame(frames, version, allUnsynced, [&](std::string_view id, std::string_view data) {
    if (id == "CHAP") {
      ReadChapterFrame(data, version, &found);
    } else if (id == "TALB" && found.album.empty()) {
      found.album = CleanName(TextValue(data));
    } else if (id == "TPE1" && found.artist.empty()) {
      found.artist = CleanName(TextValue(data));
    } else if (id == "TPE2" && band.empty()) {
      band = CleanName(TextValue(data));
    }
  });
  if (found.artist.empty()) found.artist = band;
  if (found.Empty()) return false;
  *out = std::move(found);
  return true;
}

}  // namespace tarnix
