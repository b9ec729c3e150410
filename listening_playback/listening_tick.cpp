#include "listening_playback/listening_tick.h"

#include <windows.h>

#include "host/player.h"
#include "host/player_codes.h"
#include "host/plugin.h"
#include "host/settings.h"
#include "listening/listening_rules.h"
#include "listening_playback/listening_clock.h"
#include "listening_playback/tick_rules.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

using listening::ListeningState;

// After the player was told to jump, the next look comes this soon to follow where it went.
constexpr int32_t kAfterJumpMs = 30;
// A stream never tells its length: asked no more often than this per entry, this far apart.
constexpr int kMaxLengthRequests = 4;
constexpr uint64_t kLengthRetryMs = 5000;

constexpr const char* kStoreFileName = "\\gen_tarnix.resume";

// The store beside plugin.ini; one an earlier version left beside the DLL is read while that is
// missing.
listening::ResumeStoreFile& Store(Plugin& plugin) {
  listening::ResumeStoreFile& store = plugin.listening().store;
  if (!store.HasPaths())
    store.SetPaths(StoreDirectory(plugin.settings()) + kStoreFileName, EarlierStoreDirectory() + kStoreFileName);
  return store;
}

// A file that cannot be read now is tried again at the next write, which waits until then.
void WriteStoreIfChanged(Plugin& plugin) { Store(plugin).WriteIfChanged(); }

// Plain files only: CD tracks and the files of a subsong source start anew each time.
bool IsResumable(const Plugin& plugin) {
  return plugin.settings().resume && !plugin.playback().currentPath.IsEmpty() &&
         plugin.playback().currentPath.EqualsIgnoringCase(plugin.listening().path) &&
         plugin.playback().currentPath.UpperExtension() != "CDA" && plugin.playback().subsongThreadId == 0 &&
         !plugin.trackList().subsongs;
}

void KnowLength(ListeningState& state, const Player& player) {
  if (state.lengthMs > 0 || state.lengthRequests >= kMaxLengthRequests) return;
  const uint64_t now = ListeningClockMs();
  if (state.lengthRequests > 0 && now - state.lengthAskedAt < kLengthRetryMs) return;
  ++state.lengthRequests;
  state.lengthAskedAt = now;
  state.lengthMs = player.LengthMs();
}

// A player may tell the length only once the file is open, a look or two after the entry
// started. While the start can still be resumed the length is asked at every look, outside the
// stream's allowance, so that a long recording is not taken for a short one and started anew.
void KnowLengthWhileStarting(ListeningState& state, const Player& player) {
  if (state.lengthMs > 0) return;
  const uint64_t now = ListeningClockMs();
  if (now == state.lengthAskedAt) return;
  state.lengthAskedAt = now;
  state.lengthMs = player.LengthMs();
}

// The recording stops being played at `positionMs`.
void Leave(Plugin& plugin, int32_t positionMs) {
  ListeningState& state = plugin.listening();
  if (positionMs < 0 || !IsResumable(plugin)) return;
  switch (listening::JudgeLeftAt(positionMs, state.lengthMs)) {
    case listening::LeftAt::kRemember:
      Store(plugin).Remember(state.path, positionMs);
      break;
    case listening::LeftAt::kForget:
      Store(plugin).Forget(state.path);
      break;
    case listening::LeftAt::kNothing:
      break;
  }
}

void RedrawRowOf(Plugin& plugin, ItemId key) {
  TrackListView* const view = plugin.list();
  if (!view || key == kNoItem) return;
  for (int32_t row = 0; row < view->RowCount(); ++row) {
    if (view->KeyAt(row) == key) view->RedrawRow(row);
  }
}

void DropPendingStop(Plugin& plugin) {
  ListeningState& state = plugin.listening();
  const ItemId was = state.stopAfter;
  state.stopAfter = kNoItem;
  RedrawRowOf(plugin, was);
}

void StopPlayer(Plugin& plugin, const Player& player) {
  DropPendingStop(plugin);
  player.SendCommand(kCmdStop);
}

void ClearProgress(Plugin& plugin) {
  ListeningState& state = plugin.listening();
  TrackListView* const view = plugin.list();
  state.progressKey = kNoItem;
  state.progressSecond = -1;
  if (view) view->SetProgress(TextString());
}

const Track* TrackAt(const TrackList& list, int32_t trackNumber) {
  if (trackNumber < 1 || trackNumber > list.TrackCount()) return nullptr;
  return &list.tracks[static_cast<size_t>(trackNumber) - 1];
}

// Whether the pending stop is for the recording's last subtrack, last seen playing `positionMs`
// close to the recording's end: then the recording ended, whatever the next look finds.
bool PendingEndReached(Plugin& plugin, int32_t positionMs) {
  const ListeningState& state = plugin.listening();
  const Track* track = TrackAt(plugin.trackList(), ItemTrack(state.stopAfter));
  return track && ItemSubtrack(state.stopAfter) == track->Count() - 1 && state.lastSeen == state.stopAfter &&
         listening::RanToEnd(positionMs, state.lengthMs);
}
}  // namespace

void ListeningEntryLeaving(Plugin& plugin, const Player& player) {
  ListeningState& state = plugin.listening();
  if (state.stopAfter != kNoItem) {
    // Only a stop asked for the recording's last subtrack survives the recording's end; any
    // other change of entry lapses it.
    if (PendingEndReached(plugin, state.lastPositionMs)) {
      StopPlayer(plugin, player);
    } else {
      DropPendingStop(plugin);
    }
  }
  Leave(plugin, state.lastPositionMs);
  WriteStoreIfChanged(plugin);
}

void ListeningEntryStarted(Plugin& plugin, const Player& player, const TextString& path) {
  ListeningState& state = plugin.listening();
  state.path = path;
  state.lengthMs = -1;
  state.lengthRequests = 0;
  state.lastPositionMs = -1;
  state.earlierPositionMs = -1;
  state.startPending = true;
  state.rememberedAt = ListeningClockMs();
  state.lastSeen = kNoItem;
  state.stopAfter = kNoItem;
  state.nextEntryAsked = false;
  ClearProgress(plugin);
  KnowLength(plugin.listening(), player);
}

bool FollowResume(Plugin& plugin, const Player& player, int ms) {
  ListeningState& state = plugin.listening();
  if (ms < 0) {
    // Stopped: the listener left the recording here, and a pending stop has nothing left to do.
    if (state.lastPositionMs >= 0) {
      Leave(plugin, state.lastPositionMs);
      WriteStoreIfChanged(plugin);
      if (state.stopAfter != kNoItem) DropPendingStop(plugin);
      ClearProgress(plugin);
    }
    state.lastPositionMs = -1;
    state.earlierPositionMs = -1;
    state.startPending = true;
    return false;
  }
  const bool start = state.startPending;
  if (start && ms < listening::kFreshStartMs)
    KnowLengthWhileStarting(state, player);
  else
    KnowLength(state, player);
  // Judged again at the next look while the length is still unknown.
  state.startPending = start && state.lengthMs <= 0 && ms < listening::kFreshStartMs;
  state.earlierPositionMs = state.lastPositionMs;
  state.lastPositionMs = ms;
  if (!IsResumable(plugin) || !listening::IsLongRecording(state.lengthMs)) return false;
  if (start && ms < listening::kFreshStartMs) {
    Store(plugin).EnsureRead();  // unread, only a place left in this run is known
    const int32_t remembered = Store(plugin).Find(state.path);
    if (remembered >= 0) {
      const int32_t target = listening::ResumeTargetMs(remembered);
      player.JumpToTime(target);
      state.lastPositionMs = target;
      state.rememberedAt = ListeningClockMs();
      return true;
    }
  }
  // Written down now and then while it plays, so that a crash loses little.
  const uint64_t now = ListeningClockMs();
  const listening::LeftAt verdict = listening::JudgeLeftAt(ms, state.lengthMs);
  if (verdict == listening::LeftAt::kForget ||
      (verdict == listening::LeftAt::kRemember && now - state.rememberedAt >= listening::kRememberEveryMs)) {
    state.rememberedAt = now;
    Leave(plugin, ms);
    WriteStoreIfChanged(plugin);
  }
  return false;
}

std::optional<int32_t> FollowMarksAndStop(Plugin& plugin, const Player& player, int ms, int32_t trackNumber,
                                          const TickPosition& at) {
  ListeningState& state = plugin.listening();
  const Track* track = TrackAt(plugin.trackList(), trackNumber);
  if (!track || !track->IsValidIndex(at.index)) return std::nullopt;
  const ItemId key = MakeItemId(trackNumber, at.index);
  if (state.stopAfter != kNoItem) {
    // Measured from the pending subtrack's end, not from the start of the one playing now: a
    // subtrack after it too short for a look to find is passed over, and the end is still near.
    const int next = ItemSubtrack(state.stopAfter) + 1;
    const int32_t pastEnd = ItemTrack(state.stopAfter) == trackNumber && track->IsValidIndex(next)
                                ? ms - track->subtracks[static_cast<size_t>(next)].time
                                : INT32_MAX;
    switch (listening::JudgeStop(state.stopAfter, state.lastSeen, key, pastEnd)) {
      case listening::StopVerdict::kStop:
        StopPlayer(plugin, player);
        state.lastSeen = key;
        return kTickMs;
      case listening::StopVerdict::kLapse:
        // The player may have moved on to its next entry between this look's questions.
        if (PendingEndReached(plugin, state.earlierPositionMs)) {
          StopPlayer(plugin, player);
          return kTickMs;
        }
        DropPendingStop(plugin);
        break;
      case listening::StopVerdict::kWait:
        break;
    }
  }
  state.lastSeen = key;
  // A row held with Repeat plays even when marked.
  if (Shared().repeatItem.load(std::memory_order_relaxed) != kNoItem) return std::nullopt;
  const int target = listening::SkipTarget(*track, at.index);
  if (target == listening::kNoSkip) return std::nullopt;
  if (target == listening::kEndOfTrack) {
    // Once: at the end of the playlist the player may stay where it is.
    if (state.nextEntryAsked) return std::nullopt;
    state.nextEntryAsked = true;
    player.SendCommand(kCmdNextEntry);
    return kAfterJumpMs;
  }
  const int32_t time = track->subtracks[static_cast<size_t>(target)].time;
  player.JumpToTime(time);
  state.lastSeen = MakeItemId(trackNumber, target);
  if (TrackListView* view = plugin.list()) {
    view->SetCurrentByKey(state.lastSeen);
    view->ShowRow(view->CurrentRow(), 0);
  }
  return NextInterval(PositionAt(*track, time).toNext);
}

int32_t FinishLook(Plugin& plugin, const Player& player, int ms, int32_t trackNumber, const TickPosition& at,
                   int32_t interval) {
  ListeningState& state = plugin.listening();
  const Track* track = TrackAt(plugin.trackList(), trackNumber);
  if (ms < 0 || !track || !track->IsValidIndex(at.index)) {
    ClearProgress(plugin);
    return interval;
  }
  const ItemId key = MakeItemId(trackNumber, at.index);
  // The end of the recording is a boundary too: the stop pending for its last subtrack comes
  // there, before the player moves on to its next entry.
  if (state.stopAfter == key && at.index == track->Count() - 1 && state.lengthMs > 0) {
    const int32_t left = state.lengthMs - ms;
    if (left < kBoundarySlackMs) {
      StopPlayer(plugin, player);
      return kTickMs;
    }
    // Aimed a little before the end, so that a late timer still comes before the player moves on.
    if (left - kBoundarySlackMs / 2 < interval) interval = left - kBoundarySlackMs / 2;
  }
  // Nothing is drawn, nor worked out, while the window is hidden.
  TrackListView* const view = plugin.list();
  if (!Shared().window.shown.load(std::memory_order_relaxed) || !view || view->CurrentKey() != key) {
    if (state.progressKey != kNoItem) ClearProgress(plugin);
    return interval;
  }
  const int32_t into = ms - track->subtracks[static_cast<size_t>(at.index)].time;
  const int32_t length = listening::SubtrackLengthMs(*track, at.index, state.lengthMs);
  const int32_t second = into < 0 ? 0 : into / 1000;
  if (key == state.progressKey && second == state.progressSecond && length == state.progressLength) return interval;
  state.progressKey = key;
  state.progressSecond = second;
  state.progressLength = length;
  view->SetProgress(listening::ProgressText(into, length));
  return interval;
}

void ListeningQuit(Plugin& plugin) {
  // The player can no longer be asked: the last look's position stands for where it was left.
  Leave(plugin, plugin.listening().lastPositionMs);
  WriteStoreIfChanged(plugin);
}

uint32_t ListeningRowDecoration(const Plugin& plugin, int32_t key) {
  uint32_t decoration = kRowPlain;
  const Subtrack* subtrack = plugin.trackList().SubtrackOf(key);
  if (subtrack && subtrack->skip) decoration |= kRowSkipped;
  if (key == plugin.listening().stopAfter && key != kNoItem) decoration |= kRowStopsAfter;
  return decoration;
}

}  // namespace tarnix
