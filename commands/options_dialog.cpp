// The Options dialog (the seven user settings, taking effect as soon as OK is pressed) and the
// About dialog.

#include "commands/dialogs.h"

#include <commctrl.h>

#include "commands/commands.h"
#include "commands/editing.h"
#include "commands/file_commands.h"
#include "host/playback_state.h"
#include "host/playback_tracking.h"
#include "host/plugin_globals.h"
#include "host/settings.h"
#include "host/ui_thread.h"
#include "resources/resource_ids.h"
#include "skin/skin_frame.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "tracklist/platform.h"

namespace tarnix {

namespace {

struct CheckBoxSetting {
  int id;
  bool Settings::*value;
};

constexpr CheckBoxSetting kCheckBoxes[] = {
    {IDC_AUTO_SAVE, &Settings::autoSave},   {IDC_AUTO_POPUP, &Settings::autoPopup},
    {IDC_PRINT_TIME, &Settings::printTime}, {IDC_SHOW_TRACK, &Settings::showTrack},
    {IDC_TOP_TRACK, &Settings::topTrack},
};

HWND Options() { return g_plugin.optionsDialog; }

}  // namespace

void ShowOptionsDialog() {
  HWND dialog = Options();
  if (!dialog) return;
  SetDlgItemTextA(dialog, IDC_BOOKMARK_PATH, g_settings.bookmarkPath.c_str());
  for (const CheckBoxSetting& box : kCheckBoxes) {
    CheckDlgButton(dialog, box.id, g_settings.*box.value ? BST_CHECKED : BST_UNCHECKED);
  }
  const WPARAM hotKey = static_cast<WPARAM>(g_settings.hotKey.load(std::memory_order_relaxed) & 0xFFFF);
  SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, hotKey, 0);
  // A key pressed without a modifier becomes Alt plus that key.
  SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_ALT, 0));
  PlaceDialog(dialog);
}

void OptionsOk() {
  HWND dialog = Options();
  if (!dialog) return;
  const TextString oldDirectory = g_settings.bookmarkPath;
  const bool oldShowTrack = g_settings.showTrack;
  const bool oldTopTrack = g_settings.topTrack;

  g_settings.bookmarkPath = FromWindowText(GetDlgItem(dialog, IDC_BOOKMARK_PATH));
  for (const CheckBoxSetting& box : kCheckBoxes) {
    g_settings.*box.value = IsDlgButtonChecked(dialog, box.id) == BST_CHECKED;
  }
  g_settings.hotKey.store(static_cast<int32_t>(SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0) & 0xFFFF),
                          std::memory_order_relaxed);

  ShowWindow(dialog, SW_HIDE);

  if (g_plugin.list) {
    g_plugin.list->SetTimeColumn(g_settings.printTime ? TrackListView::kTimeColumnShown
                                                      : TrackListView::kNoTimeColumn);
  }
  if (g_settings.showTrack != oldShowTrack || g_settings.topTrack != oldTopTrack) {
    RebuildRows();
    PlaceList();
    if (g_plugin.title) {
      g_plugin.title->SetVisible(g_settings.showTrack && g_settings.topTrack);
      g_plugin.title->Redraw();
    }
    if (g_plugin.list) g_plugin.list->Redraw();
  }

  if (!CheckBookmarkDirectory(false)) g_settings.bookmarkPath = oldDirectory;
  // The next playback check takes the playing entry as new and searches the new directory.
  if (!(g_settings.bookmarkPath == oldDirectory)) {
    g_state.currentPath.Clear();
    StartBookmarkIndex();
  }

  SaveSettings();
}

void CmdOptions(int, int) {
  if (g_plugin.frame && !g_plugin.frame->shown.load(std::memory_order_relaxed)) {
    g_plugin.frame->shown.store(true, std::memory_order_relaxed);
    FollowPlayer(true);
    // Marked shown before it shows, the window gets no tick from FollowPlayer; and this may run
    // on the player's thread (config), which must not run one: the loop does.
    RequestTick();
    return;
  }
  ShowOptionsDialog();
}

void CmdAbout(int, int) {
  if (g_plugin.aboutDialog) PlaceDialog(g_plugin.aboutDialog);
}

}  // namespace tarnix
