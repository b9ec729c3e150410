// Message and mouse handling of the skinned window: which messages the frame takes and how
// a left-button gesture becomes a window move, a grip resize, a scroll-bar drag or a click.
// Both the UI thread's loop and the window procedure offer messages here: WM_PAINT is answered
// on either path.

#include "skin/skin_button.h"
#include "skin/skin_frame.h"
#include "skin/skin_geometry.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

int PointX(LPARAM lParam) { return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam))); }
int PointY(LPARAM lParam) { return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam))); }

// The rows 0 to 14 at the top of the window drag it.

bool IsGrip(const Widget* widget) {
  return widget->Kind() == WidgetKind::Button &&
         (static_cast<const SkinButton*>(widget)->Flags() & SkinButton::kResizeGrip) != 0;
}

}  // namespace

bool SkinFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      DrawCaption(message == WM_SETFOCUS);
      if (result) *result = 0;
      return true;
    case WM_PAINT:
      if (!OnPaint()) return false;
      if (result) *result = 0;
      return true;
    case WM_ERASEBKGND:
      // WM_PAINT draws every pixel of what it paints: there is nothing to erase.
      if (result) *result = 1;
      return true;
    case WM_SHOWWINDOW:
      // Hidden with its minimised owner, the window is still open: it comes back when the owner
      // is restored, and "Opened" written meanwhile must say so. The default procedure answers
      // SW_PARENTCLOSING by hiding the window, which sends a plain WM_SHOWWINDOW(FALSE) next.
      if (lParam == SW_PARENTCLOSING) {
        hiddenWithOwner_ = true;
      } else if (lParam == SW_PARENTOPENING || wParam != 0 || !hiddenWithOwner_) {
        hiddenWithOwner_ = false;
        shown.store(wParam != 0, std::memory_order_relaxed);
      }
      return false;
    case WM_KEYDOWN:
      for (size_t i = 0; i < widgets.size(); ++i) {
        if (widgets[i]->Kind() != WidgetKind::ListView) continue;
        if (static_cast<TrackListView*>(widgets[i].get())->OnKey(wParam)) return true;
      }
      return false;
    case WM_MOUSEMOVE:
      OnMouseMove(PointX(lParam), PointY(lParam));
      return true;
    case WM_LBUTTONDOWN:
      OnLeftDown(PointX(lParam), PointY(lParam));
      return true;
    case WM_LBUTTONUP:
      OnLeftUp(PointX(lParam), PointY(lParam));
      return true;
    case WM_LBUTTONDBLCLK:
      OnLeftDoubleClick(PointX(lParam), PointY(lParam));
      return true;
    case WM_CAPTURECHANGED:
      // A drag whose capture another window took (a message box's WM_CANCELMODE, a menu) gets
      // no button-up: it ends here, or the window would follow the pointer with no button held.
      if (dragMode != DragMode::None && reinterpret_cast<HWND>(lParam) != window) CancelGesture();
      return false;
    case WM_RBUTTONDOWN:
      DispatchRightClick(PointX(lParam), PointY(lParam));
      return true;
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

namespace {

// Offers the point to the widgets drawn under it, then to those whose fringe it is on, until one
// takes it. Handlers may change the frame's state; the index loop stays valid when they do.
template <class Act>
bool Offer(const std::vector<std::unique_ptr<Widget>>& widgets, int x, int y, Act act) {
  for (const bool drawn : {true, false}) {
    for (size_t i = 0; i < widgets.size(); ++i) {
      Widget& widget = *widgets[i];
      const bool hit = drawn ? widget.Covers(x, y) : widget.HitTest(x, y) && !widget.Covers(x, y);
      if (hit && act(widget)) return true;
    }
  }
  return false;
}

}  // namespace

Widget* SkinFrame::FindPressable(int x, int y) const {
  Widget* found = nullptr;
  Offer(widgets, x, y, [&found](Widget& widget) {
    const WidgetKind kind = widget.Kind();
    if (kind != WidgetKind::Button && kind != WidgetKind::ScrollBar) return false;
    found = &widget;
    return true;
  });
  return found;
}

void SkinFrame::DispatchClick(int x, int y) {
  Offer(widgets, x, y, [x, y](Widget& widget) { return widget.OnClick(x, y); });
}

void SkinFrame::DispatchDoubleClick(int x, int y) {
  Offer(widgets, x, y, [x, y](Widget& widget) { return widget.OnDoubleClick(x, y); });
}

void SkinFrame::DispatchRightClick(int x, int y) {
  if (Offer(widgets, x, y, [x, y](Widget& widget) { return widget.OnRightClick(x, y); })) return;
  if (rightClickHandler) rightClickHandler(x, y);
}

void SkinFrame::OnLeftDown(int x, int y) {
  leftDown = true;
  pressedWidget = FindPressable(x, y);
  if (pressedWidget) {
    pressedWidget->ShowPressed(true);
    if (pressedWidget->Kind() == WidgetKind::ScrollBar) {
      pressedWidget->OnClick(x, y);  // the thumb jumps to the pointer
      dragMode = DragMode::ScrollDrag;
      SetCapture(window);
    } else if (IsGrip(pressedWidget)) {
      dragMode = DragMode::Resize;
      SetCapture(window);
    }
  } else if (y > kCaptionStripHeight) {
    DispatchClick(x, y);
  } else {
    dragMode = DragMode::Move;
    SetCapture(window);
  }
  dragStartX = x;
  dragStartY = y;
}

void SkinFrame::OnMouseMove(int x, int y) {
  if (!leftDown) return;
  // Follow only the newest pointer position: drop the moves that queued up meanwhile.
  if (window) {
    MSG queued;
    while (PeekMessageW(&queued, window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
      x = PointX(queued.lParam);
      y = PointY(queued.lParam);
    }
  }
  switch (dragMode) {
    case DragMode::Move: {
      WINDOWPLACEMENT placement{};
      placement.length = sizeof placement;
      if (!GetWindowPlacement(window, &placement)) return;
      POINT pos{placement.rcNormalPosition.left + x - dragStartX, placement.rcNormalPosition.top + y - dragStartY};
      if (snapDistance >= 0) {
        docked.store(Snap(placement.rcNormalPosition, pos), std::memory_order_relaxed);
      } else {
        docked.store(false, std::memory_order_relaxed);
        posX = pos.x;
        posY = pos.y;
      }
      // Without SWP_NOZORDER: the dragged window comes to the top.
      SetWindowPos(window, HWND_TOP, pos.x, pos.y, 0, 0, SWP_NOSIZE);
      return;
    }
    case DragMode::Resize: {
      const FrameSize size = ResizeStep(x - dragStartX, y - dragStartY, width, height);
      if (size.width == width && size.height == height) return;
      dragStartX += size.width - width;
      dragStartY += size.height - height;
      width = size.width;
      height = size.height;
      Resize(width, height);
      return;
    }
    case DragMode::ScrollDrag:
      if (pressedWidget && pressedWidget->Kind() == WidgetKind::ScrollBar) {
        pressedWidget->OnClick(x, y);
        pressedWidget->ShowPressed(true);
      }
      return;
    case DragMode::None:
      if (pressedWidget) pressedWidget->ShowPressed(FindPressable(x, y) == pressedWidget);
      return;
  }
}

void SkinFrame::EndDrag() {
  if (dragMode == DragMode::None) return;
  dragMode = DragMode::None;
  ReleaseCapture();
}

void SkinFrame::CancelGesture() {
  dragMode = DragMode::None;
  leftDown = false;
  // Nothing runs: the thumb stays where it was dragged, a held button comes up.
  if (Widget* widget = std::exchange(pressedWidget, nullptr)) widget->ShowPressed(false);
}

void SkinFrame::OnLeftUp(int x, int y) {
  leftDown = false;
  EndDrag();
  if (!pressedWidget) return;
  // Cleared before the handler runs, which may rebuild or hide the window.
  Widget* widget = pressedWidget;
  pressedWidget = nullptr;
  if (widget->Kind() == WidgetKind::ScrollBar) {
    widget->ShowPressed(false);
    widget->OnClick(x, y);
    return;
  }
  widget->ShowPressed(false);
  if (FindPressable(x, y) != widget) return;  // released elsewhere: nothing runs
  auto* button = static_cast<SkinButton*>(widget);
  if (button->Flags() & SkinButton::kToggle) button->SetOn(!button->IsOn());
  button->OnClick(x, y);
}

void SkinFrame::OnLeftDoubleClick(int x, int y) {
  leftDown = false;
  EndDrag();
  DispatchDoubleClick(x, y);
}

}  // namespace tarnix
