#pragma once
// WindowAccessibility: the plug-in window's side of Microsoft Active Accessibility. It answers
// WM_GETOBJECT for the client area with the window's own IAccessible object (accessible_element.h)
// and, after each message the window handled, raises the events for what changed: the rows (the
// list's children were reordered), the keyboard row (selection, and focus while the window has the
// keyboard), and the playing row (its name changes, and a UI Automation notification where the
// system has one). While the window is
// hidden it raises nothing. The Plugin owns it; start-up makes it once the widgets exist.

#include <windows.h>

#include <cstdint>
#include <memory>

#include "accessibility/now_playing_notice.h"

namespace tarnix {

class Plugin;
struct AccessibleContext;

class WindowAccessibility {
 public:
  explicit WindowAccessibility(Plugin& plugin);
  ~WindowAccessibility();  // disconnects
  WindowAccessibility(const WindowAccessibility&) = delete;
  WindowAccessibility& operator=(const WindowAccessibility&) = delete;

  // WM_GETOBJECT: true with the answer in *result for the client area; false leaves the message
  // to the default procedure (the window's frame, UI Automation's own ids, bogus ids).
  bool AnswerGetObject(WPARAM wParam, LPARAM lParam, LRESULT* result);
  // Raises the events for what changed since the last call.
  void NoteChanges();
  // The window is going: objects still held by clients answer CO_E_OBJNOTCONNECTED from now on.
  void Disconnect();

 private:
  struct Seen {
    bool shown = false;
    bool focused = false;
    int32_t selected = -1;
    int32_t playing = -1;
    int32_t playingKey = 0;
    int32_t rows = 0;
  };
  Seen Look() const;
  void Raise(DWORD event, int32_t row) const;

  std::shared_ptr<AccessibleContext> context_;
  Seen seen_;
  bool noting_ = false;
  NowPlayingNotice notice_;
};

}  // namespace tarnix
