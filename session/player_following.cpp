#include "session/player_following.h"

#include <commctrl.h>

#include "host/plugin.h"
#include "host/shared_with_player.h"
#include "session/playback_tracking.h"
#include "skin/skin_frame.h"

namespace tarnix {

namespace {

void PostToPlugin(UINT message) {
  if (HWND window = Shared().pluginWindow.load(std::memory_order_relaxed)) PostMessageA(window, message, 0, 0);
}

}  // namespace

void ShowBesidePlayer(Plugin& plugin, UINT flags) {
  SkinFrame* frame = plugin.frame();
  if (!frame || !plugin.window()) return;
  flags |= SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
  int x = 0, y = 0;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (frame->docked.load(std::memory_order_relaxed) && Shared().playerWindow &&
      GetWindowPlacement(Shared().playerWindow, &placement) && (placement.showCmd & 1) != 0) {
    x = frame->posX + placement.rcNormalPosition.left;
    y = frame->posY + placement.rcNormalPosition.top;
    flags &= ~static_cast<UINT>(SWP_NOMOVE);
  }
  SetWindowPos(plugin.window(), Shared().playerWindow, x, y, 0, 0, flags);
  if (!frame->shown.load(std::memory_order_relaxed)) {
    frame->shown.store(true, std::memory_order_relaxed);
    TimerTick(plugin);
  }
}

void HidePluginWindow(Plugin& plugin) {
  if (HWND window = plugin.window()) ShowWindow(window, SW_HIDE);
}

void ToggleWindowWithoutFocus(Plugin& plugin) {
  if (Shared().window.shown.load(std::memory_order_relaxed))
    HidePluginWindow(plugin);
  else
    ShowBesidePlayer(plugin, SWP_NOACTIVATE);
}

void RequestTick() { PostToPlugin(UM_TICK_NOW); }

void FollowPlayer(Plugin& plugin, bool force) {
  if (!plugin.frame() || !plugin.frame()->shown.load(std::memory_order_relaxed)) return;
  if (!force && GetForegroundWindow() != Shared().playerWindow) return;
  ShowBesidePlayer(plugin, SWP_NOACTIVATE);
}

void PlayerHookFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window || window != Shared().playerWindow || !Shared().pluginWindow.load(std::memory_order_relaxed)) return;
  const FrameFlags& frame = Shared().window;
  const int32_t hotKey = Shared().hotKey.load(std::memory_order_relaxed);
  const WPARAM hotKeyCode = static_cast<WPARAM>(hotKey & 0xFF);
  const bool hotKeyAlt = ((hotKey >> 8) & HOTKEYF_ALT) != 0;
  switch (message) {
    case WM_MOVE:
      if (frame.docked.load(std::memory_order_relaxed)) PostToPlugin(UM_PLAYER_MOVED);
      break;
    case WM_SHOWWINDOW:
      // Asynchronous: the player's thread must never wait for the plug-in's.
      if (wParam != 0) ShowWindowAsync(Shared().pluginWindow.load(std::memory_order_relaxed), SW_SHOW);
      break;
    case WM_KEYDOWN:
      if (hotKeyCode != 0 && !hotKeyAlt && wParam == hotKeyCode)
        PostToPlugin(UM_TOGGLE_WINDOW);
      else if (wParam == VK_F5)
        PostToPlugin(UM_RELOAD_SKIN);
      else if (wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0)
        PostToPlugin(UM_FOCUS_WINDOW);
      break;
    case WM_SYSKEYDOWN:
      if (hotKeyCode != 0 && hotKeyAlt && (lParam & (1 << 29)) != 0 && wParam == hotKeyCode)
        PostToPlugin(UM_TOGGLE_WINDOW);
      break;
    case WM_COMMAND:
      if (frame.shown.load(std::memory_order_relaxed) && GetFocus() == window && LOWORD(wParam) == kCmdCycleWindows) {
        if (Shared().ctrlTabForwarding.load(std::memory_order_relaxed))
          Shared().ctrlTabForwarding.store(false, std::memory_order_relaxed);  // our own Ctrl+Tab coming back
        else
          PostToPlugin(UM_FOCUS_WINDOW);
      }
      break;
    case kPlayerRequest:
      // A file started: the tick reads what plays from the player as always; the path in
      // wParam is the player's memory and is never touched here.
      if (lParam == kNoticePlayingFile || lParam == kNoticePlayingFileW) PostToPlugin(UM_TICK_NOW);
      break;
    case kMsgEndOfFile:
      if (Shared().repeatItem.load(std::memory_order_relaxed) >= 0) PostToPlugin(UM_REPEAT_END);
      break;
    default:
      break;
  }
}

}  // namespace tarnix
