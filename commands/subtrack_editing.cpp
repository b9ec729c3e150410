// The two edits that change the list's shape, inserting a "New subsong" and deleting the
// selected subtrack, and keeping the open editing dialogs on the list that is shown.

#include "commands/editing.h"

#include "host/playback_state.h"
#include "host/player.h"
#include "host/plugin.h"
#include "resources/resource_ids.h"
#include "session/rows.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

Track* TrackOf(Plugin& plugin, ItemId item) {
  TrackList& list = plugin.trackList();
  const int n = ItemTrack(item);
  if (n < 1 || n > list.TrackCount()) return nullptr;
  return &list.tracks[static_cast<size_t>(n) - 1];
}

}  // namespace

void InsertSubtrack(Plugin& plugin, ItemId reference) {
  EditingState& editing = plugin.editing();
  TrackListView* const view = plugin.list();
  ApplySubtrackDialog(plugin);
  TrackList& list = plugin.trackList();
  const Player player(Shared().playerWindow);
  const ItemId selected = view ? view->SelectedKey() : 0;
  int n;
  int32_t t;
  bool fromPlayer = false;
  if (reference > 0) {
    n = ItemTrack(reference);
    t = list.TimeOf(reference);
    if (t < 0) return;
    ++t;
  } else if (player.IsPlaying()) {
    n = plugin.playback().currentTrack;
    t = player.OutputTimeMs();
    fromPlayer = true;
  } else if (selected >= 1) {
    n = ItemTrack(selected);
    t = list.TimeOf(selected);
    if (t < 0) return;
    ++t;
  } else {
    return;
  }
  if (t < 0) return;
  Track* track = TrackOf(plugin, MakeItemId(n, 0));
  if (!track || track->Count() > kMaxItemPart) return;
  const int k = track->AddSubtrack("New subsong", t);
  if (k < 0) return;
  const ItemId item = MakeItemId(n, k);

  // The insertion shifted the later subtracks' indexes, so the dialog's item may now name
  // another subtrack: it must not be applied again when the selection moves.
  const bool dialogShown = editing.item != kNoItem;
  editing.item = kNoItem;
  RebuildRows(plugin);
  if (view) {
    view->SelectByKey(item);
    if (fromPlayer) view->SetCurrentRow(view->SelectedRow());
    view->Redraw();
  }
  if (dialogShown && plugin.subtrackDialog()) {
    FillSubtrackDialog(plugin, item, 0);
    HWND name = GetDlgItem(plugin.subtrackDialog(), IDC_SUBTRACK_NAME);
    PostMessageA(name, EM_SETSEL, 0, -1);
    SetFocus(name);
  }
}

void DeleteSubtrack(Plugin& plugin) {
  EditingState& editing = plugin.editing();
  if (!plugin.list()) return;
  TrackListView& view = *plugin.list();
  const ItemId selected = view.SelectedKey();
  const int32_t playingRow = view.CurrentRow();
  const int n = ItemTrack(selected);
  const int k = ItemSubtrack(selected);
  Track* track = TrackOf(plugin, selected);
  if (n == 0 || k == 0 || !track || !track->IsValidIndex(k)) return;

  track->RemoveSubtrack(k);

  const ItemId repeat = Shared().repeatItem.load(std::memory_order_relaxed);
  if (repeat != kNoItem && ItemTrack(repeat) == n) {
    if (ItemSubtrack(repeat) == k) {
      Shared().repeatItem.store(kNoItem, std::memory_order_relaxed);
    } else if (ItemSubtrack(repeat) > k) {
      Shared().repeatItem.store(repeat - 1, std::memory_order_relaxed);
    }
  }

  ItemId select = selected;
  if (k >= track->Count()) select = MakeItemId(n, track->Count() - 1);

  const int32_t deletedRow = view.SelectedRow();
  const bool dialogShown = editing.item != kNoItem;
  editing.item = kNoItem;
  RebuildRows(plugin);
  view.SelectByKey(select);
  view.SetCurrentRow(playingRow >= deletedRow ? playingRow - 1 : playingRow);
  view.Redraw();
  if (dialogShown) FillSubtrackDialog(plugin, view.SelectedKey(), 0);
}

void RefreshEditingDialogs(Plugin& plugin) {
  const EditingState& editing = plugin.editing();
  if (editing.track >= 0) OpenTrackDialog(plugin);
  if (editing.item >= 0) OpenSubtrackDialog(plugin);
}

}  // namespace tarnix
