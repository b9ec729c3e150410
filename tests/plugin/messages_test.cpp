// The plug-in window's private messages and keys, and the hooks on the player's thread, driven
// from the test's thread, which plays the player's.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "host/player_codes.h"
#include "testhost/input.h"
#include "testhost/subsong_source.h"
#include "tests/plugin/plugin_test.h"
#include "tests/support/ui_driver.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

constexpr int kKey1 = MakeItemId(1, 0);  // track 1, start
const std::string kThreeSubtrackEntries = "01:00:00:00*Start\r\n01:00:10:00 Two\r\n01:00:20:00 Three\r\n";

// A playing file with a stored list of three subtracks far apart.
void StartWithStoredList(PluginSession& h, const std::string& extraIni = {}) {
  ASSERT_TRUE(h.WriteBookmark("concert.trk", TrackFile("Concert",
                                                       "01:00:00:00*Concert\r\n01:10:00:00 Second\r\n"
                                                       "01:20:00:00 Third\r\n")));
  h.Player().SetPlaylist({{"C:\\Music\\concert.mp3", "Concert", 0}});
  h.Player().Play();
  if (!extraIni.empty()) h.SetPluginIni("HotKey", extraIni);
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 2); }, 5000)) << "list not found";
}

TEST(Messages, KeyQueriesAnswerLastAndCurrentRow) {
  PluginSession h;
  StartWithStoredList(h);
  EXPECT_EQ(h.LastKey(), MakeItemId(1, 2));
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == kKey1; }, 3000));
  EXPECT_TRUE(h.Stop());
}

TEST(Messages, NextPreviousAndPlaySubsongJumpThePlayer) {
  PluginSession h;
  StartWithStoredList(h);
  ASSERT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == kKey1; }, 3000));
  PostMessageA(h.Window(), UM_NEXT_ENTRY, 0, 0);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().PositionMs() >= 10 * 60 * 1000; }, 3000));
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 1); }, 3000));
  PostMessageA(h.Window(), UM_PLAY_SUBSONG, 1, 0);  // key 2: subtrack 2 of the playing track
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().PositionMs() >= 20 * 60 * 1000; }, 3000));
  PostMessageA(h.Window(), UM_PREV_ENTRY, 0, 0);  // two seconds in? no: restart rule, then back
  ASSERT_TRUE(h.WaitForPostedMessages());
  EXPECT_GE(h.Player().Log().CountCode(kCodeJumpToTime), 3);
  EXPECT_TRUE(h.Stop());
}

TEST(Messages, ShowHideToggleAndFocus) {
  PluginSession h;
  StartWithStoredList(h);
  PostMessageA(h.Window(), UM_HIDE_WINDOW, 0, 0);
  EXPECT_TRUE(h.PumpUntil([&] { return !h.Visible(); }, 3000));
  PostMessageA(h.Window(), UM_SHOW_WINDOW, 0, 0);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Visible(); }, 3000));
  PostMessageA(h.Window(), UM_TOGGLE_WINDOW, 0, 0);
  EXPECT_TRUE(h.PumpUntil([&] { return !h.Visible(); }, 3000));
  PostMessageA(h.Window(), UM_TOGGLE_WINDOW, 0, 0);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Visible(); }, 3000));
  PostMessageA(h.Window(), UM_FOCUS_WINDOW, 0, 0);
  EXPECT_TRUE(h.PumpUntil([&] { return testsupport::ThreadFocus(h.UiThreadId()) == h.Window(); }, 3000));
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("Opened"), "1");
}

TEST(Messages, TimerOfAnotherIdIsIgnored) {
  PluginSession h;
  StartWithStoredList(h);
  h.Pump(600);
  PostMessageA(h.Window(), WM_TIMER, 7, 0);
  PostMessageA(h.Window(), WM_COMMAND, 12345, 0);  // not in the command table
  EXPECT_TRUE(h.WaitForPostedMessages()) << "the loop ended";
  EXPECT_TRUE(h.Stop());
}

TEST(Messages, SubsongAnnouncementNamesAndChange) {
  PluginSession h;
  h.Player().SetPlaylist({{"C:\\Music\\game.nsf", "Game music", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  testhost::SubsongSource source(h.Window());
  ASSERT_TRUE(source.Announce(4));
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(4, 0); }, 3000));
  // Index 3 then index 1 before the loop takes the first: only entries 0 and 1 are kept.
  ASSERT_TRUE(source.SetTrackName(3, "Fourth"));
  ASSERT_TRUE(source.SetTrackName(1, "Second"));
  // Indexes no row key can address, and a null name, change nothing.
  EXPECT_EQ(h.Query(UM_SET_TRACK_NAME, 0x7FFFFFFF, reinterpret_cast<LPARAM>("huge")), 0);
  EXPECT_EQ(h.Query(UM_SET_TRACK_NAME, 2, 0), 0);
  EXPECT_EQ(h.Query(UM_SUBSONG_INFO, 0, 0), 0);  // null record
  ASSERT_TRUE(source.SubsongChanged(2));
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(3, 0); }, 3000));
  EXPECT_EQ(h.LastKey(), MakeItemId(4, 0));
  // Announcing the file already shown keeps the list.
  ASSERT_TRUE(source.Announce(2));
  ASSERT_TRUE(h.WaitForPostedMessages());
  EXPECT_EQ(h.LastKey(), MakeItemId(4, 0));
  EXPECT_TRUE(h.Stop());
}

// A send from another process carries a pointer into that process, which may name memory this
// one cannot read. Here that memory is a guard page: reading it raises an exception (which Wine
// swallows in a window procedure) and clears the guard, so the page shows whether it was read.
TEST(Messages, SubsongPointersToUnreadableMemoryAreRefused) {
  PluginSession h;
  ASSERT_TRUE(h.Start());
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const size_t page = system.dwPageSize;
  // A readable page without a terminator, then the guard page.
  auto* block = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(block, nullptr);
  ASSERT_NE(VirtualAlloc(block, page, MEM_COMMIT, PAGE_READWRITE), nullptr);
  ASSERT_NE(VirtualAlloc(block + page, page, MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD), nullptr);
  std::memset(block, 'A', page);
  EXPECT_EQ(h.Query(UM_SUBSONG_INFO, reinterpret_cast<WPARAM>(block + page)), 0);
  EXPECT_EQ(h.Query(UM_SUBSONG_INFO, reinterpret_cast<WPARAM>(block + page - 8)), 0);  // runs on into it
  EXPECT_EQ(h.Query(UM_SET_TRACK_NAME, 0, reinterpret_cast<LPARAM>(block + page - 4)), 0);
  EXPECT_EQ(h.Query(UM_SET_TRACK_NAME, 1, reinterpret_cast<LPARAM>(block + page)), 0);
  MEMORY_BASIC_INFORMATION guard{};
  ASSERT_EQ(VirtualQuery(block + page, &guard, sizeof guard), sizeof guard);
  EXPECT_NE(guard.Protect & PAGE_GUARD, 0u) << "the plug-in read memory it may not read";
  EXPECT_TRUE(h.Stop());
  VirtualFree(block, 0, MEM_RELEASE);
}

TEST(Messages, SubsongSourceThatEndedIsNoProblem) {
  PluginSession h;
  h.Player().SetPlaylist({{"C:\\Music\\game.nsf", "Game music", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  {
    testhost::SubsongSource source(h.Window());
    ASSERT_TRUE(source.Announce(3));
    EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(3, 0); }, 3000));
  }  // the source's thread is gone; posting to it fails
  PostMessageA(h.Window(), UM_NEXT_ENTRY, 0, 0);
  PostMessageA(h.Window(), UM_NEXT_ENTRY, 0, 0);
  EXPECT_TRUE(h.WaitForPostedMessages()) << "the loop ended";
  EXPECT_TRUE(h.Stop(20000));
}

TEST(Messages, SubsongCountIsSignedAndBoundedBySavableTracks) {
  PluginSession h;
  h.Player().SetPlaylist({{"C:\\Music\\rec0.mp3", "Rec 0", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  testhost::SubsongSource source(h.Window());
  const struct {
    int announced;
    int32_t lastKey;
  } cases[] = {{-1, MakeItemId(1, 0)}, {0, MakeItemId(1, 0)}, {100000, MakeItemId(999, 0)}, {3, MakeItemId(3, 0)}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(cases[i].announced);
    // A stored list of three rows first, so that the subsong list's arrival is seen.
    const std::string n = std::to_string(i + 1);
    ASSERT_TRUE(h.WriteBookmark("rec" + n + ".trk", TrackFile("Rec " + n, kThreeSubtrackEntries)));
    h.Player().SetPlaylist({{"C:\\Music\\rec" + n + ".mp3", "Rec " + n, 0}});
    ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 2); }, 3000));
    // The same file as a subsong source's, under a title no stored list matches.
    h.Player().SetPlaylist({{"C:\\Music\\rec" + n + ".mp3", "Game " + n, 0}});
    ASSERT_TRUE(source.Announce(cases[i].announced));
    ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() != MakeItemId(1, 2); }, 3000));
    EXPECT_EQ(h.LastKey(), cases[i].lastKey);
  }
  EXPECT_TRUE(h.Stop());
}

// The track's own entry has no row (ini key set): in its intro no row plays, and "previous"
// with the restart rule goes to the start of the track.
void ExpectPreviousRestartsTheTrackInItsIntro(const char* key, const char* value) {
  PluginSession h;
  h.SetPluginIni(key, value);
  StartWithStoredList(h);  // rows: 10:00 and 20:00 only
  for (const bool ctrlLeft : {false, true}) {
    SCOPED_TRACE(ctrlLeft ? "Ctrl+Left" : "UM_PREV_ENTRY");
    h.Player().Seek(5000);
    const int jumps = h.Player().Log().CountCode(kCodeJumpToTime);
    if (ctrlLeft) {
      testsupport::SharedInput shared(h.UiThreadId());
      ASSERT_TRUE(shared.Ok());
      testsupport::HoldKey(VK_CONTROL, true);
      testhost::PostKey(h.Window(), VK_LEFT);
      EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountCode(kCodeJumpToTime) > jumps; }, 3000));
      testsupport::HoldKey(VK_CONTROL, false);
    } else {
      PostMessageA(h.Window(), UM_PREV_ENTRY, 0, 0);
      EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountCode(kCodeJumpToTime) > jumps; }, 3000));
    }
    EXPECT_LT(h.Player().PositionMs(), 5000);
  }
  EXPECT_TRUE(h.Stop());
}

TEST(Messages, PreviousInTheIntroRestartsTheTrackWhenTheTitleLineNamesIt) {
  ExpectPreviousRestartsTheTrackInItsIntro("TopTrack", "1");
}

TEST(Messages, PreviousInTheIntroRestartsTheTrackWhenTrackNamesAreHidden) {
  ExpectPreviousRestartsTheTrackInItsIntro("ShowTrack", "0");
}

TEST(Keys, UnusedKeysGoToThePlayerAndAltF4ClosesIt) {
  PluginSession h;
  StartWithStoredList(h);
  testhost::PostKey(h.Window(), 'X');
  testhost::PostKey(h.Window(), VK_F7, true);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountMessage(WM_KEYDOWN) >= 1; }, 3000));
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountMessage(WM_SYSKEYDOWN) >= 1; }, 3000));
  testhost::PostKey(h.Window(), VK_F4, true);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().CloseRequested(); }, 3000));
  EXPECT_TRUE(IsWindow(h.Window()));
  EXPECT_TRUE(h.Stop());
}

TEST(Keys, InsertAddsARowAndEOpensTheTrackDialog) {
  PluginSession h;
  StartWithStoredList(h);
  testhost::PostKey(h.Window(), VK_INSERT);
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 3); }, 3000)) << "Insert did not add a row";
  testhost::PostKey(h.Window(), 'E');
  EXPECT_TRUE(h.PumpUntil(
      [&] {
        // The inserted row is selected: its subtrack dialog; otherwise the track's.
        HWND track = testsupport::FindThreadWindow(h.UiThreadId(), "#32770", "Tarnix - Edit track");
        HWND subtrack = testsupport::FindThreadWindow(h.UiThreadId(), "#32770", "Edit subtrack");
        return (track && IsWindowVisible(track)) || (subtrack && IsWindowVisible(subtrack));
      },
      3000));
  EXPECT_EQ(h.Player().Log().CountMessage(WM_KEYDOWN), 0);
  // Nothing is asked when the plug-in ends: the changed list is kept aside for the next start.
  testsupport::MessageBoxAnswerer answerer(h.UiThreadId(), IDNO);
  EXPECT_TRUE(h.Stop());
  EXPECT_TRUE(answerer.Texts().empty());
}

TEST(Keys, CtrlKeysStepHideAndForwardTab) {
  PluginSession h;
  StartWithStoredList(h);
  testsupport::SharedInput shared(h.UiThreadId());
  ASSERT_TRUE(shared.Ok());
  testsupport::HoldKey(VK_CONTROL, true);
  testhost::PostKey(h.Window(), VK_RIGHT);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().PositionMs() >= 10 * 60 * 1000; }, 3000));
  testhost::PostKey(h.Window(), VK_TAB);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountCommand(kCmdCycleWindows) >= 1; }, 3000));
  testhost::PostKey(h.Window(), VK_F4);
  EXPECT_TRUE(h.PumpUntil([&] { return !h.Visible(); }, 3000));
  testsupport::HoldKey(VK_CONTROL, false);
  EXPECT_EQ(h.Player().Log().CountMessage(WM_KEYDOWN), 0);
  EXPECT_TRUE(h.Stop());
}

TEST(Hooks, HotKeyWithoutAltTogglesTheWindow) {
  PluginSession h;
  StartWithStoredList(h, "65");  // 'A'
  ASSERT_TRUE(h.Visible());
  PostMessageA(h.Player().Window(), WM_KEYDOWN, 'A', testhost::KeyLParam('A', false, false));
  EXPECT_TRUE(h.PumpUntil([&] { return !h.Visible(); }, 3000));
  PostMessageA(h.Player().Window(), WM_KEYDOWN, 'A', testhost::KeyLParam('A', false, false));
  EXPECT_TRUE(h.PumpUntil([&] { return h.Visible(); }, 3000));
  EXPECT_TRUE(h.Stop());
}

TEST(Hooks, HotKeyWithAltNeedsAlt) {
  PluginSession h;
  StartWithStoredList(h, "1089");  // Alt+A
  PostMessageA(h.Player().Window(), WM_KEYDOWN, 'A', testhost::KeyLParam('A', false, false));
  // The hook has seen the key once the player's window has it; the barrier covers what it posted.
  ASSERT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountMessage(WM_KEYDOWN) > 0; }, 3000));
  ASSERT_TRUE(h.WaitForPostedMessages());
  EXPECT_TRUE(h.Visible());
  PostMessageA(h.Player().Window(), WM_SYSKEYDOWN, 'A', testhost::KeyLParam('A', false, true));
  EXPECT_TRUE(h.PumpUntil([&] { return !h.Visible(); }, 3000));
  EXPECT_TRUE(h.Stop());
}

TEST(Hooks, F5ReloadsTheSkinAndShowingThePlayerShowsTheWindow) {
  PluginSession h;
  StartWithStoredList(h);
  const int before = h.Player().Log().CountCode(kCodeSkinDirectory);
  PostMessageA(h.Player().Window(), WM_KEYDOWN, VK_F5, testhost::KeyLParam(VK_F5, false, false));
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountCode(kCodeSkinDirectory) > before; }, 3000));
  PostMessageA(h.Window(), UM_HIDE_WINDOW, 0, 0);
  ASSERT_TRUE(h.PumpUntil([&] { return !h.Visible(); }, 3000));
  ShowWindow(h.Player().Window(), SW_HIDE);
  ShowWindow(h.Player().Window(), SW_SHOW);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Visible(); }, 3000));
  EXPECT_TRUE(h.Stop());
}

// Other test processes share the Wine desktop and can take the foreground at any moment; a key
// or command then reaches a player that is not in front, where the focus cannot move (as on a
// real desktop). So each try first puts the player in front with the focus, and a try whose
// foreground was taken is made again.
bool PressFocusesThePluginWindow(PluginSession& h, const std::function<void()>& press) {
  const HWND player = h.Player().Window();
  for (int attempt = 0; attempt < 3; ++attempt) {
    const bool playerInFront = h.PumpUntil(
        [&] {
          SetForegroundWindow(player);
          SetFocus(player);
          return GetFocus() == player;
        },
        3000);
    if (!playerInFront) continue;
    press();
    if (h.PumpUntil([&] { return testsupport::ThreadFocus(h.UiThreadId()) == h.Window(); }, 1500)) return true;
  }
  return false;
}

TEST(Hooks, CtrlTabAndCycleCommandFocusThePluginWindow) {
  PluginSession h;
  StartWithStoredList(h);
  const HWND player = h.Player().Window();
  testsupport::HoldKey(VK_CONTROL, true);
  EXPECT_TRUE(PressFocusesThePluginWindow(
      h, [&] { PostMessageA(player, WM_KEYDOWN, VK_TAB, testhost::KeyLParam(VK_TAB, false, false)); }));
  testsupport::HoldKey(VK_CONTROL, false);
  EXPECT_TRUE(PressFocusesThePluginWindow(h, [&] { SendMessageA(player, WM_COMMAND, kCmdCycleWindows, 0); }));
  EXPECT_TRUE(h.Stop());
}

TEST(Hooks, DockedWindowFollowsThePlayer) {
  PluginSession h;
  h.SetPluginIni("Docked", "1");
  h.SetPluginIni("WindowPosX", "0");
  h.SetPluginIni("WindowPosY", "116");
  StartWithStoredList(h);
  SetForegroundWindow(h.Player().Window());
  for (int i = 0; i < 5; ++i) SetWindowPos(h.Player().Window(), nullptr, 150 + i, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Rect().left == 154 && h.Rect().top == 246; }, 3000))
      << h.Rect().left << "," << h.Rect().top;
  EXPECT_TRUE(h.Stop());
}

}  // namespace
}  // namespace tarnix::test
