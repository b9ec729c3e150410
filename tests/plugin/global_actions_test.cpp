// The global actions through the real DLL in the stand-in player: the records the player's hotkeys
// registry gets, each action sent as a bound key sends it while the window is hidden and the
// player has the focus, and a player without the registry.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <iterator>
#include <set>
#include <string>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "testhost/request_log.h"
#include "tests/plugin/plugin_test.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

using testhost::PlayerRequest;
using testhost::RegisteredHotkey;
using testhost::SteadyMs;

// Rows at 0, 1:30 and 2:15.533; another entry to move on to, which saves the changed list.
const std::string kLiveSet = "01:00:00:00*Live set\r\n01:01:30:00 Second theme\r\n01:02:15:40 Finale\r\n";
constexpr int kSecondTheme = 90000;
constexpr int kFinale = 135533;

class GlobalActionsTest : public PlayingPluginTest {
 protected:
  // Starts with the list of the live set playing, paused at `atMs`, the window hidden and the
  // player in the foreground.
  void StartHidden(int atMs) {
    ASSERT_TRUE(h.WriteBookmark("Live set.trk", TrackFile("Live set", kLiveSet)));
    h.SetPluginIni("AutoSave", "1");
    h.Player().SetPlaylist({{"C:\\Music\\Live set.mp3", "Live set", 0}, {"C:\\Music\\Other.mp3", "Other", 0}});
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.PumpUntil([&] { return h.Player().Hotkeys().size() == kGlobalActionCount; }));
    PlayEntry(0);
    h.Player().Pause();
    h.Player().Seek(atMs);  // paused: the position stays exactly there
    ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 2)));
    ASSERT_TRUE(h.Command(IDM_HIDE_WINDOW));
    ASSERT_TRUE(h.PumpUntil([&] { return !h.Visible(); }));
    ASSERT_TRUE(h.Player().BringToFront());
  }

  // Sends what the registry sends when the action's key is pressed.
  bool Press(WPARAM command) {
    for (const RegisteredHotkey& key : h.Player().Hotkeys()) {
      if (key.wParam != command) continue;
      DWORD_PTR answer = 0;
      return SendMessageTimeoutW(key.window, key.message, key.wParam, key.lParam, SMTO_NORMAL, 5000, &answer) != 0;
    }
    return false;
  }

  // Waits for a jump to `ms` asked after `since`.
  bool WaitForJump(std::int64_t since, int ms) {
    return h.PumpUntil([&] {
      return h.Player().Log().Count([&](const PlayerRequest& r) {
        return r.timeMs >= since && r.IsCode(kCodeJumpToTime) && static_cast<int>(r.wParam) == ms;
      }) > 0;
    });
  }

  static constexpr size_t kGlobalActionCount = 7;
};

TEST_F(GlobalActionsTest, SevenRecordsNameThePluginWindowAndItsActions) {
  ASSERT_NO_FATAL_FAILURE(StartHidden(0));
  const struct {
    WPARAM command;
    const wchar_t* name;
  } expected[] = {
      {IDM_GLOBAL_MARK, L"Tarnix: Insert subtrack at the playing time"},
      {IDM_GLOBAL_NEXT, L"Tarnix: Next subtrack"},
      {IDM_GLOBAL_PREVIOUS, L"Tarnix: Previous subtrack"},
      {IDM_GLOBAL_REPEAT, L"Tarnix: Repeat this subtrack"},
      {IDM_GLOBAL_STOP_AFTER, L"Tarnix: Stop after this subtrack"},
      {IDM_GLOBAL_SKIP, L"Tarnix: Skip this subtrack"},
      {IDM_GLOBAL_SHOW_HIDE, L"Tarnix: Show or hide the list"},
  };
  const std::vector<RegisteredHotkey> keys = h.Player().Hotkeys();
  ASSERT_EQ(keys.size(), std::size(expected));
  std::set<std::string> ids;
  for (size_t i = 0; i < keys.size(); ++i) {
    const RegisteredHotkey& key = keys[i];
    EXPECT_EQ(key.name, expected[i].name);
    EXPECT_EQ(key.wParam, expected[i].command);
    EXPECT_EQ(key.flags, kHotkeyWideName);
    EXPECT_EQ(key.message, UM_GLOBAL_ACTION);
    EXPECT_EQ(key.lParam, 0);
    EXPECT_EQ(key.window, h.Window()) << "the plug-in's own window";
    EXPECT_TRUE(key.extendedZero);
    EXPECT_EQ(key.id.rfind("Tarnix", 0), 0u) << key.id;
    ids.insert(key.id);
  }
  EXPECT_EQ(ids.size(), keys.size()) << "each action has an id of its own";
  // Registered once: the records came through the code the player gave for the registry's name.
  EXPECT_EQ(h.Player().Log().CountCode(h.Player().RegisteredCode(kHotkeysRegistryName)), 7);
}

TEST_F(GlobalActionsTest, InsertMarksEarlierWhileHiddenAndIsSavedAsAnEdit) {
  h.SetPluginIni("MarkEarlier", "20");
  ASSERT_NO_FATAL_FAILURE(StartHidden(95000));
  const HWND foreground = GetForegroundWindow();
  const std::int64_t sent = SteadyMs();
  ASSERT_TRUE(Press(IDM_GLOBAL_MARK));
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 3); }));
  const std::int64_t seen = SteadyMs();
  // When the plug-in read the playing time for the insert: its first position request since.
  std::int64_t asked = -1;
  for (const PlayerRequest& r : h.Player().Log().Snapshot()) {
    if (r.timeMs >= sent && r.IsCode(kCodeOutputTime) && r.wParam == 0) {
      asked = r.timeMs;
      break;
    }
  }
  std::printf("global insert: playing time read %lld ms after the send, the row seen %lld ms after it\n",
              static_cast<long long>(asked - sent), static_cast<long long>(seen - sent));
  ::testing::Test::RecordProperty("insert_seen_ms", static_cast<int>(seen - sent));
  EXPECT_GE(asked, sent);
  EXPECT_FALSE(h.Visible());
  EXPECT_EQ(GetForegroundWindow(), foreground);
  // Moving on to the other entry saves the changed list (auto-save).
  PlayEntry(1);
  ASSERT_TRUE(h.PumpUntil([&] { return Bookmark("Live set.trk").find("New subsong") != std::string::npos; }));
  EXPECT_NE(Bookmark("Live set.trk").find("01:01:15:00 New subsong (marked 20 s earlier)\r\n01:01:30:00 Second theme"),
            std::string::npos)
      << Bookmark("Live set.trk");
}

TEST_F(GlobalActionsTest, EachActionWorksHiddenWithoutTakingTheFocus) {
  ASSERT_NO_FATAL_FAILURE(StartHidden(95000));
  const HWND foreground = GetForegroundWindow();
  std::int64_t since = SteadyMs();
  ASSERT_TRUE(Press(IDM_GLOBAL_NEXT));
  EXPECT_TRUE(WaitForJump(since, kFinale));
  since = SteadyMs();
  ASSERT_TRUE(Press(IDM_GLOBAL_PREVIOUS));  // at the finale's very start: back a row
  EXPECT_TRUE(WaitForJump(since, kSecondTheme));
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 1); }));

  // Held: leaving the row brings playback back to its start.
  ASSERT_TRUE(Press(IDM_GLOBAL_REPEAT));
  ASSERT_TRUE(h.WaitForPostedMessages());
  since = SteadyMs();
  h.Player().Seek(kFinale + 5000);
  EXPECT_TRUE(WaitForJump(since, kSecondTheme));
  ASSERT_TRUE(Press(IDM_GLOBAL_REPEAT));  // let go
  ASSERT_TRUE(h.WaitForPostedMessages());

  // Playing two seconds before the second theme ends: the player stops at its end.
  h.Player().Seek(kFinale - 2000);
  h.Player().Pause();  // plays on from there
  ASSERT_TRUE(Press(IDM_GLOBAL_STOP_AFTER));
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountCommand(kCmdStop) == 1; }));
  EXPECT_EQ(h.Player().State(), testhost::PlayState::kStopped);

  // Marked while it plays, the second theme is skipped at once.
  h.Player().Play();
  h.Player().Seek(95000);
  ASSERT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 1); }));
  since = SteadyMs();
  ASSERT_TRUE(Press(IDM_GLOBAL_SKIP));
  EXPECT_TRUE(WaitForJump(since, kFinale));

  ASSERT_TRUE(Press(IDM_GLOBAL_SHOW_HIDE));
  EXPECT_TRUE(h.PumpUntil([&] { return h.Visible(); }));
  EXPECT_EQ(GetForegroundWindow(), foreground);
  ASSERT_TRUE(Press(IDM_GLOBAL_SHOW_HIDE));
  EXPECT_TRUE(h.PumpUntil([&] { return !h.Visible(); }));
  EXPECT_EQ(GetForegroundWindow(), foreground);
  EXPECT_EQ(GetForegroundWindow(), h.PlayerWindow());
}

TEST_F(GlobalActionsTest, WhileTrackingIsPausedActionsLookAtThePlayerAndAStopIsCarriedOut) {
  h.SetPluginIni("AutoPopup", "0");  // hidden, the window follows nothing
  ASSERT_NO_FATAL_FAILURE(StartHidden(0));
  h.Player().Seek(95000);  // the list last saw the first row playing
  const std::int64_t since = SteadyMs();
  ASSERT_TRUE(Press(IDM_GLOBAL_NEXT));
  EXPECT_TRUE(WaitForJump(since, kFinale));
  // A stop asked for is carried out though the window still follows nothing.
  h.Player().Seek(kFinale - 2000);
  h.Player().Pause();  // plays on from there
  ASSERT_TRUE(Press(IDM_GLOBAL_STOP_AFTER));
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountCommand(kCmdStop) == 1; }));
  EXPECT_FALSE(h.Visible());
}

TEST(GlobalActions, AnOlderPlayerGetsNoRecordAndBogusActionsAreIgnored) {
  PluginSession h;
  h.Player().SetNameRegistry(false);
  h.SetPluginIni("MarkEarlier", "999");  // read as 60
  ASSERT_TRUE(h.WriteBookmark("Live set.trk", TrackFile("Live set", kLiveSet)));
  h.Player().SetPlaylist({{"C:\\Music\\Live set.mp3", "Live set", 0}});
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.WaitForCode(kCodeRegisterName, 1));
  h.Player().Play();
  h.Player().Pause();
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 2); }));
  // Neither a record nor anything else under a code the player never gave.
  EXPECT_EQ(h.Player().Log().Count([](const PlayerRequest& r) { return r.message == WM_USER && r.lParam > 65536; }), 0);
  EXPECT_TRUE(h.Player().Hotkeys().empty());

  // A command that is no global action, and no command at all, do nothing; an action still works.
  ASSERT_TRUE(h.Query(UM_GLOBAL_ACTION, IDM_OPTIONS));
  ASSERT_TRUE(h.Query(UM_GLOBAL_ACTION, static_cast<WPARAM>(-1), -1));
  ASSERT_TRUE(h.WaitForPostedMessages());
  const HWND options = testhost::FindThreadWindow(h.UiThreadId(), "Tarnix - Options");
  EXPECT_FALSE(options && IsWindowVisible(options));
  EXPECT_EQ(h.Player().Log().CountCode(kCodeJumpToTime), 0);
  ASSERT_TRUE(h.Query(UM_GLOBAL_ACTION, IDM_GLOBAL_NEXT));
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().PositionMs() == kSecondTheme; }));
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("MarkEarlier"), "60");
}

}  // namespace
}  // namespace tarnix::test
