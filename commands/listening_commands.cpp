// The listening commands: stop at the end of the playing subtrack, the skip mark of the selected
// or the playing subtrack, and holding the playing subtrack. The playback check
// (listening_playback/listening_tick.h) carries them out.

#include "commands/commands.h"

#include "host/player.h"
#include "host/plugin.h"
#include "resources/resource_ids.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

Subtrack* SubtrackNamed(Plugin& plugin, ItemId item) {
  TrackList& list = plugin.trackList();
  const int n = ItemTrack(item);
  if (n < 1 || n > list.TrackCount()) return nullptr;
  Track& track = list.tracks[static_cast<size_t>(n) - 1];
  return track.IsValidIndex(ItemSubtrack(item)) ? &track.subtracks[static_cast<size_t>(ItemSubtrack(item))] : nullptr;
}

// Marks or unmarks the subtrack of the list's row; an edit, saved as the others are.
void ToggleSkipMark(Plugin& plugin, TrackListView& view, int32_t row) {
  Subtrack* subtrack = SubtrackNamed(plugin, view.KeyAt(row));
  if (!subtrack) return;
  subtrack->skip = !subtrack->skip;
  plugin.trackList().modified = true;
  view.RedrawRow(row);
}

}  // namespace

void CmdStopAfterSubtrack(Plugin& plugin) {
  listening::ListeningState& state = plugin.listening();
  TrackListView* const view = plugin.list();
  if (!view) return;
  if (state.stopAfter != kNoItem) {
    state.stopAfter = kNoItem;  // asked again: cancelled
  } else {
    const ItemId playing = view->CurrentKey();
    if (!SubtrackNamed(plugin, playing) || !Player(Shared().playerWindow).IsPlaying()) return;
    state.stopAfter = playing;
    state.lastSeen = playing;
  }
  view->Redraw();
}

void CmdSkipSubtrack(Plugin& plugin) {
  if (TrackListView* const view = plugin.list()) ToggleSkipMark(plugin, *view, view->SelectedRow());
}

void SkipPlayingSubtrack(Plugin& plugin) {
  TrackListView* const view = plugin.list();
  if (view && view->CurrentRow() >= 0) ToggleSkipMark(plugin, *view, view->CurrentRow());
}

void RepeatPlayingSubtrack(Plugin& plugin) {
  if (Shared().repeatItem.load(std::memory_order_relaxed) != kNoItem) {
    Shared().repeatItem.store(kNoItem, std::memory_order_relaxed);
    return;
  }
  const TrackListView* const view = plugin.list();
  if (!view || view->CurrentRow() < 0 || !Player(Shared().playerWindow).IsPlaying()) return;
  Shared().repeatItem.store(view->CurrentKey(), std::memory_order_relaxed);
}

void UpdateListeningMenuStates(Plugin& plugin, HMENU menu) {
  const TrackListView* const view = plugin.list();
  const bool pending = plugin.listening().stopAfter != kNoItem;
  CheckMenuItem(menu, IDM_STOP_AFTER_SUBTRACK, MF_BYCOMMAND | (pending ? MF_CHECKED : MF_UNCHECKED));
  const Subtrack* selected = view ? SubtrackNamed(plugin, view->SelectedKey()) : nullptr;
  CheckMenuItem(menu, IDM_SKIP_SUBTRACK, MF_BYCOMMAND | (selected && selected->skip ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(menu, IDM_SKIP_SUBTRACK, MF_BYCOMMAND | (selected ? MF_ENABLED : MF_GRAYED));
}

}  // namespace tarnix
