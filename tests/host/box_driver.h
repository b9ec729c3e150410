#pragma once
// Runs real message boxes on the test's thread while a helper thread finds the box, looks at
// it and presses, closes or abandons it, as a user or the host would.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tarnix::test {

// What the helper thread saw of a box.
struct BoxView {
  HWND box = nullptr;
  LONG_PTR style = 0, exStyle = 0;
  std::string caption;
  HWND focus = nullptr;
  struct Button {
    HWND window;
    int id;
    std::string caption;
    bool isDefault;
    RECT rect;  // in the box's client coordinates
  };
  std::vector<Button> buttons;
  HWND text = nullptr, icon = nullptr;
  std::string textCaption;
  LONG_PTR textStyle = 0;
  RECT windowRect{}, clientRect{};
};

// Waits up to 5 s for a visible "MyMessageBox" window of `thread`; null when none shows.
HWND WaitForBox(DWORD thread);
BoxView InspectBox(HWND box, DWORD thread);
// The window that has the keyboard focus on `thread`, null when none has.
HWND FocusOf(DWORD thread);
std::string WindowTextOf(HWND window);

struct BoxRun {
  int result = 0;
  bool found = false;
  BoxView view;
};

// Shows a box on this thread; `act` runs on a helper thread once the box is up. When `act`
// leaves the box up, the helper closes it after 5 s with the quit message 0x4406 (if watched)
// or WM_CLOSE, so that a failing test cannot hang.
BoxRun RunBox(const char* text, const char* caption, unsigned flags, UINT quitLow, UINT quitHigh,
              const std::function<void(const BoxView&)>& act);

}  // namespace tarnix::test
