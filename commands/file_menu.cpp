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

TextString AskForListFile(FileDialog kind, const TextString& initial) {
  return AskForFile({kind, kFilter, L"trk", ThePlugin().settings.bookmarkPath}, initial);
}

// The list was replaced: the views show the new one, and the dialogs its data.
void ShowReplacedList() {
  TrackListView* const view = ThePlugin().list;
  RebuildRows();
  if (view) view->Redraw();
  ReloadSubtrackDialog();
  if (ThePlugin().editing.track != -1) OpenTrackDialog();
}

}  // namespace

void CmdNew() {
  SaveIfModified();
  TrackList& list = ThePlugin().trackList;
  list.Reset(ThePlugin().playback.currentTitle, 1, list.cddbId);
  ShowReplacedList();
}

void CmdOpen() {
  PlaybackState& playback = ThePlugin().playback;
  TrackList& list = ThePlugin().trackList;
  const TextString initial = list.path;
  SaveIfModified();
  const TextString chosen = AskForListFile(FileDialog::kOpen, initial);
  if (chosen.IsEmpty()) return;

  TrackList loaded;
  if (!LoadListOrKeptEdit(loaded, chosen, TextString(), 0, 0, true)) {
    ReportFailure("Couldn't open " + chosen);
    return;
  }
  if (loaded.TrackCount() < playback.currentTrack) {
    ReportFailure("No matching track info found in " + chosen);
    return;
  }
  loaded.SetCurrentTrack(playback.currentTrack);
  list.Assign(loaded);
  ShowReplacedList();
}

void CmdSave() {
  if (ThePlugin().playback.currentTitle.IsEmpty()) return;
  TrackList& list = ThePlugin().trackList;
  if (list.path.IsEmpty()) {
    CmdSaveAs();
    return;
  }
  const TextString path = list.path;
  SaveListOrReport(list, path);
}

void CmdSaveAs() {
  const TextString chosen = AskForListFile(FileDialog::kSave, SavePath().FileNamePart());
  if (chosen.IsEmpty()) return;
  SaveListOrReport(ThePlugin().trackList, chosen);
}

}  // namespace tarnix
