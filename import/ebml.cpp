#include "import/ebml.h"

#include <algorithm>

namespace tarnix {
namespace {

size_t VintLength(unsigned char first) {
  for (size_t length = 1; length <= 8; ++length) {
    if (first & (0x80u >> (length - 1))) return length;
  }
  return 0;
}

}  // namespace

bool ParseEbmlHeader(std::string_view bytes, EbmlHeader* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.empty()) return false;
  const size_t idLength = VintLength(p[0]);
  if (idLength == 0 || idLength > 4 || idLength >= bytes.size()) return false;
  uint32_t id = 0;
  for (size_t i = 0; i < idLength; ++i) id = id << 8 | p[i];
  const size_t sizeLength = VintLength(p[idLength]);
  if (sizeLength == 0 || idLength + sizeLength > bytes.size()) return false;
  const unsigned char valueBits = static_cast<unsigned char>(0xFFu >> sizeLength);
  uint64_t size = p[idLength] & valueBits;
  bool allOnes = (p[idLength] & valueBits) == valueBits;
  for (size_t i = 1; i < sizeLength; ++i) {
    size = size << 8 | p[idLength + i];
    allOnes = allOnes && p[idLength + i] == 0xFF;
  }
  *out = EbmlHeader{id, idLength + sizeLength, size, allOnes};
  return true;
}

uint64_t EbmlUnsigned(std::string_view body) {
  if (body.size() > 8) return 0;
  uint64_t value = 0;
  for (const char c : body) value = value << 8 | static_cast<unsigned char>(c);
  return value;
}

uint64_t EbmlMaxSize(int width) { return (uint64_t{1} << (7 * width)) - 2; }

int EbmlSizeWidth(uint64_t size) {
  int width = 1;
  while (width < 8 && size > EbmlMaxSize(width)) ++width;
  return width;
}

std::string BigEndian(uint64_t value, int width) {
  std::string out(static_cast<size_t>(width), '\0');
  for (int i = width - 1; i >= 0; --i, value >>= 8) out[static_cast<size_t>(i)] = static_cast<char>(value & 0xFF);
  return out;
}

std::string EbmlSize(uint64_t size, int width) {
  std::string out = BigEndian(size, width);
  out[0] = static_cast<char>(static_cast<unsigned char>(out[0]) | (0x80u >> (width - 1)));
  return out;
}

int UnsignedWidth(uint64_t value) {
  int width = 1;
  while (width < 8 && (value >> (8 * width)) != 0) ++width;
  return width;
}

std::string EbmlElement(uint32_t id, std::string_view body, int minWidth) {
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if ((id >> shift) != 0 || !out.empty()) out += static_cast<char>(id >> shift & 0xFF);
  }
  const int width = std::max(minWidth, EbmlSizeWidth(body.size()));
  return out + EbmlSize(body.size(), width) + std::string(body);
}

std::string EbmlUnsignedElement(uint32_t id, uint64_t value) {
  return EbmlElement(id, BigEndian(value, UnsignedWidth(value)));
}

std::string EbmlVoidHeader(uint64_t total) {
  // The narrowest size field that leaves a body the field can hold; two bytes make an empty Void.
  int width = 1;
  while (width < 8 && total - 1 - static_cast<uint64_t>(width) > EbmlMaxSize(width)) ++width;
  return std::string(1, static_cast<char>(kEbmlVoidId)) + EbmlSize(total - 1 - static_cast<uint64_t>(width), width);
}

std::string EbmlCrc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  crc ^= 0xFFFFFFFFu;
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[static_cast<size_t>(i)] = static_cast<char>(crc >> (8 * i) & 0xFF);
  return out;
}

}  // namespace tarnix
