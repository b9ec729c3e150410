#pragma once
// EBML, the binary form of Matroska and WebM: element headers read from bytes, and elements
// encoded for the chapter writer. An element is an id (one to four bytes, its length marker bits
// kept, as the element tables write them), a size (one to eight bytes, all value bits set meaning
// "unknown") and the body.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnix {

struct EbmlHeader {
  uint32_t id = 0;
  size_t length = 0;  // of the id and the size
  uint64_t size = 0;
  bool unknownSize = false;
};

// The element header at the start of `bytes`; false when they don't hold a well-formed one.
bool ParseEbmlHeader(std::string_view bytes, EbmlHeader* out);

// An unsigned integer element's value; longer than eight bytes reads as 0.
uint64_t EbmlUnsigned(std::string_view body);

// Calls visit(id, body) for each child in `bytes` until it returns false. A child of unknown
// size runs to the end of its parent; one that runs past it, or a broken header, ends the walk.
template <typename Visit>
void ForEachEbmlChild(std::string_view bytes, Visit&& visit) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    EbmlHeader header;
    if (!ParseEbmlHeader(bytes.substr(pos), &header)) return;
    const size_t start = pos + header.length;
    const size_t room = bytes.size() - start;
    if (!header.unknownSize && header.size > room) return;
    const size_t size = header.unknownSize ? room : static_cast<size_t>(header.size);
    if (!visit(header.id, bytes.substr(start, size))) return;
    pos = start + size;
  }
}

// The largest known size a size field of `width` bytes holds (all ones is "unknown").
uint64_t EbmlMaxSize(int width);
// The fewest bytes a size field holding `size` needs.
int EbmlSizeWidth(uint64_t size);
// A size field of exactly `width` bytes; `size` must fit (EbmlMaxSize).
std::string EbmlSize(uint64_t size, int width);
// `value` in big-endian order in `width` bytes.
std::string BigEndian(uint64_t value, int width);
// The fewest bytes (at least one) an unsigned value needs.
int UnsignedWidth(uint64_t value);
// An element with its size field at least `minWidth` bytes wide (and wide enough for the body).
std::string EbmlElement(uint32_t id, std::string_view body, int minWidth = 1);
std::string EbmlUnsignedElement(uint32_t id, uint64_t value);
// The header of a Void element of exactly `total` bytes, header included (at least 2); what
// follows it up to `total` is the Void's body, whatever it holds.
std::string EbmlVoidHeader(uint64_t total);
// The CRC-32 (IEEE 802.3) an EBML CRC-32 element holds for the bytes after it, little-endian.
std::string EbmlCrc32(std::string_view bytes);

constexpr uint32_t kEbmlVoidId = 0xEC;
constexpr uint32_t kEbmlCrc32Id = 0xBF;

}  // namespace tarnix
