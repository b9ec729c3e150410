// The editing commands of the menus and keys: insert, delete and edit a subtrack or a track.

#include "commands/commands.h"
#include "commands/editing.h"
#include "host/plugin.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

ItemId SelectedItem() { return ThePlugin().list ? ThePlugin().list->SelectedKey() : 0; }

}  // namespace

void CmdInsertSubtrack() { InsertSubtrack(kNoItem); }
void CmdInsert() { InsertSubtrack(SelectedItem()); }
void CmdRemoveSubtrack() { DeleteSubtrack(); }
void CmdDelete() { DeleteSubtrack(); }
void CmdEditSubtrack() { OpenSubtrackDialog(); }
void CmdEditTrack() { OpenTrackDialog(); }
void CmdEdit() {
  if (ItemSubtrack(SelectedItem()) != 0) {
    OpenSubtrackDialog();
  } else {
    OpenTrackDialog();
  }
}

}  // namespace tarnix
