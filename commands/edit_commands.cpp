// The editing commands of the menus and keys: insert, delete and edit a subtrack or a track.

#include "commands/commands.h"
#include "commands/editing.h"
#include "host/plugin.h"
#include "skin/track_list_view.h"

namespace tarnix {

namespace {

ItemId SelectedItem(Plugin& plugin) { return plugin.list() ? plugin.list()->SelectedKey() : 0; }

}  // namespace

void CmdInsertSubtrack(Plugin& plugin) { InsertSubtrack(plugin, kNoItem); }
void CmdInsert(Plugin& plugin) { InsertSubtrack(plugin, SelectedItem(plugin)); }
void CmdRemoveSubtrack(Plugin& plugin) { DeleteSubtrack(plugin); }
void CmdDelete(Plugin& plugin) { DeleteSubtrack(plugin); }
void CmdEditSubtrack(Plugin& plugin) { OpenSubtrackDialog(plugin); }
void CmdEditTrack(Plugin& plugin) { OpenTrackDialog(plugin); }
void CmdEdit(Plugin& plugin) {
  if (ItemSubtrack(SelectedItem(plugin)) != 0) {
    OpenSubtrackDialog(plugin);
  } else {
    OpenTrackDialog(plugin);
  }
}

}  // namespace tarnix
