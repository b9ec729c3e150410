#include "listening_playback/tick_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnix {
namespace {

Track TrackAt(const std::vector<int32_t>& times) {
  Track track;
  for (int32_t t : times) {
    Subtrack entry;
    entry.time = t;
    track.subtracks.push_back(entry);
  }
  return track;
}

TEST(PositionAt, BoundariesWithinTheSlackCountAsReached) {
  const Track track = TrackAt({0, 10000, 10010, 20000});
  const struct {
    int32_t ms;
    int index;
    int32_t toNext;
  } cases[] = {
      {-1, -1, -1},                                     // before the start entry: no subtrack, nothing ahead
      {0, 0, 10000},     {9979, 0, 21}, {9980, 0, 20},  // exactly the slack ahead: still to come
      {9981, 1, 29},                                    // 19 ms ahead: reached
      {9995, 2, 10005},                                 // both boundaries within the slack, one after the other
      {10000, 2, 10000},                                // two subtracks 10 ms apart: the second one plays at once
      {19990, 3, -1},  // the last boundary within the slack: the last subtrack, none ahead
      {25000, 3, -1},
  };
  for (const auto& c : cases) {
    const TickPosition at = PositionAt(track, c.ms);
    EXPECT_EQ(at.index, c.index) << c.ms;
    EXPECT_EQ(at.toNext, c.toNext) << c.ms;
  }
}

TEST(NextInterval, TheNextBoundaryWithinOneTickElseAWholeTick) {
  const struct {
    int32_t toNext;
    int32_t interval;
  } cases[] = {{120, 120}, {499, 499}, {500, 500}, {700, 500}, {0, 500}, {-1, 500}, {1, 1}};
  for (const auto& c : cases) EXPECT_EQ(NextInterval(c.toNext), c.interval) << c.toNext;
}

TEST(IsGenericTrackTitle, TrackAndATrailingDigit) {
  const struct {
    const char* title;
    bool generic;
  } cases[] = {
      {"Track 07", true},      {"track 7", true}, {"TRACK07", true},    {"My track 3", true},
      {"track 7 live", false}, {"Track", false},  {"Concert 2", false}, {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsGenericTrackTitle(c.title), c.generic) << c.title;
}

}  // namespace
}  // namespace tarnix
