#include "import/id3v2_chapter_writer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "import/bounded_source.h"
#include "import/id3v2_chapter_frames.h"
#include "import/id3v2_chapters.h"
#include "import/mpeg_audio.h"

namespace tarnix {
namespace {

constexpr uint64_t kHeaderSize = 10;
constexpr uint64_t kFrameHeaderSize = 10;
constexpr uint64_t kMaxTagBody = (uint64_t{1} << 28) - 1;  // what a synchsafe size holds
// How far after the tag the first audio frame may start (encoders leave a little junk there).
constexpr uint64_t kAudioSearchBytes = 4096;
constexpr uint64_t kFreshPaddingBytes = 1024;

constexpr unsigned kTagUnsync = 0x80, kTagExtendedHeader = 0x40, kTagFooter = 0x10;
constexpr unsigned kV3KnownTagFlags = 0xE0, kV4KnownTagFlags = 0xF0;
constexpr unsigned kV3Compressed = 0x80, kV3Encrypted = 0x40;
constexpr unsigned kV4Compressed = 0x08, kV4Encrypted = 0x04, kV4Unsync = 0x02;

struct Range {
  uint64_t at;
  uint64_t size;
};

// The tag at the start of the file as far as the writer needs it.
struct OldTag {
  bool present = false;
  unsigned char header[kHeaderSize] = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0};
  int version = 3;
  uint64_t bodySize = 0;
  uint64_t end = 0;               // where what follows the tag starts
  std::string extendedHeader;     // as it stands (the 2.3 padding size is rewritten)
  std::vector<Range> keptFrames;  // every frame but the chapter frames, in order
  bool seekPointIndex = false;    // an "ASPI" frame, which holds absolute file offsets
};

struct Outcome {
  EmbedStatus status = EmbedStatus::kWritten;
  std::string reason;
};

Outcome Refused(EmbedStatus status, std::string reason) { return {status, std::move(reason)}; }

uint32_t Synchsafe(const unsigned char* b) {
  return uint32_t{b[0] & 0x7Fu} << 21 | uint32_t{b[1] & 0x7Fu} << 14 | uint32_t{b[2] & 0x7Fu} << 7 | (b[3] & 0x7Fu);
}
bool IsSynchsafe(const unsigned char* b) { return (Be32(b) & 0x80808080u) == 0; }
bool HasAt(ByteSource& source, uint64_t offset, std::string_view magic) {
  char bytes[8];
  return magic.size() <= sizeof bytes && source.ReadAt(offset, bytes, magic.size()) &&
         std::string_view(bytes, magic.size()) == magic;
}

bool ValidFrameId(const unsigned char* id) {
  return std::all_of(id, id + 4, [](unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// True when [at, end) holds zeros only.
bool AllZeros(ByteSource& source, uint64_t at, uint64_t end, bool* readFailed) {
  std::string piece;
  while (at < end) {
    const size_t size = static_cast<size_t>(std::min<uint64_t>(end - at, 1 << 16));
    if (!source.ReadString(at, size, &piece)) return !(*readFailed = true);
    if (piece.find_first_not_of('\0') != std::string::npos) return false;
    at += size;
  }
  return true;
}

// Walks the frames between `at` and `end`, keeping the ranges of all but "CHAP" and "CTOC".
// 2.4 sizes are synchsafe unless `plainSizes`.
Outcome WalkFrames(ByteSource& source, uint64_t at, uint64_t end, bool plainSizes, OldTag* tag) {
  tag->keptFrames.clear();
  tag->seekPointIndex = false;
  while (at < end) {
    unsigned char h[kFrameHeaderSize];
    const bool whole = end - at >= kFrameHeaderSize;
    if (!source.ReadAt(at, h, whole ? kFrameHeaderSize : 1)) return Refused(EmbedStatus::kReadFailed, "");
    if (h[0] == 0 || !whole) {
      bool readFailed = false;
      if (AllZeros(source, at, end, &readFailed)) break;
      if (readFailed) return Refused(EmbedStatus::kReadFailed, "");
      return Refused(EmbedStatus::kDamaged, "the ID3v2 tag holds data after its padding");
    }
    if (!ValidFrameId(h)) return Refused(EmbedStatus::kDamaged, "an ID3v2 frame is malformed");
    if (tag->version == 4 && !plainSizes && !IsSynchsafe(h + 4))
      return Refused(EmbedStatus::kDamaged, "an ID3v2 frame's size is malformed");
    const uint64_t size = tag->version == 4 && !plainSizes ? Synchsafe(h + 4) : Be32(h + 4);
    if (size > end - at - kFrameHeaderSize)
      return Refused(EmbedStatus::kDamaged, "an ID3v2 frame runs past the end of its tag");
    const std::string_view id(reinterpret_cast<const char*>(h), 4);
    if (id != "CHAP" && id != "CTOC") {
      const unsigned format = h[9];
      const bool packed = tag->version == 3 ? (format & (kV3Compressed | kV3Encrypted)) != 0
                                            : (format & (kV4Compressed | kV4Encrypted | kV4Unsync)) != 0;
      if (packed)
        return Refused(EmbedStatus::kUnsupported,
                       "the ID3v2 tag has a compressed, encrypted or unsynchronised frame (" + std::string(id) + ")");
      tag->keptFrames.push_back({at, kFrameHeaderSize + size});
      if (id == "ASPI") tag->seekPointIndex = true;
    }
    at += kFrameHeaderSize + size;
  }
  return {};
}

// Reads the extended header at `at` (inside a body that ends at `end`) into the tag.
Outcome ReadExtendedHeader(ByteSource& source, uint64_t at, uint64_t end, OldTag* tag) {
  unsigned char e[6];
  if (end - at < sizeof e) return Refused(EmbedStatus::kDamaged, "the ID3v2 extended header is malformed");
  if (!source.ReadAt(at, e, sizeof e)) return Refused(EmbedStatus::kReadFailed, "");
  uint64_t size;
  if (tag->version == 3) {
    // Its size leaves out its own four bytes; 6 without a CRC.
    if (e[4] & 0x80) return Refused(EmbedStatus::kUnsupported, "the ID3v2 tag's extended header holds a CRC");
    if (Be32(e) != 6)
      return Refused(EmbedStatus::kUnsupported, "the ID3v2 tag's extended header is of an unknown form");
    size = 10;
  } else {
    size = Synchsafe(e);
    if (!IsSynchsafe(e) || size < 6 || e[4] != 1)
      return Refused(EmbedStatus::kDamaged, "the ID3v2 extended header is malformed");
    if (e[5] & 0x30)
      return Refused(EmbedStatus::kUnsupported, "the ID3v2 tag's extended header holds a CRC or restrictions");
  }
  if (size > end - at) return Refused(EmbedStatus::kDamaged, "the ID3v2 extended header is malformed");
  if (!source.ReadString(at, static_cast<size_t>(size), &tag->extendedHeader))
    return Refused(EmbedStatus::kReadFailed, "");
  return {};
}

// Reads the tag at the start of an MP3 file, or finds the audio at the start of a file without
// one; kNotThisFormat for anything else. `audioAt` and `audio` describe the first audio frame.
Outcome ReadOldTag(ByteSource& source, OldTag* tag, uint64_t* audioAt, MpegFrameHeader* audio) {
  if (source.Size() >= 3 && !HasAt(source, 0, "ID3")) {
    // Without a tag, the file must start with a frame, so that no other format is taken for MP3.
    const MpegSearch found = FindMpegAudio(source, 0, 4, audioAt, audio);
    if (found == MpegSearch::kReadFailed) return Refused(EmbedStatus::kReadFailed, "");
    return found == MpegSearch::kFound ? Outcome{} : Refused(EmbedStatus::kNotThisFormat, "");
  }
  unsigned char* h = tag->header;
  if (source.Size() < 3) return Refused(EmbedStatus::kNotThisFormat, "");
  if (source.Size() < kHeaderSize) return Refused(EmbedStatus::kDamaged, "the ID3v2 tag is cut short");
  if (!source.ReadAt(0, h, kHeaderSize)) return Refused(EmbedStatus::kReadFailed, "");
  if (h[3] == 0xFF || h[4] == 0xFF || !IsSynchsafe(h + 6))
    return Refused(EmbedStatus::kDamaged, "the ID3v2 tag's header is malformed");
  tag->present = true;
  tag->version = h[3];
  tag->bodySize = Synchsafe(h + 6);
  tag->end = kHeaderSize + tag->bodySize + (tag->version == 4 && (h[5] & kTagFooter) ? kHeaderSize : 0);
  if (tag->end > source.Size()) return Refused(EmbedStatus::kDamaged, "the ID3v2 tag runs past the end of the file");

  // Other formats are sometimes tagged too (FLAC, ADTS AAC); only MPEG audio after the tag is ours.
  uint64_t audioFrom = tag->end;
  const uint64_t second = Id3v2TagEnd(source, tag->end);
  if (second > tag->end) audioFrom = second;
  if (HasAt(source, audioFrom, "fLaC") || HasAt(source, audioFrom, "OggS") || HasAt(source, audioFrom, "RIFF") ||
      HasAt(source, audioFrom, "\x1A\x45\xDF\xA3") || HasAt(source, audioFrom + 4, "ftyp")) {
    return Refused(EmbedStatus::kNotThisFormat, "");
  }
  const MpegSearch found = FindMpegAudio(source, audioFrom, kAudioSearchBytes, audioAt, audio);
  if (found == MpegSearch::kReadFailed) return Refused(EmbedStatus::kReadFailed, "");
  if (found == MpegSearch::kNone) return Refused(EmbedStatus::kNotThisFormat, "");
  if (second > tag->end) return Refused(EmbedStatus::kUnsupported, "the file starts with two ID3v2 tags");
  if (tag->version == 2)
    return Refused(EmbedStatus::kUnsupported, "the file has an ID3v2.2 tag, which cannot hold chapters");
  if (tag->version != 3 && tag->version != 4)
    return Refused(EmbedStatus::kUnsupported, "the file has an ID3v2." + std::to_string(tag->version) + " tag");
  const unsigned flags = h[5];
  if (flags & kTagUnsync) return Refused(EmbedStatus::kUnsupported, "the ID3v2 tag is unsynchronised");
  if (flags & ~(tag->version == 3 ? kV3KnownTagFlags : kV4KnownTagFlags))
    return Refused(EmbedStatus::kUnsupported, "the ID3v2 tag has flags of an unknown meaning");

  uint64_t framesAt = kHeaderSize;
  const uint64_t framesEnd = kHeaderSize + tag->bodySize;
  if (flags & kTagExtendedHeader) {
    Outcome read = ReadExtendedHeader(source, framesAt, framesEnd, tag);
    if (read.status != EmbedStatus::kWritten) return read;
    framesAt += tag->extendedHeader.size();
  }
  Outcome walked = WalkFrames(source, framesAt, framesEnd, false, tag);
  // Some writers put plain sizes in 2.4 tags; rewriting such a tag would mix the two forms.
  if (walked.status == EmbedStatus::kDamaged && tag->version == 4 &&
      WalkFrames(source, framesAt, framesEnd, true, tag).status == EmbedStatus::kWritten) {
    return Refused(EmbedStatus::kUnsupported, "the ID3v2.4 tag's frame sizes are not synchsafe");
  }
  return walked;
}

// A sink that remembers whether a write failed, to tell a failed copy's read from its write.
class WatchedSink : public ByteSink {
 public:
  explicit WatchedSink(ByteSink& inner) : inner_(inner) {}
  bool Write(const void* bytes, size_t count) override {
    if (inner_.Write(bytes, count)) return true;
    failed_ = true;
    return false;
  }
  using ByteSink::Write;
  bool Failed() const { return failed_; }

 private:
  ByteSink& inner_;
  bool failed_ = false;
};

Outcome CopyFailed(const WatchedSink& out) {
  return Refused(out.Failed() ? EmbedStatus::kWriteFailed : EmbedStatus::kReadFailed, "");
}

// Streams the new file: header, extended header, chapter frames, kept frames, padding, footer,
// then everything after the old tag.
Outcome WriteFile(ByteSource& source, const OldTag& tag, const std::string& chapterFrames, uint64_t bodySize,
                  uint64_t padding, WatchedSink& out) {
  std::string head(reinterpret_cast<const char*>(tag.header), 6);
  head += Id3v2Synchsafe(static_cast<uint32_t>(bodySize));
  std::string extended = tag.extendedHeader;
  if (tag.version == 3 && !extended.empty()) {
    for (int i = 0; i < 4; ++i) extended[6 + i] = static_cast<char>(padding >> (8 * (3 - i)) & 0xFF);
  }
  if (!out.Write(head) || !out.Write(extended) || !out.Write(chapterFrames)) return CopyFailed(out);
  for (const Range& r : tag.keptFrames) {
    if (!CopyRange(source, r.at, r.size, out)) return CopyFailed(out);
  }
  const std::string zeros(static_cast<size_t>(std::min<uint64_t>(padding, 1 << 16)), '\0');
  for (uint64_t left = padding; left > 0;) {
    const size_t size = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
    if (!out.Write(zeros.data(), size)) return CopyFailed(out);
    left -= size;
  }
  if (tag.version == 4 && (tag.header[5] & kTagFooter) && !out.Write("3DI" + head.substr(3))) return CopyFailed(out);
  if (!CopyRange(source, tag.end, source.Size() - tag.end, out)) return CopyFailed(out);
  return {};
}

Outcome Write(ByteSource& source, const ChaptersToEmbed& chapters, ByteSink& sink) {
  OldTag tag;
  uint64_t audioAt = 0;
  MpegFrameHeader audio;
  Outcome read = ReadOldTag(source, &tag, &audioAt, &audio);
  if (read.status != EmbedStatus::kWritten) return read;
  WatchedSink out(sink);
  if (!tag.present && chapters.chapters.empty()) {
    // Nothing to add and nothing to take away: the file as it is.
    return CopyRange(source, 0, source.Size(), out) ? Outcome{} : CopyFailed(out);
  }

  const int64_t lastEndMs = chapters.lengthMs > 0 ? chapters.lengthMs : MpegDurationMs(source, audioAt, audio);
  std::string chapterFrames, reason;
  if (!BuildId3v2ChapterFrames(chapters, lastEndMs, tag.version, &chapterFrames, &reason))
    return Refused(EmbedStatus::kUnsupported, reason);

  uint64_t used = tag.extendedHeader.size() + chapterFrames.size();
  for (const Range& r : tag.keptFrames) used += r.size;
  uint64_t padding = kFreshPaddingBytes + chapterFrames.size() / 4;
  if (tag.version == 4 && (tag.header[5] & kTagFooter)) {
    padding = 0;  // a 2.4 tag with a footer has none
  } else if (tag.present && used <= tag.bodySize) {
    padding = tag.bodySize - used;  // the audio stays where it is
  }
  const uint64_t bodySize = used + padding;
  if (bodySize > kMaxTagBody) return Refused(EmbedStatus::kUnsupported, "the new ID3v2 tag would be too large");
  if (tag.seekPointIndex && bodySize != tag.bodySize)
    return Refused(EmbedStatus::kUnsupported, "the ID3v2 tag has an audio seek point index that would no longer fit");
  return WriteFile(source, tag, chapterFrames, bodySize, padding, out);
}

}  // namespace

EmbedResult WriteId3v2Chapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out) {
  Outcome outcome;
  try {
    outcome = Write(original, chapters, out);
  } catch (const std::bad_alloc&) {
    outcome = Refused(EmbedStatus::kUnsupported, "not enough memory to write the chapters");
  }
  EmbedResult result;
  result.status = outcome.status;
  if (outcome.status == EmbedStatus::kReadFailed && outcome.reason.empty())
    outcome.reason = "the file could not be read";
  if (outcome.status == EmbedStatus::kWriteFailed) outcome.reason = "the new file could not be written";
  if (outcome.status != EmbedStatus::kWritten) result.reason = std::move(outcome.reason);
  return result;
}

}  // namespace tarnix
