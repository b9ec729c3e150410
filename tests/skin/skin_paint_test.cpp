// Painting of the skinned window, checked pixel by pixel against the skin image's source
// rectangles: every pixel of the synthetic skin names its own coordinates.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "skin_fixture.h"

namespace tarnix::test {
namespace {

struct Region {
  int x, y, w, h;  // destination
  int sx, sy;      // source of the top-left pixel
};

// Counts pixels of `region` that do not show the skin pixel they should.
int Mismatches(const SkinHarness& h, const std::vector<COLORREF>& image, const Region& r) {
  int bad = 0;
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x)
      if (x >= 0 && x < h.width() && y >= 0 && y < h.height() &&
          h.At(image, x, y) != SkinPixel(r.sx + x - r.x, r.sy + y - r.y))
        ++bad;
  return bad;
}

bool InRect(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

SkinHarness::Options Size(int width, int height) {
  SkinHarness::Options o;
  o.width = width;
  o.height = height;
  return o;
}

TEST(FramePaintTest, TiledCaptionActiveAndInactive) {
  for (int width : {275, 350, 400}) {
    SkinHarness h(Size(width, 116));
    for (bool active : {true, false}) {
      h.frame.DrawCaption(active);
      const auto image = h.Capture();
      const int s = active ? 0 : 21;
      const RECT close = h.widgets.buttons[kCloseButton]->GetRect();
      const int title = (width - 100) / 2;
      int bad = 0;
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < width; ++x) {
          if (InRect(close, x, y)) continue;
          int sx;
          if (x >= title && x < title + 100) {
            sx = 26 + x - title;
          } else if (x < 25) {
            sx = x;
          } else if (x >= width - 25) {
            sx = 153 + x - (width - 25);
          } else {
            sx = 127 + (x - 25) % 25;
          }
          if (h.At(image, x, y) != SkinPixel(sx, s + y)) ++bad;
        }
      EXPECT_EQ(bad, 0) << "width " << width << (active ? " active" : " inactive");
      EXPECT_EQ(h.frame.CaptionInactive(), !active);
    }
  }
}

TEST(FramePaintTest, BorderTilesDownToTheBottomBar) {
  for (int height : {116, 174, 203}) {
    SkinHarness h(Size(300, height));
    const auto image = h.Capture();
    const int n = height - 38;
    const RECT bar = h.widgets.scrollBar->GetRect();
    const RECT thumb = h.widgets.scrollBar->ThumbRect();
    int bad = 0;
    for (int y = 20; y < n; ++y) {
      const int sy = 42 + (y - 20) % 29;
      for (int x = 0; x < 12; ++x)
        if (h.At(image, x, y) != SkinPixel(x, sy)) ++bad;
      for (int x = 280; x < 300; ++x) {
        if (InRect(thumb, x, y)) continue;
        if (h.At(image, x, y) != SkinPixel(31 + x - 280, sy)) ++bad;
      }
    }
    EXPECT_EQ(bad, 0) << "height " << height;
    EXPECT_EQ(bar.left, 285);
  }
}

TEST(FramePaintTest, BottomBarPiecesByWidth) {
  struct Piece {
    int x, w, sx, sy;
  };
  struct Case {
    int width;
    std::vector<Piece> pieces;
  } cases[] = {
      {274, {{0, 100, 0, 72}, {100, 175, 101, 72}}},
      {275, {{0, 100, 0, 72}, {100, 175, 101, 72}}},
      {325, {{0, 100, 0, 72}, {100, 25, 179, 0}, {125, 25, 179, 0}, {150, 175, 101, 72}}},
      {350, {{0, 100, 0, 72}, {100, 75, 205, 0}, {175, 175, 101, 72}}},
      {400, {{0, 100, 0, 72}, {100, 75, 205, 0}, {175, 25, 179, 0}, {200, 25, 179, 0}, {225, 175, 101, 72}}},
  };
  for (const Case& c : cases) {
    SkinHarness h(Size(c.width, 116));
    const auto image = h.Capture();
    const int n = 116 - 38;
    // The rows above and below the five bottom buttons (which lie between n + 8 and n + 28).
    for (const Piece& p : c.pieces) {
      EXPECT_EQ(Mismatches(h, image, {p.x, n, p.w, 8, p.sx, p.sy}), 0) << c.width << " piece at " << p.x;
      EXPECT_EQ(Mismatches(h, image, {p.x, n + 28, p.w, 10, p.sx, p.sy + 28}), 0) << c.width << " piece at " << p.x;
    }
  }
}

// The paint buffer outlives the paints: a window that grows past it, after shrinking or not,
// still shows the skin in its new corners.
TEST(FramePaintTest, ResizedWindowIsPaintedToItsNewEdges) {
  struct Size2 {
    int width, height;
  };
  const std::vector<std::vector<Size2>> walks = {
      {{275, 116}, {400, 203}},
      {{350, 174}, {275, 116}, {325, 174}, {400, 232}},
  };
  for (const auto& walk : walks) {
    SkinHarness h(Size(walk[0].width, walk[0].height));
    for (const Size2& size : walk) {
      h.frame.width = size.width;
      h.frame.height = size.height;
      h.frame.Resize(size.width, size.height);
      const auto image = h.Capture();
      const int n = size.height - 38;
      // The bar's right piece below its buttons, and the left border's last tile rows.
      EXPECT_EQ(Mismatches(h, image, {size.width - 175, n + 28, 175, 10, 101, 100}), 0)
          << size.width << "x" << size.height;
      const int tileTop = n - 1 - (n - 1 - 20) % 29;
      EXPECT_EQ(Mismatches(h, image, {0, tileTop, 12, n - tileTop, 0, 42}), 0) << size.width << "x" << size.height;
    }
  }
}

TEST(FramePaintTest, ButtonImagesNormalAndPressed) {
  SkinHarness h(Size(275, 116));
  for (int i = 0; i < 5; ++i) {
    const RECT r = h.widgets.buttons[i]->GetRect();
    const int w = r.right - r.left, ht = r.bottom - r.top;
    auto image = h.Capture();
    EXPECT_EQ(Mismatches(h, image, {r.left, r.top, w, ht, 108 + 30 * i, 80}), 0) << "normal " << i;
    h.widgets.buttons[i]->ShowPressed(true);
    image = h.Capture();
    EXPECT_EQ(Mismatches(h, image, {r.left, r.top, w, ht, 108 + 30 * i, 111}), 0) << "pressed " << i;
  }
  // The close button on an active caption.
  const RECT close = h.widgets.buttons[kCloseButton]->GetRect();
  EXPECT_EQ(Mismatches(h, h.Capture(), {close.left, close.top, 9, 9, 167, 3}), 0);
  h.widgets.buttons[kCloseButton]->ShowPressed(true);
  EXPECT_EQ(Mismatches(h, h.Capture(), {close.left, close.top, 9, 9, 52, 42}), 0);
}

TEST(FramePaintTest, CloseButtonFollowsTheFocusWithShowFocus) {
  SkinHarness h;
  HWND other = CreateTestWindow(nullptr, 600, 500, 100, 100, nullptr);
  SetFocus(other);
  ASSERT_NE(GetFocus(), h.window);
  const RECT close = h.widgets.buttons[kCloseButton]->GetRect();

  h.frame.showFocus = false;
  h.frame.Paint();
  EXPECT_FALSE(h.frame.CaptionInactive()) << "without showFocus the caption is always active";
  EXPECT_EQ(Mismatches(h, h.Capture(), {close.left, close.top, 9, 9, 167, 3}), 0);

  h.frame.showFocus = true;
  h.frame.Paint();
  EXPECT_TRUE(h.frame.CaptionInactive());
  EXPECT_EQ(Mismatches(h, h.Capture(), {close.left, close.top, 9, 9, 167, 24}), 0);
  EXPECT_EQ(Mismatches(h, h.Capture(), {0, 0, 25, 3, 0, 21}), 0) << "inactive caption row";
  // Held on an inactive caption it shows no pressed image.
  h.widgets.buttons[kCloseButton]->ShowPressed(true);
  EXPECT_EQ(Mismatches(h, h.Capture(), {close.left, close.top, 9, 9, 167, 24}), 0);
  // The focus messages redraw the caption and the caption button, still held or released.
  LRESULT result = 7;
  EXPECT_TRUE(h.frame.HandleMessage(WM_SETFOCUS, 0, 0, &result));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Mismatches(h, h.Capture(), {close.left, close.top, 9, 9, 52, 42}), 0);
  h.widgets.buttons[kCloseButton]->ShowPressed(false);
  EXPECT_EQ(Mismatches(h, h.Capture(), {close.left, close.top, 9, 9, 167, 3}), 0);
  DestroyWindow(other);
}

TEST(FramePaintTest, SingleImageBeforeTheGripExists) {
  SkinImage skin;
  SkinFrame frame;
  frame.width = 275;
  frame.height = 116;
  HWND window = CreateTestWindow(&frame, 100, 100, 275, 116, nullptr);
  frame.Attach(window, nullptr, nullptr, RECT{12, 20, -20, -38}, 100);
  frame.SetSkinImage(skin.Bitmap());
  frame.Resize(275, 116);
  // Below the caption the window is the skin's top-left corner; the caption is the single
  // caption image, active and inactive, 14 rows high.
  for (bool active : {true, false}) {
    frame.DrawCaption(active);
    UpdateWindow(window);
    const WindowDc dc(window);
    int bad = 0;
    for (int y = 0; y < 116; y += 3)
      for (int x = 0; x < 275; x += 3) {
        if (y < 14 && 27 + x >= 280) continue;  // the caption image ends with the skin image
        const COLORREF expected = y < 14 ? SkinPixel(27 + x, (active ? 0 : 15) + y) : SkinPixel(x, y);
        if (GetPixel(dc.Get(), x, y) != expected) ++bad;
      }
    EXPECT_EQ(bad, 0) << active;
  }
  frame.Destroy();
  DestroyWindow(window);
}

TEST(ScrollBarPaintTest, ThumbPositionsAndErase) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  auto& bar = *h.widgets.scrollBar;
  ShowLines(h.frame, list, 5);
  FillRows(list, 20);
  h.frame.Paint();
  auto image = h.Capture();
  EXPECT_EQ(Mismatches(h, image, {260, 20, 8, 18, 52, 53}), 0) << "first draw at the top";

  bar.ShowPressed(true);
  EXPECT_EQ(Mismatches(h, h.Capture(), {260, 20, 8, 18, 61, 53}), 0) << "pressed thumb";
  bar.ShowPressed(false);

  // The list scrolls by itself: the thumb follows and the old place shows the border again.
  list.ScrollTo(12, 0, true, true);
  ASSERT_EQ(list.TopRow(), 12);
  const int pos = 12 * 39 / 15;
  EXPECT_EQ(bar.ThumbPos(), pos);
  image = h.Capture();
  EXPECT_EQ(Mismatches(h, image, {260, 20 + pos, 8, 18, 52, 53}), 0) << "thumb at " << pos;
  int bad = 0;
  for (int y = 20; y < 20 + pos; ++y)
    for (int x = 260; x < 268; ++x)
      if (h.At(image, x, y) != SkinPixel(36 + x - 260, 42 + (y - 20) % 29)) ++bad;
  EXPECT_EQ(bad, 0) << "erased thumb matches the border tiles";

  // Back up across a tile boundary: rows below the new thumb are repaired too.
  list.ScrollTo(1, 0, true, true);
  image = h.Capture();
  const int pos1 = 1 * 39 / 15;
  EXPECT_EQ(Mismatches(h, image, {260, 20 + pos1, 8, 18, 52, 53}), 0);
  bad = 0;
  for (int y = 20 + pos1 + 18; y < 20 + pos + 18; ++y)
    for (int x = 260; x < 268; ++x)
      if (h.At(image, x, y) != SkinPixel(36 + x - 260, 42 + (y - 20) % 29)) ++bad;
  EXPECT_EQ(bad, 0);
}

// Pixels of one list line: background at the far right, and whether any text colour shows.
struct LineLook {
  COLORREF background;
  bool hasText;
  COLORREF text;
  int rightmostText;  // -1 without text
};

LineLook Look(const SkinHarness& h, const std::vector<COLORREF>& image, int line) {
  const RECT r = h.widgets.list->GetRect();
  const int lh = h.frame.LineHeight();
  const int top = r.top + 2 + line * lh;
  LineLook look{h.At(image, r.right - 1, top + lh / 2), false, 0, -1};
  for (int y = top; y < top + lh; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = h.At(image, x, y);
      if (c == look.background) continue;
      if (c == kNormalColour || c == kCurrentColour) {
        look.hasText = true;
        look.text = c;
      }
      if (x > look.rightmostText) look.rightmostText = x;
    }
  return look;
}

TEST(ListPaintTest, RowColours) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  ShowLines(h.frame, list, 4);
  list.Clear();
  for (const char* text : {"WWWWW", "WWWWW", "WWWWW"}) list.InsertRow(-1, text, 1);
  list.Select(1);
  list.SetCurrentRow(2);
  list.Redraw();
  const auto image = h.Capture();
  struct Expect {
    COLORREF background;
    bool text;
    COLORREF textColour;
  } expected[] = {
      {kNormalBgColour, true, kNormalColour},
      {kSelectedBgColour, true, kNormalColour},
      {kNormalBgColour, true, kCurrentColour},
      {kNormalBgColour, false, 0},  // past the last row
  };
  for (int line = 0; line < 4; ++line) {
    const LineLook look = Look(h, image, line);
    EXPECT_EQ(look.background, expected[line].background) << "line " << line;
    EXPECT_EQ(look.hasText, expected[line].text) << "line " << line;
    if (expected[line].text) {
      EXPECT_EQ(look.text, expected[line].textColour) << "line " << line;
    }
  }
  // Below the lines the list is NormalBG.
  const RECT r = list.GetRect();
  EXPECT_EQ(h.At(image, r.left + 3, r.top + 1), kNormalBgColour);
}

TEST(ListPaintTest, EmptyListIsOnlyTheBackground) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  list.Clear();
  list.Redraw();
  const auto image = h.Capture();
  const RECT r = list.GetRect();
  int other = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (h.At(image, x, y) != kNormalBgColour) ++other;
  EXPECT_EQ(other, 0);
}

TEST(ListPaintTest, TimeColumn) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  ShowLines(h.frame, list, 3);
  list.Clear();
  list.InsertRow(-1, "Intro\t1:23", 1);
  list.InsertRow(-1, "A name far too long to fit in the list before the time column\t12:34", 2);
  const RECT r = list.GetRect();
  const int areaRight = r.right - 4;
  const SIZE time = TextExtent(h.frame, "12:34");
  const SIZE intro = TextExtent(h.frame, "Intro");
  ASSERT_GT(time.cx, 0);

  list.SetTimeColumn(2);
  auto image = h.Capture();
  LineLook shortRow = Look(h, image, 0), longRow = Look(h, image, 1);
  EXPECT_GE(shortRow.rightmostText, areaRight - 3) << "time right-aligned";
  EXPECT_LT(shortRow.rightmostText, areaRight);
  EXPECT_GE(longRow.rightmostText, areaRight - 3);
  // Between the short name and the time there is only background.
  int gap = 0;
  const int lh = h.frame.LineHeight();
  for (int x = r.left + intro.cx + 2; x < areaRight - time.cx - 2; ++x) {
    bool blank = true;
    for (int y = r.top + 2; y < r.top + 2 + lh; ++y)
      if (h.At(image, x, y) != kNormalBgColour) blank = false;
    if (blank) ++gap;
  }
  EXPECT_EQ(gap, (areaRight - time.cx - 2) - (r.left + intro.cx + 2));

  list.SetTimeColumn(1);
  image = h.Capture();
  shortRow = Look(h, image, 0);
  longRow = Look(h, image, 1);
  EXPECT_LT(shortRow.rightmostText, r.left + intro.cx + 2) << "no time drawn";
  // The long name now runs across the whole width, past where the time was.
  EXPECT_GT(longRow.rightmostText, areaRight - time.cx + 2);
  EXPECT_LT(longRow.rightmostText, areaRight);
}

// Names are the listener's own text: an ampersand is drawn as itself, not taken as a mnemonic
// prefix that would hide it and underline the next letter.
TEST(ListPaintTest, AmpersandsAreDrawnAsThemselves) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  ShowLines(h.frame, list, 3);
  list.Clear();
  list.InsertRow(-1, "W", 1);
  list.InsertRow(-1, "W&&&&W", 2);
  list.Redraw();
  const auto image = h.Capture();
  const SIZE one = TextExtent(h.frame, "W"), whole = TextExtent(h.frame, "W&&&&W");
  const int expected = Look(h, image, 0).rightmostText + (whole.cx - one.cx);
  EXPECT_NEAR(Look(h, image, 1).rightmostText, expected, 2);
}

TEST(TitlePaintTest, TitleLineAndSameTextDrawnOnce) {
  SkinHarness::Options o;
  o.titleVisible = true;
  SkinHarness h(o);
  auto& title = *h.widgets.title;
  const RECT r = title.GetRect();
  EXPECT_EQ(r.bottom, r.top + h.frame.LineHeight() + 2);
  h.widgets.list->SetLayout(LayoutRect{12, r.bottom, -20, -38});  // as the plug-in places it
  title.SetText("WWW");
  auto image = h.Capture();
  bool text = false;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.left + 40; ++x)
      if (h.At(image, x, y) == kNormalColour) text = true;
  EXPECT_TRUE(text);
  // Paint over the title; the same text again must not draw.
  const BrushHandle red(CreateSolidBrush(RGB(255, 0, 0)));
  FillRect(WindowDc(h.window).Get(), &r, red.Get());
  title.SetText("WWW");
  EXPECT_EQ(h.At(h.Capture(), r.left + 1, r.top + 1), RGB(255, 0, 0));
  title.SetText("www");  // only the letter case differs: still a new text
  EXPECT_EQ(h.At(h.Capture(), r.left + 1, r.top + 1), kNormalBgColour);
}

// The region the window still has to paint.
GdiObject<HRGN> UpdateRegion(HWND window) {
  GdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
  GetUpdateRgn(window, region.Get(), FALSE);
  return region;
}

// A change of one row asks for that row alone to be painted (the progress changes every
// second); scrolling asks for the whole list.
TEST(PaintRequestTest, AChangedRowAsksForItsOwnRectangleOnly) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  ShowLines(h.frame, list, 5);
  FillRows(list, 20);
  list.SetCurrentRow(1);
  list.SetProgress("0:02 / 1:17");
  struct Case {
    const char* what;
    std::function<void()> change;
    std::vector<int> rows;
  } cases[] = {
      {"progress", [&] { list.SetProgress("0:03 / 1:17"); }, {1}},
      {"the same progress again", [&] { list.SetProgress("0:03 / 1:17"); }, {}},
      {"highlight moves on", [&] { list.SetCurrentRow(2), list.ShowRow(2, 0); }, {1, 2}},
      {"stop sign or skip mark", [&] { list.RedrawRow(4); }, {4}},
      {"a row off the page", [&] { list.RedrawRow(12); }, {}},
      {"selection", [&] { list.Select(3); }, {3}},
  };
  for (const Case& c : cases) {
    UpdateWindow(h.window);
    c.change();
    GdiObject<HRGN> expected(CreateRectRgn(0, 0, 0, 0));
    for (int row : c.rows) {
      const RECT r = list.GetRect();
      const int top = r.top + 2 + row * h.frame.LineHeight();  // rows start below the text inset
      const GdiObject<HRGN> band(CreateRectRgn(r.left, top, r.right, top + h.frame.LineHeight()));
      CombineRgn(expected.Get(), expected.Get(), band.Get(), RGN_OR);
    }
    EXPECT_TRUE(EqualRgn(UpdateRegion(h.window).Get(), expected.Get())) << c.what;
  }
  UpdateWindow(h.window);
  list.ScrollTo(10, 0, true, true);
  RECT box{};
  GetRgnBox(UpdateRegion(h.window).Get(), &box);
  const RECT whole = list.GetRect();
  RECT both;
  UnionRect(&both, &box, &whole);
  EXPECT_TRUE(EqualRect(&both, &box)) << "scrolling repaints the list";
}

// WM_PAINT draws, in DCs made for that message; WM_ERASEBKGND draws nothing.
TEST(PaintRequestTest, OnlyThePaintMessageDraws) {
  const long dcsBefore = LiveObjects(LiveKind::kDc);
  SkinHarness h;
  h.Capture();  // painted, skin pieces included
  EXPECT_EQ(LiveObjects(LiveKind::kDc), dcsBefore) << "no device context outlives its paint";
  const RECT client{0, 0, h.width(), h.height()};
  const BrushHandle red(CreateSolidBrush(RGB(255, 0, 0)));
  const WindowDc dc(h.window);
  FillRect(dc.Get(), &client, red.Get());
  LRESULT result = 0;
  EXPECT_TRUE(h.frame.HandleMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0, &result));
  EXPECT_NE(result, 0);
  auto image = h.Capture();
  EXPECT_EQ(std::count(image.begin(), image.end(), RGB(255, 0, 0)), static_cast<long>(image.size()));
  h.frame.Paint();
  image = h.Capture();
  EXPECT_EQ(std::count(image.begin(), image.end(), RGB(255, 0, 0)), 0);
}

TEST(TitleStyleTest, OwnFontFromTheFrameDescription) {
  SkinHarness h;
  auto& title = *h.widgets.title;
  title.SetStyle(MakeColourPair(kNormal, kNormalBG), 5);
  ASSERT_NE(title.OwnFont(), nullptr);
  EXPECT_NE(title.OwnFont(), h.frame.Font());
  LOGFONTA made{};
  GetObjectA(title.OwnFont(), sizeof made, &made);
  EXPECT_EQ(made.lfWeight, 700);
  EXPECT_EQ(made.lfUnderline, 1);
  EXPECT_EQ(made.lfItalic, 0);
  // Style 0 uses the frame font although the description still says bold and underlined.
  title.SetStyle(MakeColourPair(kNormal, kNormalBG), 0);
  EXPECT_EQ(title.OwnFont(), h.frame.Font());
  EXPECT_EQ(h.frame.LogFont().lfWeight, 700);
  // The next skin resets the description.
  h.frame.SetSkin("Arial", 12, kTestColours);
  EXPECT_EQ(h.frame.LogFont().lfWeight, 100);
  EXPECT_EQ(h.frame.LogFont().lfHeight, -12);
  EXPECT_EQ(title.OwnFont(), h.frame.Font()) << "the title follows the new frame font";
}

TEST(SkinTest, NoFontKeepsNoDanglingTitleFont) {
  SkinHarness h;
  auto& title = *h.widgets.title;
  title.SetStyle(MakeColourPair(kNormal, kNormalBG), 0);
  ASSERT_NE(title.OwnFont(), nullptr);
  h.frame.SetSkin(nullptr, 0, kTestColours);
  EXPECT_EQ(h.frame.Font(), nullptr);
  EXPECT_EQ(title.OwnFont(), nullptr);
  TEXTMETRICA metrics;
  GetTextMetricsA(MemoryDc(nullptr).Get(), &metrics);
  EXPECT_EQ(h.frame.LineHeight(), metrics.tmHeight);
}

TEST(SkinTest, LineHeightChangeRelaysTheWidgetsOut) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  h.frame.SetSkin("Arial", 8, kTestColours);
  const int small = h.frame.LineHeight();
  const int smallRows = list.PageRowCount();
  h.frame.SetSkin("Arial", 20, kTestColours);
  ASSERT_GT(h.frame.LineHeight(), small);
  EXPECT_EQ(list.PageRowCount(), (78 - 22) / h.frame.LineHeight());
  EXPECT_LT(list.PageRowCount(), smallRows);
  EXPECT_EQ(h.widgets.title->GetRect().bottom, 20 + h.frame.LineHeight() + 2);
}

TEST(SkinTest, NoGdiObjectsLeak) {
  SkinHarness h;
  FillRows(*h.widgets.list, 30);
  h.widgets.title->SetStyle(MakeColourPair(kNormal, kNormalBG), 3);
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 200; ++i) {
    h.frame.SetSkin(i % 2 ? "Arial" : "Tahoma", 9 + i % 5, kTestColours);
    h.frame.width = 275 + 25 * (i % 4);
    h.frame.height = 116 + 29 * (i % 3);
    h.frame.Resize(h.frame.width, h.frame.height);
  }
  const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  EXPECT_LE(after, before + 2) << before << " -> " << after;
  // The brushes handed out are live ones, the replaced ones are gone.
  HBRUSH old = h.frame.Brush(kNormalBG);
  h.frame.SetSkin("Arial", 10, kTestColours);
  EXPECT_EQ(GetObjectType(old), 0u);
  EXPECT_EQ(GetObjectType(h.frame.Brush(kNormalBG)), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(ScreenshotTest, SavesTheWindowAsTheUserSeesIt) {
  {
    SkinHarness::Options o;
    o.skinFromFile = true;
    SkinHarness h(o);
    FillRows(*h.widgets.list, 3);
    EXPECT_TRUE(h.SaveBmp("default_275x116.bmp"));
  }
  {
    SkinHarness::Options o;
    o.skinFromFile = true;
    o.width = 350;
    o.height = 174;
    o.titleVisible = true;
    SkinHarness h(o);
    auto& list = *h.widgets.list;
    h.widgets.title->SetText("Live at the Hall - Artist");
    list.SetLayout(LayoutRect{12, h.widgets.title->GetRect().bottom, -20, -38});
    list.Clear();
    for (int i = 0; i < 60; ++i) {
      TextString text;
      text.Format("%d. Subtrack number %d with a long name\t%d:%02d", i + 1, i + 1, i * 3, (i * 17) % 60);
      list.InsertRow(-1, text, i + 1);
    }
    list.SetTimeColumn(2);
    list.ScrollTo(25, 0, true, true);
    list.Redraw();
    EXPECT_TRUE(h.SaveBmp("scrolled_350x174.bmp"));
    list.Select(27);
    list.SetCurrentRow(29);
    list.Redraw();
    EXPECT_TRUE(h.SaveBmp("selected_playing_350x174.bmp"));
  }
}

}  // namespace
}  // namespace tarnix::test
