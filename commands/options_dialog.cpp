// The Options dialog (the user settings, taking effect as soon as OK is pressed) and the
// About dialog.

#include "commands/dialogs.h"

#include <commctrl.h>

#include "commands/commands.h"
#include "commands/dialog_placement.h"
#include "commands/editing.h"
#include "commands/window_text.h"
#include "host/mark_earlier.h"
#include "host/playback_state.h"
#include "host/plugin.h"
#include "host/settings.h"
#include "host/user_messages.h"
#include "resources/resource_ids.h"
#include "session/list_placement.h"
#include "session/player_following.h"
#include "session/stored_lists.h"
#include "session/unsaved_edits.h"
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
    {IDC_TOP_TRACK, &Settings::topTrack},   {IDC_RESUME, &Settings::resume},
};

HWND Options(Plugin& plugin) { return plugin.optionsDialog(); }

}  // namespace

void ShowOptionsDialog(Plugin& plugin) {
  const Settings& settings = plugin.settings();
  HWND dialog = Options(plugin);
  if (!dialog) return;
  SetDialogItemText(dialog, IDC_BOOKMARK_PATH, settings.bookmarkPath);
  for (const CheckBoxSetting& box : kCheckBoxes) {
    CheckDlgButton(dialog, box.id, settings.*box.value ? BST_CHECKED : BST_UNCHECKED);
  }
  const WPARAM hotKey = static_cast<WPARAM>(Shared().hotKey.load(std::memory_order_relaxed) & 0xFFFF);
  SendDlgItemMessageW(dialog, IDC_HOTKEY, HKM_SETHOTKEY, hotKey, 0);
  // A key pressed without a modifier becomes Alt plus that key.
  SendDlgItemMessageW(dialog, IDC_HOTKEY, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_ALT, 0));
  SendDlgItemMessageW(dialog, IDC_MARK_EARLIER_SPIN, UDM_SETRANGE32, 0, kMaxMarkEarlierSeconds);
  SetDlgItemInt(dialog, IDC_MARK_EARLIER, static_cast<UINT>(ClampMarkEarlier(settings.markEarlier)), FALSE);
  PlaceDialog(dialog, plugin.window());
}

void OptionsOk(Plugin& plugin) {
  Settings& settings = plugin.settings();
  TrackListView* const view = plugin.list();
  HWND dialog = Options(plugin);
  if (!dialog) return;
  const TextString oldDirectory = settings.bookmarkPath;
  const bool oldShowTrack = settings.showTrack;
  const bool oldTopTrack = settings.topTrack;

  settings.bookmarkPath = DialogItemText(dialog, IDC_BOOKMARK_PATH);
  for (const CheckBoxSetting& box : kCheckBoxes) {
    settings.*box.value = IsDlgButtonChecked(dialog, box.id) == BST_CHECKED;
  }
  Shared().hotKey.store(static_cast<int32_t>(SendDlgItemMessageW(dialog, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0) & 0xFFFF),
                        std::memory_order_relaxed);
  // Only digits can be typed, but a number past 60 (or one pasted in) comes into range, and a
  // field left empty keeps the value.
  BOOL number = FALSE;
  const UINT markEarlier = GetDlgItemInt(dialog, IDC_MARK_EARLIER, &number, FALSE);
  if (number) settings.markEarlier = ClampMarkEarlier(markEarlier);

  ShowWindow(dialog, SW_HIDE);

  if (view) {
    view->SetTimeColumn(settings.printTime ? TrackListView::kTimeColumnShown : TrackListView::kNoTimeColumn);
  }
  if (settings.showTrack != oldShowTrack || settings.topTrack != oldTopTrack) {
    RebuildRows(plugin);
    PlaceList(plugin);
    if (plugin.title()) {
      plugin.title()->SetVisible(settings.showTrack && settings.topTrack);
      plugin.title()->Redraw();
    }
    if (view) view->Redraw();
  }

  if (!EnsureBookmarkDirectory(plugin, false)) settings.bookmarkPath = oldDirectory;
  // The next playback check takes the playing entry as new and searches the new directory.
  if (!settings.bookmarkPath.EqualsIgnoringCase(oldDirectory)) {
    plugin.playback().currentPath.Clear();
    StartBookmarkIndex(plugin);
  }

  if (SaveSettings(plugin))
    settings.unreadAtStart = false;
  else
    ReportFailure(plugin.window(), SaveFailureText(PluginIniPath(plugin.settings()), LastWriteResult()));
}

void CmdOptions(Plugin& plugin) {
  SkinFrame* frame = plugin.frame();
  if (frame && !frame->shown.load(std::memory_order_relaxed)) {
    frame->shown.store(true, std::memory_order_relaxed);
    FollowPlayer(plugin, true);
    // Marked shown before it shows, the window gets no tick from FollowPlayer: the loop runs one.
    RequestTick();
    return;
  }
  ShowOptionsDialog(plugin);
}

void CmdAbout(Plugin& plugin) {
  if (HWND about = plugin.aboutDialog()) PlaceDialog(about, plugin.window());
}

const DialogHandlers kOptionsDialogHandlers = {OptionsOk, nullptr, nullptr, nullptr};
const DialogHandlers kAboutDialogHandlers = {nullptr, nullptr, nullptr, nullptr};

}  // namespace tarnix
