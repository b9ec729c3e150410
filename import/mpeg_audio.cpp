#include "import/mpeg_audio.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "import/bounded_source.h"

namespace tarnix {
namespace {

// Bitrates in kbit/s by [row][index 1..14]; the rows are MPEG-1 layers I, II, III, then MPEG-2
// and 2.5 layer I, then their layers II and III.
constexpr uint16_t kBitrates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr uint32_t kSampleRates[3] = {44100, 48000, 32000};  // MPEG-1; halved for 2, quartered for 2.5

bool SameStream(const MpegFrameHeader& a, const MpegFrameHeader& b) {
  return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate;
}

bool HasAt(ByteSource& source, uint64_t offset, const char* magic, size_t size) {
  char bytes[8];
  return source.ReadAt(offset, bytes, size) && std::memcmp(bytes, magic, size) == 0;
}

// Where the audio ends: before an ID3v1 tag and an APEv2 tag (with its header) at the end.
uint64_t AudioEnd(ByteSource& source) {
  uint64_t end = source.Size();
  if (end >= 128 && HasAt(source, end - 128, "TAG", 3)) end -= 128;
  unsigned char footer[32];
  if (end >= 32 && source.ReadAt(end - 32, footer, sizeof footer) && std::memcmp(footer, "APETAGEX", 8) == 0) {
    const uint64_t size = Le32(footer + 12) + ((Le32(footer + 20) & 0x80000000u) ? 32 : 0);
    if (size <= end) end -= size;
  }
  return end;
}

}  // namespace

bool ParseMpegFrameHeader(const unsigned char b[4], MpegFrameHeader* out) {
  if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
  const unsigned versionBits = b[1] >> 3 & 3, layerBits = b[1] >> 1 & 3;
  const unsigned bitrateIndex = b[2] >> 4, rateIndex = b[2] >> 2 & 3;
  if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3 ||
      (b[3] & 3) == 2) {
    return false;
  }
  MpegFrameHeader h;
  h.version = versionBits == 3 ? 10 : versionBits == 2 ? 20 : 25;
  h.layer = static_cast<int>(4 - layerBits);
  const int row = h.version == 10 ? h.layer - 1 : h.layer == 1 ? 3 : 4;
  h.bitrateKbps = kBitrates[row][bitrateIndex];
  h.sampleRate = kSampleRates[rateIndex] / (h.version == 10 ? 1 : h.version == 20 ? 2 : 4);
  h.mono = (b[3] >> 6) == 3;
  const uint32_t padding = b[2] >> 1 & 1;
  if (h.layer == 1) {
    h.samplesPerFrame = 384;
    h.frameBytes = (12 * h.bitrateKbps * 1000 / h.sampleRate + padding) * 4;
  } else {
    h.samplesPerFrame = (h.layer == 3 && h.version != 10) ? 576 : 1152;
    h.frameBytes = h.samplesPerFrame / 8 * h.bitrateKbps * 1000 / h.sampleRate + padding;
  }
  *out = h;
  return true;
}

MpegSearch FindMpegAudio(ByteSource& source, uint64_t from, uint64_t window, uint64_t* at, MpegFrameHeader* header) {
  if (from >= source.Size()) return MpegSearch::kNone;
  std::string bytes;
  if (!source.ReadString(from, static_cast<size_t>(std::min(window, source.Size() - from)), &bytes))
    return MpegSearch::kReadFailed;
  const uint64_t audioEnd = AudioEnd(source);
  for (size_t i = 0; i + 4 <= bytes.size(); ++i) {
    MpegFrameHeader first;
    if (!ParseMpegFrameHeader(reinterpret_cast<const unsigned char*>(&bytes[i]), &first)) continue;
    const uint64_t next = from + i + first.frameBytes;
    if (next != audioEnd) {
      if (next > source.Size() || source.Size() - next < 4) continue;
      unsigned char b[4];
      MpegFrameHeader second;
      if (!source.ReadAt(next, b, sizeof b)) return MpegSearch::kReadFailed;
      if (!ParseMpegFrameHeader(b, &second) || !SameStream(first, second)) continue;
    }
    *at = from + i;
    *header = first;
    return MpegSearch::kFound;
  }
  return MpegSearch::kNone;
}

int64_t MpegDurationMs(ByteSource& source, uint64_t at, const MpegFrameHeader& h) {
  // The side information's size decides where a Xing/Info header sits; VBRI is always at 32.
  const uint64_t sideInfo = h.version == 10 ? (h.mono ? 17 : 32) : (h.mono ? 9 : 17);
  unsigned char x[12];
  uint64_t frames = 0;
  if (source.ReadAt(at + 4 + sideInfo, x, sizeof x) &&
      (std::memcmp(x, "Xing", 4) == 0 || std::memcmp(x, "Info", 4) == 0) && (Be32(x + 4) & 1)) {
    frames = Be32(x + 8);
  } else if (unsigned char v[18]; source.ReadAt(at + 4 + 32, v, sizeof v) && std::memcmp(v, "VBRI", 4) == 0) {
    frames = Be32(v + 14);
  }
  if (frames > 0) return static_cast<int64_t>(frames * h.samplesPerFrame * 1000 / h.sampleRate);
  const uint64_t end = AudioEnd(source);
  if (end <= at) return 0;
  // kbit/s is bits per millisecond.
  return static_cast<int64_t>((end - at) * 8 / h.bitrateKbps);
}

}  // namespace tarnix
