// Filling the list view from the track list in the current layout, and the two edits that
// change the list's shape: inserting a "New subsong" and deleting the selected subtrack.

#include "commands/editing.h"

#include "commands/commands.h"

#include "commands/row_layout.h"
#include "host/playback_state.h"
#include "host/player.h"
#include "host/plugin_globals.h"
#include "host/settings.h"
#include "resources/resource_ids.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

ItemId g_editedItem = kNoItem;
int32_t g_editedTrack = -1;

namespace {

RowLayout CurrentLayout() {
  RowLayout layout;
  layout.multiTrack = g_state.multiTrack;
  layout.showTrack = g_settings.showTrack;
  layout.topTrack = g_settings.topTrack;
  layout.currentTrack = g_state.currentTrack;
  return layout;
}

Track* TrackOf(ItemId item) {
  TrackList& list = CurrentList();
  const int n = ItemTrack(item);
  if (n < 1 || n > list.TrackCount()) return nullptr;
  return &list.tracks[static_cast<size_t>(n) - 1];
}

}  // namespace

int32_t RowIndexOf(ItemId item) { return RowIndexFor(CurrentList(), CurrentLayout(), item); }

TextString RowText(ItemId item) { return RowTextFor(CurrentList(), CurrentLayout(), item); }

void SetRowText(ItemId item, bool replace) {
  const int32_t index = RowIndexOf(item);
  const TextString text = RowText(item);
  if (index == -1) {
    if (g_plugin.title) g_plugin.title->SetText(text);
    return;
  }
  if (!g_plugin.list || index < 0) return;
  if (replace) {
    g_plugin.list->SetRow(index, text, item);
  } else {
    g_plugin.list->InsertRow(index, text, item);
  }
}

void RebuildRows() {
  if (!g_plugin.list) return;
  g_plugin.list->Clear();
  for (ItemId item : LayoutItems(CurrentList(), CurrentLayout())) SetRowText(item, false);
}

void InsertSubtrack(ItemId reference) {
  ApplySubtrackDialog();
  TrackList& list = CurrentList();
  const Player player(g_plugin.playerWindow);
  const ItemId selected = g_plugin.list ? g_plugin.list->SelectedKey() : 0;
  int n;
  int32_t t;
  bool fromPlayer = false;
  if (reference > 0) {
    n = ItemTrack(reference);
    t = list.TimeOf(reference);
    if (t < 0) return;
    ++t;
  } else if (player.IsPlaying()) {
    n = g_state.currentTrack;
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
  Track* track = TrackOf(MakeItemId(n, 0));
  if (!track || track->Count() > kMaxItemPart) return;
  const int k = track->AddSubtrack("New subsong", t);
  if (k < 0) return;
  const ItemId item = MakeItemId(n, k);

  // The insertion shifted the later subtracks' indexes, so the dialog's item may now name
  // another subtrack: it must not be applied again when the selection moves.
  const bool dialogShown = g_editedItem != kNoItem;
  g_editedItem = kNoItem;
  RebuildRows();
  if (g_plugin.list) {
    g_plugin.list->SelectByKey(item);
    if (fromPlayer) g_plugin.list->SetCurrentRow(g_plugin.list->SelectedRow());
    g_plugin.list->Redraw();
  }
  if (dialogShown && g_plugin.subtrackDialog) {
    FillSubtrackDialog(item, 0);
    HWND name = GetDlgItem(g_plugin.subtrackDialog, IDC_SUBTRACK_NAME);
    PostMessageA(name, EM_SETSEL, 0, -1);
    SetFocus(name);
  }
}

void DeleteSubtrack() {
  if (!g_plugin.list) return;
  TrackListView& view = *g_plugin.list;
  const ItemId selected = view.SelectedKey();
  const int32_t playingRow = view.CurrentRow();
  const int n = ItemTrack(selected);
  const int k = ItemSubtrack(selected);
  Track* track = TrackOf(selected);
  if (n == 0 || k == 0 || !track || !track->IsValidIndex(k)) return;

  track->RemoveSubtrack(k);

  const ItemId repeat = g_state.repeatItem.load(std::memory_order_relaxed);
  if (repeat != kNoItem && ItemTrack(repeat) == n) {
    if (ItemSubtrack(repeat) == k) {
      g_state.repeatItem.store(kNoItem, std::memory_order_relaxed);
    } else if (ItemSubtrack(repeat) > k) {
      g_state.repeatItem.store(repeat - 1, std::memory_order_relaxed);
    }
  }

  ItemId select = selected;
  if (k >= track->Count()) select = MakeItemId(n, track->Count() - 1);

  const int32_t deletedRow = view.SelectedRow();
  const bool dialogShown = g_editedItem != kNoItem;
  g_editedItem = kNoItem;
  RebuildRows();
  view.SelectByKey(select);
  view.SetCurrentRow(playingRow >= deletedRow ? playingRow - 1 : playingRow);
  view.Redraw();
  if (dialogShown) FillSubtrackDialog(view.SelectedKey(), 0);
}

namespace {

ItemId SelectedItem() { return g_plugin.list ? g_plugin.list->SelectedKey() : 0; }

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
