// The playback commands, all built on PlayItem: it marks a row as playing, starts the player
// when needed (switching the CD track or waiting for a subsong source to announce itself), and
// jumps to the row's time.

#include "commands/commands.h"

#include "session/cd_track_path.h"
#include "commands/editing.h"
#include "host/messaging.h"
#include "host/playback_state.h"
#include "session/playback_tracking.h"
#include "host/player.h"
#include "host/plugin.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

constexpr int kSubsongWaitMs = 5000;
// A previous-row press this far into the playing row restarts the row instead.
constexpr int32_t kRestartThresholdMs = 1000;

Player ThePlayer() { return Player(g_shared.playerWindow); }

ItemId SelectedItem() { return ThePlugin().list ? ThePlugin().list->SelectedKey() : 0; }

// Starts playback; for a subsong source, waits for it to announce the file and its subsong.
void StartPlayer(int32_t* t) {
  PlaybackState& playback = ThePlugin().playback;
  const Player player = ThePlayer();
  player.SendCommand(kCmdPlay);
  if (*t == 0) *t = -1;  // playback starts at the beginning: no seek
  if (playback.subsongThreadId == 0 && !ThePlugin().trackList.subsongs) return;
  MSG msg;
  if (!WaitForMessage(&msg, ThePlugin().window.Get(), UM_SUBSONG_INFO, kSubsongWaitMs)) return;
  // The window procedure copied the record into the state's buffer before it posted the
  // message; the buffer is used rather than a posted pointer that anyone could have forged.
  OnSubsongInfo(playback.subsongRecord);
  WaitForMessage(nullptr, ThePlugin().window.Get(), UM_SUBSONG_CHANGED, kSubsongWaitMs);
}

}  // namespace

void PlayItem(ItemId item) {
  PlaybackState& playback = ThePlugin().playback;
  TrackListView* const view = ThePlugin().list;
  if (ItemTrack(item) == 0) item = MakeItemId(playback.currentTrack, ItemSubtrack(item));
  TrackList& list = ThePlugin().trackList;
  int32_t t = list.TimeOf(item);
  if (t < 0) return;

  if (view) {
    view->SetCurrentByKey(item);
    view->ShowRow(view->CurrentRow(), 0);
  }

  const int32_t n = ItemTrack(item);
  const Player player = ThePlayer();
  if (list.cddbId != 0 && n != playback.currentTrack && SelectCdTrack(n)) {
    playback.currentTrack = n;
    StartPlayer(&t);
  } else if (!player.IsPlaying()) {
    StartPlayer(&t);
  }

  if (playback.multiTrack == 1 && (n != playback.currentTrack || t == 0) && playback.subsongThreadId != 0) {
    playback.currentTrack = n;
    // A source whose thread has ended simply does not get it.
    PostThreadMessageA(playback.subsongThreadId, UM_PLAY_SUBSONG, static_cast<WPARAM>(n - 1), 0);
    if (t == 0) t = -1;
  }

  if (t >= 0) player.JumpToTime(t);
  if (g_shared.repeatItem.load(std::memory_order_relaxed) != kNoItem) {
    g_shared.repeatItem.store(item, std::memory_order_relaxed);
  }
}

bool SelectCdTrack(int32_t n) {
  const std::optional<TextString> wanted = CdTrackPath(ThePlugin().playback.currentPath, n);
  if (!wanted) return false;
  const Player player = ThePlayer();
  const int32_t position = player.PlaylistPosition();
  const int32_t length = player.PlaylistLength();
  NearestFirstOrder walk(position, length);
  int32_t index;
  while (walk.Next(&index)) {
    // Entries may vanish while the list is walked: a gone entry answers an empty path.
    const TextString file = player.PlaylistFile(index);
    if (file.IsEmpty() || !(file == *wanted)) continue;
    player.SendCommand(kCmdStop);
    player.SetPlaylistPosition(index);
    return true;
  }
  return false;
}

void CmdFirstSubtrack(int, int) { PlayItem(MakeItemId(1, 0)); }

void CmdPlayTrack(int, int) { PlayItem(kHeaderItem); }

void CmdPlaySelected(int, int) { PlayItem(SelectedItem()); }

void CmdPreviousSubtrack(int x, int) {
  if (!ThePlugin().list) return;
  TrackListView& view = *ThePlugin().list;
  if (x >= 0) {
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
  if (row > 0 && row < view.RowCount()) PlayItem(view.KeyAt(row - 1));
}

void CmdNextSubtrack(int, int) {
  if (!ThePlugin().list) return;
  TrackListView& view = *ThePlugin().list;
  const int32_t row = view.CurrentRow();
  if (row < view.RowCount() - 1) PlayItem(view.KeyAt(row + 1));
}

void CmdRepeat(int, int) {
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
