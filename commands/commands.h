#pragma once
// The command set: the command table the UI thread's loop dispatches WM_COMMAND through, the
// two button handler tables, the popup menu openers, and the commands.

#include <windows.h>

#include <cstdint>

#include "session/play_item.h"
#include "tracklist/item_id.h"

namespace tarnix {

using CommandHandler = void (*)(int x, int y);

struct CommandEntry {
  int32_t id;  // negative ends the table
  CommandHandler handler;
};

// The command table in its order, ended by an entry whose id is -1.
extern const CommandEntry kCommandTable[];
// Looks up the low 16 bits of wParam and calls the handler with (-1, -1); false when none.
bool RunCommand(WPARAM wParam);

// Button handlers by button number (0 to 8); null slots do nothing.
extern const CommandHandler kButtonClickHandlers[9];
extern const CommandHandler kButtonRightClickHandlers[9];

// Menu openers, (x, y) in the plug-in window's client coordinates.
void OpenBkgMenu(int x, int y);      // the frame's background right click
void OpenContextMenu(int x, int y);  // the list view's context request
// Checks "Repeat" while a row is repeated and greys "Delete" unless a subtrack is selected.
void UpdateContextMenuStates(HMENU contextMenu);

// Commands (x, y ignored unless stated).
void CmdAbout(int x, int y);
void CmdOptions(int x, int y);  // also the descriptor's config
void CmdNew(int x, int y);
void CmdOpen(int x, int y);
void CmdSave(int x, int y);
void CmdSaveAs(int x, int y);
void CmdInsertSubtrack(int x, int y);
void CmdRemoveSubtrack(int x, int y);
void CmdFirstSubtrack(int x, int y);
// x >= 0 applies the restart rule (buttons, Ctrl+Left, UM_PREV_ENTRY); menus pass -1.
void CmdPreviousSubtrack(int x, int y);
void CmdNextSubtrack(int x, int y);
void CmdPlayTrack(int x, int y);
void CmdPlaySelected(int x, int y);  // also the list view's activation callback
void CmdRepeat(int x, int y);
void CmdInsert(int x, int y);
void CmdDelete(int x, int y);
void CmdEdit(int x, int y);
void CmdEditSubtrack(int x, int y);
void CmdEditTrack(int x, int y);
void CmdPasteTracklist(int x, int y);
void CmdExportCueSheet(int x, int y);

}  // namespace tarnix
