// Making the player play one row: marking it as playing, starting the player when needed
// (switching the CD track or waiting for a subsong source to announce itself), and jumping to
// the row's time.

#include "session/play_item.h"

#include "host/messaging.h"
#include "host/playback_state.h"
#include "host/player.h"
#include "host/plugin.h"
#include "session/cd_track_path.h"
#include "session/playback_tracking.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

constexpr int kSubsongWaitMs = 5000;

Player ThePlayer() { return Player(g_shared.playerWindow); }

// Starts playback; for a subsong source, waits for it to announce the file and its subsong.
void StartPlayer(int32_t* t) {
  PlaybackState& playback = ThePlugin().playback;
  const Player player = ThePlayer();
  player.SendCommand(kCmdPlay);
  if (*t == 0) *t = -1;  // playback starts at the beginning: no seek
  if (playback.subsongThreadId == 0 && !ThePlugin().trackList.subsongs) return;
  MSG msg;
  if (!WaitForMessage(&msg, ThePlugin().window.Get(), UM_APPLY_SUBSONG_INFO, kSubsongWaitMs)) return;
  // The window procedure copied the record into the state's buffer before it posted the
  // message.
  OnSubsongInfo(playback.subsongRecord);
  WaitForMessage(nullptr, ThePlugin().window.Get(), UM_APPLY_SUBSONG_CHANGED, kSubsongWaitMs);
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
    if (file.IsEmpty() || !file.EqualsIgnoringCase(*wanted)) continue;
    player.SendCommand(kCmdStop);
    player.SetPlaylistPosition(index);
    return true;
  }
  return false;
}

}  // namespace tarnix
