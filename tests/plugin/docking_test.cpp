// A docked plug-in window and the player's main window: following it when it moves (through the
// hook on the player's thread), the offset written at quit, and the place at the next start.

#include <gtest/gtest.h>

#include <string>

#include "testhost/player_side_window.h"
#include "testhost/probe_window.h"
#include "tests/plugin/drag.h"
#include "tests/plugin/player_place.h"

namespace tarnix::integration {
namespace {

using testhost::EqualiserOptions;
using testhost::PlayerSideWindow;

constexpr int kMainBottom = kPlayerY + kPlayerHeight;

// Waits for the window at (x, y); the failure tells where it is.
::testing::AssertionResult ComesTo(PluginSession& s, int x, int y) {
  if (s.PumpUntil([&] { return IsAt(s, {x, y}); })) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at " << s.TopLeft().x << "," << s.TopLeft().y << ", not at " << x << ","
                                       << y;
}

// The window is still at (x, y) once the plug-in handled what the player's move posted to it.
::testing::AssertionResult StaysAt(PluginSession& s, int x, int y) {
  if (!s.WaitForPostedMessages()) return ::testing::AssertionFailure() << "the plug-in's queue did not drain";
  if (IsAt(s, {x, y})) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "moved to " << s.TopLeft().x << "," << s.TopLeft().y;
}

// Docks the plug-in window below the main window, 100 pixels in from its left edge.
void DockBelowMain(PluginSession& s) {
  ASSERT_TRUE(DragLandsAt(s, {400, 340}, {400, 340}));
  ASSERT_TRUE(DragLandsAt(s, {400, kMainBottom + 6}, {400, kMainBottom}));
}

TEST(Following, ADockedWindowFollowsTheMainWindowWhileThePlayerIsInFront) {
  PluginSession s(PlayerPlace());
  s.SetPluginIni("WindowPosX", "700");
  s.SetPluginIni("WindowPosY", "500");
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.Player().BringToFront());

  // Not docked yet: the main window moves alone.
  ASSERT_TRUE(s.Player().Move(kPlayerX + 10, kPlayerY));
  EXPECT_TRUE(StaysAt(s, 700, 500));
  ASSERT_TRUE(s.Player().Move(kPlayerX, kPlayerY));

  ASSERT_NO_FATAL_FAILURE(DockBelowMain(s));
  const struct { int x, y; } moves[] = {{350, 260}, {120, 90}, {kPlayerX, kPlayerY}};
  for (const auto& m : moves) {
    ASSERT_TRUE(s.Player().BringToFront());
    const int before = s.Player().MoveCount();
    ASSERT_TRUE(s.Player().Move(m.x, m.y));
    EXPECT_GT(s.Player().MoveCount(), before);
    EXPECT_TRUE(ComesTo(s, m.x + 100, m.y + kPlayerHeight)) << "the player moved to " << m.x << "," << m.y;
  }
  // Following neither activates the plug-in window nor takes the foreground from the player.
  EXPECT_EQ(GetForegroundWindow(), s.PlayerWindow());

  // Another window in front: the plug-in window stays where it is.
  testhost::ProbeWindow other([](UINT, WPARAM, LPARAM, LRESULT&) { return false; }, "TarnixIntegrationOther", "other",
                              WS_POPUP | WS_VISIBLE, 50, 50);
  SetForegroundWindow(other.Window());
  ASSERT_NE(GetForegroundWindow(), s.PlayerWindow());
  ASSERT_TRUE(s.Player().Move(kPlayerX + 40, kPlayerY + 40));
  EXPECT_TRUE(StaysAt(s, kPlayerX + 100, kMainBottom)) << "followed while the player was not in front";

  // In front again, the next move brings it back beside the main window.
  ASSERT_TRUE(s.Player().BringToFront());
  ASSERT_TRUE(s.Player().Move(kPlayerX + 20, kPlayerY + 20));
  EXPECT_TRUE(ComesTo(s, kPlayerX + 120, kMainBottom + 20));

  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "1");
  EXPECT_EQ(s.PluginIni("WindowPosX"), "100");
  EXPECT_EQ(s.PluginIni("WindowPosY"), std::to_string(kPlayerHeight));
}

TEST(Following, AMinimisedMainWindowLeavesTheDockedWindowInPlace) {
  PluginSession s(PlayerPlace());
  ASSERT_TRUE(s.Start());
  ASSERT_NO_FATAL_FAILURE(DockBelowMain(s));
  ASSERT_TRUE(s.Player().BringToFront());
  s.Player().Minimise();
  EXPECT_TRUE(StaysAt(s, 400, kMainBottom));
  s.Player().Restore();
  ASSERT_TRUE(s.Player().BringToFront());
  ASSERT_TRUE(s.Player().Move(kPlayerX + 5, kPlayerY + 5));
  EXPECT_TRUE(ComesTo(s, 405, kMainBottom + 5));
}

TEST(Restart, TheOffsetWrittenAtQuitPlacesTheWindowAtTheNextStart) {
  PluginSession s(PlayerPlace());
  PlayerSideWindow eq(s.PlayerWindow(), EqualiserOptions(kPlayerX, kMainBottom));
  s.SetPluginIni("WindowPosX", "700");
  s.SetPluginIni("WindowPosY", "500");
  ASSERT_TRUE(s.Start());
  // Below the equaliser, first against its bottom edge, then with the left edges lined up.
  const int eqBottom = kMainBottom + testhost::kEqualiserHeight;
  ASSERT_TRUE(DragLandsAt(s, {330, 470}, {330, 470}));
  ASSERT_TRUE(DragLandsAt(s, {304, eqBottom + 5}, {304, eqBottom}));
  ASSERT_TRUE(DragLandsAt(s, {296, eqBottom + 4}, {kPlayerX, eqBottom}));
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "1");
  EXPECT_EQ(s.PluginIni("WindowPosX"), "0");
  EXPECT_EQ(s.PluginIni("WindowPosY"), std::to_string(eqBottom - kPlayerY));
  EXPECT_EQ(s.PluginIni("Opened"), "1");

  // The player starts somewhere else next time; the window keeps its place beside it.
  ASSERT_TRUE(s.Player().Move(200, 150));
  eq.Move(200, 150 + kPlayerHeight);
  ASSERT_TRUE(s.Start());
  EXPECT_TRUE(ComesTo(s, 200, 150 + eqBottom - kPlayerY));
  EXPECT_TRUE(IsWindowVisible(s.Window()));
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "1");
  EXPECT_EQ(s.PluginIni("WindowPosX"), "0");
  EXPECT_EQ(s.PluginIni("WindowPosY"), std::to_string(eqBottom - kPlayerY));
}

TEST(Restart, SnappingTurnedOffBetweenStartsUndocks) {
  PluginSession s(PlayerPlace());
  ASSERT_TRUE(s.Start());
  ASSERT_NO_FATAL_FAILURE(DockBelowMain(s));
  ASSERT_TRUE(s.Stop());
  ASSERT_EQ(s.PluginIni("Docked"), "1");
  s.SetPlayerIni("snap", "0");
  ASSERT_TRUE(s.Start());
  EXPECT_TRUE(ComesTo(s, 0, 0)) << "the offset means nothing without docking";
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "0");
  EXPECT_EQ(s.PluginIni("WindowPosX"), "0");
  EXPECT_EQ(s.PluginIni("WindowPosY"), "0");
}

}  // namespace
}  // namespace tarnix::integration
