// The modeless track dialog: the track's name with the list's album and artist. Enter applies,
// Esc and the close box discard.

#include "commands/editing.h"
#include "commands/window_text.h"

#include "commands/dialogs.h"

#include "commands/dialog_placement.h"
#include "host/plugin.h"
#include "resources/resource_ids.h"
#include "skin/track_list_view.h"
#include "tracklist/platform.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

ItemId Selected(Plugin& plugin) { return plugin.list() ? plugin.list()->SelectedKey() : 0; }

Track* TrackNumbered(Plugin& plugin, int n) {
  TrackList& list = plugin.trackList();
  if (n < 1 || n > list.TrackCount()) return nullptr;
  return &list.tracks[static_cast<size_t>(n) - 1];
}

}  // namespace

void OpenTrackDialog(Plugin& plugin) {
  EditingState& editing = plugin.editing();
  TrackListView* const view = plugin.list();
  HWND dialog = plugin.trackDialog();
  if (!dialog) return;
  if (Selected(plugin) < 1 && view) view->SelectByKey(MakeItemId(1, 0));
  editing.track = ItemTrack(Selected(plugin));
  Track* track = TrackNumbered(plugin, editing.track);
  if (editing.track < 1 || !track) {
    editing.track = -1;
    return;
  }
  const TrackList& list = plugin.trackList();
  SetDialogItemText(dialog, IDC_TRACK_NAME, track->Name());
  SetDialogItemText(dialog, IDC_ALBUM, list.album);
  SetDialogItemText(dialog, IDC_ARTIST, list.artist);
  PostMessageA(GetDlgItem(dialog, IDC_TRACK_NAME), EM_SETSEL, 0, -1);
  PlaceDialog(dialog, plugin.window());
}

namespace {

void CloseTrackDialogDiscarding(Plugin& plugin) { CloseTrackDialog(plugin, false); }
void CloseTrackDialogApplying(Plugin& plugin) { CloseTrackDialog(plugin, true); }

}  // namespace

void CloseTrackDialog(Plugin& plugin, bool apply) {
  EditingState& editing = plugin.editing();
  TrackListView* const view = plugin.list();
  HWND dialog = plugin.trackDialog();
  if (apply && editing.track != -1 && dialog) {
    Track* track = TrackNumbered(plugin, editing.track);
    if (track) {
      TrackList& list = plugin.trackList();
      track->RenameSubtrack(0, DialogItemText(dialog, IDC_TRACK_NAME));
      list.SetAlbum(DialogItemText(dialog, IDC_ALBUM));
      list.SetArtist(DialogItemText(dialog, IDC_ARTIST));
      SetRowText(plugin, MakeItemId(editing.track, 0), true);
      if (view) view->Redraw();
    }
  }
  if (dialog) ShowWindow(dialog, SW_HIDE);
  editing.track = -1;
}

const DialogHandlers kTrackDialogHandlers = {CloseTrackDialogApplying, CloseTrackDialogDiscarding, nullptr, nullptr};

}  // namespace tarnix
