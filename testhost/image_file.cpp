#include "testhost/image_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tarnix::testhost {

namespace {

void Put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}
void Put32Big(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xff);
}
std::uint32_t Get16(const std::string& in, size_t at) {
  return static_cast<std::uint8_t>(in[at]) | static_cast<std::uint8_t>(in[at + 1]) << 8;
}
std::uint32_t Get32(const std::string& in, size_t at) { return Get16(in, at) | Get16(in, at + 2) << 16; }
std::uint32_t Get32Big(const std::string& in, size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<std::uint8_t>(in[at + i]);
  return v;
}
const std::uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

void PutChunk(std::string& out, const char type[4], const std::string& data) {
  Put32Big(out, static_cast<std::uint32_t>(data.size()));
  std::string body(type, 4);
  body += data;
  out += body;
  Put32Big(out, Crc32(Bytes(body), body.size()));
}

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
// Limit for decoded sizes, so that a bogus header cannot ask for gigabytes.
constexpr int kMaxSide = 16384;

bool SaneSize(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

}  // namespace

std::uint32_t RgbImage::Pixel(int x, int y) const {
  const size_t at = (static_cast<size_t>(y) * width + x) * 3;
  return static_cast<std::uint32_t>(rgb[at]) << 16 | rgb[at + 1] << 8 | rgb[at + 2];
}

std::uint32_t Crc32(const std::uint8_t* data, size_t size, std::uint32_t crc) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::uint32_t Adler32(const std::uint8_t* data, size_t size) {
  std::uint32_t a = 1, b = 0;
  for (size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

std::string EncodeBmp(const RgbImage& image) {
  const int stride = (image.width * 3 + 3) & ~3;
  const std::uint32_t pixels = static_cast<std::uint32_t>(stride) * image.height;
  std::string out;
  out += "BM";
  Put32(out, 54 + pixels);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(image.width));
  Put32(out, static_cast<std::uint32_t>(image.height));  // bottom-up rows
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, pixels);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const size_t at = (static_cast<size_t>(y) * image.width + x) * 3;
      out += static_cast<char>(image.rgb[at + 2]);
      out += static_cast<char>(image.rgb[at + 1]);
      out += static_cast<char>(image.rgb[at]);
    }
    out.append(stride - image.width * 3, '\0');
  }
  return out;
}

std::optional<RgbImage> DecodeBmp(const std::string& in) {
  if (in.size() < 54 || in.compare(0, 2, "BM") != 0) return std::nullopt;
  const std::uint32_t offset = Get32(in, 10);
  const std::int32_t width = static_cast<std::int32_t>(Get32(in, 18));
  const std::int32_t rawHeight = static_cast<std::int32_t>(Get32(in, 22));
  if (Get16(in, 28) != 24 || Get32(in, 30) != 0) return std::nullopt;
  const bool topDown = rawHeight < 0;
  const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
  if (!SaneSize(width, height)) return std::nullopt;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  if (offset > in.size() || in.size() - offset < stride * height) return std::nullopt;
  RgbImage image;
  image.width = width;
  image.height = static_cast<int>(height);
  image.rgb.resize(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < image.height; ++y) {
    const size_t row = offset + stride * (topDown ? y : image.height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const size_t at = (static_cast<size_t>(y) * width + x) * 3;
      image.rgb[at] = static_cast<std::uint8_t>(in[row + x * 3 + 2]);
      image.rgb[at + 1] = static_cast<std::uint8_t>(in[row + x * 3 + 1]);
      image.rgb[at + 2] = static_cast<std::uint8_t>(in[row + x * 3]);
    }
  }
  return image;
}

std::string EncodePng(const RgbImage& image) {
  // Scan lines, each with filter byte 0.
  std::string raw;
  const size_t rowBytes = static_cast<size_t>(image.width) * 3;
  for (int y = 0; y < image.height; ++y) {
    raw += '\0';
    raw.append(reinterpret_cast<const char*>(image.rgb.data()) + y * rowBytes, rowBytes);
  }
  // zlib stream of stored blocks.
  std::string z = "\x78\x01";
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    const bool last = at + n == raw.size();
    z += static_cast<char>(last ? 1 : 0);
    Put16(z, static_cast<unsigned>(n));
    Put16(z, static_cast<unsigned>(~n & 0xffff));
    z.append(raw, at, n);
    at += n;
  } while (at < raw.size());
  Put32Big(z, Adler32(Bytes(raw), raw.size()));

  std::string out(kPngSignature, 8);
  std::string header;
  Put32Big(header, static_cast<std::uint32_t>(image.width));
  Put32Big(header, static_cast<std::uint32_t>(image.height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter method, no interlace
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", z);
  PutChunk(out, "IEND", "");
  return out;
}

std::optional<RgbImage> DecodePng(const std::string& in) {
  if (in.size() < 8 || in.compare(0, 8, std::string(kPngSignature, 8)) != 0) return std::nullopt;
  std::string z;
  std::int64_t width = 0, height = 0;
  size_t at = 8;
  bool ended = false;
  while (!ended) {
    if (in.size() - at < 12) return std::nullopt;
    const std::uint32_t length = Get32Big(in, at);
    if (length > in.size() - at - 12) return std::nullopt;
    const std::string type = in.substr(at + 4, 4);
    if (Crc32(Bytes(in) + at + 4, length + 4) != Get32Big(in, at + 8 + length)) return std::nullopt;
    const std::string data = in.substr(at + 8, length);
    if (type == "IHDR") {
      if (length != 13 || data.compare(8, 5, std::string("\x08\x02\x00\x00\x00", 5)) != 0) {
        return std::nullopt;
      }
      width = Get32Big(data, 0);
      height = Get32Big(data, 4);
    } else if (type == "IDAT") {
      z += data;
    } else if (type == "IEND") {
      ended = true;
    }
    at += 12 + length;
  }
  if (!SaneSize(width, height) || z.size() < 6) return std::nullopt;
  // Stored blocks only.
  std::string raw;
  size_t p = 2;
  for (bool last = false; !last;) {
    if (z.size() - p < 5) return std::nullopt;
    const std::uint8_t head = static_cast<std::uint8_t>(z[p]);
    if ((head & 0x06) != 0) return std::nullopt;  // compressed blocks: not from this writer
    last = (head & 1) != 0;
    const std::uint32_t n = Get16(z, p + 1);
    if ((Get16(z, p + 3) ^ 0xffff) != n || z.size() - p - 5 < n) return std::nullopt;
    raw.append(z, p + 5, n);
    p += 5 + n;
  }
  if (z.size() - p < 4 || Get32Big(z, p) != Adler32(Bytes(raw), raw.size())) return std::nullopt;
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  if (raw.size() != (rowBytes + 1) * height) return std::nullopt;
  RgbImage image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.rgb.resize(rowBytes * height);
  for (int y = 0; y < image.height; ++y) {
    if (raw[y * (rowBytes + 1)] != 0) return std::nullopt;  // only the filter this writer uses
    std::memcpy(image.rgb.data() + y * rowBytes, raw.data() + y * (rowBytes + 1) + 1, rowBytes);
  }
  return image;
}

bool WriteImage(const RgbImage& image, const std::string& path) {
  if (!SaneSize(image.width, image.height) || image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3) {
    return false;
  }
  std::string ext = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return static_cast<char>(c | 0x20); });
  const std::string bytes = ext == ".png" ? EncodePng(image) : EncodeBmp(image);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

std::optional<RgbImage> ReadImage(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
  std::fclose(file);
  if (bytes.compare(0, 2, "BM") == 0) return DecodeBmp(bytes);
  return DecodePng(bytes);
}

}  // namespace tarnix::testhost
