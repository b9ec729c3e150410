// The command table that the window procedure runs WM_COMMAND through, the two button
// handler tables, and the popup menus: which element opens which menu, and the two context
// menu items whose state follows the list.

#include "commands/commands.h"

#include "commands/editing.h"
#include "commands/global_actions.h"
#include "host/messaging.h"
#include "host/playback_state.h"
#include "host/plugin.h"
#include "resources/resource_ids.h"
#include "session/player_following.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

void OpenPopup(Plugin& plugin, HMENU menu, int x, int y) {
  HWND window = plugin.window();
  // At quit no menu opens; one already open is closed then (plugin/quit_at_once.h).
  if (!menu || !window || QuitPending()) return;
  POINT point{x, y};
  if (!ClientToScreen(window, &point)) return;
  // The chosen item comes back as a WM_COMMAND posted to the plug-in window. Meanwhile the
  // menu's loop dispatches the window's other messages, the timer's among them, to the window
  // procedure, so tracking goes on while the menu is open.
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, point.x, point.y, 0, window, nullptr);
}

void OpenMenuMenu(Plugin& plugin, int x, int y) { OpenPopup(plugin, plugin.menus().menu, x, y); }
void OpenFileMenu(Plugin& plugin, int x, int y) { OpenPopup(plugin, plugin.menus().file, x, y); }
void OpenAddMenu(Plugin& plugin, int x, int y) { OpenPopup(plugin, plugin.menus().add, x, y); }
void OpenPrevMenu(Plugin& plugin, int x, int y) { OpenPopup(plugin, plugin.menus().prev, x, y); }
void OpenNextMenu(Plugin& plugin, int x, int y) { OpenPopup(plugin, plugin.menus().next, x, y); }

// The buttons' handlers get the click's position; only the menu buttons need it.
void ClickInsertSubtrack(Plugin& plugin, int, int) { CmdInsertSubtrack(plugin); }
void ClickRestartOrPrevious(Plugin& plugin, int, int) { CmdRestartOrPreviousSubtrack(plugin); }
void ClickNextSubtrack(Plugin& plugin, int, int) { CmdNextSubtrack(plugin); }
void ClickClose(Plugin& plugin, int, int) { CmdHideWindow(plugin); }

void PageListUp(Plugin& plugin, int, int) {
  TrackListView* const view = plugin.list();
  if (view) view->PageUp();
}

void PageListDown(Plugin& plugin, int, int) {
  TrackListView* const view = plugin.list();
  if (view) view->PageDown();
}

void SetItemState(HMENU menu, UINT position, UINT state) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE;
  info.fState = state;
  SetMenuItemInfoW(menu, position, TRUE, &info);
}

}  // namespace

const CommandEntry kCommandTable[] = {
    {IDM_ABOUT, CmdAbout},
    {IDM_OPTIONS, CmdOptions},
    {IDM_NEW, CmdNew},
    {IDM_OPEN, CmdOpen},
    {IDM_SAVE, CmdSave},
    {IDM_SAVE_AS, CmdSaveAs},
    {IDM_INSERT_SUBTRACK, CmdInsertSubtrack},
    {IDM_REMOVE_SUBTRACK, CmdRemoveSubtrack},
    {IDM_FIRST_SUBTRACK, CmdFirstSubtrack},
    {IDM_PREVIOUS_SUBTRACK, CmdPreviousSubtrack},
    {IDM_NEXT_SUBTRACK, CmdNextSubtrack},
    {IDM_PLAY_TRACK, CmdPlayTrack},
    {IDM_PLAY_SELECTED, CmdPlaySelected},
    {IDM_REPEAT, CmdRepeat},
    {IDM_INSERT, CmdInsert},
    {IDM_DELETE, CmdDelete},
    {IDM_EDIT, CmdEdit},
    {IDM_EDIT_SUBTRACK, CmdEditSubtrack},
    {IDM_EDIT_TRACK, CmdEditTrack},
    {IDM_CONTEXT_PLAY, CmdPlaySelected},
    {IDM_PASTE_TRACKLIST, CmdPasteTracklist},
    {IDM_EXPORT_CUE_SHEET, CmdExportCueSheet},
    {IDM_EXPORT_CHAPTERS, CmdExportChapters},
    {IDM_SAVE_CHAPTERS_INTO_FILE, CmdSaveChaptersIntoFile},
    {IDM_STOP_AFTER_SUBTRACK, CmdStopAfterSubtrack},
    {IDM_SKIP_SUBTRACK, CmdSkipSubtrack},
    {IDM_RESTART_OR_PREVIOUS, CmdRestartOrPreviousSubtrack},
    {IDM_HIDE_WINDOW, CmdHideWindow},
    {IDM_GLOBAL_MARK, CmdGlobalMark},
    {IDM_GLOBAL_NEXT, CmdGlobalNext},
    {IDM_GLOBAL_PREVIOUS, CmdGlobalPrevious},
    {IDM_GLOBAL_REPEAT, CmdGlobalRepeat},
    {IDM_GLOBAL_STOP_AFTER, CmdGlobalStopAfter},
    {IDM_GLOBAL_SKIP, CmdGlobalSkip},
    {IDM_GLOBAL_SHOW_HIDE, CmdGlobalShowHide},
    {-1, nullptr},
};

namespace {

// The plug-in's own keys; every other key goes to the player.
struct KeyCommand {
  WPARAM key;
  bool ctrl;
  int32_t command;
};

constexpr KeyCommand kKeyCommands[] = {
    {VK_INSERT, false, IDM_INSERT}, {VK_DELETE, false, IDM_DELETE},           {'E', false, IDM_EDIT},
    {'R', false, IDM_REPEAT},       {VK_LEFT, true, IDM_RESTART_OR_PREVIOUS}, {VK_RIGHT, true, IDM_NEXT_SUBTRACK},
    {VK_F4, true, IDM_HIDE_WINDOW}, {'T', false, IDM_STOP_AFTER_SUBTRACK},    {'K', false, IDM_SKIP_SUBTRACK},
};

}  // namespace

bool RunCommand(Plugin& plugin, WPARAM wParam) {
  const int32_t id = LOWORD(wParam);
  for (const CommandEntry* entry = kCommandTable; entry->id >= 0; ++entry) {
    if (entry->id != id) continue;
    if (!entry->run) return false;
    entry->run(plugin);
    return true;
  }
  return false;
}

bool HasCommandHandler(UINT id) {
  for (const CommandEntry* entry = kCommandTable; entry->id >= 0; ++entry) {
    if (static_cast<UINT>(entry->id) == id) return entry->run != nullptr;
  }
  return false;
}

bool RunKeyCommand(Plugin& plugin, WPARAM key, bool ctrl) {
  for (const KeyCommand& entry : kKeyCommands) {
    if (entry.key == key && entry.ctrl == ctrl) return RunCommand(plugin, static_cast<WPARAM>(entry.command));
  }
  return false;
}

const ButtonHandler kButtonClickHandlers[9] = {
    OpenMenuMenu, OpenFileMenu, ClickInsertSubtrack, ClickRestartOrPrevious, ClickNextSubtrack,
    ClickClose,   nullptr,      PageListUp,          PageListDown,
};

const ButtonHandler kButtonRightClickHandlers[9] = {
    OpenMenuMenu, OpenFileMenu, OpenAddMenu, OpenPrevMenu, OpenNextMenu, nullptr, nullptr, nullptr, nullptr,
};

void CmdHideWindow(Plugin& plugin) { HidePluginWindow(plugin); }

void OpenBkgMenu(Plugin& plugin, int x, int y) { OpenPopup(plugin, plugin.menus().bkg, x, y); }

void OpenBkgMenuFromKeyboard(Plugin& plugin) {
  int x = 0, y = 0;
  if (const TrackListView* view = plugin.list()) {
    // Just below the keyboard row when it is on the page, else at the list's top.
    const RECT list = view->GetRect();
    const RECT row = view->RowBox(view->SelectedRow());
    x = list.left + 8;
    y = (!IsRectEmpty(&row) && row.top >= list.top && row.bottom <= list.bottom) ? row.bottom : list.top;
  }
  OpenBkgMenu(plugin, x, y);
}

void UpdateContextMenuStates(Plugin& plugin, HMENU menu) {
  TrackListView* const view = plugin.list();
  if (!menu) return;
  const bool repeating = Shared().repeatItem.load(std::memory_order_relaxed) != kNoItem;
  SetItemState(menu, MENU_POS_CONTEXT_REPEAT, repeating ? MFS_CHECKED : MFS_UNCHECKED);
  const ItemId selected = view ? view->SelectedKey() : 0;
  const bool deletable = ItemTrack(selected) != 0 && ItemSubtrack(selected) != 0;
  SetItemState(menu, MENU_POS_CONTEXT_DELETE, deletable ? MFS_ENABLED : (MFS_DISABLED | MFS_GRAYED));
  UpdateListeningMenuStates(plugin, menu);
}

void OpenContextMenu(Plugin& plugin, int x, int y) {
  UpdateContextMenuStates(plugin, plugin.menus().context);
  OpenPopup(plugin, plugin.menus().context, x, y);
}

}  // namespace tarnix
