// The listening commands: stop at the end of the playing subtrack, and the skip mark of the
// selected subtrack. The playback check (listening_playback/listening_tick.h) carries them out.

#include "commands/commands.h"

#include "host/player.h"
#include "host/plugin.h"
#include "resources/resource_ids.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

Subtrack* SubtrackNamed(ItemId item) {
  TrackList& list = ThePlugin().trackList;
  const int n = ItemTrack(item);
  if (n < 1 || n > list.TrackCount()) return nullptr;
  Track& track = list.tracks[static_cast<size_t>(n) - 1];
  return track.IsValidIndex(ItemSubtrack(item)) ? &track.subtracks[static_cast<size_t>(ItemSubtrack(item))] : nullptr;
}

}  // namespace

void CmdStopAfterSubtrack() {
  listening::ListeningState& state = ThePlugin().listening;
  TrackListView* const view = ThePlugin().list;
  if (!view) return;
  if (state.stopAfter != kNoItem) {
    state.stopAfter = kNoItem;  // asked again: cancelled
  } else {
    const ItemId playing = view->CurrentKey();
    if (!SubtrackNamed(playing) || !Player(g_shared.playerWindow).IsPlaying()) return;
    state.stopAfter = playing;
    state.lastSeen = playing;
  }
  view->Redraw();
}

void CmdSkipSubtrack() {
  TrackListView* const view = ThePlugin().list;
  if (!view) return;
  Subtrack* subtrack = SubtrackNamed(view->SelectedKey());
  if (!subtrack) return;
  subtrack->skip = !subtrack->skip;
  ThePlugin().trackList.modified = true;
  view->RedrawRow(view->SelectedRow());
}

void UpdateListeningMenuStates(HMENU menu) {
  const TrackListView* const view = ThePlugin().list;
  const bool pending = ThePlugin().listening.stopAfter != kNoItem;
  CheckMenuItem(menu, IDM_STOP_AFTER_SUBTRACK, MF_BYCOMMAND | (pending ? MF_CHECKED : MF_UNCHECKED));
  const Subtrack* selected = view ? SubtrackNamed(view->SelectedKey()) : nullptr;
  CheckMenuItem(menu, IDM_SKIP_SUBTRACK, MF_BYCOMMAND | (selected && selected->skip ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(menu, IDM_SKIP_SUBTRACK, MF_BYCOMMAND | (selected ? MF_ENABLED : MF_GRAYED));
}

}  // namespace tarnix
