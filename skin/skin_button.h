#pragma once
// SkinButton: a rectangle of the skin image that acts as a push button, a toggle, a caption
// button (drawn with the caption's active or inactive look) or the resize grip.

#include "skin/widget.h"

namespace tarnix {

class SkinButton : public Widget {
 public:
  enum Flags : int32_t { kToggle = 1, kResizeGrip = 2, kCaption = 4 };
  // Image slots: normal, pressed, on, on and pressed, caption inactive, caption inactive and on.
  enum Slot { kNormalImage, kPressedImage, kOnImage, kOnPressedImage, kInactiveImage, kInactiveOnImage, kSlots };

  // A layout top from 0 to 13 (the caption strip) makes it a caption button.
  // The images are places in the frame's skin image.
  SkinButton(SkinFrame* frame, const LayoutRect& layout, const SkinPoint (&images)[kSlots], ClickHandler clickHandler,
             ClickHandler rightClickHandler);

  // Adding the grip flag switches the frame to its tiled, resizable painting.
  void AddFlags(int32_t bits);
  int32_t Flags() const { return flags; }
  bool IsOn() const { return on; }
  void SetOn(bool value);
  bool IsPressed() const { return pressed; }

  void PaintOn(HDC dc, const RECT& box) override;
  void ShowPressed(bool value) override;
  bool OnClick(int x, int y) override;
  bool OnRightClick(int x, int y) override;

  // The slot painting would copy when held down or not, or -1 when it draws nothing.
  int ImageSlot(bool pressed) const;

 private:
  ClickHandler clickHandler;
  ClickHandler rightClickHandler;
  int32_t flags = 0;
  bool on = false;
  bool pressed = false;
  SkinPoint images[kSlots];
};

}  // namespace tarnix
