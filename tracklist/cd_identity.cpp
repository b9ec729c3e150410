#include "tracklist/cd_identity.h"

#include <algorithm>
#include <cstring>

#include "tracklist/platform.h"

namespace tarnix {

namespace {

uint32_t Le32(const unsigned char* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

int32_t LeSigned32(const unsigned char* p) { return static_cast<int32_t>(Le32(p)); }

int DigitSum(int64_t n) {
  int sum = 0;
  for (; n > 0; n /= 10) sum += static_cast<int>(n % 10);
  return sum;
}

}  // namespace

bool ParseCdaHeader(const unsigned char* bytes, size_t size, CdaInfo* info) {
  if (!bytes || size < static_cast<size_t>(kCdaHeaderSize)) return false;
  if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "CDDA", 4) != 0 ||
      std::memcmp(bytes + 12, "fmt ", 4) != 0 || Le32(bytes + 16) != 24)
    return false;
  info->trackNumber = static_cast<int16_t>(static_cast<uint16_t>(bytes[22] | (bytes[23] << 8)));
  info->volumeSerial = LeSigned32(bytes + 24);
  // Start + lead-in in 64 bits, held to the 32-bit range: a corrupt start must not wrap around.
  const int64_t start = int64_t{LeSigned32(bytes + 28)} + kLeadInFrames;
  info->startFrame = static_cast<int32_t>(std::min<int64_t>(start, INT32_MAX));
  info->lengthFrames = LeSigned32(bytes + 32);
  return true;
}

bool ReadCdaFile(const TextString& path, int* trackNumber, int32_t* volumeSerial, int32_t* startFrame,
                 int32_t* lengthFrames) {
  platform::File file(path, "rb");
  if (!file) return false;
  unsigned char header[kCdaHeaderSize];
  const size_t got = std::fread(header, 1, sizeof header, file.get());
  CdaInfo info;
  if (!ParseCdaHeader(header, got, &info)) return false;
  if (trackNumber) *trackNumber = info.trackNumber;
  if (volumeSerial) *volumeSerial = info.volumeSerial;
  if (startFrame) *startFrame = info.startFrame;
  if (lengthFrames) *lengthFrames = info.lengthFrames;
  return true;
}

uint32_t DiscIdOf(std::vector<CdaEntry> entries) {
  if (entries.empty()) return 0;
  std::sort(entries.begin(), entries.end(), [](const CdaEntry& a, const CdaEntry& b) { return a.start < b.start; });
  const CdaEntry& first = entries.front();
  const CdaEntry& last = entries.back();
  // In 64 bits: lengths read from damaged files must not overflow the sum.
  const int64_t seconds = (int64_t{last.start} + last.length - first.start) / 75;
  int64_t n = 0;
  for (const CdaEntry& e : entries) n += DigitSum(e.start / 75);
  const uint32_t count = static_cast<uint32_t>(entries.size());
  return (static_cast<uint32_t>(n % 255) << 24) | (static_cast<uint32_t>(seconds) << 8) | count;
}

uint32_t ComputeDiscId(const TextString& cdaPath, int* trackCount) {
  const TextString directory = cdaPath.DirectoryPart();
  std::vector<CdaEntry> entries;
  platform::EnumerateFiles(directory + "\\*.CDA", [&](const TextString& name) {
    CdaEntry entry;
    if (ReadCdaFile(directory + "\\" + name, nullptr, nullptr, &entry.start, &entry.length)) entries.push_back(entry);
    return true;
  });
  if (trackCount) *trackCount = static_cast<int>(entries.size());
  return DiscIdOf(std::move(entries));
}

}  // namespace tarnix
