#pragma once
// The "skip" marks of subtracks in a ".trk" file. Each marked subtrack gets one header line,
// "[Skip  ] NN:MM:SS:FF", naming its track number and its time the way its entry line does; the
// second and later subtracks of a track at one stored time add their place among them (" #2").
// A reader that does not know the tag ignores the line as it ignores every unknown header
// line, so such a reader still reads the same rows; a list without marks has no such line.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "tracklist/track_list.h"

namespace tarnix {

namespace skipmarks {

// The line for a marked subtrack, the `occurrence`th (from 1) of its track at `time`, without its
// line break; false when the values cannot be written (a track number below 1, a negative time).
bool FormatLine(int32_t trackNumber, int32_t time, int occurrence, std::string* out);

// The time `time` reads back as from its line: the file holds frames (1/75 s), not milliseconds.
int32_t StoredTime(int32_t time);

// The places (from 1) of a list's subtracks among those of the same track number at the same
// stored time, asked in list order: two subtracks a few milliseconds apart share one frame and
// are told apart by their place, as the file can tell them. A list whose tracks share a number
// (only a hand-made file has such) counts them together, as its marks name only the number.
class Occurrences {
 public:
  int Next(int32_t trackNumber, int32_t time);

 private:
  std::map<std::pair<int32_t, int32_t>, int> seen_;  // track number and stored time: subtracks so far
};

// Appends one line, ending in CR LF, for every marked subtrack of `list`, in list order.
void AppendLines(const TrackList& list, std::string* out);

// The marks read from a file's header, handed out to the entries that follow.
class PendingMarks {
 public:
  // Takes a header line if it is a well-formed mark line; true when it was one. Every mark is
  // kept, however many the list has: each costs a line of the file, so the file bounds them.
  bool TakeLine(const char* line, int length);
  // Whether the entry (track number, time, occurrence) is marked.
  bool Claim(int32_t trackNumber, int32_t time, int occurrence);
  bool Empty() const { return marks_.empty(); }

 private:
  // Track number, time, occurrence: looked up once per entry line, so a list with many marks
  // reads in n log n.
  std::set<std::tuple<int32_t, int32_t, int>> marks_;
};

}  // namespace skipmarks
}  // namespace tarnix
