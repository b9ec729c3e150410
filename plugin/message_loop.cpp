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

#include "commands/commands.h"
#include "host/callback_guard.h"
#include "host/messaging.h"
#include "host/playback_state.h"
#include "host/player_codes.h"
#include "host/plugin.h"
#include "host/skin_adoption.h"
#include "host/timer_ids.h"
#include "resources/resource_ids.h"
#include "session/playback_tracking.h"
#include "session/player_following.h"
#include "session/stored_lists.h"
#include "session/subsong_messages.h"
#include "session/unsaved_edits.h"
#include "skin/skin_frame.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

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
      ApplyTrackNamesWhenSettled();
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

}  // namespace

void RouteMessage(const MSG& msg) {
  Plugin& plugin = ThePlugin();
  for (const WindowHandle* dialog :
       {&plugin.trackDialog, &plugin.subtrackDialog, &plugin.optionsDialog, &plugin.aboutDialog}) {
    if (*dialog && IsDialogMessageW(dialog->Get(), const_cast<MSG*>(&msg))) return;
  }
  HWND window = plugin.window.Get();
  if (msg.hwnd && msg.hwnd != window) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
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
  if (window) DefWindowProcW(window, msg.message, msg.wParam, msg.lParam);
}

bool HandleLoopMessage(const MSG& msg) {
  if (msg.message == UM_QUIT) {
    SaveIfModified();
    SaveWaitingEdits();  // a last try for the edits kept aside; those still held stay in their recovery files
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
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) return;
    if (!HandleLoopMessage(msg)) return;
  }
}

}  // namespace tarnix
