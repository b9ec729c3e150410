// Placing the plug-in's dialogs next to its window.

#include "commands/dialog_placement.h"

namespace tarnix {

namespace {

bool ReadPlacement(HWND window, WINDOWPLACEMENT* placement) {
  placement->length = sizeof(*placement);
  return window && GetWindowPlacement(window, placement);
}

}  // namespace

POINT DialogPosition(const RECT& p, const RECT& d, const RECT& s) {
  const LONG width = d.right - d.left;
  const LONG height = d.bottom - d.top;
  LONG x = (p.left + p.right - width) / 2;
  LONG y = p.bottom;
  if (s.bottom - p.bottom < height) y = p.top - height;
  // A window near a screen edge would put the centred dialog partly out of reach; the left and
  // top edges win when the dialog is larger than the screen, so its caption stays reachable.
  if (x > s.right - width) x = s.right - width;
  if (x < s.left) x = s.left;
  if (y > s.bottom - height) y = s.bottom - height;
  if (y < s.top) y = s.top;
  return POINT{x, y};
}

void PlaceDialog(HWND dialog, HWND beside) {
  if (!dialog) return;
  WINDOWPLACEMENT screen, plugin, own;
  if (!ReadPlacement(GetDesktopWindow(), &screen) || !ReadPlacement(beside, &plugin) || !ReadPlacement(dialog, &own) ||
      (plugin.showCmd & 1) == 0) {
    ShowWindow(dialog, SW_SHOW);
    return;
  }
  // The screen is the monitor the plug-in window is on, so that a window on a second monitor
  // keeps its dialogs there; the desktop window covers the first monitor only.
  RECT area = screen.rcNormalPosition;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromRect(&plugin.rcNormalPosition, MONITOR_DEFAULTTONEAREST), &monitor))
    area = monitor.rcMonitor;
  const POINT at = DialogPosition(plugin.rcNormalPosition, own.rcNormalPosition, area);
  SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(dialog, SW_SHOW);
}

}  // namespace tarnix
