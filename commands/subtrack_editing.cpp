// The edits that change the list's shape, inserting a "New subsong" (also by the global action,
// "Mark earlier by" seconds before the playing time) and deleting the selected subtrack, and
// keeping the open editing dialogs on the list that is shown.

#include "commands/editing.h"

#include "host/mark_earlier.h"
#include "host/playback_state.h"
#include "host/player.h"
#include "host/plugin.h"
#include "host/settings.h"
#include "resources/resource_ids.h"
#include "session/rows.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

constexpr const char* kNewSubtrackName = "New subsong";

Track* TrackOf(Plugin& plugin, ItemId item) {
  TrackList& list = plugin.trackList();
  const int n = ItemTrack(item);
  if (n < 1 || n > list.TrackCount()) return nullptr;
  return &list.tracks[static_cast<size_t>(n) - 1];
}

// Selects the subtrack just added to track n at index k and shows it in the open "Edit subtrack".
// The list's shape changed, so the dialog's item may now name another subtrack: it must not be
// applied again when the selection moves. `focusName` moves the focus to the dialog's name field,
// for an insert the listener made in the window.
void ShowInsertedSubtrack(Plugin& plugin, int n, int k, ItemId playing, bool focusName) {
  EditingState& editing = plugin.editing();
  TrackListView* const view = plugin.list();
  const ItemId item = MakeItemId(n, k);
  const bool dialogShown = editing.item != kNoItem;
  editing.item = kNoItem;
  RebuildRows(plugin);
  if (view) {
    view->SelectByKey(item);
    if (playing != kNoItem) view->SetCurrentByKey(playing);
    view->Redraw();
  }
  if (dialogShown && plugin.subtrackDialog()) {
    FillSubtrackDialog(plugin, item, 0);
    if (!focusName) return;
    HWND name = GetDlgItem(plugin.subtrackDialog(), IDC_SUBTRACK_NAME);
    PostMessageA(name, EM_SETSEL, 0, -1);
    SetFocus(name);
  }
}

}  // namespace

void InsertSubtrack(Plugin& plugin, ItemId reference) {
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
  const int k = track->AddSubtrack(kNewSubtrackName, t);
  if (k < 0) return;
  ShowInsertedSubtrack(plugin, n, k, fromPlayer ? MakeItemId(n, k) : kNoItem, true);
}

void MarkPlayingTime(Plugin& plugin) {
  const Player player(Shared().playerWindow);
  if (!player.IsPlaying()) return;
  const int n = plugin.playback().currentTrack;
  Track* track = TrackOf(plugin, MakeItemId(n, 0));
  if (!track || track->subtracks.empty() || track->Count() > kMaxItemPart) return;
  const int32_t playing = player.OutputTimeMs();
  if (playing < 0) return;
  ApplySubtrackDialog(plugin);
  const int seconds = plugin.settings().markEarlier;
  const MarkedPlace place = PlaceMarkEarlier(playing, track->subtracks.front().time, seconds);
  const int k = track->AddSubtrack(TextString(kNewSubtrackName) + MarkedNameNote(place, seconds).c_str(), place.timeMs);
  if (k < 0) return;
  // Playback stays where it is: the playing row is the last one that starts at or before it.
  ShowInsertedSubtrack(plugin, n, k, MakeItemId(n, track->FindAt(playing)), false);
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
