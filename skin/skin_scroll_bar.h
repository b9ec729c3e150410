#pragma once
// SkinScrollBar: the thin bar beside the list whose thumb, drawn from the skin, the user drags
// or clicks to scroll the TrackListView, and which follows the list when it scrolls itself.
// The track is the frame's right border, which the frame paints under the thumb; there are no
// arrow buttons.

#include "skin/widget.h"

namespace tarnix {

class TrackListView;

class SkinScrollBar : public Widget {
 public:
  // The thumb's size is that of `thumbRect`; links itself to `list` (which may be null).
  SkinScrollBar(SkinFrame* frame, const LayoutRect& layout, const LayoutRect& thumbRect, SkinPoint thumbNormal,
                SkinPoint thumbPressed, TrackListView* list);
  ~SkinScrollBar() override;

  // Moves the thumb under the pointer; when byUser also scrolls the list.
  void TrackTo(int x, int y, bool byUser);
  // Puts the thumb where the list's first row `top` of `beyond` scrollable rows says,
  // unless the user holds it.
  void SyncToList(int32_t top, int32_t beyond);
  bool IsPressed() const { return pressed; }

  void PaintOn(HDC dc, const RECT& box) override;
  void ShowPressed(bool value) override;
  bool OnClick(int x, int y) override;

  int32_t ThumbPos() const { return thumbPos; }
  int32_t Range() const;  // the largest thumb offset
  // Where the thumb is drawn, in client coordinates.
  RECT ThumbRect() const;
  bool Vertical() const { return vertical; }
  void Unlink() { list = nullptr; }

 private:
  int32_t TrackLength() const;
  int32_t Beyond() const;
  // The thumb moved to `pos`: its old and its new place are painted again (the frame's border
  // shows where it was).
  void MoveThumb(int32_t pos);

  SkinPoint thumbNormal;
  SkinPoint thumbPressed;
  int32_t thumbWidth;
  int32_t thumbHeight;
  bool pressed = false;
  bool vertical;
  int32_t thumbPos = 0;
  TrackListView* list;
};

}  // namespace tarnix
