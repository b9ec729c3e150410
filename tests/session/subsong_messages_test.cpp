// The subsong source's announcements in-process, as the window procedure takes them.

#include "session/subsong_messages.h"

#include <gtest/gtest.h>

#include "session/playback_tracking.h"
#include "tests/commands/commands_fixture.h"

namespace tarnix::test {
namespace {

using SubsongMessagesTest = CommandsTest;

// A source may name its subsongs in any order before the names are applied: a lower index
// arriving after a higher one keeps that one.
TEST_F(SubsongMessagesTest, TrackNamesArrivingInAnyOrderAreAllApplied) {
  UseCd(3, 1);
  TakeTrackName(ThePlugin(), 2, reinterpret_cast<LPARAM>("Third"));
  TakeTrackName(ThePlugin(), 0, reinterpret_cast<LPARAM>("First"));
  ApplyTrackNames(ThePlugin());
  EXPECT_STREQ(List().tracks[0].subtracks.front().name.c_str(), "First");
  EXPECT_STREQ(List().tracks[2].subtracks.front().name.c_str(), "Third");
}

}  // namespace
}  // namespace tarnix::test
