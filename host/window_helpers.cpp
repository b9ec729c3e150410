// Small helpers around the plug-in window that the UI thread and the commands share.

#include "host/plugin_globals.h"
#include "host/settings.h"
#include "host/ui_thread.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "skin/window_layout.h"

namespace tarnix {

namespace {

bool ReadPlacement(HWND window, WINDOWPLACEMENT* placement) {
  placement->length = sizeof(*placement);
  return window && GetWindowPlacement(window, placement);
}

}  // namespace

void PlaceDialog(HWND dialog) {
  if (!dialog) return;
  WINDOWPLACEMENT screen, plugin, own;
  if (!ReadPlacement(GetDesktopWindow(), &screen) || !ReadPlacement(g_plugin.pluginWindow, &plugin) ||
      !ReadPlacement(dialog, &own) || (plugin.showCmd & 1) == 0) {
    ShowWindow(dialog, SW_SHOW);
    return;
  }
  const RECT& p = plugin.rcNormalPosition;
  const RECT& d = own.rcNormalPosition;
  const RECT& s = screen.rcNormalPosition;
  const LONG dialogHeight = d.bottom - d.top;
  const LONG x = (p.left + p.right - (d.right - d.left)) / 2;
  LONG y = p.bottom;
  if (s.bottom - p.bottom < dialogHeight) y = p.top - dialogHeight;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(dialog, SW_SHOW);
}

TextString JoinWithDash(const TextString& a, const TextString& b) {
  if (a.IsEmpty()) return b;
  return a + " - " + b;
}

void PlaceListBelowTitle(const RECT& /*content*/) {
  if (!g_settings.showTrack || !g_settings.topTrack || !g_plugin.list || !g_plugin.title) return;
  const RECT title = g_plugin.title->GetRect();
  g_plugin.list->SetLayout(LayoutRect{12, static_cast<int32_t>(title.bottom), -20, -38});
}

void PlaceList() {
  if (g_settings.showTrack && g_settings.topTrack) {
    PlaceListBelowTitle(RECT{});
  } else if (g_plugin.list) {
    g_plugin.list->SetLayout(kListLayout);
  }
}

void HidePluginWindow(int /*x*/, int /*y*/) {
  if (g_plugin.pluginWindow) ShowWindow(g_plugin.pluginWindow, SW_HIDE);
}

}  // namespace tarnix
