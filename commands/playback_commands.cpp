// The playback commands, all built on PlayItem: it marks a row as playing, starts the player
// when needed (switching the CD track or waiting for a subsong source to announce itself), and
// jumps to the row's time.

#include "commands/commands.h"

#include "commands/cd_track_path.h"
#include "commands/editing.h"
#include "host/messaging.h"
#include "host/playback_state.h"
#include "host/playback_tracking.h"
#include "host/player.h"
#include "host/plugin_globals.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

constexpr int kSubsongWaitMs = 5000;
// A previous-row press this far into the playing row restarts the row instead.
constexpr int32_t kRestartThresholdMs = 1000;

Player ThePlayer() { return Player(g_plugin.playerWindow); }

ItemId SelectedItem() { return g_plugin.list ? g_plugin.list->SelectedKey() : 0; }

// Starts playback; for a subsong source, waits for it to announce the file and its subsong.
void StartPlayer(int32_t* t) {
  const Player player = ThePlayer();
  player.SendCommand(kCmdPlay);
  if (*t == 0) *t = -1;  // playback starts at the beginning: no seek
  if (g_state.subsongThreadId == 0 && !CurrentList().subsongs) return;
  MSG msg;
  if (!WaitForMessage(&msg, g_plugin.pluginWindow, UM_SUBSONG_INFO, kSubsongWaitMs)) return;
  // The window procedure copied the record into the state's buffer before it posted the
  // message; the buffer is used rather than a posted pointer that anyone could have forged.
  OnSubsongInfo(g_state.subsongRecord);
  WaitForMessage(nullptr, g_plugin.pluginWindow, UM_SUBSONG_CHANGED, kSubsongWaitMs);
}

}  // namespace

void PlayItem(ItemId item) {
  if (ItemTrack(item) == 0) item = MakeItemId(g_state.currentTrack, ItemSubtrack(item));
  TrackList& list = CurrentList();
  int32_t t = list.TimeOf(item);
  if (t < 0) return;

  if (g_plugin.list) {
    g_plugin.list->SetCurrentByKey(item);
    g_plugin.list->ShowRow(g_plugin.list->CurrentRow(), 0);
  }

  const int32_t n = ItemTrack(item);
  const Player player = ThePlayer();
  if (list.cddbId != 0 && n != g_state.currentTrack && SelectCdTrack(n)) {
    g_state.currentTrack = n;
    StartPlayer(&t);
  } else if (!player.IsPlaying()) {
    StartPlayer(&t);
  }

  if (g_state.multiTrack == 1 && (n != g_state.currentTrack || t == 0) && g_state.subsongThreadId != 0) {
    g_state.currentTrack = n;
    // A source whose thread has ended simply does not get it.
    PostThreadMessageA(g_state.subsongThreadId, UM_PLAY_SUBSONG, static_cast<WPARAM>(n - 1), 0);
    if (t == 0) t = -1;
  }

  if (t >= 0) player.JumpToTime(t);
  if (g_state.repeatItem.load(std::memory_order_relaxed) != kNoItem) {
    g_state.repeatItem.store(item, std::memory_order_relaxed);
  }
}

bool SelectCdTrack(int32_t n) {
  const std::optional<TextString> wanted = CdTrackPath(g_state.currentPath, n);
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
  if (!g_plugin.list) return;
  TrackListView& view = *g_plugin.list;
  if (x >= 0) {
    // With no playing row (the track's start entry is not listed and playback is before its
    // first listed subtrack) the key is 0, which names no subtrack (time -1) and which PlayItem
    // takes as the start of the playing track: the restart goes there.
    const ItemId playing = view.CurrentKey();
    const int32_t start = CurrentList().TimeOf(playing);
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
  if (!g_plugin.list) return;
  TrackListView& view = *g_plugin.list;
  const int32_t row = view.CurrentRow();
  if (row < view.RowCount() - 1) PlayItem(view.KeyAt(row + 1));
}

void CmdRepeat(int, int) {
  if (g_state.repeatItem.load(std::memory_order_relaxed) != kNoItem) {
    g_state.repeatItem.store(kNoItem, std::memory_order_relaxed);
    return;
  }
  const ItemId selected = SelectedItem();
  const ItemId playing = g_plugin.list ? g_plugin.list->CurrentKey() : 0;
  if (selected != playing) PlayItem(selected);
  g_state.repeatItem.store(selected, std::memory_order_relaxed);
}

}  // namespace tarnix
