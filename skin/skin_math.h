#pragma once
// The skinned window's arithmetic, kept free of Win32 so every rule can be checked from a
// table: layout rectangles, the bottom bar's pieces, grip resizing, the scroll bar's thumb,
// snapping distances and the list row under a point.

#include <cstdint>
#include <vector>

#include "skin/skin_geometry.h"

namespace tarnix {

// Four 32-bit integers (left, top, right, bottom) in client or screen coordinates.
struct IntRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const IntRect& a, const IntRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
};

// A widget's placement: members >= 0 are client coordinates, negative ones count from the
// far edge (width or height plus the value).
struct LayoutRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// A point in the skin image or on the screen; a negative member marks "no image".
struct SkinPoint {
  int32_t x = 0, y = 0;
  bool IsImage() const { return x >= 0 && y >= 0; }
  friend bool operator==(const SkinPoint& a, const SkinPoint& b) { return a.x == b.x && a.y == b.y; }
};

// Resolves a layout rectangle against a client area of the given size.
IntRect ResolveLayout(const LayoutRect& layout, int32_t clientWidth, int32_t clientHeight);

// One piece of the bottom bar and where it goes along x.
enum class BarPiece { Left, Filler, Wide, Right };
struct PlacedPiece {
  BarPiece piece;
  int32_t x;
  friend bool operator==(const PlacedPiece& a, const PlacedPiece& b) { return a.piece == b.piece && a.x == b.x; }
};

// The bottom bar from left to right for a window `width` wide whose left piece is
// `leftWidth` wide: fillers of 25 pixels, or a 75-pixel wide piece in place of three of them.
std::vector<PlacedPiece> BottomBarPieces(int32_t width, int32_t leftWidth);

// Caption pieces of the tiled scheme, in drawing order (the title piece last).
enum class CaptionPiece { LeftEnd, Filler, RightEnd, Title };
struct PlacedCaption {
  CaptionPiece piece;
  int32_t x;
};
std::vector<PlacedCaption> CaptionPieces(int32_t width);

// Grip resizing: the size for a pointer moved by (dx, dy) from where the drag began, in whole
// steps of 25 by 29 from (width, height), never below 275 by 116.
struct FrameSize {
  int32_t width = 0, height = 0;
  friend bool operator==(const FrameSize& a, const FrameSize& b) { return a.width == b.width && a.height == b.height; }
};
FrameSize ResizeStep(int32_t dx, int32_t dy, int32_t width, int32_t height);

// Scroll bar: `range` is the largest thumb offset, `beyond` the rows past the first page.
// Thumb offset for a pointer at `pointer` on a track starting at `trackStart`, held by its middle.
int32_t ThumbFromPointer(int32_t pointer, int32_t trackStart, int32_t thumbLength, int32_t range);
// First row the list should show for a thumb offset; -1 when the thumb cannot scroll.
int32_t TopRowFromThumb(int32_t thumbPos, int32_t beyond, int32_t range);
// Thumb offset that shows the list's first row `topRow`.
int32_t ThumbFromTopRow(int32_t topRow, int32_t beyond, int32_t range);

// Snapping of one proposed position against one other window (see SkinFrame::Snap).
struct SnapPoint {
  int32_t x = 0, y = 0;
};
void SnapTo(const IntRect& own, const IntRect& other, int32_t width, int32_t height, int32_t distance, SnapPoint& pos,
            bool& snappedX, bool& snappedY);

// List rows: how many whole rows fit, and the row under client row `y` (-1 when none) for lines
// drawn from `textTop` down.
int32_t PageRows(int32_t textTop, int32_t textBottom, int32_t lineHeight);
int32_t RowAtY(int32_t y, int32_t textTop, int32_t lineHeight, int32_t topRow, int32_t rowCount, int32_t pageRows);

}  // namespace tarnix
