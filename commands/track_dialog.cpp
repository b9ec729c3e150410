// The modeless track dialog: the track's name with the list's album and artist. Enter applies,
// Esc and the close box discard.

#include "commands/editing.h"

#include "host/plugin_globals.h"
#include "host/ui_thread.h"
#include "resources/resource_ids.h"
#include "skin/track_list_view.h"
#include "tracklist/platform.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

ItemId Selected() { return g_plugin.list ? g_plugin.list->SelectedKey() : 0; }

Track* TrackNumbered(int n) {
  TrackList& list = CurrentList();
  if (n < 1 || n > list.TrackCount()) return nullptr;
  return &list.tracks[static_cast<size_t>(n) - 1];
}

}  // namespace

void OpenTrackDialog() {
  HWND dialog = g_plugin.trackDialog;
  if (!dialog) return;
  if (Selected() < 1 && g_plugin.list) g_plugin.list->SelectByKey(MakeItemId(1, 0));
  g_editedTrack = ItemTrack(Selected());
  Track* track = TrackNumbered(g_editedTrack);
  if (g_editedTrack < 1 || !track) {
    g_editedTrack = -1;
    return;
  }
  const TrackList& list = CurrentList();
  SetDlgItemTextA(dialog, IDC_TRACK_NAME, track->Name().c_str());
  SetDlgItemTextA(dialog, IDC_ALBUM, list.album.c_str());
  SetDlgItemTextA(dialog, IDC_ARTIST, list.artist.c_str());
  PostMessageA(GetDlgItem(dialog, IDC_TRACK_NAME), EM_SETSEL, 0, -1);
  PlaceDialog(dialog);
}

void CloseTrackDialog(bool apply) {
  HWND dialog = g_plugin.trackDialog;
  if (apply && g_editedTrack != -1 && dialog) {
    Track* track = TrackNumbered(g_editedTrack);
    if (track) {
      TrackList& list = CurrentList();
      track->RenameSubtrack(0, FromWindowText(GetDlgItem(dialog, IDC_TRACK_NAME)));
      list.SetAlbum(FromWindowText(GetDlgItem(dialog, IDC_ALBUM)));
      list.SetArtist(FromWindowText(GetDlgItem(dialog, IDC_ARTIST)));
      SetRowText(MakeItemId(g_editedTrack, 0), true);
      if (g_plugin.list) g_plugin.list->Redraw();
    }
  }
  if (dialog) ShowWindow(dialog, SW_HIDE);
  g_editedTrack = -1;
}

}  // namespace tarnix
