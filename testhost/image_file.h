#pragma once
// Images as 24-bit RGB pixels, written as BMP or PNG without any library, and read back (BMP of
// 24 bits, and the PNG files this writer makes: 8-bit RGB, no interlace, stored deflate blocks
// or none beyond what it writes). No <windows.h>: the formats are plain bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnix::testhost {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // rows top to bottom, 3 bytes per pixel (R, G, B)

  std::uint32_t Pixel(int x, int y) const;  // 0xRRGGBB
};

std::uint32_t Crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0);
std::uint32_t Adler32(const std::uint8_t* data, size_t size);

std::string EncodeBmp(const RgbImage& image);
std::string EncodePng(const RgbImage& image);
std::optional<RgbImage> DecodeBmp(const std::string& bytes);
std::optional<RgbImage> DecodePng(const std::string& bytes);

// By the file name's extension: ".png" is PNG, anything else BMP.
bool WriteImage(const RgbImage& image, const std::string& path);
// By the file's signature.
std::optional<RgbImage> ReadImage(const std::string& path);

}  // namespace tarnix::testhost
