// The playback commands, all built on PlayItem (session/play_item.h).

#include "commands/commands.h"

#include "commands/editing.h"
#include "host/playback_state.h"
#include "host/player.h"
#include "host/plugin.h"
#include "listening/listening_rules.h"
#include "session/play_item.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

// A previous-row press this far into the playing row restarts the row instead.
constexpr int32_t kRestartThresholdMs = 1000;

Player ThePlayer() { return Player(g_shared.playerWindow); }

ItemId SelectedItem() { return ThePlugin().list ? ThePlugin().list->SelectedKey() : 0; }

// The row `step` rows on from the playing one, passing over subtracks marked to be skipped.
int32_t StepFromPlaying(const TrackListView& view, int step) {
  const TrackList& list = ThePlugin().trackList;
  return listening::StepOverMarked(view.CurrentRow(), step, view.RowCount(), [&](int32_t row) {
    const Subtrack* subtrack = list.SubtrackOf(view.KeyAt(row));
    return subtrack && subtrack->skip;
  });
}

}  // namespace

void CmdFirstSubtrack() { PlayItem(MakeItemId(1, 0)); }

void CmdPlayTrack() { PlayItem(kHeaderItem); }

void CmdPlaySelected() { PlayItem(SelectedItem()); }

void PlayPreviousSubtrack(RestartRule rule) {
  if (!ThePlugin().list) return;
  TrackListView& view = *ThePlugin().list;
  if (rule == RestartRule::kAfterASecond) {
    // With no playing row (the track's start entry is not listed and playback is before its
    // first listed subtrack) the key is 0, which names no subtrack (time -1) and which PlayItem
    // takes as the start of the playing track: the restart goes there.
    const ItemId playing = view.CurrentKey();
    const int32_t start = ThePlugin().trackList.TimeOf(playing);
    const int64_t into = static_cast<int64_t>(ThePlayer().OutputTimeMs()) - start;
    if (into >= kRestartThresholdMs) {
      PlayItem(playing);
      return;
    }
  }
  const int32_t row = view.CurrentRow();
  if (row > 0 && row < view.RowCount()) {
    const int32_t previous = StepFromPlaying(view, -1);
    if (previous >= 0) PlayItem(view.KeyAt(previous));
  }
}

void CmdPreviousSubtrack() { PlayPreviousSubtrack(RestartRule::kNever); }

void CmdRestartOrPreviousSubtrack() { PlayPreviousSubtrack(RestartRule::kAfterASecond); }

void CmdNextSubtrack() {
  if (!ThePlugin().list) return;
  TrackListView& view = *ThePlugin().list;
  const int32_t row = view.CurrentRow();
  if (row < view.RowCount() - 1) {
    const int32_t next = StepFromPlaying(view, 1);
    if (next >= 0) PlayItem(view.KeyAt(next));
  }
}

void CmdRepeat() {
  TrackListView* const view = ThePlugin().list;
  if (g_shared.repeatItem.load(std::memory_order_relaxed) != kNoItem) {
    g_shared.repeatItem.store(kNoItem, std::memory_order_relaxed);
    return;
  }
  const ItemId selected = SelectedItem();
  const ItemId playing = view ? view->CurrentKey() : 0;
  if (selected != playing) PlayItem(selected);
  g_shared.repeatItem.store(selected, std::memory_order_relaxed);
}

}  // namespace tarnix
