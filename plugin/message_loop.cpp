// The UI thread's loop routes the messages it takes instead of dispatching them, for three
// reasons. The subsong protocol uses the same ids twice: a source *sends* UM_SUBSONG_INFO,
// UM_SUBSONG_CHANGED and UM_SET_TRACK_NAME, which the window procedure answers at once by copying
// what it needs and *posting* the same id, and the loop then does the work; a procedure that saw
// both could not tell them apart. Keys, commands and the timer run under the loop's own guard, so
// that a failed send to the player ends the loop instead of unwinding through a procedure. And the
// four modeless dialogs need IsDialogMessage before anything else sees their keys.
//
// Who reaches which branch: the dialogs' own messages (their controls included) end in
// IsDialogMessage. Messages for any other window of this thread (a leftover of a closed message
// box, say) are dispatched to it. Everything else is for the plug-in window or for the thread
// itself: the frame takes the mouse and painting; keys come while the plug-in window has the
// focus; WM_COMMAND comes from its menus and from outside senders; WM_TIMER from its one timer;
// the private messages from the hooks on the player's thread, from config, from a subsong source
// and from the window procedure. Thread messages are UM_QUIT (quit) and WM_NULL (a callback's
// failure waking the loop up).

#include "plugin/message_loop.h"

#include <cstring>
#include <vector>

#include "commands/commands.h"
#include "host/callback_guard.h"
#include "host/messaging.h"
#include "host/playback_state.h"
#include "host/player_codes.h"
#include "host/plugin.h"
#include "host/skin_adoption.h"
#include "host/timer_ids.h"
#include "host/window_helpers.h"
#include "resources/resource_ids.h"
#include "session/playback_tracking.h"
#include "session/player_following.h"
#include "session/stored_lists.h"
#include "skin/skin_frame.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

// How long the loop waits for further track names before it applies the ones it has.
constexpr DWORD kTrackNameSettleMs = 50;
// The highest 0-based index a row key can address (track positions run to 0xFFFF).
constexpr WPARAM kMaxTrackNameIndex = kMaxItemPart - 1;
// Longest track name taken from a subsong source.
constexpr size_t kMaxTrackNameLength = 32768;

bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }

void PostToPlayer(const MSG& msg) { PostMessageA(g_shared.playerWindow, msg.message, msg.wParam, msg.lParam); }

void OnKeyDown(const MSG& msg) {
  const bool ctrl = CtrlHeld();
  if (ctrl && msg.wParam == VK_TAB) {
    // The player answers Ctrl+Tab with command 40063, which the hook would otherwise turn
    // straight back into a focus request for this window.
    g_shared.ctrlTabForwarding.store(true, std::memory_order_relaxed);
    // SetFocus reaches the player's window, another thread's, because owning the plug-in
    // window joined the two threads' input queues (plugin/ui_thread.cpp, CreatePluginWindow).
    SetFocus(g_shared.playerWindow);
    SendToPlayer(g_shared.playerWindow, WM_COMMAND, kCmdCycleWindows, 0);
    return;
  }
  if (!RunKeyCommand(msg.wParam, ctrl)) PostToPlayer(msg);
}

void OnSysKeyDown(const MSG& msg) {
  if (msg.wParam == VK_F4 && (msg.lParam & (1 << 29)) != 0) {
    SendToPlayer(g_shared.playerWindow, WM_COMMAND, kCmdClosePlayer, 0);
    return;
  }
  PostToPlayer(msg);
}

// The tick starts the timer again itself.
void TickNow() {
  Plugin& plugin = ThePlugin();
  KillTimer(plugin.window.Get(), kTickTimerId);
  plugin.timerId = 0;
  TimerTick();
}

void OnTimer(const MSG& msg) {
  if (msg.wParam == kTickTimerId) TickNow();
}

void OnTickRequest() {
  // Several requests in a row (both playing-file notices, a show as well) need one tick.
  while (PeekOne(nullptr, ThePlugin().window.Get(), UM_TICK_NOW, true)) {}
  TickNow();
}

void OnTrackNames() {
  // A source announces names one by one, each a send that posts this: take every name that
  // follows within the settling time before applying any. Waiting on the queue, not sleeping,
  // answers the source's next send at once, so a long list of names doesn't crawl.
  while (WaitForMessage(nullptr, ThePlugin().window.Get(), UM_SET_TRACK_NAME, kTrackNameSettleMs)) {}
  ApplyTrackNames();
}

void OnToggleWindow() {
  if (g_shared.window.shown.load(std::memory_order_relaxed))
    HidePluginWindow();
  else
    ShowBesidePlayer(SWP_NOACTIVATE);
}

void OnPlayerMoved() {
  while (PeekOne(nullptr, ThePlugin().window.Get(), UM_PLAYER_MOVED, true)) {}
  FollowPlayer(false);
}

// Returns false for messages that are not the loop's to handle.
bool OnPrivateMessage(const MSG& msg) {
  switch (msg.message) {
    case UM_SUBSONG_INFO:
      OnSubsongInfo(reinterpret_cast<const uint32_t*>(msg.wParam));
      return true;
    case UM_SUBSONG_CHANGED:
      OnSubsongChanged(msg.wParam);
      return true;
    case UM_PLAY_SUBSONG:
      PlayItem(static_cast<ItemId>(msg.wParam + 1));
      return true;
    case UM_PREV_ENTRY:
      RunCommand(IDM_RESTART_OR_PREVIOUS);
      return true;
    case UM_NEXT_ENTRY:
      RunCommand(IDM_NEXT_SUBTRACK);
      return true;
    case UM_SET_TRACK_NAME:
      OnTrackNames();
      return true;
    case UM_SHOW_WINDOW:
      ShowBesidePlayer(SWP_NOACTIVATE);
      return true;
    case UM_HIDE_WINDOW:
      RunCommand(IDM_HIDE_WINDOW);
      return true;
    case UM_TOGGLE_WINDOW:
      OnToggleWindow();
      return true;
    case UM_FOCUS_WINDOW:
      // Takes the focus from the player's window: possible only because the input queues are
      // joined (see OnKeyDown).
      SetFocus(ThePlugin().window.Get());
      return true;
    case UM_PLAYER_MOVED:
      OnPlayerMoved();
      return true;
    case UM_RELOAD_SKIN:
      ReadPlayerSettings();
      CheckSkin(true);
      return true;
    case UM_REPEAT_END:
      OnRepeatEnd();
      return true;
    case UM_TICK_NOW:
      OnTickRequest();
      return true;
    case UM_CONFIG:
      CmdOptions();
      return true;
    case UM_GET_LAST_KEY:
    case UM_GET_CURRENT_KEY:
      return true;  // queries are answered when sent; a posted one has nobody to answer
    default:
      return false;
  }
}

LRESULT OnSubsongInfoSent(Plugin& plugin, WPARAM wParam, LPARAM lParam) {
  const auto* record = reinterpret_cast<const uint32_t*>(wParam);
  if (!record) return 0;
  PlaybackState& playback = plugin.playback;
  std::memcpy(playback.subsongRecord, record, sizeof(playback.subsongRecord));
  playback.pendingNames.clear();
  PostMessageA(plugin.window.Get(), UM_SUBSONG_INFO, reinterpret_cast<WPARAM>(playback.subsongRecord), lParam);
  return 0;
}

LRESULT OnTrackNameSent(Plugin& plugin, WPARAM index, LPARAM lParam) {
  const char* name = reinterpret_cast<const char*>(lParam);
  // An index no row key can address would only make the pending list huge.
  if (!name || index > kMaxTrackNameIndex) return 0;
  std::vector<TextString>& pending = plugin.playback.pendingNames;
  pending.resize(static_cast<size_t>(index) + 1);
  const size_t length = strnlen(name, kMaxTrackNameLength);
  pending[static_cast<size_t>(index)] = TextString(static_cast<int>(length), name);
  PostMessageA(plugin.window.Get(), UM_SET_TRACK_NAME, 0, reinterpret_cast<LPARAM>(&pending));
  return 0;
}

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
      *result = OnSubsongInfoSent(plugin, wParam, lParam);
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
      *result = OnTrackNameSent(plugin, wParam, lParam);
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
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create ? create->lpCreateParams : nullptr));
  }
  return reinterpret_cast<Plugin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

LRESULT CALLBACK PluginWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Plugin* plugin = PluginOf(window, message, lParam);
  // Until CreateWindowEx has returned, the window is not yet the Plugin's: its creation messages
  // get the default handling.
  if (!plugin || plugin->window.Get() != window) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  bool handled = false;
  GuardCallback([&] { handled = HandleSent(*plugin, window, message, wParam, lParam, &result); });
  return handled ? result : DefWindowProcA(window, message, wParam, lParam);
}

void RouteMessage(const MSG& msg) {
  Plugin& plugin = ThePlugin();
  for (const WindowHandle* dialog :
       {&plugin.trackDialog, &plugin.subtrackDialog, &plugin.optionsDialog, &plugin.aboutDialog}) {
    if (*dialog && IsDialogMessageA(dialog->Get(), const_cast<MSG*>(&msg))) return;
  }
  HWND window = plugin.window.Get();
  if (msg.hwnd && msg.hwnd != window) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return;
  }
  if (plugin.frame && plugin.frame->HandleMessage(msg.message, msg.wParam, msg.lParam)) return;
  switch (msg.message) {
    case WM_KEYDOWN:
      OnKeyDown(msg);
      return;
    case WM_SYSKEYDOWN:
      OnSysKeyDown(msg);
      return;
    case WM_COMMAND:
      RunCommand(msg.wParam);
      return;
    case WM_TIMER:
      OnTimer(msg);
      return;
    default:
      break;
  }
  if (OnPrivateMessage(msg)) return;
  if (window) DefWindowProcA(window, msg.message, msg.wParam, msg.lParam);
}

bool HandleLoopMessage(const MSG& msg) {
  if (msg.message == UM_QUIT) {
    SaveIfModified();
    return false;
  }
  RouteMessage(msg);
  if (CallbackFailed()) throw CallbackFailure{};
  return true;
}

void RunMessageLoop() {
  if (CallbackFailed()) throw CallbackFailure{};
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) return;
    if (!HandleLoopMessage(msg)) return;
  }
}

}  // namespace tarnix
