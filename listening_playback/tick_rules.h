#pragma once
// The arithmetic of the timer tick, without Windows: which subtrack plays at a position, when to
// look next, and which titles are too generic to search stored lists by.

#include <cstdint>

#include "tracklist/text_string.h"
#include "tracklist/track_list.h"

namespace tarnix {

// The timer's longest interval, and the one used whenever there is no boundary to wait for.
constexpr int32_t kTickMs = 500;
// A boundary closer than this counts as reached.
constexpr int32_t kBoundarySlackMs = 20;

struct TickPosition {
  int index;       // subtrack playing at the position; -1 before the track's start entry
  int32_t toNext;  // ms to the next subtrack's start; -1 when there is none
};

// The subtrack playing at `ms` in `track`, boundaries less than kBoundarySlackMs ahead counted
// as reached.
TickPosition PositionAt(const Track& track, int32_t ms);
// The next timer interval for a boundary `toNext` ms ahead: that time when it lies within one
// tick, else a whole tick.
int32_t NextInterval(int32_t toNext);
// Titles such as "Track 07" name a CD track, not a recording: searching by them finds nonsense.
// True when the title contains "track" (in any letter case) and ends in a decimal digit.
bool IsGenericTrackTitle(const TextString& title);

}  // namespace tarnix
