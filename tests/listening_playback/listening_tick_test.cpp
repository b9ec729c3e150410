// The listening features at the playback check, in-process: the stand-in player is paused at
// exact positions, the test runs each check itself and sets the clock the listening code reads,
// so no test waits for the player's clock or the timer.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/commands.h"
#include "host/player_codes.h"
#include "host/settings.h"
#include "listening/listening_rules.h"
#include "resources/resource_ids.h"
#include "session/playback_tracking.h"
#include "tests/commands/commands_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_clock.h"

namespace tarnix::test {
namespace {

using Strings = std::vector<std::string>;

constexpr int kMinute = 60000;
const std::string kLong = "C:\\Books\\Long book.mp3";

class ListeningTickTest : public CommandsTest {
 protected:
  ListeningTickTest() {
    SetListeningClock(1000000);
    DeleteFileA(StorePath().c_str());
  }
  ~ListeningTickTest() override { UseSystemClock(); }

  static std::string StorePath() {
    return std::string(StoreDirectory(ThePlugin().settings()).c_str()) + "\\gen_tarnix.resume";
  }

  // Entry `index` becomes the playing one, paused at `ms`, and the check that follows the
  // change runs.
  void Enter(int index, int ms) {
    Player().SetPlaylistPosition(index);
    Player().Play();
    Player().Pause();
    if (ms > 0) Player().Seek(ms);
    TimerTick(ThePlugin());
  }
  // One playback check at `ms`; returns the interval it chose.
  int32_t LookAt(int ms) {
    Player().Seek(ms);
    return UpdateCurrentEntry(ThePlugin());
  }
  int LengthRequests() {
    return Log().Count([](const testhost::PlayerRequest& r) { return r.IsCode(kCodeOutputTime) && r.wParam == 1; });
  }
};

TEST_F(ListeningTickTest, ALongRecordingResumesFiveSecondsBeforeWhereItWasLeft) {
  const struct {
    int lengthMs, leftAtMs, startAtMs;
    bool resume;
    Strings jumps;
    const char* what;
  } cases[] = {
      {120 * kMinute, 47 * kMinute + 10000, 0, true, {"code106:2825000"}, "resumed"},
      {30 * kMinute, 29 * kMinute + 30000, 0, true, {}, "left in its last minute"},
      {19 * kMinute, 10 * kMinute, 0, true, {}, "too short to resume"},
      {120 * kMinute, 47 * kMinute + 10000, 10 * kMinute, true, {}, "started elsewhere"},
      {120 * kMinute, 47 * kMinute + 10000, 0, false, {}, "the option is off"},
  };
  for (const auto& c : cases) {
    ThePlugin().settings().resume = c.resume;
    const std::string path = std::string("C:\\Books\\") + c.what + ".mp3";
    Player().SetPlaylist({{path, c.what, c.lengthMs}, {"C:\\Books\\Other.mp3", "Other", 0}});
    Enter(0, c.leftAtMs);
    Enter(1, 0);
    ClearLog();
    Enter(0, c.startAtMs);
    EXPECT_EQ(Actions(), c.jumps) << c.what;
  }
}

TEST_F(ListeningTickTest, ALengthToldOnlyOnceTheFileIsOpenStillResumes) {
  Player().SetPlaylist({{kLong, "Long book", 120 * kMinute}, {"C:\\Books\\Other.mp3", "Other", 0}});
  Enter(0, 47 * kMinute + 10000);
  Enter(1, 0);
  Player().SetEntryLength(0, 0);
  ClearLog();
  Enter(0, 0);
  EXPECT_TRUE(Actions().empty());
  Player().SetEntryLength(0, 120 * kMinute);
  AdvanceListeningClock(listening::kFreshStartMs - 1);
  LookAt(listening::kFreshStartMs - 1);
  EXPECT_EQ(Actions(), Strings{"code106:2825000"});
}

TEST_F(ListeningTickTest, APlayingRecordingIsWrittenDownOnceAMinute) {
  Player().SetPlaylist({{kLong, "Long book", 120 * kMinute}});
  Enter(0, 10 * kMinute);
  AdvanceListeningClock(listening::kRememberEveryMs - 1);
  LookAt(11 * kMinute);
  EXPECT_FALSE(TempDir::Exists(StorePath()));
  AdvanceListeningClock(1);
  LookAt(12 * kMinute);
  EXPECT_NE(TempDir::Read(StorePath()).find("720000 " + kLong), std::string::npos);
}

TEST_F(ListeningTickTest, AStreamsLengthIsAskedFiveSecondsApartAtMostFourTimes) {
  Player().SetPlaylist({{"C:\\Radio\\stream.mp3", "Stream", 0}});
  Enter(0, 1000);
  ASSERT_EQ(LengthRequests(), 1);
  const struct {
    uint64_t advanceMs;
    int requests;
  } looks[] = {{4999, 1}, {1, 2}, {5000, 3}, {5000, 4}, {5000, 4}, {60000, 4}};
  for (const auto& look : looks) {
    AdvanceListeningClock(look.advanceMs);
    LookAt(listening::kFreshStartMs + 1000);  // past the start, where every look asks
    EXPECT_EQ(LengthRequests(), look.requests) << look.advanceMs;
  }
}

TEST_F(ListeningTickTest, StopAfterTheSubtrackComesAtItsBoundaryOrTheRecordingsEnd) {
  const struct {
    int lengthMs;
    std::vector<int32_t> times;
    int playingMs;     // where the stop is chosen
    bool cancelled;    // chosen twice
    int beforeMs;      // a look that must not stop
    int32_t interval;  // the interval that look chooses
    int atMs;          // the look that stops, unless cancelled
    const char* what;
  } cases[] = {
      {0, {3000, 6000}, 1000, false, 2980, 20, 2981, "the next subtrack is reached within the slack"},
      {0, {3000, 6000}, 1000, true, 2980, 20, 3500, "chosen again: cancelled"},
      {3000, {1000}, 1500, false, 2900, 90, 2981, "the last subtrack: aimed before the recording's end"},
      {0, {3000, 3000, 6000}, 1000, false, 2900, 100, 2985, "the next subtrack starts with the one after it"},
      {0, {3000, 3010, 6000}, 1000, false, 2900, 100, 3050, "a late look past a next subtrack 10 ms long"},
  };
  for (const auto& c : cases) {
    Player().SetPlaylist({{std::string("C:\\x\\") + c.what + ".mp3", "Stops", c.lengthMs}});
    Enter(0, c.playingMs);
    UseSingleTrack("Stops", c.times);
    LookAt(c.playingMs);
    ASSERT_TRUE(RunCommand(ThePlugin(), IDM_STOP_AFTER_SUBTRACK)) << c.what;
    if (c.cancelled) RunCommand(ThePlugin(), IDM_STOP_AFTER_SUBTRACK);
    ClearLog();
    EXPECT_EQ(LookAt(c.beforeMs), c.interval) << c.what;
    EXPECT_EQ(Actions(), Strings{}) << c.what;
    LookAt(c.atMs);
    EXPECT_EQ(Actions(), c.cancelled ? Strings{} : Strings{"cmd40047"}) << c.what;
  }
}

TEST_F(ListeningTickTest, MarkedSubtracksAreJumpedOverAndAMarkedEndAsksForTheNextEntryOnce) {
  Player().SetPlaylist({{"C:\\x\\k.mp3", "Skips", 0}});
  Enter(0, 1000);
  UseSingleTrack("Skips", {2000, 4000, 6000, 8000});  // Intro, two marked, Talk, a marked end
  for (size_t marked : {1, 2, 4}) List().tracks[0].subtracks[marked].skip = true;
  ClearLog();
  const struct {
    int ms;
    Strings actions;
  } looks[] = {
      {1000, {}}, {1990, {"code106:6000"}},              // within the slack of the first marked subtrack
      {7000, {}}, {8000, {"cmd40048"}},     {8500, {}},  // the player stayed on its last entry: asked once only
  };
  for (const auto& look : looks) {
    LookAt(look.ms);
    EXPECT_EQ(Actions(), look.actions) << look.ms;
    ClearLog();
  }
}

}  // namespace
}  // namespace tarnix::test
