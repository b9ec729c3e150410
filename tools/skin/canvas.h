#pragma once
// An in-memory RGB picture with the few drawing operations the skin and icon generators need.

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix::skin {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
  friend bool operator!=(Rgb a, Rgb b) { return !(a == b); }
};

// A width x height grid of colours, origin top-left; writes outside the grid are dropped.
class Canvas {
 public:
  Canvas(int width, int height, Rgb fill = {});

  int Width() const { return width_; }
  int Height() const { return height_; }

  Rgb At(int x, int y) const;
  void Set(int x, int y, Rgb c);
  void Fill(int x, int y, int w, int h, Rgb c);
  void HLine(int x, int y, int w, Rgb c) { Fill(x, y, w, 1, c); }
  void VLine(int x, int y, int h, Rgb c) { Fill(x, y, 1, h, c); }
  // A one-pixel bevel: top and left edge in `light`, bottom and right edge in `dark`.
  void Bevel(int x, int y, int w, int h, Rgb light, Rgb dark);
  // Copies a w x h block of `src` at (sx, sy) to (dx, dy), like a plain source copy.
  void Blit(int dx, int dy, int w, int h, const Canvas& src, int sx, int sy);

  // The picture as a 24-bit bottom-up BMP file image.
  std::vector<std::uint8_t> ToBmp() const;

 private:
  int width_, height_;
  std::vector<Rgb> pixels_;
};

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace tarnix::skin
