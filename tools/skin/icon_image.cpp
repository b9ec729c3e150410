#include "icon_image.h"

#include "skin_palette.h"

namespace tarnix::skin {

namespace {

constexpr Rgb C(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The .ico image block: a BITMAPINFOHEADER of double height, 32-bit BGRA rows and the AND
// mask, both bottom-up.
std::vector<std::uint8_t> IconBlock(const IconImage& image) {
  const int size = image.colours.Width();
  std::vector<std::uint8_t> out;
  const std::uint32_t maskStride = ((static_cast<std::uint32_t>(size) + 31) / 32) * 4;
  const std::uint32_t xorSize = static_cast<std::uint32_t>(size) * size * 4;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(size));
  Put32(out, static_cast<std::uint32_t>(size) * 2);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);
  Put32(out, xorSize + maskStride * size);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = size - 1; y >= 0; --y)
    for (int x = 0; x < size; ++x) {
      const bool on = image.opaque[static_cast<size_t>(y) * size + x];
      const Rgb c = on ? image.colours.At(x, y) : Rgb{};
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
      out.push_back(on ? 255 : 0);
    }
  for (int y = size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskStride, 0);
    for (int x = 0; x < size; ++x)
      if (!image.opaque[static_cast<size_t>(y) * size + x]) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

IconImage DrawIcon(int size) {
  namespace pal = palette;
  const int s = size / 16;  // drawn on a 16-unit grid, each unit s pixels
  IconImage icon{Canvas(size, size), std::vector<bool>(static_cast<size_t>(size) * size, true)};
  Canvas& c = icon.colours;
  auto unit = [&](int ux, int uy, int uw, int uh, Rgb colour) { c.Fill(ux * s, uy * s, uw * s, uh * s, colour); };
  // Tile with a one-unit rim and clipped corners.
  unit(0, 0, 16, 16, C(pal::kShadow));
  unit(1, 1, 14, 14, C(pal::kFrame));
  c.HLine(s, s, 14 * s, C(pal::kOuterHi));
  c.VLine(s, s, 14 * s, C(pal::kOuterHi));
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x)
      for (int cx : {x, size - 1 - x})
        for (int cy : {y, size - 1 - y}) icon.opaque[static_cast<size_t>(cy) * size + cx] = false;
  // The list: two plain rows and the playing row with its marker.
  unit(3, 3, 10, 2, C(pal::kDeep));
  unit(6, 3, 7, 1, C(pal::kLabel));
  unit(3, 7, 10, 2, C(pal::kDeep));
  unit(6, 7, 7, 2, C(pal::kStripeOn));
  unit(3, 11, 10, 2, C(pal::kDeep));
  unit(6, 11, 7, 1, C(pal::kLabel));
  // Play marker: a small right-pointing triangle, three units high.
  unit(3, 6, 1, 4, C(pal::kTitleOn));
  unit(4, 7, 1, 2, C(pal::kTitleOn));
  return icon;
}

std::vector<std::uint8_t> BuildIconFile() {
  const IconImage images[] = {DrawIcon(16), DrawIcon(32)};
  std::vector<std::vector<std::uint8_t>> blocks;
  for (const IconImage& image : images) blocks.push_back(IconBlock(image));
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(blocks.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(blocks.size());
  for (size_t i = 0; i < blocks.size(); ++i) {
    const int size = images[i].colours.Width();
    out.push_back(static_cast<std::uint8_t>(size));
    out.push_back(static_cast<std::uint8_t>(size));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(blocks[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(blocks[i].size());
  }
  for (const auto& block : blocks) out.insert(out.end(), block.begin(), block.end());
  return out;
}

}  // namespace tarnix::skin
