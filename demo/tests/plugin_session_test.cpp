#include "demo/plugin_settings.h"
#include "demo/sample_media.h"
#include "demo/sample_setup.h"

#include "testhost/pump.h"
#include "tracklist/msf.h"

#include <gtest/gtest.h>

namespace tarnix::demo {
namespace {

TEST(PluginSessionTest, MissingDllIsReported) {
  PluginSession session({}, kDemoPlayer);
  std::string error;
  EXPECT_FALSE(StartPlugin(session, "Z:\\no\\such\\gen_tarnix.dll", PluginSettings{}, &error));
  EXPECT_NE(error.find("could not copy"), std::string::npos) << error;
  EXPECT_FALSE(session.Running());
  EXPECT_FALSE(session.CurrentKey().has_value());
  EXPECT_FALSE(session.Command(kCmdNextSubtrack));
}

TEST(PluginSessionTest, PluginWithoutItsWindowIsReportedAndQuit) {
  PluginSession session({}, kDemoPlayer);
  std::string error;
  EXPECT_FALSE(StartPlugin(session, TARNIX_FAKE_PLUGIN, PluginSettings{}, &error, 1500));
  EXPECT_NE(error.find("TarnixPluginWindow"), std::string::npos) << error;
  EXPECT_FALSE(session.Running()) << "quit was called on the way out";
}

// The real plug-in: its settings reach it, it finds the stored list, answers its key queries,
// and follows its own next-subtrack command.
TEST(PluginSessionTest, RealPluginFollowsTheConcertAndItsCommands) {
  PluginSession session({}, kDemoPlayer);
  std::vector<testhost::PlaylistEntry> playlist;
  std::string error;
  ASSERT_TRUE(LayOutSampleMedia(session.Dir(), &playlist, &error)) << error;
  session.Player().SetPlaylist(playlist);
  PluginSettings settings;
  settings.x = 40;
  settings.y = 300;
  ASSERT_TRUE(StartPlugin(session, TARNIX_PLUGIN_DLL, settings, &error)) << error;
  ASSERT_NE(session.Window(), nullptr);
  EXPECT_NE(session.UiThreadId(), GetCurrentThreadId());
  RECT r{};
  ASSERT_TRUE(GetWindowRect(session.Window(), &r));
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 300);
  EXPECT_EQ(r.bottom - r.top, settings.height);

  session.Player().Play();
  const ItemId last = MakeItemId(1, ConcertList().tracks[0].Count() - 1);
  EXPECT_TRUE(testhost::PumpUntil([&] { return session.LastKey() == last; }, 5000));
  EXPECT_TRUE(testhost::PumpUntil([&] { return session.CurrentKey() == MakeItemId(1, 0); }, 3000));

  ASSERT_TRUE(session.Command(kCmdNextSubtrack));
  EXPECT_TRUE(testhost::PumpUntil([&] { return session.CurrentKey() == MakeItemId(1, 1); }, 3000));
  const int overture = TimeFromMsf(7, 40, 0);
  const int position = session.Player().PositionMs();
  EXPECT_GE(position, overture);
  EXPECT_LT(position, overture + 3000);
  EXPECT_TRUE(session.Stop());
  EXPECT_FALSE(session.Running());
}

}  // namespace
}  // namespace tarnix::demo
