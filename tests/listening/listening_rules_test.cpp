#include "listening/listening_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnix::listening {
namespace {

constexpr int32_t kMinute = 60000;

TEST(ListeningRules, WhatALeftPositionDoes) {
  struct Case {
    int32_t position, length;
    LeftAt expected;
  };
  const Case cases[] = {
      {47 * kMinute + 10000, 120 * kMinute, LeftAt::kRemember},
      {kMinute + 1, 20 * kMinute, LeftAt::kRemember},
      {kMinute, 20 * kMinute, LeftAt::kNothing},      // the first minute
      {19 * kMinute, 20 * kMinute, LeftAt::kForget},  // the last minute
      {19 * kMinute - 1, 20 * kMinute, LeftAt::kRemember},
      {10 * kMinute, 20 * kMinute - 1000, LeftAt::kNothing},  // not long
      {10 * kMinute, -1, LeftAt::kNothing},                   // length unknown
      {-1, 120 * kMinute, LeftAt::kNothing},                  // stopped
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeLeftAt(c.position, c.length), c.expected) << c.position << " of " << c.length;
  }
  EXPECT_EQ(ResumeTargetMs(47 * kMinute + 10000), 47 * kMinute + 5000);
  EXPECT_EQ(ResumeTargetMs(3000), 0);
}

Track MakeTrack(std::initializer_list<bool> marks) {
  Track track(nullptr, 1);
  int32_t t = 0;
  for (bool skip : marks) {
    Subtrack s;
    s.name = "x";
    s.time = t;
    s.skip = skip;
    track.subtracks.push_back(s);
    t += 10000;
  }
  return track;
}

TEST(ListeningRules, SkipTargets) {
  const Track track = MakeTrack({false, true, true, false, true});
  EXPECT_EQ(SkipTarget(track, 0), kNoSkip);
  EXPECT_EQ(SkipTarget(track, 1), 3);  // two marked in a row
  EXPECT_EQ(SkipTarget(track, 2), 3);
  EXPECT_EQ(SkipTarget(track, 4), kEndOfTrack);  // marked last subtrack
  EXPECT_EQ(SkipTarget(track, 5), kNoSkip);
  EXPECT_EQ(SkipTarget(track, -1), kNoSkip);

  const bool marked[] = {false, true, true, false, true};
  auto isMarked = [&](int32_t row) { return marked[row]; };
  EXPECT_EQ(StepOverMarked(0, 1, 5, isMarked), 3);
  EXPECT_EQ(StepOverMarked(3, 1, 5, isMarked), -1);
  EXPECT_EQ(StepOverMarked(3, -1, 5, isMarked), 0);
  EXPECT_EQ(StepOverMarked(0, -1, 5, isMarked), -1);
}

TEST(ListeningRules, PendingStop) {
  const ItemId a = MakeItemId(1, 2), next = MakeItemId(1, 3);
  struct Case {
    ItemId lastSeen, now;
    int32_t pastEnd;
    StopVerdict expected;
  };
  const Case cases[] = {
      {a, a, 5000, StopVerdict::kWait},
      {a, next, 3, StopVerdict::kStop},
      {a, next, -15, StopVerdict::kStop},                // a boundary a few ms ahead counts as reached
      {a, next, 4000, StopVerdict::kLapse},              // a jump into the next one
      {a, MakeItemId(1, 4), 40, StopVerdict::kStop},     // past a next one too short for a look
      {a, MakeItemId(1, 4), 4000, StopVerdict::kLapse},  // a jump further on
      {a, MakeItemId(1, 1), 3, StopVerdict::kLapse},     // a jump back
      {a, MakeItemId(2, 3), 3, StopVerdict::kLapse},     // another track
      {MakeItemId(1, 1), next, 3, StopVerdict::kLapse},  // never seen playing the pending one
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeStop(a, c.lastSeen, c.now, c.pastEnd), c.expected)
        << std::hex << c.now << " " << std::dec << c.pastEnd;
  }
  EXPECT_TRUE(RanToEnd(119 * kMinute + 59500, 120 * kMinute));
  EXPECT_FALSE(RanToEnd(100 * kMinute, 120 * kMinute));
  EXPECT_FALSE(RanToEnd(100 * kMinute, -1));
}

TEST(ListeningRules, ProgressTexts) {
  const Track track = MakeTrack({false, false, false});  // 0, 10 s, 20 s
  EXPECT_EQ(SubtrackLengthMs(track, 0, -1), 10000);
  EXPECT_EQ(SubtrackLengthMs(track, 2, 45000), 25000);
  EXPECT_EQ(SubtrackLengthMs(track, 2, -1), -1);
  EXPECT_EQ(SubtrackLengthMs(track, 3, 45000), -1);

  struct Case {
    int32_t into, length;
    const char* text;
  };
  const Case cases[] = {
      {750000, 2700000, "12:30 / 45:00"},
      {999, 2700000, "0:00 / 45:00"},
      {3723000, 7800000, "1:02:03 / 2:10:00"},
      {59000, -1, "0:59"},
      {50000, 40000, "0:40 / 0:40"},  // held to the length
      {-300, 40000, "0:00 / 0:40"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(ProgressText(c.into, c.length).c_str(), c.text);
  }
}

}  // namespace
}  // namespace tarnix::listening
