// Showing the plug-in window beside the player, and the filter of the two hooks on the player's
// thread, which turns what happens at the player's main window into private messages.

#include <windows.h>

#include <commctrl.h>

#include "host/playback_state.h"
#include "host/playback_tracking.h"
#include "host/plugin_globals.h"
#include "host/settings.h"
#include "skin/skin_frame.h"

namespace tarnix {

namespace {

void PostToPlugin(UINT message) {
  if (g_plugin.pluginWindow) PostMessageA(g_plugin.pluginWindow, message, 0, 0);
}

}  // namespace

void ShowBesidePlayer(UINT flags) {
  SkinFrame* frame = g_plugin.frame;
  if (!frame || !g_plugin.pluginWindow) return;
  flags |= SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
  int x = 0, y = 0;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (frame->docked.load(std::memory_order_relaxed) && g_plugin.playerWindow &&
      GetWindowPlacement(g_plugin.playerWindow, &placement) && (placement.showCmd & 1) != 0) {
    x = frame->posX + placement.rcNormalPosition.left;
    y = frame->posY + placement.rcNormalPosition.top;
    flags &= ~static_cast<UINT>(SWP_NOMOVE);
  }
  SetWindowPos(g_plugin.pluginWindow, g_plugin.playerWindow, x, y, 0, 0, flags);
  if (!frame->shown.load(std::memory_order_relaxed)) {
    frame->shown.store(true, std::memory_order_relaxed);
    TimerTick();
  }
}

void RequestTick() { PostToPlugin(UM_TICK_NOW); }

void FollowPlayer(bool force) {
  const SkinFrame* frame = g_plugin.frame;
  if (!frame || !frame->shown.load(std::memory_order_relaxed)) return;
  if (!force && GetForegroundWindow() != g_plugin.playerWindow) return;
  ShowBesidePlayer(SWP_NOACTIVATE);
}

void PlayerHookFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window || window != g_plugin.playerWindow || !g_plugin.pluginWindow) return;
  const SkinFrame* frame = g_plugin.frame;
  const int32_t hotKey = g_settings.hotKey.load(std::memory_order_relaxed);
  const WPARAM hotKeyCode = static_cast<WPARAM>(hotKey & 0xFF);
  const bool hotKeyAlt = ((hotKey >> 8) & HOTKEYF_ALT) != 0;
  switch (message) {
    case WM_MOVE:
      if (frame && frame->docked.load(std::memory_order_relaxed)) PostToPlugin(UM_PLAYER_MOVED);
      break;
    case WM_SHOWWINDOW:
      // Asynchronous: the player's thread must never wait for the plug-in's.
      if (wParam != 0) ShowWindowAsync(g_plugin.pluginWindow, SW_SHOW);
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
      if (frame && frame->shown.load(std::memory_order_relaxed) && GetFocus() == window &&
          LOWORD(wParam) == kCmdCycleWindows) {
        if (g_plugin.ctrlTabForwarding.load(std::memory_order_relaxed))
          g_plugin.ctrlTabForwarding.store(false, std::memory_order_relaxed);  // our own Ctrl+Tab coming back
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
      if (g_state.repeatItem.load(std::memory_order_relaxed) >= 0) PostToPlugin(UM_REPEAT_END);
      break;
    default:
      break;
  }
}

}  // namespace tarnix
