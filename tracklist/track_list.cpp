#include "tracklist/track_list.h"

#include <cstdint>
#include <utility>

namespace tarnix {

void Track::MarkModified() {
  if (owner) owner->modified = true;
}

int Track::FindAt(int32_t time) const {
  for (int i = Count() - 1; i >= 0; --i) {
    if (subtracks[static_cast<size_t>(i)].time <= time) return i;
  }
  return -1;
}

int32_t Track::TimeToNext(int index, int32_t time) const {
  if (index < 0 || index >= Count() - 1) return -1;
  const int64_t diff = int64_t{subtracks[static_cast<size_t>(index) + 1].time} - time;
  if (diff > INT32_MAX) return INT32_MAX;
  if (diff < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(diff);
}

int Track::AddSubtrack(const TextString& name, int32_t time) {
  const int i = FindAt(time);
  if (i < 0) return -1;
  Subtrack entry;
  entry.name = name;
  entry.time = time;
  subtracks.insert(subtracks.begin() + i + 1, std::move(entry));
  MarkModified();
  return i + 1;
}

void Track::RemoveSubtrack(int index) {
  if (!IsValidIndex(index)) return;
  subtracks.erase(subtracks.begin() + index);
  MarkModified();
}

void Track::FollowName(const TextString& name) {
  // Letter case alone is no change, as for an edit.
  if (!subtracks.empty() && !subtracks.front().name.EqualsIgnoringCase(name)) subtracks.front().name = name;
}

void Track::RenameSubtrack(int index, const TextString& name) {
  if (!IsValidIndex(index)) return;
  Subtrack& entry = subtracks[static_cast<size_t>(index)];
  if (entry.name.EqualsIgnoringCase(name)) return;  // letter case alone is no change
  entry.name = name;
  MarkModified();
}

int Track::SetSubtrackTime(int index, int32_t time) {
  if (!IsValidIndex(index)) return index;
  // No subtrack may go before the start entry: such a time is held at the start entry's.
  if (index > 0 && time < subtracks.front().time) time = subtracks.front().time;
  if (time < 0) time = 0;
  Subtrack& entry = subtracks[static_cast<size_t>(index)];
  if (entry.time == time) return index;
  entry.time = time;
  MarkModified();
  const bool after_previous = index == 0 || subtracks[static_cast<size_t>(index) - 1].time <= time;
  const bool before_next = index == Count() - 1 || subtracks[static_cast<size_t>(index) + 1].time >= time;
  if (after_previous && before_next) return index;
  Subtrack moved = std::move(entry);
  subtracks.erase(subtracks.begin() + index);
  // With the clamp above some subtrack is at or before `time`, so `at` is at least 1, except
  // when the start entry itself moved behind a later one (then `at` is still a valid place).
  int at = FindAt(time) + 1;
  subtracks.insert(subtracks.begin() + at, std::move(moved));
  return at;
}

TrackList::TrackList(const TrackList& other) { Assign(other); }

TrackList& TrackList::operator=(const TrackList& other) {
  Assign(other);
  return *this;
}

TrackList::TrackList(TrackList&& other) noexcept
    : modified(other.modified),
      subsongs(other.subsongs),
      cdKey(other.cdKey),
      cddbId(other.cddbId),
      currentTrack(other.currentTrack),
      path(std::move(other.path)),
      album(std::move(other.album)),
      artist(std::move(other.artist)),
      recording(std::move(other.recording)),
      tracks(std::move(other.tracks)) {
  AdoptTracks();
}

TrackList& TrackList::operator=(TrackList&& other) noexcept {
  if (this != &other) {
    modified = other.modified;
    subsongs = other.subsongs;
    cdKey = other.cdKey;
    cddbId = other.cddbId;
    currentTrack = other.currentTrack;
    path = std::move(other.path);
    album = std::move(other.album);
    artist = std::move(other.artist);
    recording = std::move(other.recording);
    tracks = std::move(other.tracks);
    AdoptTracks();
  }
  return *this;
}

void TrackList::AdoptTracks() {
  for (Track& track : tracks) track.owner = this;
}

void TrackList::Assign(const TrackList& other) {
  if (this == &other) return;
  modified = other.modified;
  subsongs = other.subsongs;
  cdKey = other.cdKey;
  cddbId = other.cddbId;
  currentTrack = other.currentTrack;
  path = other.path;
  album = other.album;
  artist = other.artist;
  recording = other.recording;
  tracks = other.tracks;
  AdoptTracks();
}

void TrackList::Reset(const TextString& title, int trackCount, uint32_t cddbIdArg) {
  tracks.clear();
  subsongs = cddbIdArg == 0xFFFFFFFFu;
  modified = false;
  cddbId = cddbIdArg;
  cdKey = 0;
  currentTrack = 0;
  path.Clear();
  artist.Clear();
  recording = Recording();
  if (trackCount < 1) trackCount = 1;
  if (subsongs) {
    album = title;
    cddbId = 0;
  } else {
    album = "Unknown";
  }
  tracks.reserve(static_cast<size_t>(trackCount));
  for (int i = 1; i <= trackCount; ++i) {
    Track track(this, i);
    Subtrack start;
    if (subsongs) {
      start.name.Format("Subsong %d", i);
    } else if (trackCount == 1) {
      start.name = title;
    } else {
      start.name.Format("Track %d", i);
    }
    if (start.name.IsEmpty()) start.name = "Unknown";
    track.subtracks.push_back(std::move(start));
    tracks.push_back(std::move(track));
  }
}

void TrackList::SetCurrentTrack(int number) {
  if (number >= 1 && number <= TrackCount()) currentTrack = number - 1;
}

void TrackList::SetAlbum(const TextString& text) {
  if (album.EqualsIgnoringCase(text)) return;
  album = text;
  modified = true;
}

void TrackList::FollowAlbum(const TextString& text) {
  if (!album.EqualsIgnoringCase(text)) album = text;
}

void TrackList::SetArtist(const TextString& text) {
  if (artist.EqualsIgnoringCase(text)) return;
  artist = text;
  modified = true;
}

const Subtrack* TrackList::SubtrackOf(ItemId id) const {
  const int track = ItemTrack(id);
  if (track < 1 || track > TrackCount()) return nullptr;
  const Track& t = tracks[static_cast<size_t>(track) - 1];
  const int index = ItemSubtrack(id);
  if (!t.IsValidIndex(index)) return nullptr;
  return &t.subtracks[static_cast<size_t>(index)];
}

int32_t TrackList::TimeOf(ItemId id) const {
  const Subtrack* entry = SubtrackOf(id);
  return entry ? entry->time : -1;
}

Track* TrackList::CurrentTrack() {
  if (currentTrack < 0 || currentTrack >= TrackCount()) return nullptr;
  return &tracks[static_cast<size_t>(currentTrack)];
}

}  // namespace tarnix
