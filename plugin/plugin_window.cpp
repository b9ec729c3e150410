// The procedure of the plug-in window, "TarnixPluginWindow": the frame's messages, the answers
// to the queries and sends of a subsong source, and what a modal loop dispatches. Posted messages
// are the loop's (plugin/message_loop.cpp).

#include "plugin/plugin_window.h"

#include "commands/commands.h"
#include "host/callback_guard.h"
#include "host/player_codes.h"
#include "host/plugin.h"
#include "session/player_following.h"
#include "session/subsong_messages.h"
#include "skin/skin_frame.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

LRESULT KeyAnswer(int32_t key) { return static_cast<LRESULT>(key); }

// The window procedure's work; false leaves the message to the default procedure.
bool HandleSent(Plugin& plugin, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (SkinFrame* frame = plugin.frame.get()) {
    const bool wasShown = frame->shown.load(std::memory_order_relaxed);
    if (frame->HandleMessage(message, wParam, lParam, result)) return true;
    // Shown again, by whatever path (the player restored from its minimised state, the hook
    // when the player's window shows, anybody's ShowWindow): tracking may have paused while the
    // window was hidden, so the player is asked at once and the timer runs again.
    if (message == WM_SHOWWINDOW && wParam != 0 && !wasShown) RequestTick();
  } else if (message == WM_NCACTIVATE) {
    *result = 0;
    return true;
  }
  TrackListView* list = plugin.list;
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      *result = 0;
      return true;
    case UM_SUBSONG_INFO:
      *result = TakeSubsongRecord(plugin, wParam, lParam);
      return true;
    case UM_GET_LAST_KEY:
      *result = KeyAnswer(list ? list->KeyAt(list->RowCount() - 1) : 0);
      return true;
    case UM_SUBSONG_CHANGED:
      PostMessageA(window, UM_SUBSONG_CHANGED, wParam, lParam);
      *result = 0;
      return true;
    case UM_GET_CURRENT_KEY:
      *result = KeyAnswer(list ? list->CurrentKey() : 0);
      return true;
    case UM_SET_TRACK_NAME:
      *result = TakeTrackName(plugin, wParam, lParam);
      return true;
    case UM_CONFIG:
      // Reaches the procedure when a modal loop (a file dialog, a menu) dispatched the post.
      CmdOptions();
      *result = 0;
      return true;
    default:
      return false;
  }
}

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
  if (!plugin || plugin->window.Get() != window) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  bool handled = false;
  GuardCallback([&] { handled = HandleSent(*plugin, window, message, wParam, lParam, &result); });
  return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tarnix
