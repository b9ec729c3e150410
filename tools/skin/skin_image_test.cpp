// Checks that the built-in skin image holds consistent pieces: the places where the frame
// joins tiles side by side are seamless, the scroll track can be erased from any row, every
// state image differs from the others, and the committed files are what the generator draws.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "icon_image.h"
#include "skin_image.h"
#include "skin_layout.h"
#include "skin_palette.h"

namespace tarnix::skin {
namespace {

namespace lay = layout;

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool ColumnsEqual(const Canvas& a, int ax, int ay, const Canvas& b, int bx, int by, int h) {
  for (int y = 0; y < h; ++y)
    if (a.At(ax, ay + y) != b.At(bx, by + y)) return false;
  return true;
}

bool BlocksEqual(const Canvas& c, const lay::Piece& p, int qx, int qy) {
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x)
      if (c.At(p.x + x, p.y + y) != c.At(qx + x, qy + y)) return false;
  return true;
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST(SkinImage, CommittedFilesMatchTheGenerator) {
  EXPECT_EQ(ReadAll(TARNIX_RESOURCE_DIR "/skin.bmp"), DrawSkinImage().ToBmp())
      << "resources/skin.bmp is stale: run tools/make-skin.sh";
  EXPECT_EQ(ReadAll(TARNIX_RESOURCE_DIR "/tarnix.ico"), BuildIconFile())
      << "resources/tarnix.ico is stale: run tools/make-skin.sh";
}

TEST(SkinImage, BmpHeaderDescribes280By132At24Bits) {
  const std::vector<std::uint8_t> bmp = DrawSkinImage().ToBmp();
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(Le32(bmp, 2), bmp.size());
  EXPECT_EQ(Le32(bmp, 10), 54u);
  EXPECT_EQ(Le32(bmp, 18), 280u);
  EXPECT_EQ(Le32(bmp, 22), 132u);
  EXPECT_EQ(bmp[28], 24);
  EXPECT_EQ(bmp.size(), 54u + 280 * 3 * 132);
}

TEST(SkinImage, BmpRowsAreBottomUpInBgrOrder) {
  Canvas c(3, 2);
  c.Set(0, 0, {1, 2, 3});  // top-left
  c.Set(2, 1, {7, 8, 9});  // bottom-right
  const std::vector<std::uint8_t> bmp = c.ToBmp();
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);  // rows padded from 9 to 12 bytes
  // First stored row is the bottom one; its last pixel is (7, 8, 9) as B, G, R.
  EXPECT_EQ(bmp[54 + 6], 9);
  EXPECT_EQ(bmp[54 + 7], 8);
  EXPECT_EQ(bmp[54 + 8], 7);
  EXPECT_EQ(bmp[54 + 12 + 0], 3);
  EXPECT_EQ(bmp[54 + 12 + 2], 1);
}

// The thumb is erased by copying the track column from row 42 + (client y mod 29), whose
// phase differs from the tile's: only a track that is the same in every row erases cleanly.
TEST(SkinImage, ScrollTrackColumnIsTheSameInEveryRow) {
  const Canvas c = DrawSkinImage();
  for (int x = lay::kTrackColumnX; x < lay::kTrackColumnX + lay::kThumbNormal.w; ++x)
    for (int y = lay::kBorderRight.y; y < lay::kBorderRight.y + lay::kBorderRight.h; ++y)
      ASSERT_EQ(c.At(x, y), c.At(x, lay::kBorderRight.y)) << x << "," << y;
}

TEST(SkinImage, TiledPiecesJoinWithoutSeams) {
  const Canvas c = DrawSkinImage();
  struct Join {
    const char* what;
    int ax, bx, y, h;  // column ax must equal column bx over rows y .. y + h - 1
  };
  const lay::Piece f = lay::kCaptionFiller, bf = lay::kBarFiller;
  for (int s : {0, lay::kCaptionInactiveRow}) {
    const Join joins[] = {
        {"caption left end | filler", lay::kCaptionLeft.x + 24, f.x, s, 20},
        {"caption filler | right end", f.x + 24, lay::kCaptionRight.x, s, 20},
        {"caption filler | title", f.x + 24, lay::kCaptionTitle.x, s, 20},
        {"caption title | filler", lay::kCaptionTitle.x + 99, f.x, s, 20},
    };
    for (const Join& j : joins) EXPECT_TRUE(ColumnsEqual(c, j.ax, j.y, c, j.bx, j.y, j.h)) << j.what << " row " << s;
    for (int x = f.x; x < f.x + f.w; ++x)
      EXPECT_TRUE(ColumnsEqual(c, x, s, c, f.x, s, 20)) << "caption filler column " << x;
  }
  const Join barJoins[] = {
      {"bar left | filler", lay::kBarLeft.x + 99, bf.x, 0, 38},
      {"bar filler | right", bf.x + 24, lay::kBarRight.x, 0, 38},
      {"bar left | wide", lay::kBarLeft.x + 99, lay::kBarWide.x, 0, 38},
      {"bar wide | right", lay::kBarWide.x + 74, lay::kBarRight.x, 0, 38},
  };
  for (const Join& j : barJoins) {
    // Bar pieces lie at different rows of the image: compare row by row of each piece.
    const int ay = j.ax < 179 ? 72 : 0, by = j.bx < 179 ? 72 : 0;
    EXPECT_TRUE(ColumnsEqual(c, j.ax, ay, c, j.bx, by, j.h)) << j.what;
  }
  for (int x = bf.x; x < bf.x + bf.w; ++x)
    EXPECT_TRUE(ColumnsEqual(c, x, 0, c, bf.x, 0, 38)) << "bar filler column " << x;
}

// Tiles repeat downwards every 29 rows: their last and first rows meet.
TEST(SkinImage, BorderTilesRepeatVertically) {
  const Canvas c = DrawSkinImage();
  for (const lay::Piece& p : {lay::kBorderLeft, lay::kBorderRight})
    for (int x = p.x; x < p.x + p.w; ++x) EXPECT_EQ(c.At(x, p.y), c.At(x, p.y + p.h - 1)) << "column " << x;
}

TEST(SkinImage, StateImagesDifferFromEachOther) {
  const Canvas c = DrawSkinImage();
  EXPECT_FALSE(BlocksEqual(c, lay::kCloseNormal, lay::kCloseInactive.x, lay::kCloseInactive.y));
  EXPECT_FALSE(BlocksEqual(c, lay::kCloseNormal, lay::kClosePressed.x, lay::kClosePressed.y));
  EXPECT_FALSE(BlocksEqual(c, lay::kThumbNormal, lay::kThumbPressed.x, lay::kThumbPressed.y));
  for (int i = 0; i < 5; ++i) {
    const lay::Piece normal{lay::kButtonX + i * lay::kButtonStep, lay::kButtonY, 30, 20};
    EXPECT_FALSE(BlocksEqual(c, normal, normal.x, lay::kButtonPressedY)) << "button " << i;
    for (int j = 0; j < i; ++j)
      EXPECT_FALSE(BlocksEqual(c, normal, lay::kButtonX + j * lay::kButtonStep, lay::kButtonY))
          << "buttons " << j << " and " << i << " look alike";
  }
  // The arrows and the grip are painted into the bar, not left as plain bar colour.
  for (const lay::Piece& p : {lay::kArrowUp, lay::kArrowDown, lay::kGrip}) {
    bool drawn = false;
    for (int y = p.y; y < p.y + p.h; ++y)
      for (int x = p.x; x < p.x + p.w; ++x)
        drawn |= c.At(x, y) == Rgb{0xCC, 0xD2, 0xE2} || c.At(x, y) == Rgb{0x68, 0x6E, 0x82};
    EXPECT_TRUE(drawn) << p.x << "," << p.y;
  }
}

// The painted window at the sizes a user can reach: the bottom bar's top row is one line and
// the buttons show at their client rectangles.
TEST(SkinImage, ComposedWindowsShowButtonsAtTheirRectangles) {
  const Canvas skin = DrawSkinImage();
  for (int width : {275, 300, 325, 350, 375, 400, 500}) {
    const Canvas w = ComposeWindow(skin, width, 116, true);
    for (int i = 0; i < 5; ++i) {
      const int left = width - 168 + 30 * i;
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
          ASSERT_EQ(w.At(left + x, 86 + y), skin.At(lay::kButtonX + 30 * i + x, lay::kButtonY + y))
              << "width " << width << " button " << i;
    }
    for (int x = 12; x < width - 20; ++x) ASSERT_EQ(w.At(x, 78), w.At(12, 78)) << "width " << width << " x " << x;
  }
}

TEST(IconFile, HoldsA16And32PixelImage) {
  const std::vector<std::uint8_t> ico = BuildIconFile();
  ASSERT_GE(ico.size(), 6u + 32);
  EXPECT_EQ(ico[2] | (ico[3] << 8), 1);  // type: icon
  ASSERT_EQ(ico[4] | (ico[5] << 8), 2);
  const int sizes[] = {16, 32};
  for (int i = 0; i < 2; ++i) {
    const size_t e = 6 + 16 * i;
    EXPECT_EQ(ico[e], sizes[i]);
    EXPECT_EQ(ico[e + 1], sizes[i]);
    const std::uint32_t bytes = Le32(ico, e + 8), offset = Le32(ico, e + 12);
    ASSERT_LE(offset + bytes, ico.size());
    EXPECT_EQ(Le32(ico, offset + 4), static_cast<std::uint32_t>(sizes[i]));
    EXPECT_EQ(Le32(ico, offset + 8), static_cast<std::uint32_t>(2 * sizes[i]));
    const std::uint32_t mask = ((sizes[i] + 31) / 32) * 4 * sizes[i];
    EXPECT_EQ(bytes, 40 + sizes[i] * sizes[i] * 4 + mask);
  }
}

TEST(IconFile, CornersAreTransparentAndTheMiddleIsNot) {
  for (int size : {16, 32}) {
    const IconImage icon = DrawIcon(size);
    EXPECT_FALSE(icon.opaque[0]);
    EXPECT_FALSE(icon.opaque[static_cast<size_t>(size) * size - 1]);
    EXPECT_TRUE(icon.opaque[static_cast<size_t>(size / 2) * size + size / 2]);
  }
}

}  // namespace
}  // namespace tarnix::skin
