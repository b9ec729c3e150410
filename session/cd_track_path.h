#pragma once
// Finding the playlist entry of another track of the playing audio CD: the entries of one CD
// differ in their last run of digits, so the path of track n is the playing path with that run
// rewritten, and the entries are visited nearest to the playing one first.

#include <cstdint>
#include <optional>

#include "tracklist/text_string.h"

namespace tarnix {

// The path with its last run of decimal digits overwritten by n, zero-padded on the left to
// the run's length (only that many low-order digits are written, so the length stays).
// nullopt when the path has no digit.
std::optional<TextString> CdTrackPath(const TextString& path, int32_t n);

// Visits the playlist positions 0..length-1 nearest to `position` first: position, +1, -1, +2,
// -2 ... skipping those outside. A position outside the playlist starts at its nearest end.
class NearestFirstOrder {
 public:
  NearestFirstOrder(int32_t position, int32_t length);
  // The next position, or false when every position was visited.
  bool Next(int32_t* position);

 private:
  int64_t centre_;
  int64_t length_;
  int64_t step_ = 0;   // distance of the next candidates
  bool upper_ = true;  // the next candidate is centre + step (else centre - step)
};

}  // namespace tarnix
