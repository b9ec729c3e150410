#include "skin/skin_button.h"

#include "skin/skin_frame.h"
#include "skin/skin_geometry.h"

namespace tarnix {

SkinButton::SkinButton(SkinFrame* frame, const LayoutRect& layout, const SkinPoint (&images)[kSlots],
                       ClickHandler clickHandler, ClickHandler rightClickHandler)
    : Widget(WidgetKind::Button, frame, layout), clickHandler(clickHandler), rightClickHandler(rightClickHandler) {
  for (int i = 0; i < kSlots; ++i) this->images[i] = images[i];
  if (layout.top >= 0 && layout.top < kCaptionStripHeight) flags |= kCaption;
}

void SkinButton::AddFlags(int32_t bits) {
  flags |= bits;
  if ((bits & kResizeGrip) && frame) frame->SetTiledLayout();
}

void SkinButton::SetOn(bool value) {
  on = value;
  pressed = false;
  Redraw();
}

void SkinButton::ShowPressed(bool value) {
  if (pressed == value) return;
  pressed = value;
  Redraw();
}

int SkinButton::ImageSlot(bool pressed) const {
  if (!images[kNormalImage].IsImage()) return -1;
  if (!images[kPressedImage].IsImage()) pressed = false;
  // An inactive caption shows no pressed state.
  if ((flags & kCaption) && frame && frame->CaptionInactive()) return on ? kInactiveOnImage : kInactiveImage;
  int slot = pressed ? kPressedImage : kNormalImage;
  if ((flags & kToggle) && on) slot += 2;
  return slot;
}

void SkinButton::PaintOn(HDC dc, const RECT&) {
  const int slot = ImageSlot(pressed);
  if (slot < 0 || !images[slot].IsImage()) return;  // an empty slot shows nothing rather than garbage
  HDC imageSource = frame ? frame->SkinDC() : nullptr;
  if (!imageSource) return;
  BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, imageSource, images[slot].x,
         images[slot].y, SRCCOPY);
}

bool SkinButton::OnClick(int x, int y) {
  if (!clickHandler) return false;
  clickHandler(x, y);
  return true;
}

bool SkinButton::OnRightClick(int x, int y) {
  if (!rightClickHandler) return false;
  rightClickHandler(x, y);
  return true;
}

}  // namespace tarnix
