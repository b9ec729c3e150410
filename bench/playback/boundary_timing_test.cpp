#include "bench/playback/boundary_timing.h"

#include <gtest/gtest.h>

namespace tarnix::bench {
namespace {

// Polls every 2 ms, answered 1 ms after sending, from t = 0; the key switches at the given times.
std::vector<KeySample> Polls(std::int64_t until, const std::vector<std::pair<std::int64_t, std::int32_t>>& switches) {
  std::vector<KeySample> samples;
  for (std::int64_t t = 0; t < until; t += 2) {
    std::int32_t key = 0;
    for (const auto& [at, k] : switches) {
      if (t + 1 >= at) key = k;  // the answer reflects the state when it was given
    }
    samples.push_back({t, t + 1, key});
  }
  return samples;
}

TEST(BoundaryTimingTest, ChangesAreDatedByThePrecedingPositionRequest) {
  // Boundaries at 100 and 300 ms; the plug-in asked for the position at 95 (too early, no
  // change), 104 (change) and later 290 (change 10 ms early, inside the 20 ms look-ahead).
  const auto samples = Polls(400, {{104, 11}, {290, 12}});
  const std::vector<Boundary> boundaries = {{11, 100}, {12, 300}};
  const std::vector<std::int64_t> requests = {95, 104, 200, 290, 350};
  const auto errors = MatchBoundaries(samples, boundaries, requests);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_TRUE(errors[0].seen);
  EXPECT_TRUE(errors[0].dated);
  EXPECT_EQ(errors[0].errorMs, 4);
  EXPECT_TRUE(errors[1].dated);
  EXPECT_EQ(errors[1].errorMs, -10);
}

TEST(BoundaryTimingTest, WithoutARequestThePollWindowDatesTheChange) {
  const auto samples = Polls(200, {{51, 11}});
  // The change was seen by the poll sent at 50; the previous one was sent at 48.
  const auto errors = MatchBoundaries(samples, {{11, 40}}, {10, 20});
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].seen);
  EXPECT_FALSE(errors[0].dated);
  EXPECT_EQ(errors[0].errorMs, (48 + 51) / 2 - 40);
}

TEST(BoundaryTimingTest, MissedAndOutOfOrderKeysAreNotMatchedTwice) {
  // Key 12 never shows; key 13 shows once. A later boundary cannot reuse earlier polls.
  const auto samples = Polls(100, {{20, 11}, {60, 13}});
  const auto errors = MatchBoundaries(samples, {{11, 20}, {12, 40}, {13, 60}, {11, 80}}, {20, 60});
  ASSERT_EQ(errors.size(), 4u);
  EXPECT_TRUE(errors[0].seen);
  EXPECT_FALSE(errors[1].seen);
  EXPECT_TRUE(errors[2].seen);
  EXPECT_EQ(errors[2].errorMs, 0);
  EXPECT_FALSE(errors[3].seen) << "key 11 after key 13 did not come back";
}

TEST(BoundaryTimingTest, SummaryCountsTheGoalAndPercentile) {
  std::vector<BoundaryError> errors;
  const std::int64_t values[] = {-25, -20, 0, 3, 25, 26, 10, 5, 7, 1};
  for (std::int64_t v : values) errors.push_back({1, true, true, v});
  errors.push_back({2, false, false, 0});  // missed: not in the figures
  const ErrorSummary s = Summarise(errors, -20, 25);
  EXPECT_EQ(s.boundaries, 11);
  EXPECT_EQ(s.seen, 10);
  EXPECT_EQ(s.dated, 10);
  EXPECT_EQ(s.withinGoal, 8);  // -25 and 26 are outside; both ends of the goal count
  EXPECT_EQ(s.min, -25);
  EXPECT_EQ(s.max, 26);
  EXPECT_DOUBLE_EQ(s.mean, 3.2);
  EXPECT_EQ(s.p95, 26);
  const ErrorSummary none = Summarise({}, -20, 25);
  EXPECT_EQ(none.seen, 0);
  EXPECT_EQ(none.p95, 0);
}

}  // namespace
}  // namespace tarnix::bench
