// The listening features through the real plug-in, seen in the player's log: a long recording
// resumed also after the plug-in restarted, and the subtrack commands stepping over marked
// subtracks. The rules at each playback check are tested in-process with a set clock
// (tests/listening_playback).

#include <gtest/gtest.h>

#include <string>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "testhost/request_log.h"
#include "tests/plugin/plugin_test.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

using testhost::PlayerRequest;
using testhost::PlayState;

constexpr int kMinute = 60000;
const std::string kLong = "C:\\Books\\Long book.mp3";
const std::string kOther = "C:\\Books\\Other.mp3";

int CountAfter(PluginSession& h, std::int64_t since, const std::function<bool(const PlayerRequest&)>& match) {
  return h.Player().Log().Count([&](const PlayerRequest& r) { return r.timeMs >= since && match(r); });
}

// Waits until the plug-in asked for the position `count` times after now. A look already under way
// may be the first, so a look that began after now and ended is certain only at the third.
bool WaitForLooks(PluginSession& h, int count) {
  const std::int64_t since = testhost::SteadyMs();
  return h.PumpUntil(
      [&] {
        return CountAfter(h, since,
                          [](const PlayerRequest& r) { return r.IsCode(kCodeOutputTime) && r.wParam == 0; }) >= count;
      },
      5000);
}

bool WaitForTwoLooks(PluginSession& h) { return WaitForLooks(h, 2); }

// Plays entry `index` from its start (or from `atMs`), in one step as far as the plug-in sees.
void PlayEntry(PluginSession& h, int index, int atMs = -1) {
  h.Player().SetPlaylistPosition(index);
  h.Player().Play();
  if (atMs >= 0) h.Player().Seek(atMs);
}

// The long recording is left paused at `leftAtMs`, another entry plays, and it starts again
// (at `startAtMs`, -1 from its start): the jumps the plug-in asked for after that.
std::vector<WPARAM> JumpsOnReturn(PluginSession& h, int lengthMs, int leftAtMs, int startAtMs) {
  std::vector<WPARAM> jumps;
  h.Player().SetPlaylist({{kLong, "Long book", lengthMs}, {kOther, "Other", 0}});
  if (!h.Start()) return jumps;
  PlayEntry(h, 0);
  h.Player().Pause();
  h.Player().Seek(leftAtMs);  // paused: the position stays exactly there
  EXPECT_TRUE(WaitForTwoLooks(h));
  PlayEntry(h, 1);
  EXPECT_TRUE(WaitForTwoLooks(h));
  const std::int64_t back = testhost::SteadyMs();
  PlayEntry(h, 0, startAtMs);
  EXPECT_TRUE(WaitForLooks(h, 3));
  for (const PlayerRequest& r : h.Player().Log().Snapshot()) {
    if (r.timeMs >= back && r.IsCode(kCodeJumpToTime)) jumps.push_back(r.wParam);
  }
  return jumps;
}

TEST(Resume, LongRecordingResumesFiveSecondsBeforeWhereItWasLeftAlsoAfterARestart) {
  PluginSession h;
  const std::vector<WPARAM> jumps = JumpsOnReturn(h, 120 * kMinute, 47 * kMinute + 10000, -1);
  ASSERT_EQ(jumps.size(), 1u);
  EXPECT_EQ(jumps[0], static_cast<WPARAM>(47 * kMinute + 5000));

  // Left again at 47:10 and the plug-in quits; the next plug-in resumes it.
  // Paused first: a seek while playing runs on at once, and the left position must be exact.
  h.Player().Pause();
  h.Player().Seek(47 * kMinute + 10000);
  ASSERT_TRUE(WaitForTwoLooks(h));
  ASSERT_TRUE(h.Stop());
  EXPECT_TRUE(h.Dir().ReadFile("Plugins\\gen_tarnix.resume").value_or("").find("2830000 " + kLong) !=
              std::string::npos);
  h.Player().Stop();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(WaitForTwoLooks(h));
  const std::int64_t started = testhost::SteadyMs();
  h.Player().Play();
  EXPECT_TRUE(h.PumpUntil(
      [&] {
        return CountAfter(h, started, [](const PlayerRequest& r) {
                 return r.IsCode(kCodeJumpToTime) && r.wParam == static_cast<WPARAM>(47 * kMinute + 5000);
               }) == 1;
      },
      5000));
  EXPECT_TRUE(h.Stop());
}

// Intro, two marked in a row, Talk, and a marked last subtrack; the marks as the file keeps them.
const std::string kMarked =
    "[Skip  ] 01:00:02:00\r\n[Skip  ] 01:00:04:00\r\n[Skip  ] 01:00:08:00\r\n"
    "01:00:00:00*Intro\r\n01:00:02:00 Ad\r\n01:00:04:00 Ad again\r\n01:00:06:00 Talk\r\n01:00:08:00 Outro\r\n";

TEST(Skip, NextAndPreviousStepOverMarkedSubtracks) {
  PluginSession h;
  ASSERT_TRUE(h.WriteBookmark("k.trk", TrackFile("Skips", kMarked)));
  h.Player().SetPlaylist({{"C:\\x\\k.mp3", "Skips", 0}});
  ASSERT_TRUE(h.Start());
  h.Player().Play();
  h.Player().Pause();
  ASSERT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 0); }, 3000));
  ASSERT_TRUE(h.Command(IDM_NEXT_SUBTRACK));
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 3); }, 3000));
  EXPECT_EQ(h.Player().PositionMs(), 6000);
  ASSERT_TRUE(h.Command(IDM_NEXT_SUBTRACK));  // only the marked last one follows
  ASSERT_TRUE(h.Command(IDM_PREVIOUS_SUBTRACK));
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 0); }, 3000));
  EXPECT_EQ(h.Player().PositionMs(), 0);
  EXPECT_EQ(h.Player().Log().CountCode(kCodeJumpToTime), 2);
  EXPECT_TRUE(h.Stop());
}

}  // namespace
}  // namespace tarnix::test
