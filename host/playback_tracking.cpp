// Following the player: the timer tick with its song-change handling, the current row and the
// next boundary, the title refresh, and the subsong source's announcements.

#include "host/playback_tracking.h"

#include <algorithm>

#include "commands/commands.h"
#include "commands/editing.h"
#include "commands/file_commands.h"
#include "host/playback_state.h"
#include "host/player.h"
#include "host/plugin_globals.h"
#include "host/settings.h"
#include "host/skin_adoption.h"
#include "import/recording_import.h"
#include "skin/skin_frame.h"
#include "skin/track_list_view.h"
#include "tracklist/cd_identity.h"
#include "tracklist/track_file.h"
#include "tracklist/track_list.h"

namespace tarnix {

static_assert(trackfile::kMaxTrackNumber <= kMaxItemPart, "every listed subsong has a row key");

namespace {

constexpr int32_t kTickMs = 500;
// A boundary closer than this counts as reached.
constexpr int32_t kBoundarySlackMs = 20;

Player ThePlayer() { return Player(g_plugin.playerWindow); }

bool FrameShown() { return g_plugin.frame && g_plugin.frame->shown.load(std::memory_order_relaxed); }

void ShowRowAt(int32_t row) {
  if (g_plugin.list) g_plugin.list->ShowRow(row, 0);
}

void RedrawList() {
  if (g_plugin.list) g_plugin.list->Redraw();
}

// Titles such as "Track 07" name a CD track, not a recording: searching by them finds nonsense.
bool IsGenericTrackTitle(const TextString& title) {
  if (title.IsEmpty()) return false;
  const char last = title[title.Length() - 1];
  return title.Find("track") >= 0 && last >= '0' && last <= '9';
}

void RefreshOpenDialogs() {
  if (g_editedTrack >= 0) OpenTrackDialog();
  if (g_editedItem >= 0) OpenSubtrackDialog();
}

void StartTimer(int32_t interval) {
  if (interval <= 0 || !g_plugin.pluginWindow) return;
  g_plugin.timerId = SetTimer(g_plugin.pluginWindow, 1, static_cast<UINT>(interval), nullptr);
}

// True when `path` is a track of the CD the list was made for: the list stays, changes and all.
bool IsTrackOfListedCd(const TextString& path, const TrackList& list) {
  if (list.cddbId == 0 || path.UpperExtension() != "CDA" ||
      !ReadCdaFile(path, nullptr, nullptr, nullptr, nullptr)) {
    return false;
  }
  int trackCount = 0;
  return ComputeDiscId(path, &trackCount) == list.cddbId;
}

void OnSongChange(const Player& player, int pos, const TextString& path) {
  TrackList& list = CurrentList();
  // A changed list is saved (or offered) under the name it was made for, while the title is
  // still its own: under the new entry's title it would replace that entry's stored list.
  if (list.modified && !IsTrackOfListedCd(path, list)) SaveIfModified();
  g_state.currentTitle = player.PlaylistTitle(pos);
  g_state.currentPath = path;
  g_state.subsongThreadId = 0;
  g_state.multiTrack = 0;
  g_state.repeatItem.store(kNoItem, std::memory_order_relaxed);
  bool found = false;
  bool rebuild = true;
  uint32_t cddbId = 0;
  int trackCount = 0;

  int cdTrack = 0;
  int32_t cdKey = 0;
  if (g_state.currentPath.UpperExtension() == "CDA" &&
      ReadCdaFile(g_state.currentPath, &cdTrack, &cdKey, nullptr, nullptr)) {
    g_state.currentTrack = cdTrack;
    cddbId = ComputeDiscId(g_state.currentPath, &trackCount);
    if (list.cddbId == cddbId) {
      // Another track of the CD already listed: keep the list, move its current track.
      list.SetCurrentTrack(g_state.currentTrack);
      rebuild = false;
      found = true;
    } else {
      found = FindCdTrackList(cdKey, cddbId);
      if (found) CurrentList().SetCurrentTrack(g_state.currentTrack);
    }
  }

  if (!found) {
    if (!IsGenericTrackTitle(g_state.currentTitle))
      found = FindTrackList(g_state.currentTitle, g_state.currentPath.FileNamePart());
    if (!found) {
      SaveIfModified();
      // A recording that carries its own subtracks (a cue sheet beside it, chapters inside it)
      // shows them as if a list had been found; CD tracks have no such file.
      found = cddbId == 0 && ImportSubtracks(g_state.currentPath, g_state.currentTitle, &CurrentList());
      if (!found) CurrentList().Reset(g_state.currentTitle, trackCount, cddbId);
      if (cddbId != 0) CurrentList().SetCurrentTrack(g_state.currentTrack);
    }
  }

  const TrackList& current = CurrentList();
  g_state.currentTrack = current.CurrentTrackNumber();
  g_state.multiTrack = current.subsongs || current.TrackCount() > 1 ? 1 : 0;
  if (!found || rebuild) {
    RebuildRows();
    ShowRowAt(0);
  }
  if (found && rebuild && g_settings.autoPopup && !FrameShown()) ShowBesidePlayer(SWP_NOACTIVATE);
  RefreshOpenDialogs();
}

}  // namespace

void TimerTick() {
  int32_t interval = kTickMs;
  if (!FrameShown() && !g_settings.autoPopup) return;  // paused until the window shows again
  CheckSkin(false);
  const Player player = ThePlayer();
  const int pos = player.PlaylistPosition();
  if (pos >= 0) {
    const TextString path = player.PlaylistFile(pos);
    if (path.IsEmpty() || path == g_state.currentPath)
      RefreshTitleAt(player, pos, true);  // the position just asked for: no second request
    else
      OnSongChange(player, pos, path);
    interval = UpdateCurrentEntry();
  }
  StartTimer(interval);
}

int32_t UpdateCurrentEntry() {
  const int ms = ThePlayer().OutputTimeMs();
  TrackList& list = CurrentList();
  const int32_t trackNumber = g_state.currentTrack;
  if (trackNumber <= 0 || trackNumber > list.TrackCount()) return kTickMs;

  const Track& track = list.tracks[static_cast<size_t>(trackNumber - 1)];
  int c = track.FindAt(ms);
  int32_t d = track.TimeToNext(c, ms);
  while (d >= 0 && d < kBoundarySlackMs) {
    ++c;
    d = track.TimeToNext(c, ms);
  }

  if (ms >= 0 && c >= 0) {
    const ItemId key = MakeItemId(trackNumber, c);
    const ItemId repeat = g_state.repeatItem.load(std::memory_order_relaxed);
    if (repeat >= 0 && repeat != key) {
      PlayItem(repeat);  // playback left the held row: back to its start
      return kTickMs;
    }
    TrackListView* view = g_plugin.list;
    if (view && (view->CurrentRow() < 0 || view->CurrentKey() != key)) {
      view->SetCurrentByKey(key);
      view->ShowRow(view->CurrentRow(), 0);
    }
  }
  return d > 0 && d < kTickMs ? d : kTickMs;
}

bool RefreshTitle(bool redraw) {
  const Player player = ThePlayer();
  return RefreshTitleAt(player, player.PlaylistPosition(), redraw);
}

bool RefreshTitleAt(const Player& player, int pos, bool redraw) {
  const TextString title = pos >= 0 ? player.PlaylistTitle(pos) : g_state.currentPath.FileNamePart();
  if (title.IsEmpty() || title == g_state.currentTitle) return false;
  g_state.currentTitle = title;
  if (g_state.multiTrack != 1) {
    TrackList& list = CurrentList();
    const bool wasModified = list.modified;
    list.SetAlbum(title);
    list.modified = wasModified;  // following the player's title is no edit of the list
  }
  RebuildRows();
  if (!redraw) return true;
  RedrawList();
  return false;
}

void OnSubsongInfo(const uint32_t* record) {
  // Records reach the loop only as the window procedure's copy; any other pointer came from an
  // outside post and can't be trusted to point at a record.
  if (!record || record != g_state.subsongRecord) return;
  const Player player = ThePlayer();
  const int pos = player.PlaylistPosition();
  const TextString path = pos >= 0 ? player.PlaylistFile(pos) : TextString();
  const bool isNew = !(path == g_state.currentPath && g_state.multiTrack == 1);
  g_state.currentPath = path;
  g_state.subsongThreadId = record[kSubsongRecordThreadWord];
  g_state.currentTrack = 1;
  g_state.multiTrack = 1;
  g_state.repeatItem.store(kNoItem, std::memory_order_relaxed);
  const bool changed = RefreshTitle(false);
  if (isNew) {
    if (!FindTrackList(g_state.currentTitle, TextString())) {
      // The count comes from another component and is signed: 0 or less ("unknown") gives one
      // track (Reset's rule), and no more than a track list file can hold, so the list can be saved.
      const int32_t count = static_cast<int32_t>(record[kSubsongRecordCountWord]);
      CurrentList().Reset(g_state.currentTitle, std::min(count, trackfile::kMaxTrackNumber), 0xFFFFFFFFu);
    }
    RebuildRows();
    ShowRowAt(0);
  }
  if (isNew || changed) RedrawList();
  if (isNew) {
    if (g_settings.autoPopup && !FrameShown()) ShowBesidePlayer(SWP_NOACTIVATE);
    RefreshOpenDialogs();
  }
}

void ApplyTrackNames() {
  TrackList& list = CurrentList();
  const bool wasModified = list.modified;
  const size_t count = g_state.pendingNames.size();
  for (size_t i = 0; i < count && i < static_cast<size_t>(list.TrackCount()); ++i) {
    if (!g_state.pendingNames[i].IsEmpty()) list.tracks[i].RenameSubtrack(0, g_state.pendingNames[i]);
  }
  list.modified = wasModified;
  g_state.pendingNames.clear();
  RebuildRows();
  RedrawList();
}

void OnSubsongChanged(WPARAM subsong) {
  // Subsongs past what a row key can name have no row to mark.
  if (subsong >= static_cast<WPARAM>(kMaxItemPart)) return;
  const int32_t track = static_cast<int32_t>(subsong) + 1;
  g_state.currentTrack = track;
  if (TrackListView* view = g_plugin.list) {
    view->SetCurrentByKey(MakeItemId(track, 0));
    view->ShowRow(view->CurrentRow(), 0);
    view->Redraw();
  }
}

void OnRepeatEnd() {
  ThePlayer().SendCommand(kCmdStop);
  PlayItem(g_state.repeatItem.load(std::memory_order_relaxed));
}

}  // namespace tarnix
