#pragma once
// Ogg pages as the Ogg chapter writer reads and rebuilds them: the page header, the checksum
// (CRC-32, polynomial 0x04C11DB7, not reflected, starting at 0, taken with the checksum field
// zeroed) and the laying out of packets into pages.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

constexpr size_t kOggPageHeader = 27;
constexpr size_t kOggMaxSegments = 255;
// The most one page can take: its header, a full segment table, 255 segments of 255 bytes.
constexpr size_t kOggMaxPage = kOggPageHeader + kOggMaxSegments + kOggMaxSegments * 255;

constexpr uint8_t kOggContinued = 0x01, kOggFirstPage = 0x02, kOggLastPage = 0x04;
constexpr uint64_t kOggNoGranule = UINT64_MAX;  // no packet ends on the page

struct OggPageHeader {
  uint8_t flags = 0;
  uint64_t granule = 0;
  uint32_t serial = 0;
  uint32_t sequence = 0;
  uint32_t checksum = 0;
  std::string lacing;  // the segment table

  size_t HeaderSize() const { return kOggPageHeader + lacing.size(); }
  size_t BodySize() const;
  size_t PageSize() const { return HeaderSize() + BodySize(); }
};

// The fixed 27 bytes of a page header: true when they begin "OggS" with version 0.
bool ParseOggPageStart(std::string_view bytes, OggPageHeader* out);
// The count of segment-table bytes that follow the fixed part.
inline size_t OggSegmentCount(std::string_view pageStart) { return static_cast<unsigned char>(pageStart[26]); }

uint32_t OggChecksum(std::string_view bytes);
// The checksum of a whole page as it should be (its own checksum field taken as zero).
uint32_t OggPageChecksum(std::string_view page);
// Sets a page's sequence number and keeps its checksum as right, or as wrong, as it was.
void RenumberOggPage(std::string* page, uint32_t sequence);

// Lays `packets` out in pages of one stream, as many segments on each as it holds, numbered from
// `firstSequence`: a page where a packet ends has granule position 0 (header packets), one where
// none does has kOggNoGranule. `lastFlags` go on the last page.
std::vector<std::string> PaginateOggPackets(const std::vector<std::string_view>& packets, uint32_t serial,
                                            uint32_t firstSequence, uint8_t lastFlags);

}  // namespace tarnix
