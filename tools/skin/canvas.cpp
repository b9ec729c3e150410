#include "canvas.h"

#include <cstdio>

namespace tarnix::skin {

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

Rgb Canvas::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Canvas::Set(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * width_ + x] = c;
}

void Canvas::Fill(int x, int y, int w, int h, Rgb c) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) Set(i, j, c);
}

void Canvas::Bevel(int x, int y, int w, int h, Rgb light, Rgb dark) {
  HLine(x, y, w, light);
  VLine(x, y, h, light);
  HLine(x, y + h - 1, w, dark);
  VLine(x + w - 1, y, h, dark);
}

void Canvas::Blit(int dx, int dy, int w, int h, const Canvas& src, int sx, int sy) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) Set(dx + i, dy + j, src.At(sx + i, sy + j));
}

namespace {
void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
}  // namespace

std::vector<std::uint8_t> Canvas::ToBmp() const {
  const std::uint32_t stride = (static_cast<std::uint32_t>(width_) * 3 + 3) & ~3u;
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height_);
  std::vector<std::uint8_t> out;
  out.reserve(54 + imageSize);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + imageSize);
  Put32(out, 0);
  Put32(out, 54);
  // BITMAPINFOHEADER: 24 bits, uncompressed, 72 dpi
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width_));
  Put32(out, static_cast<std::uint32_t>(height_));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, imageSize);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    std::uint32_t written = 0;
    for (int x = 0; x < width_; ++x) {
      const Rgb c = At(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
      written += 3;
    }
    for (; written < stride; ++written) out.push_back(0);
  }
  return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace tarnix::skin
