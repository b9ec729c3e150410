#include "host/mark_earlier.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace tarnix {
namespace {

TEST(MarkEarlier, StoredValuesComeIntoRange) {
  const struct {
    long long stored;
    int seconds;
  } cases[] = {{0, 0}, {20, 20}, {60, 60}, {61, 60}, {-5, 0}, {LLONG_MAX, 60}, {LLONG_MIN, 0}};
  for (const auto& c : cases) EXPECT_EQ(ClampMarkEarlier(c.stored), c.seconds) << c.stored;
}

TEST(MarkEarlier, PlaceAndNameStopAtTheTrackStart) {
  const struct {
    int32_t playingMs, trackStartMs;
    int seconds;
    int32_t timeMs;
    const char* note;  // null: not shown, the insert refuses a time before the track's start
  } cases[] = {
      {95000, 0, 20, 75000, " (marked 20 s earlier)"},
      {95000, 0, 0, 95000, ""},
      {95000, 0, 600, 35000, " (marked 60 s earlier)"},  // beyond the range: 60
      {95000, 0, -3, 95000, ""},
      {5400, 0, 20, 0, " (marked at the track start)"},
      {20000, 20000, 20, 20000, " (marked at the track start)"},  // at the start already
      {80000, 60000, 20, 60000, " (marked 20 s earlier)"},        // exactly back to the start
      {10000, 60000, 20, 10000, nullptr},                         // before the start: left alone
      {INT32_MAX, 0, 60, INT32_MAX - 60000, " (marked 60 s earlier)"},
      {INT32_MIN, 0, 60, INT32_MIN, nullptr},
  };
  for (const auto& c : cases) {
    const MarkedPlace place = PlaceMarkEarlier(c.playingMs, c.trackStartMs, c.seconds);
    EXPECT_EQ(place.timeMs, c.timeMs) << c.playingMs << " " << c.seconds;
    if (c.note) {
      EXPECT_EQ(MarkedNameNote(place, c.seconds), c.note) << c.playingMs << " " << c.seconds;
    }
  }
}

}  // namespace
}  // namespace tarnix
