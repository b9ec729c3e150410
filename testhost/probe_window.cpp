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

HWND FindOwnWindow(const char* className) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, className, nullptr)) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return window;
  }
  return nullptr;
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
