// The four commands of the "&File" menu: New, Open, Save and Save As, with the system's open
// and save dialogs starting in the bookmark directory.

#include "commands/commands.h"

#include <windows.h>

#include "commands/editing.h"
#include "commands/file_dialog.h"
#include "host/playback_state.h"
#include "host/plugin.h"
#include "host/settings.h"
#include "host/user_messages.h"
#include "session/stored_lists.h"
#include "session/unsaved_edits.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

constexpr wchar_t kFilter[] = L"Track list files (*.trk)\0*.trk\0All Files (*.*)\0*.*\0";

TextString AskForListFile(Plugin& plugin, FileDialog kind, const TextString& initial) {
  return AskForFile(plugin.window(), {kind, kFilter, L"trk", plugin.settings().bookmarkPath}, initial);
}

// The list was replaced: the views show the new one, and the dialogs its data.
void ShowReplacedList(Plugin& plugin) {
  TrackListView* const view = plugin.list();
  RebuildRows(plugin);
  if (view) view->Redraw();
  ReloadSubtrackDialog(plugin);
  if (plugin.editing().track != -1) OpenTrackDialog(plugin);
}

}  // namespace

void CmdNew(Plugin& plugin) {
  SaveIfModified(plugin);
  TrackList& list = plugin.trackList();
  list.Reset(plugin.playback().currentTitle, 1, list.cddbId);
  ShowReplacedList(plugin);
}

void CmdOpen(Plugin& plugin) {
  PlaybackState& playback = plugin.playback();
  TrackList& list = plugin.trackList();
  const TextString initial = list.path;
  SaveIfModified(plugin);
  const TextString chosen = AskForListFile(plugin, FileDialog::kOpen, initial);
  if (chosen.IsEmpty()) return;

  TrackList loaded;
  if (!LoadListOrKeptEdit(plugin, loaded, chosen, TextString(), 0, 0, true)) {
    ReportFailure(plugin.window(), "Couldn't open " + chosen);
    return;
  }
  if (loaded.TrackCount() < playback.currentTrack) {
    ReportFailure(plugin.window(), "No matching track info found in " + chosen);
    return;
  }
  loaded.SetCurrentTrack(playback.currentTrack);
  list.Assign(loaded);
  ShowReplacedList(plugin);
}

void CmdSave(Plugin& plugin) {
  if (plugin.playback().currentTitle.IsEmpty()) return;
  TrackList& list = plugin.trackList();
  if (list.path.IsEmpty()) {
    CmdSaveAs(plugin);
    return;
  }
  const TextString path = list.path;
  SaveListOrReport(plugin, list, path);
}

void CmdSaveAs(Plugin& plugin) {
  const TextString chosen = AskForListFile(plugin, FileDialog::kSave, SavePath(plugin).FileNamePart());
  if (chosen.IsEmpty()) return;
  SaveListOrReport(plugin, plugin.trackList(), chosen);
}

}  // namespace tarnix
