#include "skin/skin_scroll_bar.h"

#include "skin/skin_frame.h"
#include "skin/track_list_view.h"

namespace tarnix {

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
    MoveThumb(ThumbFromTopRow(list->TopRow(), beyond, range));
  } else {
    MoveThumb(p);
  }
}

void SkinScrollBar::SyncToList(int32_t top, int32_t beyond) {
  if (frame && frame->PressedWidget() == this) return;  // the user holds the thumb
  MoveThumb(ThumbFromTopRow(top, beyond, Range()));
}

RECT SkinScrollBar::ThumbRect() const {
  const LONG x = vertical ? rect.left : rect.left + thumbPos;
  const LONG y = vertical ? rect.top + thumbPos : rect.top;
  return RECT{x, y, x + thumbWidth, y + thumbHeight};
}

void SkinScrollBar::MoveThumb(int32_t pos) {
  if (pos == thumbPos) return;
  if (frame) frame->Invalidate(ThumbRect());
  thumbPos = pos;
  if (frame) frame->Invalidate(ThumbRect());
}

void SkinScrollBar::ShowPressed(bool value) {
  if (pressed == value) return;
  pressed = value;
  if (frame) frame->Invalidate(ThumbRect());
}

void SkinScrollBar::PaintOn(HDC dc, const RECT&) {
  HDC skin = frame ? frame->SkinDC() : nullptr;
  if (!skin) return;
  const SkinPoint image = pressed ? thumbPressed : thumbNormal;
  const RECT thumb = ThumbRect();
  BitBlt(dc, thumb.left, thumb.top, thumbWidth, thumbHeight, skin, image.x, image.y, SRCCOPY);
}

bool SkinScrollBar::OnClick(int x, int y) {
  TrackTo(x, y, true);
  return true;
}

}  // namespace tarnix
