#include "skin_image.h"

#include "glyphs.h"
#include "skin_layout.h"
#include "skin_palette.h"

namespace tarnix::skin {

namespace {

namespace pal = palette;
namespace lay = layout;

constexpr Rgb C(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

// Caption strip rows: outer edge, dark title band with stripes, frame, then the top of the
// list well, which starts right below the caption at client y = 20.
constexpr int kBandTop = 1, kBandRows = 13;
constexpr int kStripeRows[] = {4, 6, 8, 10};

struct CaptionColours {
  Rgb stripe, title;
};

CaptionColours CaptionColoursFor(bool active) {
  return active ? CaptionColours{C(pal::kStripeOn), C(pal::kTitleOn)}
                : CaptionColours{C(pal::kStripeOff), C(pal::kTitleOff)};
}

// The vertical profile shared by every caption column.
void CaptionBackground(Canvas& c, int x, int y, int w) {
  c.Fill(x, y, w, 20, C(pal::kFrame));
  c.HLine(x, y, w, C(pal::kOuterHi));
  c.Fill(x, y + kBandTop, w, kBandRows, C(pal::kFrameDark));
  c.HLine(x, y + 18, w, C(pal::kShadow));
  c.HLine(x, y + 19, w, C(pal::kDeep));
}

void Stripes(Canvas& c, int x, int y, int w, Rgb colour) {
  for (int row : kStripeRows) c.HLine(x, y + row, w, colour);
}

void DrawCross(Canvas& c, int x, int y, Rgb colour) {
  for (int i = 0; i < 5; ++i) {
    c.Set(x + i, y + i, colour);
    c.Set(x + 4 - i, y + i, colour);
  }
}

enum class CloseState { Normal, Inactive, Pressed };

void DrawClose(Canvas& c, int x, int y, CloseState state) {
  switch (state) {
    case CloseState::Normal:
      c.Fill(x, y, 9, 9, C(pal::kButtonFace));
      c.Bevel(x, y, 9, 9, C(pal::kButtonHi), C(pal::kButtonShadow));
      DrawCross(c, x + 2, y + 2, C(pal::kLabel));
      break;
    case CloseState::Inactive:
      c.Fill(x, y, 9, 9, C(pal::kFrameDark));
      c.Bevel(x, y, 9, 9, C(pal::kFrameHi), C(pal::kShadow));
      DrawCross(c, x + 2, y + 2, C(pal::kTitleOff));
      break;
    case CloseState::Pressed:
      c.Fill(x, y, 9, 9, C(pal::kButtonDownFace));
      c.Bevel(x, y, 9, 9, C(pal::kButtonShadow), C(pal::kButtonHi));
      DrawCross(c, x + 2, y + 2, C(pal::kLabelDown));
      break;
  }
}

// The columns of the right border tile, counted from its left edge (client x = width - 20).
// The scroll track (columns 5 to 12) is the same in every row, so that the thumb can be
// erased from any row of the tile.
void RightBorderColumns(Canvas& c, int x, int y, int h) {
  c.Fill(x, y, 20, h, C(pal::kFrame));
  c.VLine(x + 0, y, h, C(pal::kWellHi));
  c.VLine(x + 4, y, h, C(pal::kShadow));
  c.Fill(x + 5, y, 8, h, C(pal::kTrack));
  c.VLine(x + 13, y, h, C(pal::kFrameHi));
  c.VLine(x + 19, y, h, C(pal::kShadow));
}

void LeftBorderColumns(Canvas& c, int x, int y, int h) {
  c.Fill(x, y, 12, h, C(pal::kFrame));
  c.VLine(x + 0, y, h, C(pal::kOuterHi));
  c.VLine(x + 10, y, h, C(pal::kShadow));
  c.VLine(x + 11, y, h, C(pal::kDeep));
}

void DrawCaptionLeft(Canvas& c, int y, bool active) {
  const lay::Piece p = lay::kCaptionLeft;
  CaptionBackground(c, p.x, y, p.w);
  Stripes(c, p.x + 5, y, p.w - 5, CaptionColoursFor(active).stripe);
  c.VLine(p.x, y, 20, C(pal::kOuterHi));
  // The left border runs up beside the well's top edge.
  c.Fill(p.x + 1, y + 18, 9, 2, C(pal::kFrame));
  c.Set(p.x + 10, y + 19, C(pal::kShadow));
  // A small accent block where the stripes begin.
  c.Fill(p.x + 2, y + 4, 2, 7, CaptionColoursFor(active).stripe);
}

void DrawCaptionFiller(Canvas& c, int y, bool active) {
  const lay::Piece p = lay::kCaptionFiller;
  CaptionBackground(c, p.x, y, p.w);
  Stripes(c, p.x, y, p.w, CaptionColoursFor(active).stripe);
}

void DrawCaptionTitle(Canvas& c, int y, bool active) {
  const lay::Piece p = lay::kCaptionTitle;
  const CaptionColours colours = CaptionColoursFor(active);
  CaptionBackground(c, p.x, y, p.w);
  constexpr int plateX = 25, plateW = 50;
  Stripes(c, p.x, y, plateX - 2, colours.stripe);
  Stripes(c, p.x + plateX + plateW + 2, y, p.w - plateX - plateW - 2, colours.stripe);
  c.Fill(p.x + plateX, y + 2, plateW, 11, C(pal::kPlate));
  c.Bevel(p.x + plateX, y + 2, plateW, 11, C(pal::kShadow), C(pal::kFrameHi));
  const int textW = TextWidth(GlyphFont::Title, "TARNIX", 2);
  DrawText(c, GlyphFont::Title, p.x + plateX + (plateW - textW) / 2, y + 4, "TARNIX", colours.title, 2);
}

void DrawCaptionRight(Canvas& c, int y, bool active) {
  const lay::Piece p = lay::kCaptionRight;
  CaptionBackground(c, p.x, y, p.w);
  Stripes(c, p.x, y, 11, CaptionColoursFor(active).stripe);
  // Columns 5 to 24 sit above the right border: continue its columns into the well's top
  // rows, with the scroll track's upper end at row 19.
  const int bx = p.x + 5;
  c.Fill(bx + 1, y + 18, 19, 2, C(pal::kFrame));
  c.HLine(bx + 4, y + 19, 10, C(pal::kShadow));
  c.VLine(p.x + 24, y + 1, 19, C(pal::kShadow));
  c.Set(p.x + 24, y, C(pal::kFrameHi));
  DrawClose(c, lay::kCloseNormal.x, y + lay::kCloseNormal.y, active ? CloseState::Normal : CloseState::Inactive);
}

// One column of the bottom bar: the lower edge of the list well, the bar, the outer edge.
void BarBackground(Canvas& c, int x, int y, int w) {
  c.Fill(x, y, w, 38, C(pal::kFrame));
  c.HLine(x, y, w, C(pal::kWellHi));
  c.HLine(x, y + 37, w, C(pal::kShadow));
}

void DrawBarLeft(Canvas& c) {
  const lay::Piece p = lay::kBarLeft;
  BarBackground(c, p.x, p.y, p.w);
  c.VLine(p.x, p.y, 37, C(pal::kOuterHi));
  c.HLine(p.x + 1, p.y, 9, C(pal::kFrame));
  c.Set(p.x + 10, p.y, C(pal::kShadow));
  c.Set(p.x + 11, p.y, C(pal::kDeep));
  // An engraved name plate in the middle of the bar's height.
  const int tx = p.x + 16, ty = p.y + 15;
  DrawText(c, GlyphFont::Small, tx + 1, ty + 1, "TARNIX", C(pal::kShadow), 2);
  DrawText(c, GlyphFont::Small, tx, ty, "TARNIX", C(pal::kFrameHi), 2);
  const int lineX = tx + TextWidth(GlyphFont::Small, "TARNIX", 2) + 5;
  c.HLine(lineX, ty + 2, p.x + 92 - lineX, C(pal::kShadow));
  c.HLine(lineX, ty + 3, p.x + 92 - lineX, C(pal::kFrameHi));
}

void DrawBarFiller(Canvas& c) {
  const lay::Piece p = lay::kBarFiller;
  BarBackground(c, p.x, p.y, p.w);
}

void DrawBarWide(Canvas& c) {
  const lay::Piece p = lay::kBarWide;
  BarBackground(c, p.x, p.y, p.w);
  // Vent slots: decoration that marks the wide piece without breaking the bar's edges.
  for (int i = 0; i < 8; ++i) {
    const int x = p.x + 23 + 4 * i;
    c.VLine(x, p.y + 11, 14, C(pal::kShadow));
    c.VLine(x + 1, p.y + 11, 14, C(pal::kFrameHi));
  }
}

// A bottom button face with its label; pressed buttons are sunken and the label moves by one
// pixel.
void DrawButton(Canvas& c, int x, int y, const char* label, bool pressed) {
  c.Fill(x, y, lay::kButtonW, lay::kButtonH, C(pressed ? pal::kButtonDownFace : pal::kButtonFace));
  if (pressed)
    c.Bevel(x, y, lay::kButtonW, lay::kButtonH, C(pal::kButtonShadow), C(pal::kButtonHi));
  else
    c.Bevel(x, y, lay::kButtonW, lay::kButtonH, C(pal::kButtonHi), C(pal::kButtonShadow));
  const int shift = pressed ? 1 : 0;
  const int tw = TextWidth(GlyphFont::Small, label);
  DrawText(c, GlyphFont::Small, x + (lay::kButtonW - tw) / 2 + shift,
           y + (lay::kButtonH - TextHeight(GlyphFont::Small)) / 2 + shift, label,
           C(pressed ? pal::kLabelDown : pal::kLabel));
}

void DrawBarRight(Canvas& c) {
  const lay::Piece p = lay::kBarRight;
  BarBackground(c, p.x, p.y, p.w);
  // The right border's columns end in the bar's top row, the outer edge runs down.
  const int bx = p.x + p.w - 20;
  c.HLine(bx + 1, p.y, 19, C(pal::kFrame));
  c.VLine(p.x + p.w - 1, p.y, 38, C(pal::kShadow));

  static const char* const kLabels[] = {"MENU", "FILE", "ADD", "<", ">"};
  for (int i = 0; i < 5; ++i) {
    const int x = lay::kButtonX + i * lay::kButtonStep;
    DrawButton(c, x, lay::kButtonY, kLabels[i], false);
    DrawButton(c, x, lay::kButtonPressedY, kLabels[i], true);
  }

  // The two small scroll arrows in a recess that continues the scroll track.
  const int gx = bx + 4;  // image x 260
  c.VLine(gx, p.y, 14, C(pal::kShadow));
  c.Fill(gx + 1, p.y, 8, 14, C(pal::kTrack));
  c.VLine(gx + 9, p.y, 14, C(pal::kFrameHi));
  c.HLine(gx + 1, p.y, 8, C(pal::kTrackLine));
  c.HLine(gx + 1, lay::kArrowUp.y + 5, 8, C(pal::kTrackLine));
  c.HLine(gx, p.y + 14, 10, C(pal::kFrameHi));
  const lay::Piece up = lay::kArrowUp, down = lay::kArrowDown;
  for (int r = 0; r < 3; ++r) {
    c.HLine(up.x + 2 - r, up.y + 1 + r, 1 + 2 * r, C(pal::kLabel));
    c.HLine(down.x + r, down.y + 1 + r, 5 - 2 * r, C(pal::kLabel));
  }

  // The hatched resize grip in the corner, inside the bar's outer edge.
  const lay::Piece g = lay::kGrip;
  for (int y = g.y; y < g.y + g.h - 1; ++y)
    for (int x = g.x; x < g.x + g.w - 1; ++x) {
      const int k = (g.x + g.w - 2 - x) + (g.y + g.h - 2 - y);
      if (k > 13) continue;
      if (k % 4 == 1) c.Set(x, y, C(pal::kButtonHi));
      if (k % 4 == 2) c.Set(x, y, C(pal::kShadow));
    }
}

void DrawThumb(Canvas& c, const lay::Piece& p, bool pressed) {
  c.Fill(p.x, p.y, p.w, p.h, C(pressed ? pal::kThumbDownFace : pal::kThumbFace));
  c.Bevel(p.x, p.y, p.w, p.h, C(pal::kThumbHi), C(pal::kThumbShadow));
  for (int row : {5, 8, 11}) {
    c.HLine(p.x + 2, p.y + row, p.w - 4, C(pal::kThumbHi));
    c.HLine(p.x + 2, p.y + row + 1, p.w - 4, C(pal::kThumbShadow));
  }
}

}  // namespace

Canvas DrawSkinImage() {
  Canvas c(lay::kImageWidth, lay::kImageHeight, C(pal::kFrame));
  for (bool active : {true, false}) {
    const int y = active ? 0 : lay::kCaptionInactiveRow;
    DrawCaptionLeft(c, y, active);
    DrawCaptionTitle(c, y, active);
    DrawCaptionFiller(c, y, active);
    DrawCaptionRight(c, y, active);
  }
  LeftBorderColumns(c, lay::kBorderLeft.x, lay::kBorderLeft.y, lay::kBorderLeft.h);
  RightBorderColumns(c, lay::kBorderRight.x, lay::kBorderRight.y, lay::kBorderRight.h);
  DrawClose(c, lay::kClosePressed.x, lay::kClosePressed.y, CloseState::Pressed);
  DrawThumb(c, lay::kThumbNormal, false);
  DrawThumb(c, lay::kThumbPressed, true);
  DrawBarLeft(c);
  DrawBarFiller(c);
  DrawBarWide(c);
  DrawBarRight(c);
  return c;
}

Canvas ComposeWindow(const Canvas& skin, int width, int height, bool active) {
  Canvas w(width, height);
  const int s = active ? 0 : lay::kCaptionInactiveRow;
  auto blit = [&](int dx, int dy, const lay::Piece& p, int dyOffset = 0) {
    w.Blit(dx, dy, p.w, p.h, skin, p.x, p.y + dyOffset);
  };
  // Caption: ends, fillers, then the title piece over the fillers.
  blit(0, 0, lay::kCaptionLeft, s);
  for (int x = 25; x < width - 25; x += 25) blit(x, 0, lay::kCaptionFiller, s);
  blit(width - 25, 0, lay::kCaptionRight, s);
  blit((width - 100) / 2, 0, lay::kCaptionTitle, s);
  // Borders down to the bottom bar.
  const int n = height - 38;
  for (int y = 20; y < n; y += 29) {
    blit(0, y, lay::kBorderLeft);
    blit(width - 20, y, lay::kBorderRight);
  }
  // Bottom bar with fillers or the wide piece in between.
  constexpr int B = 100;
  blit(0, n, lay::kBarLeft);
  const int count = (width - 275) / 25;
  int x = B;
  for (int i = 0; i < count;) {
    if (count >= 3 && i == 0) {
      blit(x, n, lay::kBarWide);
      i += 3;
      x += 75;
    } else {
      blit(x, n, lay::kBarFiller);
      i += 1;
      x += 25;
    }
  }
  blit(x, n, lay::kBarRight);
  // The empty list and the thumb at the top of its track.
  w.Fill(12, 20, width - 32, n - 20, {0, 0, 0});
  blit(width - 15, 20, lay::kThumbNormal);
  return w;
}

}  // namespace tarnix::skin
