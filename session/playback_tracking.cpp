// Following the player: the timer tick with its song-change handling, the current row and the
// next boundary, the title refresh, and the subsong source's announcements.

#include "session/playback_tracking.h"

#include <algorithm>

#include "host/player.h"
#include "host/plugin.h"
#include "host/timer_ids.h"
#include "import/recording_import.h"
#include "listening_playback/listening_tick.h"
#include "listening_playback/tick_rules.h"
#include "session/chapter_saves.h"
#include "session/play_item.h"
#include "session/player_following.h"
#include "session/rows.h"
#include "session/skin_adoption.h"
#include "session/stored_lists.h"
#include "session/unsaved_edits.h"
#include "skin/skin_frame.h"
#include "skin/track_list_view.h"
#include "tracklist/cd_identity.h"
#include "tracklist/content_identity.h"
#include "tracklist/track_file.h"
#include "tracklist/track_list.h"

namespace tarnix {

static_assert(trackfile::kMaxTrackNumber <= kMaxItemPart, "every listed subsong has a row key");

namespace {

Player ThePlayer(Plugin& plugin) { return Player(Shared().playerWindow, &plugin.playback().wideEntryTexts); }

bool FrameShown() { return Shared().window.shown.load(std::memory_order_relaxed); }

void ShowRowAt(Plugin& plugin, int32_t row) {
  TrackListView* const view = plugin.list();
  if (view) view->ShowRow(row, 0);
}

void RedrawList(Plugin& plugin) {
  TrackListView* const view = plugin.list();
  if (view) view->Redraw();
}

void RefreshOpenDialogs(Plugin& plugin) { plugin.ListReplaced(); }

void StartTimer(Plugin& plugin, int32_t interval) {
  if (interval > 0) plugin.StartTickTimer(static_cast<UINT>(interval));
}

// True when `path` is a track of the CD the list was made for: the list stays, changes and all.
bool IsTrackOfListedCd(const TextString& path, const TrackList& list) {
  if (list.cddbId == 0 || path.UpperExtension() != "CDA" || !ReadCdaFile(path, nullptr, nullptr, nullptr, nullptr)) {
    return false;
  }
  int trackCount = 0;
  return ComputeDiscId(path, &trackCount) == list.cddbId;
}

void OnSongChange(Plugin& plugin, const Player& player, int pos, const TextString& path) {
  PlaybackState& playback = plugin.playback();
  TrackList& list = plugin.trackList();
  ListeningEntryLeaving(plugin, player);
  // A changed list is saved (or offered) under the name it was made for, while the title is
  // still its own: under the new entry's title it would replace that entry's stored list.
  if (list.modified && !IsTrackOfListedCd(path, list)) SaveIfModified(plugin);
  playback.currentTitle = player.PlaylistTitle(pos);
  playback.currentPath = path;
  playback.subsongThreadId = 0;
  playback.multiTrack = 0;
  Shared().repeatItem.store(kNoItem, std::memory_order_relaxed);
  bool found = false;
  bool rebuild = true;
  uint32_t cddbId = 0;
  int trackCount = 0;

  int cdTrack = 0;
  int32_t cdKey = 0;
  if (playback.currentPath.UpperExtension() == "CDA" &&
      ReadCdaFile(playback.currentPath, &cdTrack, &cdKey, nullptr, nullptr)) {
    playback.currentTrack = cdTrack;
    cddbId = ComputeDiscId(playback.currentPath, &trackCount);
    if (list.cddbId == cddbId) {
      // Another track of the CD already listed: keep the list, move its current track.
      list.SetCurrentTrack(playback.currentTrack);
      rebuild = false;
      found = true;
    } else {
      found = SaveAndLoadStoredCdList(plugin, cdKey, cddbId);
      if (found) plugin.trackList().SetCurrentTrack(playback.currentTrack);
    }
  }

  if (!found) {
    // A plain file's content identity, read once per song change: it finds the list made for the
    // recording after the file moved, and a new list remembers it.
    const ContentIdentity identity = cddbId == 0 ? ReadContentIdentity(playback.currentPath) : ContentIdentity();
    if (!IsGenericTrackTitle(playback.currentTitle))
      found = SaveAndLoadStoredFileList(plugin, playback.currentTitle, playback.currentPath, identity);
    if (!found) {
      SaveIfModified(plugin);
      // A recording that carries its own subtracks (a cue sheet beside it, chapters inside it)
      // shows them as if a list had been found; CD tracks have no such file.
      found = cddbId == 0 && ImportSubtracks(playback.currentPath, playback.currentTitle, &plugin.trackList());
      if (!found) plugin.trackList().Reset(playback.currentTitle, trackCount, cddbId);
      if (cddbId != 0) plugin.trackList().SetCurrentTrack(playback.currentTrack);
      if (!identity.IsEmpty()) plugin.trackList().recording = Recording{playback.currentPath, identity};
    }
  }

  const TrackList& current = plugin.trackList();
  playback.currentTrack = current.CurrentTrackNumber();
  playback.multiTrack = current.subsongs || current.TrackCount() > 1 ? 1 : 0;
  if (!found || rebuild) {
    RebuildRows(plugin);
    ShowRowAt(plugin, 0);
  }
  if (found && rebuild && plugin.settings().autoPopup && !FrameShown()) ShowBesidePlayer(plugin, SWP_NOACTIVATE);
  RefreshOpenDialogs(plugin);
  ListeningEntryStarted(plugin, player, path);
  // The player let go of the file it played before: a save it kept from being done goes now.
  RetryWaitingChapterSaves(plugin);
}

// One look at the player: the playing entry (a song change loads its list) and the playing row;
// returns the next timer interval in ms.
int32_t LookAtPlayer(Plugin& plugin) {
  int32_t interval = kTickMs;
  CheckSkin(plugin, false);
  const Player player = ThePlayer(plugin);
  const int pos = player.PlaylistPosition();
  if (!plugin.recordingSave().pending().empty()) RetryWaitingChapterSavesWhenStopped(plugin, player.IsPlaying());
  if (pos >= 0) {
    const TextString path = player.PlaylistFile(pos);
    if (path.IsEmpty() || path.EqualsIgnoringCase(plugin.playback().currentPath))
      RefreshTitleAt(plugin, player, pos, true);  // the position just asked for: no second request
    else
      OnSongChange(plugin, player, pos, path);
    interval = UpdateCurrentEntry(plugin);
  }
  return interval;
}

// Hidden, with "Popup if bookmarks are found" off, the plug-in follows nothing, unless the listener
// asked it to stop after or to hold the playing subtrack (a global key does so with the window
// hidden): that request is carried out all the same.
bool TrackingPaused(const Plugin& plugin) {
  return !FrameShown() && !plugin.settings().autoPopup && plugin.listening().stopAfter == kNoItem &&
         Shared().repeatItem.load(std::memory_order_relaxed) == kNoItem;
}

}  // namespace

void TimerTick(Plugin& plugin) {
  SaveWaitingEdits(plugin);
  if (TrackingPaused(plugin)) return;  // paused until the window shows again
  StartTimer(plugin, LookAtPlayer(plugin));
}

void CatchUpWithPlayer(Plugin& plugin) {
  const int32_t interval = LookAtPlayer(plugin);
  // While tracking is paused the timer stays off.
  if (!TrackingPaused(plugin)) StartTimer(plugin, interval);
}

int32_t UpdateCurrentEntry(Plugin& plugin) {
  const Player player = ThePlayer(plugin);
  const int ms = player.OutputTimeMs();
  if (FollowResume(plugin, player, ms)) return kTickMs / 10;  // the next look finds it at its new place
  TrackList& list = plugin.trackList();
  const int32_t trackNumber = plugin.playback().currentTrack;
  if (trackNumber <= 0 || trackNumber > list.TrackCount()) return kTickMs;

  const TickPosition at = PositionAt(list.tracks[static_cast<size_t>(trackNumber - 1)], ms);
  const int c = at.index;

  if (ms >= 0 && c >= 0) {
    const ItemId key = MakeItemId(trackNumber, c);
    const ItemId repeat = Shared().repeatItem.load(std::memory_order_relaxed);
    if (repeat >= 0 && repeat != key) {
      PlayItem(plugin, repeat);  // playback left the held row: back to its start
      return kTickMs;
    }
    if (const std::optional<int32_t> next = FollowMarksAndStop(plugin, player, ms, trackNumber, at)) return *next;
    TrackListView* view = plugin.list();
    if (view && (view->CurrentRow() < 0 || view->CurrentKey() != key)) {
      view->SetCurrentByKey(key);
      view->ShowRow(view->CurrentRow(), 0);
    }
  }
  return FinishLook(plugin, player, ms, trackNumber, at, NextInterval(at.toNext));
}

bool RefreshTitle(Plugin& plugin, bool redraw) {
  const Player player = ThePlayer(plugin);
  return RefreshTitleAt(plugin, player, player.PlaylistPosition(), redraw);
}

bool RefreshTitleAt(Plugin& plugin, const Player& player, int pos, bool redraw) {
  PlaybackState& playback = plugin.playback();
  const TextString title = pos >= 0 ? player.PlaylistTitle(pos) : playback.currentPath.FileNamePart();
  if (title.IsEmpty() || title.EqualsIgnoringCase(playback.currentTitle)) return false;
  playback.currentTitle = title;
  if (playback.multiTrack != 1) plugin.trackList().FollowAlbum(title);
  RebuildRows(plugin);
  if (!redraw) return true;
  RedrawList(plugin);
  return false;
}

void OnSubsongInfo(Plugin& plugin, const uint32_t* record) {
  PlaybackState& playback = plugin.playback();
  // Records reach the loop only as the window procedure's copy; any other pointer came from an
  // outside post and can't be trusted to point at a record.
  if (!record || record != playback.subsongRecord) return;
  const Player player = ThePlayer(plugin);
  const int pos = player.PlaylistPosition();
  const TextString path = pos >= 0 ? player.PlaylistFile(pos) : TextString();
  const bool isNew = !(path.EqualsIgnoringCase(playback.currentPath) && playback.multiTrack == 1);
  // Another entry: a song change the tick will not see, since the path is taken here. The entry
  // played before is left as at any song change, its place remembered.
  const bool otherEntry = !path.EqualsIgnoringCase(playback.currentPath);
  if (otherEntry) ListeningEntryLeaving(plugin, player);
  // Saved (or offered) while the title is still its own, as at a song change: under the new
  // file's title it would replace that file's stored list, and be loaded as it.
  if (isNew) SaveIfModified(plugin);
  playback.currentPath = path;
  playback.subsongThreadId = record[kSubsongRecordThreadWord];
  playback.currentTrack = 1;
  playback.multiTrack = 1;
  Shared().repeatItem.store(kNoItem, std::memory_order_relaxed);
  const bool changed = RefreshTitle(plugin, false);
  if (isNew) {
    if (!SaveAndLoadStoredList(plugin, playback.currentTitle, TextString())) {
      // The count comes from another component and is signed: 0 or less ("unknown") gives one
      // track (Reset's rule), and no more than a track list file can hold, so the list can be saved.
      const int32_t count = static_cast<int32_t>(record[kSubsongRecordCountWord]);
      plugin.trackList().Reset(playback.currentTitle, std::min(count, trackfile::kMaxTrackNumber), 0xFFFFFFFFu);
    }
    RebuildRows(plugin);
    ShowRowAt(plugin, 0);
  }
  if (isNew || changed) RedrawList(plugin);
  if (isNew) {
    if (plugin.settings().autoPopup && !FrameShown()) ShowBesidePlayer(plugin, SWP_NOACTIVATE);
    RefreshOpenDialogs(plugin);
  }
  if (otherEntry) ListeningEntryStarted(plugin, player, path);
}

void ApplyTrackNames(Plugin& plugin) {
  PlaybackState& playback = plugin.playback();
  TrackList& list = plugin.trackList();
  const size_t count = playback.pendingNames.size();
  for (size_t i = 0; i < count && i < static_cast<size_t>(list.TrackCount()); ++i) {
    if (!playback.pendingNames[i].IsEmpty()) list.tracks[i].FollowName(playback.pendingNames[i]);
  }
  playback.pendingNames.clear();
  RebuildRows(plugin);
  RedrawList(plugin);
}

void OnSubsongChanged(Plugin& plugin, WPARAM subsong) {
  // Subsongs past what a row key can name have no row to mark.
  if (subsong >= static_cast<WPARAM>(kMaxItemPart)) return;
  const int32_t track = static_cast<int32_t>(subsong) + 1;
  plugin.playback().currentTrack = track;
  if (TrackListView* view = plugin.list()) {
    view->SetCurrentByKey(MakeItemId(track, 0));
    view->ShowRow(view->CurrentRow(), 0);
    view->Redraw();
  }
}

void OnRepeatEnd(Plugin& plugin) {
  ThePlayer(plugin).SendCommand(kCmdStop);
  PlayItem(plugin, Shared().repeatItem.load(std::memory_order_relaxed));
}

}  // namespace tarnix
