// Table tests of the skinned window's arithmetic.

#include "skin/skin_math.h"

#include <gtest/gtest.h>

#include "skin/window_layout.h"

namespace tarnix {
namespace {

TEST(LayoutRectTest, WindowTableAtDefaultSize) {
  struct Case {
    LayoutRect layout;
    IntRect expected;
  } cases[] = {
      {kButtonRows[0].layout, {107, 86, 137, 106}},
      {kButtonRows[1].layout, {137, 86, 167, 106}},
      {kButtonRows[2].layout, {167, 86, 197, 106}},
      {kButtonRows[3].layout, {197, 86, 227, 106}},
      {kButtonRows[4].layout, {227, 86, 257, 106}},
      {kButtonRows[5].layout, {264, 3, 273, 12}},
      {kButtonRows[6].layout, {257, 94, 274, 115}},
      {kButtonRows[7].layout, {261, 80, 265, 84}},
      {kButtonRows[8].layout, {261, 86, 265, 90}},
      {kListLayout, {12, 20, 255, 78}},
      {kScrollBarLayout, {260, 20, 268, 77}},
      // Zero is a coordinate, not an edge.
      {{0, 0, -1, 0}, {0, 0, 274, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolveLayout(c.layout, 275, 116), c.expected);
}

TEST(LayoutRectTest, NegativeMembersFollowTheFarEdges) {
  EXPECT_EQ(ResolveLayout({-168, -30, -138, -10}, 350, 174), (IntRect{182, 144, 212, 164}));
  EXPECT_EQ(ResolveLayout({12, 20, -20, -38}, 400, 203), (IntRect{12, 20, 380, 165}));
}

TEST(BottomBarTest, PieceSequence) {
  using P = PlacedPiece;
  const BarPiece L = BarPiece::Left, F = BarPiece::Filler, W = BarPiece::Wide, R = BarPiece::Right;
  struct Case {
    int width, leftWidth;
    std::vector<PlacedPiece> expected;
  } cases[] = {
      {200, 100, {P{L, 0}, P{R, 100}}},  // narrower than the minimum: no fillers
      {274, 100, {P{L, 0}, P{R, 100}}},
      {275, 100, {P{L, 0}, P{R, 100}}},
      {299, 100, {P{L, 0}, P{R, 100}}},
      {300, 100, {P{L, 0}, P{F, 100}, P{R, 125}}},
      {325, 100, {P{L, 0}, P{F, 100}, P{F, 125}, P{R, 150}}},
      {350, 100, {P{L, 0}, P{W, 100}, P{R, 175}}},
      {400, 100, {P{L, 0}, P{W, 100}, P{F, 175}, P{F, 200}, P{R, 225}}},
      // A wide left piece puts the wide piece last.
      {400, 150, {P{L, 0}, P{F, 150}, P{F, 175}, P{W, 200}, P{R, 275}}},
      {350, 137, {P{L, 0}, P{W, 137}, P{R, 212}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BottomBarPieces(c.width, c.leftWidth), c.expected) << c.width << "/" << c.leftWidth;
}

TEST(CaptionTest, TiledPiecesEndWithTheCentredTitle) {
  const auto pieces = CaptionPieces(275);
  ASSERT_EQ(pieces.size(), 12u);  // left end, fillers at 25..225, right end, title
  EXPECT_EQ(pieces.front().piece, CaptionPiece::LeftEnd);
  EXPECT_EQ(pieces[1].x, 25);
  EXPECT_EQ(pieces[9].x, 225);
  EXPECT_EQ(pieces[10].piece, CaptionPiece::RightEnd);
  EXPECT_EQ(pieces[10].x, 250);
  EXPECT_EQ(pieces.back().piece, CaptionPiece::Title);
  EXPECT_EQ(pieces.back().x, 87);
}

TEST(ResizeStepTest, WholeStepsFromTheStartSize) {
  struct Case {
    int dx, dy, width, height;
    FrameSize expected;
  } cases[] = {
      {0, 0, 275, 116, {275, 116}},
      {11, 0, 275, 116, {275, 116}},
      {12, 0, 275, 116, {300, 116}},
      {36, 0, 275, 116, {300, 116}},
      {37, 0, 275, 116, {325, 116}},
      {-37, 0, 300, 116, {300, 116}},
      {-38, 0, 300, 116, {275, 116}},
      {-62, 0, 325, 116, {300, 116}},
      {0, 13, 275, 116, {275, 116}},
      {0, 14, 275, 116, {275, 145}},
      {0, -43, 275, 145, {275, 145}},
      {0, -44, 275, 145, {275, 116}},
      // Never below the minimum, and a size off the grid stays off it.
      {-500, -500, 300, 145, {275, 116}},
      {25, 29, 280, 120, {305, 149}},
      {-38, 0, 280, 116, {275, 116}},
  };
  for (const Case& c : cases) EXPECT_EQ(ResizeStep(c.dx, c.dy, c.width, c.height), c.expected) << c.dx << "," << c.dy;
}

TEST(ScrollMathTest, ThumbAndRows) {
  // 20 rows, 5 visible: 15 beyond; track 57 high, thumb 18: range 39.
  EXPECT_EQ(ThumbFromPointer(20 + 29, 20, 18, 39), 20);
  EXPECT_EQ(TopRowFromThumb(20, 15, 39), 7);
  EXPECT_EQ(ThumbFromTopRow(7, 15, 39), 18);
  EXPECT_EQ(ThumbFromPointer(20, 20, 18, 39), 0);    // above the middle of the thumb
  EXPECT_EQ(ThumbFromPointer(500, 20, 18, 39), 39);  // below the track
  EXPECT_EQ(TopRowFromThumb(39, 15, 39), 15);
  EXPECT_EQ(ThumbFromTopRow(15, 15, 39), 39);
  EXPECT_EQ(ThumbFromTopRow(40, 15, 39), 39);  // at most the range
  // Nothing beyond the first page, or no range: the thumb stays at the top, nothing scrolls.
  EXPECT_EQ(TopRowFromThumb(20, 0, 39), -1);
  EXPECT_EQ(TopRowFromThumb(20, -3, 39), -1);
  EXPECT_EQ(ThumbFromTopRow(3, -3, 39), 0);
  EXPECT_EQ(ThumbFromPointer(60, 20, 18, 0), 0);
  EXPECT_EQ(TopRowFromThumb(0, 15, 0), -1);
  EXPECT_EQ(ThumbFromPointer(60, 20, 18, -5), 0);
  EXPECT_EQ(ThumbFromTopRow(3, 15, -5), 0);
  // Long lists do not overflow.
  EXPECT_EQ(TopRowFromThumb(39, 99995, 39), 99995);
  EXPECT_EQ(ThumbFromTopRow(99995, 99995, 39), 39);
}

TEST(SnapToTest, DistancesAndOverlaps) {
  const IntRect main{100, 100, 375, 216};
  struct Case {
    const char* what;
    IntRect own;
    SnapPoint pos;
    int distance;
    SnapPoint expected;
    bool x, y;
  } cases[] = {
      {"9 right of the right edge", {380, 120, 655, 236}, {384, 120}, 10, {375, 120}, true, false},
      {"10 right of the right edge", {380, 120, 655, 236}, {385, 120}, 10, {385, 120}, false, false},
      {"left edges line up, then below", {100, 200, 375, 316}, {105, 216}, 10, {100, 216}, true, true},
      {"no vertical overlap", {380, 300, 655, 416}, {384, 300}, 10, {384, 300}, false, false},
      {"sits against the left side", {-200, 120, 75, 236}, {-170, 120}, 10, {-175, 120}, true, false},
      {"left, then right edges line up", {90, 150, 365, 266}, {97, 400}, 10, {100, 400}, true, false},
      {"below the other", {120, 220, 395, 336}, {120, 222}, 10, {120, 216}, false, true},
      {"above the other", {120, -20, 395, 96}, {120, -10}, 10, {120, -16}, false, true},
      {"tops line up", {120, 100, 395, 216}, {120, 103}, 10, {120, 100}, false, true},
      {"distance 0 snaps nothing", {380, 120, 655, 236}, {375, 120}, 0, {375, 120}, false, false},
      {"distance 1 snaps only equal", {380, 120, 655, 236}, {375, 120}, 1, {375, 120}, true, false},
  };
  for (const Case& c : cases) {
    SnapPoint pos = c.pos;
    bool x = false, y = false;
    SnapTo(c.own, main, 275, 116, c.distance, pos, x, y);
    EXPECT_EQ(pos.x, c.expected.x) << c.what;
    EXPECT_EQ(pos.y, c.expected.y) << c.what;
    EXPECT_EQ(x, c.x) << c.what;
    EXPECT_EQ(y, c.y) << c.what;
  }
}

TEST(SnapToTest, AnAxisThatSnappedStaysPut) {
  SnapPoint pos{384, 120};
  bool x = true, y = false;
  SnapTo({380, 120, 655, 236}, {100, 100, 375, 216}, 275, 116, 10, pos, x, y);
  EXPECT_EQ(pos.x, 384);
}

TEST(RowsTest, PageRowsAndRowAt) {
  EXPECT_EQ(PageRows(22, 78, 11), 5);
  EXPECT_EQ(PageRows(22, 78, 12), 4);
  EXPECT_EQ(PageRows(22, 20, 12), 0);  // a list lower than its inset
  EXPECT_EQ(PageRows(22, 78, 0), 0);
  // Lines of 11 drawn from 22 down (the list's top 20 and its inset of 2): line n covers
  // 22 + 11n to 32 + 11n; the inset above the first line counts as it.
  struct Case {
    int y, topRow, rowCount, pageRows, expected;
  } cases[] = {
      {20, 0, 10, 5, 0},  {22, 0, 10, 5, 0}, {32, 0, 10, 5, 0}, {33, 0, 10, 5, 1}, {76, 0, 10, 5, 4},
      {77, 0, 10, 5, -1}, {33, 4, 10, 5, 5}, {44, 0, 2, 5, -1}, {43, 0, 2, 5, 1},  {20, 0, 0, 5, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RowAtY(c.y, 22, 11, c.topRow, c.rowCount, c.pageRows), c.expected) << c.y << " top " << c.topRow;
}

}  // namespace
}  // namespace tarnix
