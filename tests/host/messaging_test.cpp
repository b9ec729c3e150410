// Guarded sends and message waits against a stand-in player on a thread of its own.

#include "host/messaging.h"
#include "host/player_codes.h"
#include "testhost/player_thread.h"
#include "testhost/probe_window.h"
#include "testhost/pump.h"
#include "tests/support/ui_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tarnix {
namespace {

using testhost::PlaylistEntry;
using testhost::ProbeWindow;
using testhost::StandInPlayerThread;
using testhost::SteadyMs;

constexpr UINT kProbeMessage = WM_APP + 7;

// Joins a helper thread however the test leaves its scope.
class Joined {
 public:
  explicit Joined(std::thread& thread) : thread_(thread) {}
  ~Joined() {
    if (thread_.joinable()) thread_.join();
  }
  Joined(const Joined&) = delete;
  Joined& operator=(const Joined&) = delete;

 private:
  std::thread& thread_;
};

// Removes whatever the test left in the calling thread's queue.
void DrainQueue() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
}

class GuardedSendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DrainQueue();
    player_.Player().SetPlaylist({{"C:\\a.mp3", "A", 0}, {"C:\\b.mp3", "B", 0}, {"C:\\c.mp3", "C", 0}});
  }
  void TearDown() override { DrainQueue(); }

  HWND Player() { return player_.Window(); }
  StandInPlayerThread player_;
};

TEST_F(GuardedSendTest, AnswerOnTheThirdAttemptIsReturned) {
  player_.Player().SetSlowAnswers(2);
  LRESULT result = -1;
  EXPECT_NO_THROW(result = SendToPlayer(Player(), kPlayerRequest, 0, kCodePlaylistLength));
  EXPECT_EQ(result, 3);
  // Timed-out attempts are still delivered to the player: three arrivals, the third answered.
  EXPECT_EQ(player_.Player().Log().CountCode(kCodePlaylistLength), 3);
}

TEST_F(GuardedSendTest, QuitQueuedBeforeTheFirstAttemptFailsAbortsAfterIt) {
  player_.Player().SetSlowAnswers(1);
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), UM_QUIT, 0, 0));
  EXPECT_THROW(SendToPlayer(Player(), kPlayerRequest, 0, kCodeIsPlaying), SendMsgQuit);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, UM_QUIT, UM_QUIT, PM_REMOVE)) << "quit was consumed";
  // A plain send is answered after every attempt that reached the player.
  SendMessageA(Player(), kPlayerRequest, 0, kCodePlaylistLength);
  EXPECT_EQ(player_.Player().Log().CountCode(kCodeIsPlaying), 1) << "not exactly one attempt was made";
}

TEST_F(GuardedSendTest, QuitPostedToAWindowOfTheThreadCountsToo) {
  ProbeWindow window([](UINT, WPARAM, LPARAM, LRESULT&) { return false; });
  player_.Player().SetSilent(true);
  ASSERT_TRUE(PostMessageA(window.Window(), UM_QUIT, 0, 0));
  const detail::GuardedSendLimits limits{100, 5};
  EXPECT_THROW(detail::SendMessageGuarded(limits, Player(), kPlayerRequest, 0, kCodeIsPlaying, UM_QUIT), SendMsgQuit);
  EXPECT_TRUE(PeekOne(nullptr, window.Window(), UM_QUIT, true));
  player_.Player().SetSilent(false);
}

TEST_F(GuardedSendTest, OnlyTheGivenQuitMessageAborts) {
  player_.Player().SetSilent(true);
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), UM_QUIT, 0, 0));
  const detail::GuardedSendLimits limits{100, 3};
  EXPECT_THROW(detail::SendMessageGuarded(limits, Player(), kPlayerRequest, 0, kCodeIsPlaying, UM_QUIT + 1),
               SendMsgTimeout);
  player_.Player().SetSilent(false);
}

TEST_F(GuardedSendTest, AnInvalidWindowFailsAsTimeoutWithoutWaiting) {
  const auto start = SteadyMs();
  EXPECT_THROW(
      SendToPlayer(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7ffe1234)), kPlayerRequest, 0, kCodeIsPlaying),
      SendMsgTimeout);
  EXPECT_THROW(SendToPlayer(nullptr, kPlayerRequest, 0, kCodeIsPlaying), SendMsgException);
  EXPECT_LT(SteadyMs() - start, 5000);
}

TEST_F(GuardedSendTest, SentMessagesWaitUntilTheAttemptEnds) {
  // While an attempt blocks (SMTO_BLOCK), a message another thread sends to our window is held;
  // the look for the quit message between attempts handles it. Its handler ends the player's
  // silence: handled during the first attempt, that attempt would be answered and be the only one.
  ProbeWindow window([&](UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != kProbeMessage) return false;
    player_.Player().SetSilent(false);
    result = 77;
    return true;
  });
  player_.Player().SetSilent(true);
  std::atomic<DWORD_PTR> reply{0};
  std::thread sender([&] {
    // Sent once the first attempt reached the silent player, which holds it.
    DWORD_PTR result = 0;
    if (testsupport::WaitUntil([&] { return player_.Player().Log().CountCode(kCodePlaylistLength) > 0; }, 10000) &&
        SendMessageTimeoutA(window.Window(), kProbeMessage, 0, 0, SMTO_NORMAL, 30000, &result))
      reply = result;
  });
  Joined joinSender(sender);
  EXPECT_EQ(SendToPlayer(Player(), kPlayerRequest, 0, kCodePlaylistLength), 3);
  sender.join();
  EXPECT_EQ(reply.load(), 77u);
  EXPECT_EQ(player_.Player().Log().CountCode(kCodePlaylistLength), 2);
}

TEST_F(GuardedSendTest, PointerResultsKeepTheirFullWidth) {
  const LRESULT path = SendToPlayer(Player(), kPlayerRequest, 1, kCodePlaylistFile);
  ASSERT_NE(path, 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(path), "C:\\b.mp3");
}

// PeekOne and the waits on the calling thread's own queue.
class MessageWaitTest : public ::testing::Test {
 protected:
  void SetUp() override { DrainQueue(); }
  void TearDown() override { DrainQueue(); }

 public:
  ProbeWindow window_{[](UINT, WPARAM, LPARAM, LRESULT&) { return false; }};
  ProbeWindow other_{[](UINT, WPARAM, LPARAM, LRESULT&) { return false; }};
};

TEST_F(MessageWaitTest, PeekOneMatchesExactlyItsIdAndWindow) {
  struct Case {
    const char* name;
    bool toThread;  // posted as a thread message rather than to window_
    UINT posted;
    HWND (*filter)(MessageWaitTest&);
    UINT looked;
    bool expected;
  };
  auto mine = [](MessageWaitTest& t) { return t.window_.Window(); };
  auto other = [](MessageWaitTest& t) { return t.other_.Window(); };
  auto any = [](MessageWaitTest&) -> HWND { return nullptr; };
  const Case cases[] = {
      {"own window", false, UM_SHOW_WINDOW, mine, UM_SHOW_WINDOW, true},
      {"any window", false, UM_SHOW_WINDOW, any, UM_SHOW_WINDOW, true},
      {"thread message, any window", true, UM_QUIT, any, UM_QUIT, true},
      {"thread message, a window", true, UM_QUIT, mine, UM_QUIT, false},
      {"other window", false, UM_SHOW_WINDOW, other, UM_SHOW_WINDOW, false},
      {"neighbouring id", false, UM_SHOW_WINDOW, mine, UM_HIDE_WINDOW, false},
      {"id 0 names nothing", false, UM_SHOW_WINDOW, any, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DrainQueue();
    if (c.toThread) {
      ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), c.posted, 5, 6));
    } else {
      ASSERT_TRUE(PostMessageA(window_.Window(), c.posted, 5, 6));
    }
    MSG msg{};
    EXPECT_EQ(PeekOne(&msg, c.filter(*this), c.looked, false), c.expected);
    // Without remove it stays; with remove it is taken into the buffer, once.
    EXPECT_EQ(PeekOne(&msg, c.filter(*this), c.looked, true), c.expected);
    if (c.expected) {
      EXPECT_EQ(msg.message, c.posted);
      EXPECT_EQ(msg.wParam, 5u);
      EXPECT_EQ(msg.lParam, 6);
    }
    EXPECT_FALSE(PeekOne(nullptr, c.filter(*this), c.looked, false));
  }
}

TEST_F(MessageWaitTest, ZeroTimeoutFindsAQueuedMessage) {
  ASSERT_TRUE(PostMessageA(window_.Window(), UM_SUBSONG_INFO, 1, 2));
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), UM_PLAY_SUBSONG, 3, 0));
  MSG msg{};
  EXPECT_TRUE(WaitForMessage(&msg, window_.Window(), UM_SUBSONG_INFO, 0));
  EXPECT_EQ(msg.wParam, 1u);
  EXPECT_TRUE(WaitForMessage(&msg, nullptr, UM_PLAY_SUBSONG, 0));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_FALSE(WaitForMessage(&msg, nullptr, UM_PLAY_SUBSONG, 0));
}

TEST_F(MessageWaitTest, RangeTakesTheFirstMatchAndLeavesTheRest) {
  ASSERT_TRUE(PostMessageA(window_.Window(), UM_SHOW_WINDOW, 0, 0));
  ASSERT_TRUE(PostMessageA(window_.Window(), UM_SUBSONG_CHANGED, 4, 0));
  MSG msg{};
  EXPECT_TRUE(WaitForMessageRange(&msg, window_.Window(), UM_SUBSONG_INFO, UM_SET_TRACK_NAME, 0));
  EXPECT_EQ(msg.message, UM_SUBSONG_CHANGED);
  EXPECT_TRUE(PeekOne(nullptr, window_.Window(), UM_SHOW_WINDOW, false));
}

TEST_F(MessageWaitTest, EmptyRangesGiveFalseAtOnce) {
  ASSERT_TRUE(PostMessageA(window_.Window(), UM_SHOW_WINDOW, 0, 0));
  // Any one of these waits running its time-out would take longer than all three together may.
  constexpr int kTimeoutMs = 10000;
  const auto start = SteadyMs();
  EXPECT_FALSE(WaitForMessageRange(nullptr, window_.Window(), UM_HIDE_WINDOW, UM_SHOW_WINDOW, kTimeoutMs));
  EXPECT_FALSE(WaitForMessageRange(nullptr, window_.Window(), 0, 0, kTimeoutMs));
  EXPECT_FALSE(WaitForMessage(nullptr, nullptr, 0, kTimeoutMs));
  EXPECT_LT(SteadyMs() - start, kTimeoutMs);
  EXPECT_TRUE(PeekOne(nullptr, window_.Window(), UM_SHOW_WINDOW, false)) << "a bogus wait took a message";
}

TEST_F(MessageWaitTest, MessageThatNeverComesTimesOut) {
  const int timeouts[] = {0, 1, 49, 50, 130, 400};
  for (int timeout : timeouts) {
    SCOPED_TRACE(timeout);
    const auto start = SteadyMs();
    EXPECT_FALSE(WaitForMessage(nullptr, window_.Window(), UM_SUBSONG_INFO, timeout));
    const auto elapsed = SteadyMs() - start;
    EXPECT_GE(elapsed, timeout);
    EXPECT_LT(elapsed, timeout + 5000) << "the wait overran its time-out";
  }
}

TEST_F(MessageWaitTest, OtherInputWakesTheWaitButNeitherEndsNorIsTaken) {
  // Posted input and a timer wake the wait again and again; it keeps counting its own time and
  // leaves that input queued.
  const UINT_PTR timer = SetTimer(window_.Window(), 9, 10, nullptr);
  std::atomic<bool> stop{false};
  std::atomic<int> posted{0};
  std::thread poster([&] {
    while (!stop) {
      if (PostMessageA(other_.Window(), UM_HIDE_WINDOW, 0, 0)) ++posted;
      Sleep(5);
    }
  });
  Joined joinPoster(poster);
  const auto start = SteadyMs();
  EXPECT_FALSE(WaitForMessage(nullptr, window_.Window(), UM_SUBSONG_INFO, 300));
  const auto elapsed = SteadyMs() - start;
  stop = true;
  poster.join();
  KillTimer(window_.Window(), timer);
  // A wait that started its time-out again at every wake would not end while the poster runs.
  EXPECT_GE(elapsed, 300);
  EXPECT_LT(elapsed, 10000);
  ASSERT_GT(posted.load(), 10);
  int queued = 0;
  while (PeekOne(nullptr, other_.Window(), UM_HIDE_WINDOW, true)) ++queued;
  EXPECT_EQ(queued, posted.load());
}

TEST_F(MessageWaitTest, MessagePostedLaterEndsTheWait) {
  // This thread handles a sent message only inside the wait: once the send returns, the wait
  // runs, and the message it looks for is posted only then.
  std::thread poster([this] {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(other_.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    PostMessageA(window_.Window(), UM_SUBSONG_CHANGED, 2, 0);
  });
  Joined joinPoster(poster);
  MSG msg{};
  EXPECT_TRUE(WaitForMessage(&msg, window_.Window(), UM_SUBSONG_CHANGED, 5000));
  poster.join();
  EXPECT_EQ(msg.wParam, 2u);
}

TEST_F(MessageWaitTest, MessageSentByThePlayerThreadIsHandledWhileWaiting) {
  // The player's thread sends to our window during the wait; the handler answers at once and
  // posts the message the wait looks for, as the plug-in's window does with a subsong record.
  std::atomic<int> handled{0};
  ProbeWindow plugin([&](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != UM_SUBSONG_INFO) return false;
    ++handled;
    PostMessageA(window_.Window(), UM_SUBSONG_INFO, wParam, 0);
    result = 0;
    return true;
  });
  std::atomic<bool> sendOk{false};
  std::thread fromPlayer([&] {
    DWORD_PTR result = 1;
    sendOk =
        SendMessageTimeoutA(plugin.Window(), UM_SUBSONG_INFO, 42, 0, SMTO_BLOCK, 5000, &result) != 0 && result == 0;
  });
  Joined joinFromplayer(fromPlayer);
  MSG msg{};
  EXPECT_TRUE(WaitForMessage(&msg, window_.Window(), UM_SUBSONG_INFO, 5000));
  fromPlayer.join();
  EXPECT_TRUE(sendOk.load());
  EXPECT_EQ(handled.load(), 1);
  EXPECT_EQ(msg.wParam, 42u);
}

}  // namespace
}  // namespace tarnix
