// Loading a plug-in DLL through its descriptor, as the player does. Each test loads the DLL in a
// process of its own (ctest runs this program once per test).

#include "host/player_codes.h"
#include "testhost/player_directory.h"
#include "testhost/plugin_loader.h"
#include "testhost/probe_window.h"
#include "testhost/pump.h"
#include "testhost/stand_in_player.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnix::testhost {
namespace {

class PluginLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(directory_.Ok());
    dll_ = directory_.InstallPlugin(ProgramDirectory() + "\\gen_fake.dll");
    ASSERT_FALSE(dll_.empty());
    player_.SetPlaylist({{"C:\\Music\\first.mp3", "First", 0}, {"C:\\Music\\second.mp3", "Second", 0}});
    player_.SetPlaylistPosition(1);
  }

  std::string WindowTitle() {
    HWND window = FindOwnWindow("TarnixFakePlugin");
    if (window == nullptr) return {};
    char text[MAX_PATH] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
  }

  PlayerDirectory directory_;
  std::string dll_;
  StandInPlayer player_;
};

TEST_F(PluginLoadTest, InitTalksToThePlayerAndQuitReturns) {
  PluginLoader loader(dll_);
  ASSERT_TRUE(loader.Ok()) << loader.Error();
  loader.Attach(player_.Window());
  EXPECT_EQ(loader.Descriptor()->hwndParent, player_.Window());
  EXPECT_EQ(loader.Descriptor()->hDllInstance, loader.Module());
  EXPECT_EQ(loader.Init(), 0);
  ASSERT_TRUE(PumpUntil([&] { return WindowTitle() == "C:\\Music\\second.mp3"; }, 10000));
  const auto log = player_.Log().Snapshot();
  ASSERT_GE(log.size(), 2u);
  EXPECT_TRUE(log[0].IsCode(kCodePlaylistPosition));
  EXPECT_TRUE(log[1].IsCode(kCodePlaylistFile));
  EXPECT_EQ(log[1].wParam, 1u);
  EXPECT_TRUE(log[1].sent);
  EXPECT_TRUE(loader.Quit(15000));
  EXPECT_EQ(FindOwnWindow("TarnixFakePlugin"), nullptr);
}

TEST_F(PluginLoadTest, QuitWhileThePluginWaitsForThePlayerDoesNotDeadlock) {
  // config makes the plug-in ask without pause, so quit finds it inside a send that the blocked
  // player cannot answer: the send must give up on the queued quit message.
  PluginLoader loader(dll_);
  ASSERT_TRUE(loader.Ok()) << loader.Error();
  loader.Attach(player_.Window());
  ASSERT_EQ(loader.Init(), 0);
  loader.Config();
  ASSERT_TRUE(PumpUntil([&] { return player_.Log().CountCode(kCodeOutputTime) >= 20; }, 10000));
  // Stop answering and wait, without pumping, until the plug-in's next send is waiting in this
  // thread's queue: quit then meets that send for certain.
  const auto start = SteadyMs();
  while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) && SteadyMs() - start < 10000) Sleep(1);
  ASSERT_TRUE(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) << "the plug-in never sent";
  EXPECT_TRUE(loader.Quit(15000));
}

TEST(PluginLoaderTest, MissingDllOrExportIsReported) {
  PluginLoader missing("C:\\no\\such\\plugin.dll");
  EXPECT_FALSE(missing.Ok());
  EXPECT_FALSE(missing.Error().empty());
  EXPECT_EQ(missing.Init(), -1);
  EXPECT_TRUE(missing.Quit(1000));
  PluginLoader noExport("kernel32.dll");
  EXPECT_FALSE(noExport.Ok());
  EXPECT_NE(noExport.Error().find("winampGetGeneralPurposePlugin"), std::string::npos);
}

}  // namespace
}  // namespace tarnix::testhost
