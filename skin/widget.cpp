#include "skin/widget.h"

#include "skin/skin_frame.h"

namespace tarnix {

Widget::Widget(WidgetKind kind, SkinFrame* frame, const LayoutRect& layout) : kind(kind), frame(frame), layout(layout) {
  BaseRelayout();
}

Widget::~Widget() = default;

bool Widget::HitTest(int x, int y) const {
  return visible && rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}

bool Widget::Covers(int x, int y) const {
  return visible && rect.left <= x && x < rect.right && rect.top <= y && y < rect.bottom;
}

bool Widget::OnClick(int, int) { return false; }

bool Widget::OnDoubleClick(int x, int y) { return OnClick(x, y); }

bool Widget::OnRightClick(int, int) { return false; }

void Widget::Relayout() { BaseRelayout(); }

void Widget::BaseRelayout() {
  RECT client{};
  if (frame) client = frame->ClientRect();
  rect = ToRect(ResolveLayout(layout, client.right - client.left, client.bottom - client.top));
}

void Widget::SetVisible(bool flag) {
  if (visible == flag) return;
  visible = flag;
  Redraw();
}

void Widget::Redraw() {
  if (frame) frame->Invalidate(rect);
}

void Widget::ShowPressed(bool) {}

RECT Widget::GetRect() const { return rect; }

}  // namespace tarnix
