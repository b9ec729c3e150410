// The stand-in player: its clock, seeking, end of file, request log and slow and silent modes.

#include "testhost/stand_in_player.h"
#include "host/messaging.h"
#include "host/player_codes.h"
#include "testhost/player_thread.h"
#include "testhost/probe_window.h"
#include "testhost/pump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace tarnix::testhost {
namespace {

LRESULT Ask(HWND player, LPARAM code, WPARAM wParam = 0) { return SendMessageA(player, kPlayerRequest, wParam, code); }

class StandInPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    player_.SetPlaylist({{"C:\\a.mp3", "A", 300}, {"C:\\b.mp3", "B", 5000}, {"C:\\c.mp3", "C", 0}});
  }
  StandInPlayer player_;
};

TEST_F(StandInPlayerTest, ClockAdvancesWhilePlayingOnly) {
  EXPECT_EQ(Ask(player_.Window(), kCodeIsPlaying), 0);
  EXPECT_EQ(Ask(player_.Window(), kCodeOutputTime), -1);
  player_.SetPlaylistPosition(1);
  player_.Play();
  EXPECT_EQ(Ask(player_.Window(), kCodeIsPlaying), 1);
  PumpFor(200);
  const int played = player_.PositionMs();
  EXPECT_GE(played, 200);
  EXPECT_LT(played, 2000);
  player_.Pause();
  EXPECT_EQ(Ask(player_.Window(), kCodeIsPlaying), 3);
  const int paused = player_.PositionMs();
  PumpFor(100);
  EXPECT_EQ(player_.PositionMs(), paused);
  player_.Pause();
  PumpFor(50);
  EXPECT_GT(player_.PositionMs(), paused);
  SendMessageA(player_.Window(), WM_COMMAND, kCmdStop, 0);
  EXPECT_EQ(player_.State(), PlayState::kStopped);
  EXPECT_EQ(Ask(player_.Window(), kCodeOutputTime), -1);
}

TEST_F(StandInPlayerTest, SeekMovesTheClockAndIsIgnoredWhileStopped) {
  EXPECT_EQ(Ask(player_.Window(), kCodeJumpToTime, 1000), -1);
  player_.SetPlaylistPosition(1);
  SendMessageA(player_.Window(), WM_COMMAND, kCmdPlay, 0);
  EXPECT_EQ(Ask(player_.Window(), kCodeJumpToTime, 2500), 0);
  const int at = static_cast<int>(Ask(player_.Window(), kCodeOutputTime));
  EXPECT_GE(at, 2500);
  EXPECT_LT(at, 3500);
  player_.Seek(-40);
  EXPECT_LT(player_.PositionMs(), 1000);
  EXPECT_GE(player_.PositionMs(), 0);
  EXPECT_EQ(Ask(player_.Window(), kCodeOutputTime, 1), 5) << "length in seconds";
}

TEST_F(StandInPlayerTest, EndOfFileStopsOrAdvances) {
  struct Case {
    EndOfFileAction action;
    bool sent;
    PlayState after;
    int position;
  };
  const Case cases[] = {
      {EndOfFileAction::kStop, false, PlayState::kStopped, 0},
      {EndOfFileAction::kAdvance, false, PlayState::kPlaying, 1},
      {EndOfFileAction::kAdvance, true, PlayState::kPlaying, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.action) * 2 + c.sent);
    player_.SetPlaylistPosition(0);
    player_.Log().Clear();
    player_.SetEndOfFileAction(c.action);
    player_.SetEndOfFileSent(c.sent);
    const int before = player_.EndOfFileCount();
    player_.Play();
    ASSERT_TRUE(PumpUntil([&] { return player_.EndOfFileCount() > before; }, 5000));
    EXPECT_EQ(player_.EndOfFileCount(), before + 1);
    EXPECT_EQ(player_.State(), c.after);
    EXPECT_EQ(player_.PlaylistPosition(), c.position);
    const auto log = player_.Log().Snapshot();
    ASSERT_EQ(player_.Log().CountMessage(kMsgEndOfFile), 1);
    for (const auto& r : log) {
      if (r.message == kMsgEndOfFile) {
        EXPECT_FALSE(r.sent) << "came from another thread";
      }
    }
    player_.Stop();
  }
}

TEST_F(StandInPlayerTest, SeekPastTheEndEndsTheFile) {
  player_.SetPlaylistPosition(1);
  player_.Play();
  EXPECT_EQ(Ask(player_.Window(), kCodeJumpToTime, 9000), 1);
  ASSERT_TRUE(PumpUntil([&] { return player_.EndOfFileCount() == 1; }, 2000));
  EXPECT_EQ(player_.State(), PlayState::kStopped);
}

TEST_F(StandInPlayerTest, EntryWithoutLengthNeverEnds) {
  player_.SetPlaylistPosition(2);
  player_.Play();
  player_.Seek(100000000);
  PumpFor(100);
  EXPECT_EQ(player_.EndOfFileCount(), 0);
  EXPECT_GE(player_.PositionMs(), 100000000);
}

// What a hook on the player's thread sees of the playing-file notices.
std::vector<std::wstring> g_notices;

LRESULT CALLBACK NoticeHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_USER) {
    if (sent->lParam == kNoticePlayingFile) {
      const char* path = reinterpret_cast<const char*>(sent->wParam);
      g_notices.push_back(L"A:" + std::wstring(path, path + std::strlen(path)));
    } else if (sent->lParam == kNoticePlayingFileW) {
      g_notices.push_back(L"W:" + std::wstring(reinterpret_cast<const wchar_t*>(sent->wParam)));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(StandInPlayerTest, StartedEntriesSendBothPlayingFileNotices) {
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, NoticeHook, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  g_notices.clear();
  player_.Play();                                        // from the player's own thread: sent at once
  SendMessageA(player_.Window(), WM_COMMAND, 40048, 0);  // next entry while playing
  EXPECT_EQ(g_notices, (std::vector<std::wstring>{L"A:C:\\a.mp3", L"W:C:\\a.mp3", L"A:C:\\b.mp3", L"W:C:\\b.mp3"}));
  std::thread([&] { player_.Play(); }).join();  // from another thread: the player's thread sends
  PumpUntil([&] { return g_notices.size() >= 6; }, 3000);
  EXPECT_EQ(g_notices.size(), 6u);
  player_.SetPlayingNotices(false);
  player_.Play();
  player_.Stop();
  SendMessageA(player_.Window(), WM_COMMAND, 40045, 0);
  PumpFor(50);
  EXPECT_EQ(g_notices.size(), 6u) << "notices switched off";
  EXPECT_EQ(player_.PlayingNoticeCount(), 6);
  EXPECT_EQ(player_.Log().CountCode(kNoticePlayingFile), 0) << "notices are no requests";
  UnhookWindowsHookEx(hook);
}

TEST_F(StandInPlayerTest, LogRecordsRequestsInOrderWithTimes) {
  const auto start = SteadyMs();
  Ask(player_.Window(), kCodePlaylistLength);
  PostMessageA(player_.Window(), WM_KEYDOWN, VK_NEXT, 1);  // no character to translate
  PostMessageA(player_.Window(), WM_SYSKEYDOWN, VK_F4, 1 << 29);
  PumpFor(50);
  SendMessageA(player_.Window(), WM_COMMAND, kCmdClosePlayer, 0);
  SendMessageA(player_.Window(), WM_USER + 77, 0, 0);  // not a request: ignored by the log
  const auto log = player_.Log().Snapshot();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_TRUE(log[0].IsCode(kCodePlaylistLength));
  EXPECT_EQ(log[1].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(log[1].wParam, static_cast<WPARAM>(VK_NEXT));
  EXPECT_EQ(log[2].message, static_cast<UINT>(WM_SYSKEYDOWN));
  EXPECT_TRUE(log[3].IsCommand(kCmdClosePlayer));
  for (size_t i = 0; i < log.size(); ++i) {
    EXPECT_GE(log[i].timeMs, start);
    if (i > 0) {
      EXPECT_GE(log[i].timeMs, log[i - 1].timeMs);
    }
  }
  EXPECT_TRUE(player_.CloseRequested());
  EXPECT_TRUE(IsWindow(player_.Window())) << "Alt+F4 or 40001 closed the player";
}

TEST(StandInPlayerModes, SlowAndSilentPlayers) {
  StandInPlayerThread host;
  host.Player().SetPlaylist({{"C:\\a.mp3", "A", 0}});
  DWORD_PTR result = 0;
  host.Player().SetReplyDelay(300);
  auto start = SteadyMs();
  EXPECT_TRUE(SendMessageTimeoutA(host.Window(), kPlayerRequest, 0, kCodePlaylistLength, SMTO_BLOCK, 5000, &result));
  EXPECT_EQ(result, 1u);
  EXPECT_GE(SteadyMs() - start, 300);
  host.Player().SetReplyDelay(0);

  host.Player().SetSilent(true);
  start = SteadyMs();
  EXPECT_FALSE(SendMessageTimeoutA(host.Window(), kPlayerRequest, 0, kCodePlaylistLength, SMTO_BLOCK, 300, &result));
  EXPECT_GE(SteadyMs() - start, 290);
  host.Player().SetSilent(false);
  EXPECT_TRUE(SendMessageTimeoutA(host.Window(), kPlayerRequest, 0, kCodePlaylistLength, SMTO_BLOCK, 5000, &result));

  host.Player().SetSlowAnswers(1);
  EXPECT_FALSE(SendMessageTimeoutA(host.Window(), kPlayerRequest, 0, kCodePlaylistLength, SMTO_BLOCK,
                                   kGuardedSendAttemptMs, &result));
  EXPECT_TRUE(SendMessageTimeoutA(host.Window(), kPlayerRequest, 0, kCodePlaylistLength, SMTO_BLOCK, 5000, &result))
      << "only the first answer was slow";
}

}  // namespace
}  // namespace tarnix::testhost
