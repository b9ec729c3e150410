#pragma once
// The command set: the command table the UI thread's loop dispatches WM_COMMAND through, the
// two button handler tables, the popup menu openers, and the commands.

#include <windows.h>

#include <cstdint>

#include "session/play_item.h"
#include "skin/widget.h"
#include "tracklist/item_id.h"

namespace tarnix {

class Plugin;

// A command of the menus, the keys, the buttons or a private message; it works on the plug-in
// it is handed and takes nothing else.
using Command = void (*)(Plugin& plugin);

struct CommandEntry {
  int32_t id;  // negative ends the table
  Command run;
};

// The command table in its order, ended by an entry whose id is -1.
extern const CommandEntry kCommandTable[];
// Looks up the low 16 bits of wParam and runs that command; false when none.
bool RunCommand(Plugin& plugin, WPARAM wParam);
// Whether RunCommand would run something for this id (the resource test asks it of every menu item).
bool HasCommandHandler(UINT id);
// Runs the command of a key pressed in the plug-in window (ctrl: with Ctrl held) through the
// same table; false for keys the plug-in leaves to the player.
bool RunKeyCommand(Plugin& plugin, WPARAM key, bool ctrl);

// A button's handler, (x, y) in the plug-in window's client coordinates; start-up hands the
// frame each one bound to its Plugin.
using ButtonHandler = void (*)(Plugin& plugin, int x, int y);

// Button handlers by button number (0 to 8); null slots do nothing.
extern const ButtonHandler kButtonClickHandlers[9];
extern const ButtonHandler kButtonRightClickHandlers[9];

// Menu openers, (x, y) in the plug-in window's client coordinates.
void OpenBkgMenu(Plugin& plugin, int x, int y);  // the frame's background right click
// The same menu from the keyboard (F10): every command of the window is in it or in the list's.
void OpenBkgMenuFromKeyboard(Plugin& plugin);
void OpenContextMenu(Plugin& plugin, int x, int y);  // the list view's context request
// Checks "Repeat" while a row is repeated and greys "Delete" unless a subtrack is selected.
void UpdateContextMenuStates(Plugin& plugin, HMENU contextMenu);

// Whether "previous" restarts a row that has played for a second instead of going back a row.
enum class RestartRule { kNever, kAfterASecond };
void PlayPreviousSubtrack(Plugin& plugin, RestartRule rule);

// The commands.
void CmdAbout(Plugin& plugin);
void CmdOptions(Plugin& plugin);  // also the descriptor's config
void CmdNew(Plugin& plugin);
void CmdOpen(Plugin& plugin);
void CmdSave(Plugin& plugin);
void CmdSaveAs(Plugin& plugin);
void CmdInsertSubtrack(Plugin& plugin);
void CmdRemoveSubtrack(Plugin& plugin);
void CmdFirstSubtrack(Plugin& plugin);
void CmdPreviousSubtrack(Plugin& plugin);  // the menus: always back a row
// The button, Ctrl+Left and UM_PREV_ENTRY: restarts a row that has played for a second.
void CmdRestartOrPreviousSubtrack(Plugin& plugin);
void CmdNextSubtrack(Plugin& plugin);
void CmdPlayTrack(Plugin& plugin);
void CmdPlaySelected(Plugin& plugin);
void CmdRepeat(Plugin& plugin);
void CmdInsert(Plugin& plugin);
void CmdDelete(Plugin& plugin);
void CmdEdit(Plugin& plugin);
void CmdEditSubtrack(Plugin& plugin);
void CmdEditTrack(Plugin& plugin);
void CmdPasteTracklist(Plugin& plugin);
void CmdExportCueSheet(Plugin& plugin);
void CmdExportChapters(Plugin& plugin);
// Writes the playing track's subtracks into the playing file as its chapters, off the UI thread.
void CmdSaveChaptersIntoFile(Plugin& plugin);
void CmdHideWindow(Plugin& plugin);  // Ctrl+F4 and the close button
// Stop at the end of the playing subtrack (again: cancel), and the selected subtrack's skip mark.
void CmdStopAfterSubtrack(Plugin& plugin);
void CmdSkipSubtrack(Plugin& plugin);
// The global actions' forms: mark (or unmark) the playing subtrack; hold the playing row as
// Repeat does (again: let go).
void SkipPlayingSubtrack(Plugin& plugin);
void RepeatPlayingSubtrack(Plugin& plugin);
// Checks the two items above in the context menu as the pending stop and the selection stand.
void UpdateListeningMenuStates(Plugin& plugin, HMENU contextMenu);

}  // namespace tarnix
