#include "skin/skin_scroll_bar.h"

#include "skin/skin_frame.h"
#include "skin/skin_geometry.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

// The column of the right border tile that lies under the bar, and the tile's rows.
constexpr int32_t kBorderUnderBarX = 36;

}  // namespace

SkinScrollBar::SkinScrollBar(SkinFrame* frame, const LayoutRect& layout, const LayoutRect& thumbRect,
                             SkinPoint thumbNormal, SkinPoint thumbPressed, TrackListView* list)
    : Widget(WidgetKind::ScrollBar, frame, layout),
      thumbNormal(thumbNormal),
      thumbPressed(thumbPressed),
      thumbWidth(thumbRect.right - thumbRect.left),
      thumbHeight(thumbRect.bottom - thumbRect.top),
      vertical(rect.bottom - rect.top > rect.right - rect.left),
      list(list) {
  if (list) list->LinkScrollBar(this);
}

SkinScrollBar::~SkinScrollBar() {
  if (list && list->ScrollBar() == this) list->LinkScrollBar(nullptr);
}

int32_t SkinScrollBar::TrackLength() const { return vertical ? rect.bottom - rect.top : rect.right - rect.left; }

int32_t SkinScrollBar::Range() const { return TrackLength() - (vertical ? thumbHeight : thumbWidth); }

int32_t SkinScrollBar::Beyond() const { return list ? list->RowCount() - list->PageRowCount() : 0; }

void SkinScrollBar::TrackTo(int x, int y, bool byUser) {
  const int32_t old = thumbPos;
  const int32_t range = Range();
  const int32_t p =
      vertical ? ThumbFromPointer(y, rect.top, thumbHeight, range) : ThumbFromPointer(x, rect.left, thumbWidth, range);
  if (list) {
    const int32_t beyond = Beyond();
    if (byUser) {
      const int32_t newTop = TopRowFromThumb(p, beyond, range);
      // With the margin of a page less one row, ScrollTo makes newTop the first row.
      if (newTop >= 0 && newTop != list->TopRow()) list->ScrollTo(newTop, list->PageRowCount() - 1, false, false);
    }
    // The thumb shows the position the list really has.
    thumbPos = ThumbFromTopRow(list->TopRow(), beyond, range);
  } else {
    thumbPos = p;
  }
  if (thumbPos != old) Draw(pressed);
}

void SkinScrollBar::SyncToList(int32_t top, int32_t beyond) {
  if (frame && frame->PressedWidget() == this) return;  // the user holds the thumb
  const int32_t pos = ThumbFromTopRow(top, beyond, Range());
  if (pos == thumbPos) return;
  thumbPos = pos;
  Draw(pressed);
}

void SkinScrollBar::Draw(bool drawPressed) {
  if (!visible || !frame) return;
  pressed = drawPressed;
  HDC dc = frame->WindowDC();
  HDC skin = frame->SkinDC();
  if (!dc || !skin) return;
  const SkinPoint image = pressed ? thumbPressed : thumbNormal;
  const int32_t x = vertical ? rect.left : rect.left + thumbPos;
  const int32_t y = vertical ? rect.top + thumbPos : rect.top;
  if (lastThumbX >= 0) {
    // Repaint the border under the old thumb, aligned with the tiles the frame paints from
    // the content's top edge.
    const int32_t tileOrigin = frame->ContentMargins().top;
    for (const EraseBand& band : BorderBands(lastThumbY, thumbHeight, tileOrigin, kBorderTileY, kBorderTileHeight))
      BitBlt(dc, lastThumbX, band.destY, thumbWidth, band.rows, skin, kBorderUnderBarX, band.sourceY, SRCCOPY);
  }
  BitBlt(dc, x, y, thumbWidth, thumbHeight, skin, image.x, image.y, SRCCOPY);
  lastThumbX = x;
  lastThumbY = y;
}

bool SkinScrollBar::OnClick(int x, int y) {
  TrackTo(x, y, true);
  return true;
}

}  // namespace tarnix
