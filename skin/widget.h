#pragma once
// Widget: the common base of everything drawn on the skinned window (buttons, the title
// line, the scroll bar, the track list). The frame owns its widgets, paints, lays out and
// hit-tests them in creation order. A widget never draws when its state changes: it asks for
// the part of the window that shows the change to be painted again, and draws in the frame's
// WM_PAINT, into the frame's off-screen buffer.

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

  // Draws the widget as it stands onto `dc`, in client coordinates; only what falls inside
  // `box` must be drawn.
  virtual void PaintOn(HDC dc, const RECT& box) = 0;
  // Asks for the widget's rectangle to be painted again.
  virtual void Redraw();
  // Shows the widget held down or released (buttons, the scroll bar's thumb); others ignore it.
  virtual void ShowPressed(bool pressed);
  // Inside `rect`, all four edges included, and visible: the right and bottom edges are a
  // fringe one pixel wide past what is drawn (the grip reaches the window's corner so).
  virtual bool HitTest(int x, int y) const;
  // Inside `rect` as it is drawn (right and bottom are the first column and row past it), and
  // visible. A point on an edge two widgets share is the one's drawn there.
  bool Covers(int x, int y) const;
  virtual bool OnClick(int x, int y);
  // Runs OnClick again by default.
  virtual bool OnDoubleClick(int x, int y);
  virtual bool OnRightClick(int x, int y);
  // Recomputes `rect` from the layout against the frame's client rectangle.
  virtual void Relayout();
  // A change of visibility asks for the rectangle to be painted again.
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
