#pragma once
// The document the plug-in shows and edits: a TrackList of Tracks, each an ordered list of
// named time positions (Subtracks) whose first entry is the track's own start.

#include <cstdint>
#include <vector>

#include "tracklist/content_identity.h"
#include "tracklist/item_id.h"
#include "tracklist/msf.h"
#include "tracklist/text_string.h"

namespace tarnix {

class TrackList;

// One named time position inside a track; subtrack 0 carries the track's name.
struct Subtrack {
  TextString name;
  int32_t time = 0;   // milliseconds from the start of the played item
  bool skip = false;  // playback jumps over it (stored as a header line the .trk reader ignores)
};

// One track of a list: its subtracks in ascending time order and its 1-based number.
class Track {
 public:
  explicit Track(TrackList* owner = nullptr, int32_t number = 0) : owner(owner), number(number) {}

  // Index of the last subtrack at or before `time`; -1 when `time` lies before them all.
  int FindAt(int32_t time) const;
  // Milliseconds from `time` to the start of subtrack index + 1; -1 when there is no next one.
  int32_t TimeToNext(int index, int32_t time) const;
  // Sorted insert after every subtrack at or before `time`; -1 when `time` lies before the
  // start entry (nothing inserted).
  int AddSubtrack(const TextString& name, int32_t time);
  void RemoveSubtrack(int index);
  void RenameSubtrack(int index, const TextString& name);
  // Names the track (its start entry) after what the player's side announced: no edit, so the
  // list's `modified` stays as it is.
  void FollowName(const TextString& name);
  // Moves the subtrack to its place for the new time and returns its new index. A time before
  // the start entry is clamped to the start entry's time so the subtrack stays in the track.
  int SetSubtrackTime(int index, int32_t time);

  int Count() const { return static_cast<int>(subtracks.size()); }
  bool IsValidIndex(int index) const { return index >= 0 && index < Count(); }
  // The track's name (its start entry's), or the empty string for a track without subtracks.
  TextString Name() const { return subtracks.empty() ? TextString() : subtracks.front().name; }

  TrackList* owner;
  std::vector<Subtrack> subtracks;
  int32_t number;

 private:
  void MarkModified();
};

// The recording a list was made for, as its "[File  ]" header line keeps it: where it was last
// played from and its content identity, by which the list is found after the file moved.
struct Recording {
  TextString path;
  ContentIdentity identity;  // empty: none known (a list from an earlier version, a CD, a subsong)
};

// The current document: header fields, the CD identity and the tracks.
class TrackList {
 public:
  TrackList() = default;
  TrackList(const TrackList& other);
  TrackList& operator=(const TrackList& other);
  TrackList(TrackList&& other) noexcept;
  TrackList& operator=(TrackList&& other) noexcept;

  // Replaces the content by a default list; a cddbId of -1 selects subsongs mode.
  void Reset(const TextString& title, int trackCount, uint32_t cddbId);
  void Assign(const TrackList& other);
  void SetCurrentTrack(int number);
  int CurrentTrackNumber() const { return currentTrack + 1; }
  void SetAlbum(const TextString& text);
  void SetArtist(const TextString& text);
  // Takes the playing entry's title as the album: following the player is no edit, so
  // `modified` stays as it is.
  void FollowAlbum(const TextString& text);
  // Time of the subtrack `id` names, or -1 when it names none.
  int32_t TimeOf(ItemId id) const;
  // The subtrack `id` names, or null.
  const Subtrack* SubtrackOf(ItemId id) const;
  Track* CurrentTrack();

  // Reads a ".trk" file; true when it was read to its end and belongs to what is playing.
  bool Load(const TextString& path, const TextString& title, int32_t cdKey, uint32_t cddbId, bool alreadyMatched);
  // Loads each file matching `pattern` (a wildcard path) until one belongs to what is playing.
  bool Search(const TextString& pattern, const TextString& title, int32_t cdKey, uint32_t cddbId);
  // Writes the list to `path` (or its own path when empty) through a temporary file that
  // replaces the old one only when everything was written; false on any failure, with
  // `modified` unchanged.
  bool Save(const TextString& path);

  int TrackCount() const { return static_cast<int>(tracks.size()); }

  bool modified = false;
  bool subsongs = false;
  int32_t cdKey = 0;
  uint32_t cddbId = 0;
  int32_t currentTrack = 0;
  TextString path;
  TextString album;
  TextString artist;
  Recording recording;  // written only when its identity is known
  std::vector<Track> tracks;

 private:
  void AdoptTracks();
};

}  // namespace tarnix
