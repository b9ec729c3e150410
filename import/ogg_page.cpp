#include "import/ogg_page.h"

#include <algorithm>
#include <array>
#include <utility>

#include "import/bounded_source.h"

namespace tarnix {
namespace {

constexpr size_t kChecksumAt = 22;
constexpr size_t kSequenceAt = 18;

std::array<uint32_t, 256> MakeChecksumTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t r = i << 24;
    for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
    table[i] = r;
  }
  return table;
}

uint32_t UpdateChecksum(uint32_t crc, std::string_view bytes) {
  static const std::array<uint32_t, 256> table = MakeChecksumTable();
  for (const char c : bytes) crc = (crc << 8) ^ table[((crc >> 24) ^ static_cast<unsigned char>(c)) & 0xFF];
  return crc;
}

// Polynomials over GF(2) modulo the checksum's: a * b mod P, and c * x^(8 * bytes) mod P, which
// is what running `bytes` zero bytes through a checksum register holding c leaves in it.
uint32_t MultiplyModP(uint32_t a, uint32_t b) {
  uint32_t product = 0;
  for (int bit = 31; bit >= 0; --bit) {
    product = (product & 0x80000000u) ? (product << 1) ^ 0x04C11DB7u : product << 1;
    if (b >> bit & 1) product ^= a;
  }
  return product;
}

uint32_t AfterZeroBytes(uint32_t crc, uint64_t bytes) {
  uint32_t power = 0x100;  // x^8: one byte
  for (; bytes > 0; bytes >>= 1, power = MultiplyModP(power, power)) {
    if (bytes & 1) crc = MultiplyModP(crc, power);
  }
  return crc;
}

void PutLe(std::string* out, size_t at, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) (*out)[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

uint64_t Le64(const char* p) { return uint64_t{Le32(p + 4)} << 32 | Le32(p); }

}  // namespace

size_t OggPageHeader::BodySize() const {
  size_t size = 0;
  for (const char c : lacing) size += static_cast<unsigned char>(c);
  return size;
}

bool ParseOggPageStart(std::string_view bytes, OggPageHeader* out) {
  if (bytes.size() < kOggPageHeader || bytes.substr(0, 4) != "OggS" || bytes[4] != 0) return false;
  out->flags = static_cast<uint8_t>(bytes[5]);
  out->granule = Le64(bytes.data() + 6);
  out->serial = Le32(bytes.data() + 14);
  out->sequence = Le32(bytes.data() + kSequenceAt);
  out->checksum = Le32(bytes.data() + kChecksumAt);
  out->lacing.clear();
  return true;
}

uint32_t OggChecksum(std::string_view bytes) { return UpdateChecksum(0, bytes); }

uint32_t OggPageChecksum(std::string_view page) {
  if (page.size() < kOggPageHeader) return OggChecksum(page);
  uint32_t crc = UpdateChecksum(0, page.substr(0, kChecksumAt));
  crc = UpdateChecksum(crc, std::string_view("\0\0\0\0", 4));
  return UpdateChecksum(crc, page.substr(kChecksumAt + 4));
}

void RenumberOggPage(std::string* page, uint32_t sequence) {
  // The checksum is linear: the new one is the old one plus the checksum of the change alone,
  // a page of zeros but the sequence number's changed bits. So whatever error the stored one
  // carries stays, and the page body need not be read again.
  std::string change(4, '\0');
  PutLe(&change, 0, Le32(page->data() + kSequenceAt) ^ sequence, 4);
  const uint32_t delta = AfterZeroBytes(OggChecksum(change), page->size() - kSequenceAt - 4);
  PutLe(page, kSequenceAt, sequence, 4);
  PutLe(page, kChecksumAt, Le32(page->data() + kChecksumAt) ^ delta, 4);
}

std::vector<std::string> PaginateOggPackets(const std::vector<std::string_view>& packets, uint32_t serial,
                                            uint32_t firstSequence, uint8_t lastFlags) {
  // Every packet as its segments: full ones of 255 bytes, then one shorter (maybe empty).
  struct Segment {
    std::string_view bytes;
    bool endsPacket;
  };
  std::vector<Segment> segments;
  for (std::string_view packet : packets) {
    for (; packet.size() >= 255; packet.remove_prefix(255)) segments.push_back({packet.substr(0, 255), false});
    segments.push_back({packet, true});
  }
  std::vector<std::string> pages;
  bool continued = false;
  for (size_t first = 0; first < segments.size(); first += kOggMaxSegments) {
    const size_t count = std::min(kOggMaxSegments, segments.size() - first);
    std::string page(kOggPageHeader, '\0');
    bool packetEnds = false;
    for (size_t i = first; i < first + count; ++i) {
      page.push_back(static_cast<char>(segments[i].bytes.size()));
      packetEnds = packetEnds || segments[i].endsPacket;
    }
    for (size_t i = first; i < first + count; ++i) page.append(segments[i].bytes);
    const bool last = first + count == segments.size();
    page.replace(0, 4, "OggS");
    page[5] = static_cast<char>((continued ? kOggContinued : 0) | (last ? lastFlags : 0));
    PutLe(&page, 6, packetEnds ? 0 : kOggNoGranule, 8);
    PutLe(&page, 14, serial, 4);
    PutLe(&page, kSequenceAt, firstSequence + static_cast<uint32_t>(pages.size()), 4);
    page[26] = static_cast<char>(count);
    PutLe(&page, kChecksumAt, OggPageChecksum(page), 4);
    pages.push_back(std::move(page));
    continued = !segments[first + count - 1].endsPacket;
  }
  return pages;
}

}  // namespace tarnix
