// Every message of the plug-in window takes this one path, whichever loop dispatched it. Who
// sends what: the frame gets the mouse, painting and focus; keys come while the window has the
// focus; WM_COMMAND from its menus and from outside senders; WM_TIMER from its one timer; the
// UM_ messages from the hooks on the player's thread, from config, from quit and from outside
// senders; the subsong source's ids from a source, which sends them; the UM_APPLY_ ids from this
// procedure itself, for the work it defers.

#include "plugin/window_messages.h"

#include "accessibility/accessible_tree.h"
#include "accessibility/window_accessibility.h"
#include "commands/commands.h"
#include "commands/global_actions.h"
#include "host/messaging.h"
#include "host/player_codes.h"
#include "host/plugin.h"
#include "host/timer_ids.h"
#include "plugin/quit_at_once.h"
#include "resources/resource_ids.h"
#include "session/chapter_saves.h"
#include "session/playback_tracking.h"
#include "session/player_following.h"
#include "session/skin_adoption.h"
#include "session/subsong_messages.h"
#include "skin/skin_frame.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }

void PostToPlayer(UINT message, WPARAM wParam, LPARAM lParam) {
  PostMessageA(Shared().playerWindow, message, wParam, lParam);
}

void OnKeyDown(Plugin& plugin, WPARAM key, LPARAM lParam) {
  const bool ctrl = CtrlHeld();
  if (ctrl && key == VK_TAB) {
    // The player answers Ctrl+Tab with command 40063, which the hook would otherwise turn
    // straight back into a focus request for this window.
    Shared().ctrlTabForwarding.store(true, std::memory_order_relaxed);
    // SetFocus reaches the player's window, another thread's, because owning the plug-in
    // window joined the two threads' input queues (plugin/ui_thread.cpp, CreatePluginWindow).
    SetFocus(Shared().playerWindow);
    SendToPlayer(Shared().playerWindow, WM_COMMAND, kCmdCycleWindows, 0);
    return;
  }
  if (!RunKeyCommand(plugin, key, ctrl)) PostToPlayer(WM_KEYDOWN, key, lParam);
}

void OnSysKeyDown(Plugin& plugin, WPARAM key, LPARAM lParam) {
  // F10 opens the window's menu and Shift+F10 the list's, as the Applications key does: with
  // them every command is reachable from the keyboard.
  if (key == VK_F10) {
    if (GetKeyState(VK_SHIFT) >= 0) {
      OpenBkgMenuFromKeyboard(plugin);
    } else if (TrackListView* list = plugin.list()) {
      list->OnKey(VK_APPS);
    }
    return;
  }
  if (key == VK_F4 && (lParam & (1 << 29)) != 0) {
    SendToPlayer(Shared().playerWindow, WM_COMMAND, kCmdClosePlayer, 0);
    return;
  }
  PostToPlayer(WM_SYSKEYDOWN, key, lParam);
}

// The tick starts the timer again itself.
void TickNow(Plugin& plugin) {
  plugin.StopTickTimer();
  TimerTick(plugin);
}

void OnTickRequest(Plugin& plugin) {
  // Several requests in a row (both playing-file notices, a show as well) need one tick.
  while (PeekOne(nullptr, plugin.window(), UM_TICK_NOW, true)) {}
  TickNow(plugin);
}

void OnPlayerMoved(Plugin& plugin) {
  while (PeekOne(nullptr, plugin.window(), UM_PLAYER_MOVED, true)) {}
  FollowPlayer(plugin, false);
}

LRESULT KeyAnswer(int32_t key) { return static_cast<LRESULT>(key); }

// The frame's share: false when the frame left the message alone.
bool OfferToFrame(Plugin& plugin, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  SkinFrame* frame = plugin.frame();
  if (!frame) {
    if (message != WM_NCACTIVATE) return false;
    *result = 0;
    return true;
  }
  const bool wasShown = frame->shown.load(std::memory_order_relaxed);
  if (frame->HandleMessage(message, wParam, lParam, result)) return true;
  // Shown again, by whatever path (the player restored from its minimised state, the hook when
  // the player's window shows, anybody's ShowWindow): tracking may have paused while the window
  // was hidden, so the player is asked at once and the timer runs again.
  if (message == WM_SHOWWINDOW && wParam != 0 && !wasShown) RequestTick();
  return false;
}

// Input, commands and the timer; false for other messages.
bool HandleInput(Plugin& plugin, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      OnKeyDown(plugin, wParam, lParam);
      return true;
    case WM_SYSKEYDOWN:
      OnSysKeyDown(plugin, wParam, lParam);
      return true;
    case WM_SYSCHAR:
      // The player got the key down and translates its own character; the default procedure
      // would only beep for a menu this window does not have.
      return true;
    case WM_COMMAND:
      RunCommand(plugin, wParam);
      return true;
    case WM_TIMER:
      if (wParam != kTickTimerId) return false;
      TickNow(plugin);
      return true;
    default:
      return false;
  }
}

// The private messages, posted by the hooks, config, quit, this procedure and the global keys;
// false for others.
bool HandlePrivate(Plugin& plugin, UINT message, WPARAM wParam) {
  switch (message) {
    case UM_APPLY_SUBSONG_INFO:
      OnSubsongInfo(plugin, plugin.playback().subsongRecord);
      return true;
    case UM_APPLY_SUBSONG_CHANGED:
      OnSubsongChanged(plugin, wParam);
      return true;
    case UM_APPLY_TRACK_NAMES:
      ApplyTrackNamesWhenSettled(plugin);
      return true;
    case UM_APPLY_CHAPTERS_PROGRESS:
      OnChapterSaveProgress(plugin, wParam);
      return true;
    case UM_APPLY_CHAPTERS_SAVED:
      OnChapterSaveEnded(plugin);
      return true;
    case UM_PLAY_SUBSONG:
      PlayItem(plugin, static_cast<ItemId>(wParam + 1));
      return true;
    case UM_PREV_ENTRY:
      RunCommand(plugin, IDM_RESTART_OR_PREVIOUS);
      return true;
    case UM_NEXT_ENTRY:
      RunCommand(plugin, IDM_NEXT_SUBTRACK);
      return true;
    case UM_SHOW_WINDOW:
      ShowBesidePlayer(plugin, SWP_NOACTIVATE);
      return true;
    case UM_HIDE_WINDOW:
      RunCommand(plugin, IDM_HIDE_WINDOW);
      return true;
    case UM_TOGGLE_WINDOW:
      ToggleWindowWithoutFocus(plugin);
      return true;
    case UM_FOCUS_WINDOW:
      // Takes the focus from the player's window: possible only because the input queues are
      // joined (see OnKeyDown).
      SetFocus(plugin.window());
      return true;
    case UM_PLAYER_MOVED:
      OnPlayerMoved(plugin);
      return true;
    case UM_RELOAD_SKIN:
      ReadPlayerSettings(plugin);
      CheckSkin(plugin, true);
      return true;
    case UM_REPEAT_END:
      OnRepeatEnd(plugin);
      return true;
    case UM_TICK_NOW:
      OnTickRequest(plugin);
      return true;
    case UM_CONFIG:
      CmdOptions(plugin);
      return true;
    case UM_GLOBAL_ACTION:
      // A global key may send this from the player's thread: answered at once, the action runs
      // as the window's own command. Any other wParam names no action and is ignored.
      if (IsGlobalAction(wParam)) PostMessageW(plugin.window(), WM_COMMAND, wParam, 0);
      return true;
    case UM_PRESS_BUTTON:
      if (wParam < static_cast<WPARAM>(kSpokenButtons)) PressSpokenButton(plugin, static_cast<int32_t>(wParam));
      return true;
    case UM_QUIT:
      EndAllAtQuit(plugin);
      return true;
    default:
      return false;
  }
}

// A subsong source's sends and queries, answered at once; false for other messages.
bool AnswerSubsongSource(Plugin& plugin, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  TrackListView* list = plugin.list();
  switch (message) {
    case UM_SUBSONG_INFO:
      *result = TakeSubsongRecord(plugin, wParam, lParam);
      return true;
    case UM_SUBSONG_CHANGED:
      *result = TakeSubsongChange(plugin, wParam);
      return true;
    case UM_SET_TRACK_NAME:
      *result = TakeTrackName(plugin, wParam, lParam);
      return true;
    case UM_GET_LAST_KEY:
      *result = KeyAnswer(list ? list->KeyAt(list->RowCount() - 1) : 0);
      return true;
    case UM_GET_CURRENT_KEY:
      *result = KeyAnswer(list ? list->CurrentKey() : 0);
      return true;
    default:
      return false;
  }
}

}  // namespace

bool HandleWindowMessage(Plugin& plugin, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  if (OfferToFrame(plugin, message, wParam, lParam, result)) return true;
  *result = 0;
  if (message == WM_DESTROY) {
    if (WindowAccessibility* accessibility = plugin.accessibility()) accessibility->Disconnect();
    PostQuitMessage(0);
    return true;
  }
  if (message == WM_GETOBJECT) {
    WindowAccessibility* accessibility = plugin.accessibility();
    return accessibility && accessibility->AnswerGetObject(wParam, lParam, result);
  }
  return AnswerSubsongSource(plugin, message, wParam, lParam, result) || HandleInput(plugin, message, wParam, lParam) ||
         HandlePrivate(plugin, message, wParam);
}

}  // namespace tarnix
