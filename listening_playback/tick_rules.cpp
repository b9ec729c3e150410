#include "listening_playback/tick_rules.h"

namespace tarnix {

TickPosition PositionAt(const Track& track, int32_t ms) {
  int c = track.FindAt(ms);
  int32_t d = track.TimeToNext(c, ms);
  while (d >= 0 && d < kBoundarySlackMs) {
    ++c;
    d = track.TimeToNext(c, ms);
  }
  return TickPosition{c, d};
}

int32_t NextInterval(int32_t toNext) { return toNext > 0 && toNext < kTickMs ? toNext : kTickMs; }

bool IsGenericTrackTitle(const TextString& title) {
  if (title.IsEmpty()) return false;
  const char last = title[title.Length() - 1];
  return title.FindIgnoringCase("track") >= 0 && last >= '0' && last <= '9';
}

}  // namespace tarnix
