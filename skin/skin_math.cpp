#include "skin/skin_math.h"

#include <algorithm>
#include <cstdlib>

#include "skin/skin_geometry.h"

namespace tarnix {

namespace {

int32_t ResolveMember(int32_t value, int32_t extent) { return value < 0 ? extent + value : value; }

}  // namespace

IntRect ResolveLayout(const LayoutRect& layout, int32_t clientWidth, int32_t clientHeight) {
  return IntRect{ResolveMember(layout.left, clientWidth), ResolveMember(layout.top, clientHeight),
                 ResolveMember(layout.right, clientWidth), ResolveMember(layout.bottom, clientHeight)};
}

std::vector<PlacedPiece> BottomBarPieces(int32_t width, int32_t leftWidth) {
  std::vector<PlacedPiece> pieces;
  pieces.push_back({BarPiece::Left, 0});
  const int32_t count = (width - kBarTotalWidth) / kBarFillerWidth;
  int32_t x = leftWidth;
  for (int32_t i = 0; i < count;) {
    // The wide piece replaces three fillers: at the start for a narrow left piece, at the end
    // for a wide one.
    const bool wide = count >= 3 && ((i == 0 && leftWidth < 137) || (i == count - 3 && leftWidth >= 137));
    if (wide) {
      pieces.push_back({BarPiece::Wide, x});
      i += 3;
      x += kBarWideWidth;
    } else {
      pieces.push_back({BarPiece::Filler, x});
      i += 1;
      x += kBarFillerWidth;
    }
  }
  pieces.push_back({BarPiece::Right, x});
  return pieces;
}

std::vector<PlacedCaption> CaptionPieces(int32_t width) {
  std::vector<PlacedCaption> pieces;
  pieces.push_back({CaptionPiece::LeftEnd, 0});
  for (int32_t x = kCaptionTile; x < width - kCaptionTile; x += kCaptionTile)
    pieces.push_back({CaptionPiece::Filler, x});
  pieces.push_back({CaptionPiece::RightEnd, width - kCaptionTile});
  pieces.push_back({CaptionPiece::Title, (width - kCaptionTitleWidth) / 2});
  return pieces;
}

FrameSize ResizeStep(int32_t dx, int32_t dy, int32_t width, int32_t height) {
  // Rounds to the nearest step: half a step (13 of 25, 15 of 29) is enough to take it.
  int32_t w = (dx + 13) / kResizeStepX * kResizeStepX + width;
  int32_t h = (dy + 15) / kResizeStepY * kResizeStepY + height;
  return FrameSize{std::max(w, kMinWidth), std::max(h, kMinHeight)};
}

int32_t ThumbFromPointer(int32_t pointer, int32_t trackStart, int32_t thumbLength, int32_t range) {
  if (range <= 0) return 0;
  return std::clamp(pointer - thumbLength / 2 - trackStart, 0, range);
}

int32_t TopRowFromThumb(int32_t thumbPos, int32_t beyond, int32_t range) {
  // No range (a window too low for the thumb to move) or no rows to scroll: nothing to do,
  // and no division by a zero range.
  if (range <= 0 || beyond <= 0) return -1;
  const int64_t top = static_cast<int64_t>(beyond) * thumbPos / range;
  return static_cast<int32_t>(std::min<int64_t>(top, beyond));
}

int32_t ThumbFromTopRow(int32_t topRow, int32_t beyond, int32_t range) {
  if (beyond <= 0 || range <= 0 || topRow <= 0) return 0;
  const int64_t pos = static_cast<int64_t>(topRow) * range / beyond;
  return static_cast<int32_t>(std::min<int64_t>(pos, range));
}

void SnapTo(const IntRect& own, const IntRect& other, int32_t width, int32_t height, int32_t distance, SnapPoint& pos,
            bool& snappedX, bool& snappedY) {
  auto near = [distance](int64_t v) { return std::llabs(v) < distance; };
  if (!snappedX && own.bottom >= other.top && own.top <= other.bottom) {
    if (near(int64_t{pos.x} - other.left)) {
      pos.x = other.left;
      snappedX = true;
    }
    if (near(int64_t{pos.x} + width - other.right)) {
      pos.x = other.right - width;
      snappedX = true;
    }
    if (near(int64_t{pos.x} + width - other.left)) {
      pos.x = other.left - width;
      snappedX = true;
    }
    if (near(int64_t{pos.x} - other.right)) {
      pos.x = other.right;
      snappedX = true;
    }
  }
  if (!snappedY && own.left <= other.right && own.right >= other.left) {
    if (near(int64_t{pos.y} - other.top)) {
      pos.y = other.top;
      snappedY = true;
    }
    if (near(int64_t{pos.y} + height - other.bottom)) {
      pos.y = other.bottom - height;
      snappedY = true;
    }
    if (near(int64_t{pos.y} + height - other.top)) {
      pos.y = other.top - height;
      snappedY = true;
    }
    if (near(int64_t{pos.y} - other.bottom)) {
      pos.y = other.bottom;
      snappedY = true;
    }
  }
}

int32_t PageRows(int32_t textTop, int32_t textBottom, int32_t lineHeight) {
  if (lineHeight <= 0) return 0;
  return std::max((textBottom - textTop) / lineHeight, 0);
}

int32_t RowAtY(int32_t y, int32_t textTop, int32_t lineHeight, int32_t topRow, int32_t rowCount, int32_t pageRows) {
  if (lineHeight <= 0) return -1;
  const int32_t visible = std::min(rowCount, pageRows);
  // The lines are drawn from textTop down, one lineHeight each: a point hits the line drawn
  // under it. The list's strip above the first line counts as that line.
  const int32_t row = (y < textTop ? 0 : (y - textTop) / lineHeight) + topRow;
  return (row >= topRow && row < topRow + visible) ? row : -1;
}

}  // namespace tarnix
