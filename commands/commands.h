#pragma once
// The command set: the command table the UI thread's loop dispatches WM_COMMAND through, the
// two button handler tables, the popup menu openers, and the commands.

#include <windows.h>

#include <cstdint>

#include "session/play_item.h"
#include "skin/widget.h"
#include "tracklist/item_id.h"

namespace tarnix {

// A command of the menus, the keys, the buttons or a private message; it works on the running
// plug-in's state and takes nothing else.
using Command = void (*)();

struct CommandEntry {
  int32_t id;  // negative ends the table
  Command run;
};

// The command table in its order, ended by an entry whose id is -1.
extern const CommandEntry kCommandTable[];
// Looks up the low 16 bits of wParam and runs that command; false when none.
bool RunCommand(WPARAM wParam);
// Whether RunCommand would run something for this id (the resource test asks it of every menu item).
bool HasCommandHandler(UINT id);
// Runs the command of a key pressed in the plug-in window (ctrl: with Ctrl held) through the
// same table; false for keys the plug-in leaves to the player.
bool RunKeyCommand(WPARAM key, bool ctrl);

// Button handlers by button number (0 to 8), (x, y) in the plug-in window's client
// coordinates; null slots do nothing.
extern const ClickHandler kButtonClickHandlers[9];
extern const ClickHandler kButtonRightClickHandlers[9];

// Menu openers, (x, y) in the plug-in window's client coordinates.
void OpenBkgMenu(int x, int y);      // the frame's background right click
void OpenContextMenu(int x, int y);  // the list view's context request
// Checks "Repeat" while a row is repeated and greys "Delete" unless a subtrack is selected.
void UpdateContextMenuStates(HMENU contextMenu);

// Whether "previous" restarts a row that has played for a second instead of going back a row.
enum class RestartRule { kNever, kAfterASecond };
void PlayPreviousSubtrack(RestartRule rule);

// The commands.
void CmdAbout();
void CmdOptions();  // also the descriptor's config
void CmdNew();
void CmdOpen();
void CmdSave();
void CmdSaveAs();
void CmdInsertSubtrack();
void CmdRemoveSubtrack();
void CmdFirstSubtrack();
void CmdPreviousSubtrack();  // the menus: always back a row
// The button, Ctrl+Left and UM_PREV_ENTRY: restarts a row that has played for a second.
void CmdRestartOrPreviousSubtrack();
void CmdNextSubtrack();
void CmdPlayTrack();
void CmdPlaySelected();
void CmdRepeat();
void CmdInsert();
void CmdDelete();
void CmdEdit();
void CmdEditSubtrack();
void CmdEditTrack();
void CmdPasteTracklist();
void CmdExportCueSheet();
void CmdExportChapters();
void CmdHideWindow();  // Ctrl+F4 and the close button
// Stop at the end of the playing subtrack (again: cancel), and the selected subtrack's skip mark.
void CmdStopAfterSubtrack();
void CmdSkipSubtrack();
// Checks the two items above in the context menu as the pending stop and the selection stand.
void UpdateListeningMenuStates(HMENU contextMenu);

}  // namespace tarnix
