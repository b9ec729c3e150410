// The procedure of the plug-in window, "TarnixPluginWindow": every message of the window arrives
// here, sent or dispatched by any loop, and is handled under the callback guard
// (plugin/window_messages.h says what each does).

#include "plugin/plugin_window.h"

#include "accessibility/window_accessibility.h"
#include "host/callback_guard.h"
#include "host/plugin.h"
#include "plugin/window_messages.h"

namespace tarnix {

namespace {

// The Plugin the window was made for, stored at WM_NCCREATE from the creation parameter.
Plugin* PluginOf(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create ? create->lpCreateParams : nullptr));
  }
  return reinterpret_cast<Plugin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

LRESULT CALLBACK PluginWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Plugin* plugin = PluginOf(window, message, lParam);
  // Until CreateWindowEx has returned, the window is not yet the Plugin's: its creation messages
  // get the default handling.
  if (!plugin || plugin->window() != window) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  bool handled = false;
  // A failure is handed to the plug-in's loop, which ends (plugin/message_loop.h).
  GuardCallback([&] {
    handled = HandleWindowMessage(*plugin, message, wParam, lParam, &result);
    // Whatever the message changed is told to screen readers before the next one.
    if (WindowAccessibility* accessibility = plugin->accessibility()) accessibility->NoteChanges();
  });
  return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tarnix
