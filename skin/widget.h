#pragma once
// Widget: the common base of everything drawn on the skinned window (buttons, the title
// line, the scroll bar, the track list). The frame owns its widgets, paints, lays out and
// hit-tests them in creation order.

#include <windows.h>

#include <cstdint>
#include <functional>

#include "skin/skin_math.h"

namespace tarnix {

class SkinFrame;

// Handler of a click at (x, y) in client coordinates; (-1, -1) from menus and keys. A function
// object, so that the window's owner can bind the state it works on.
using ClickHandler = std::function<void(int x, int y)>;

// The frame branches on the kind; values are fixed.
enum class WidgetKind : int32_t { TextDisplay = 0, Button = 1, ScrollBar = 2, ListView = 3 };

inline RECT ToRect(const IntRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline IntRect ToIntRect(const RECT& r) {
  return IntRect{static_cast<int32_t>(r.left), static_cast<int32_t>(r.top), static_cast<int32_t>(r.right),
                 static_cast<int32_t>(r.bottom)};
}

class Widget {
 public:
  // Made by SkinFrame::AddWidget, which owns it; the frame may be null in tests.
  Widget(WidgetKind kind, SkinFrame* frame, const LayoutRect& layout);
  Widget(const Widget&) = delete;
  Widget& operator=(const Widget&) = delete;
  virtual ~Widget();

  virtual void Draw(bool pressed) = 0;
  // Inside `rect`, all four edges included, and visible.
  virtual bool HitTest(int x, int y) const;
  virtual bool OnClick(int x, int y);
  // Runs OnClick again by default.
  virtual bool OnDoubleClick(int x, int y);
  virtual bool OnRightClick(int x, int y);
  // Recomputes `rect` from the layout against the frame's client rectangle.
  virtual void Relayout();
  virtual void SetVisible(bool flag);
  virtual RECT GetRect() const;

  WidgetKind Kind() const { return kind; }
  SkinFrame* Frame() const { return frame; }
  bool Visible() const { return visible; }
  const LayoutRect& Layout() const { return layout; }

 protected:
  void BaseRelayout();
  void SetLayoutRect(const LayoutRect& value) { layout = value; }

  WidgetKind kind;
  SkinFrame* frame;
  bool visible = true;
  RECT rect{};
  LayoutRect layout;
};

}  // namespace tarnix
