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

Player ThePlayer() { return Player(Shared().playerWindow); }

ItemId SelectedItem(Plugin& plugin) { return plugin.list() ? plugin.list()->SelectedKey() : 0; }

// The row `step` rows on from the playing one, passing over subtracks marked to be skipped.
int32_t StepFromPlaying(Plugin& plugin, const TrackListView& view, int step) {
  const TrackList& list = plugin.trackList();
  return listening::StepOverMarked(view.CurrentRow(), step, view.RowCount(), [&](int32_t row) {
    const Subtrack* subtrack = list.SubtrackOf(view.KeyAt(row));
    return subtrack && subtrack->skip;
  });
}

}  // namespace

void CmdFirstSubtrack(Plugin& plugin) { PlayItem(plugin, MakeItemId(1, 0)); }

void CmdPlayTrack(Plugin& plugin) { PlayItem(plugin, kHeaderItem); }

void CmdPlaySelected(Plugin& plugin) { PlayItem(plugin, SelectedItem(plugin)); }

void PlayPreviousSubtrack(Plugin& plugin, RestartRule rule) {
  if (!plugin.list()) return;
  TrackListView& view = *plugin.list();
  if (rule == RestartRule::kAfterASecond) {
    // With no playing row (the track's start entry is not listed and playback is before its
    // first listed subtrack) the key is 0, which names no subtrack (time -1) and which PlayItem
    // takes as the start of the playing track: the restart goes there.
    const ItemId playing = view.CurrentKey();
    const int32_t start = plugin.trackList().TimeOf(playing);
    const int64_t into = static_cast<int64_t>(ThePlayer().OutputTimeMs()) - start;
    if (into >= kRestartThresholdMs) {
      PlayItem(plugin, playing);
      return;
    }
  }
  const int32_t row = view.CurrentRow();
  if (row > 0 && row < view.RowCount()) {
    const int32_t previous = StepFromPlaying(plugin, view, -1);
    if (previous >= 0) PlayItem(plugin, view.KeyAt(previous));
  }
}

void CmdPreviousSubtrack(Plugin& plugin) { PlayPreviousSubtrack(plugin, RestartRule::kNever); }

void CmdRestartOrPreviousSubtrack(Plugin& plugin) { PlayPreviousSubtrack(plugin, RestartRule::kAfterASecond); }

void CmdNextSubtrack(Plugin& plugin) {
  if (!plugin.list()) return;
  TrackListView& view = *plugin.list();
  const int32_t row = view.CurrentRow();
  if (row < view.RowCount() - 1) {
    const int32_t next = StepFromPlaying(plugin, view, 1);
    if (next >= 0) PlayItem(plugin, view.KeyAt(next));
  }
}

void CmdRepeat(Plugin& plugin) {
  TrackListView* const view = plugin.list();
  if (Shared().repeatItem.load(std::memory_order_relaxed) != kNoItem) {
    Shared().repeatItem.store(kNoItem, std::memory_order_relaxed);
    return;
  }
  const ItemId selected = SelectedItem(plugin);
  const ItemId playing = view ? view->CurrentKey() : 0;
  if (selected != playing) PlayItem(plugin, selected);
  Shared().repeatItem.store(selected, std::memory_order_relaxed);
}

}  // namespace tarnix
