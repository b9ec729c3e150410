#include "import/imported_list.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "import/utf8.h"

namespace tarnix {

namespace {

int32_t ListTime(int64_t ms) {
  if (ms < 0) return 0;
  if (ms > INT32_MAX) return INT32_MAX;
  return static_cast<int32_t>(ms);
}

TextString ListText(const std::string& utf8) { return TextString(static_cast<int>(utf8.size()), utf8.c_str()); }

// Names are kept as the importer gives them (each cleans what its source may hold), so a name an
// exported chapter file carries with blanks at its ends or tabs comes back whole.
TextString ListName(const std::string& utf8) { return ListText(ExactName(utf8)); }

}  // namespace

bool MakeImportedList(const ChapterSet& set, const TextString& title, TrackList* out) {
  if (set.chapters.empty()) return false;
  struct Entry {
    int32_t time;
    const std::string* name;
  };
  std::vector<Entry> entries;
  entries.reserve(set.chapters.size());
  for (const Chapter& chapter : set.chapters) entries.push_back({ListTime(chapter.timeMs), &chapter.name});
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.time < b.time; });
  entries.erase(
      std::unique(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.time == b.time; }),
      entries.end());

  TrackList list;
  list.Reset(title, 1, 0);
  Track& track = list.tracks.front();
  // Within one frame of 0 (75 frames a second) the first chapter is the track's own start.
  const bool firstIsStart = int64_t{entries.front().time} * kFramesPerSecond < 1000;
  if (firstIsStart) track.subtracks.clear();
  int number = 0;
  for (const Entry& entry : entries) {
    if (track.subtracks.size() >= kMaxImportedChapters) break;
    ++number;
    Subtrack subtrack;
    subtrack.time = track.subtracks.empty() ? 0 : entry.time;
    subtrack.name = ListName(*entry.name);
    if (subtrack.name.IsEmpty()) subtrack.name.Format("Chapter %d", number);
    track.subtracks.push_back(std::move(subtrack));
  }
  // A plain file's list is found again by the player's title, which its album carries (the
  // title refresh keeps it so): the source's album there would hide an edited and saved import
  // from the next song change whenever the first subtrack is the start entry.
  list.album = title;
  list.artist = ListText(CleanName(set.artist));
  list.modified = false;
  *out = std::move(list);
  return true;
}

bool SetTrackChapters(const ChapterSet& set, Track* track) {
  TrackList made;
  if (!MakeImportedList(set, track->Name(), &made)) return false;
  track->subtracks = std::move(made.tracks.front().subtracks);
  if (track->owner) track->owner->modified = true;
  return true;
}

}  // namespace tarnix
