#pragma once
// ProbeWindow: a small window on the calling thread whose messages go to a function the test
// gives, for tests that need a receiver (a stand-in plug-in window, a target for sends).

#include <windows.h>

#include <functional>
#include <string>

namespace tarnix::testhost {

class ProbeWindow {
 public:
  // Returns true when it handled the message and set result; false passes it to the default.
  using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

  // className: registered once per process for this module; the same class may be reused.
  explicit ProbeWindow(Handler handler, const char* className = "TarnixProbeWindow", const char* title = "",
                       DWORD style = WS_POPUP, int width = 64, int height = 32);
  ~ProbeWindow();
  ProbeWindow(const ProbeWindow&) = delete;
  ProbeWindow& operator=(const ProbeWindow&) = delete;

  HWND Window() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  Handler handler_;
  HWND window_ = nullptr;
};

// The first top-level window of className that belongs to this process. Test processes share
// one desktop under Wine, so a plain FindWindow could find another test's window.
HWND FindOwnWindow(const char* className);

}  // namespace tarnix::testhost
