// The editing commands of the menus and keys: insert, delete and edit a subtrack or a track.

#include "commands/commands.h"
#include "commands/editing.h"
#include "host/plugin.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

ItemId SelectedItem() { return ThePlugin().list ? ThePlugin().list->SelectedKey() : 0; }

}  // namespace

void CmdInsertSubtrack(int, int) { InsertSubtrack(kNoItem); }
void CmdInsert(int, int) { InsertSubtrack(SelectedItem()); }
void CmdRemoveSubtrack(int, int) { DeleteSubtrack(); }
void CmdDelete(int, int) { DeleteSubtrack(); }
void CmdEditSubtrack(int, int) { OpenSubtrackDialog(); }
void CmdEditTrack(int, int) { OpenTrackDialog(); }
void CmdEdit(int, int) {
  if (ItemSubtrack(SelectedItem()) != 0) {
    OpenSubtrackDialog();
  } else {
    OpenTrackDialog();
  }
}

}  // namespace tarnix
