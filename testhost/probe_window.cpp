#include "testhost/probe_window.h"

#include "testhost/window_class.h"

namespace tarnix::testhost {

ProbeWindow::ProbeWindow(Handler handler, const char* className, const char* title, DWORD style, int width, int height)
    : handler_(std::move(handler)) {
  RegisterWindowClass({className, &ProbeWindow::WindowProc, CS_DBLCLKS});
  window_ = CreateWindowExA(0, className, title, style, 0, 0, width, height, nullptr, nullptr,
                            GetModuleHandleA(nullptr), this);
}

ProbeWindow::~ProbeWindow() {
  if (window_ != nullptr) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

namespace {

struct WindowSearch {
  const char* className;
  HWND found;
};

BOOL CALLBACK TakeOwnWindowOfClass(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[256];
  if (process != GetCurrentProcessId() || GetClassNameA(window, name, sizeof name) == 0 ||
      lstrcmpiA(name, search->className) != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindOwnWindow(const char* className) {
  // EnumWindows walks a snapshot of the top-level windows. A search step by step (FindWindowEx
  // after the window found last) ends early when that window, another process's of the same
  // class, goes in between: tests running side by side make and destroy such windows all the time.
  WindowSearch search{className, nullptr};
  EnumWindows(&TakeOwnWindowOfClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

LRESULT CALLBACK ProbeWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<ProbeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr && self->handler_) {
    try {
      LRESULT result = 0;
      if (self->handler_(message, wParam, lParam, result)) return result;
    } catch (...) {
      // Nothing may unwind through a window procedure.
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tarnix::testhost
