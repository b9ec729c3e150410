// Snapping on real windows: the plug-in window dragged by its caption near the stand-in
// player's main window and its other windows, with the player's snapping settings.

#include <gtest/gtest.h>

#include <string>

#include "testhost/player_side_window.h"
#include "testhost/request_log.h"
#include "tests/plugin/drag.h"
#include "tests/plugin/player_place.h"

namespace tarnix::integration {
namespace {

using testhost::EqualiserOptions;
using testhost::PlayerSideWindow;
using testhost::PlaylistOptions;

constexpr int kMainRight = kPlayerX + kPlayerWidth;    // 575
constexpr int kMainBottom = kPlayerY + kPlayerHeight;  // 316
// Far from every player window: nothing snaps there.
constexpr int kAwayX = 700;
constexpr int kAwayY = 500;

void StartAway(PluginSession& s) {
  s.SetPluginIni("WindowPosX", std::to_string(kAwayX));
  s.SetPluginIni("WindowPosY", std::to_string(kAwayY));
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.PumpUntil([&] { return IsAt(s, {kAwayX, kAwayY}); }, 3000));
}

// Drags to a staging point (where nothing snaps, so the window's rectangle before the final
// move is known), then to the target, and waits for the window at `lands`.
::testing::AssertionResult DragVia(PluginSession& s, POINT staging, POINT target, POINT lands) {
  ::testing::AssertionResult away = DragLandsAt(s, {kAwayX, kAwayY}, {kAwayX, kAwayY});
  if (!away) return away;
  ::testing::AssertionResult staged = DragLandsAt(s, staging, staging);
  if (!staged) return staged << " (the staging point)";
  return DragLandsAt(s, target, lands);
}

TEST(Snapping, NinePixelsSnapAndTenDoNot) {
  PluginSession s(PlayerPlace());
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  // The left edge dragged near the main window's right edge, the windows overlapping vertically.
  const struct {
    int distance;  // from the main window's right edge
    int landsAt;
  } cases[] = {
      {10, kMainRight + 10}, {9, kMainRight}, {1, kMainRight}, {-10, kMainRight - 10}, {-9, kMainRight},
  };
  for (const auto& c : cases) {
    // No vertical snap without horizontal overlap: y stays.
    EXPECT_TRUE(DragVia(s, {620, 230}, {kMainRight + c.distance, 230}, {c.landsAt, 230})) << "distance " << c.distance;
  }
  ASSERT_TRUE(s.Stop());
  // The last drag snapped: docked, the offset from the main window's corner.
  EXPECT_EQ(s.PluginIni("Docked"), "1");
  EXPECT_EQ(s.PluginIni("WindowPosX"), std::to_string(kPlayerWidth));
  EXPECT_EQ(s.PluginIni("WindowPosY"), "30");
}

TEST(Snapping, AMoveThatSnapsNowhereUndocksAndStoresTheScreenPosition) {
  PluginSession s(PlayerPlace());
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  EXPECT_TRUE(DragVia(s, {620, 230}, {kMainRight, 230}, {kMainRight, 230}));  // docked first
  EXPECT_TRUE(DragVia(s, {620, 230}, {kMainRight + 10, 231}, {kMainRight + 10, 231}));
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "0");
  EXPECT_EQ(s.PluginIni("WindowPosX"), std::to_string(kMainRight + 10));
  EXPECT_EQ(s.PluginIni("WindowPosY"), "231");
}

TEST(Snapping, HorizontalSnapNeedsVerticalOverlapBeforeTheMove) {
  PluginSession s(PlayerPlace());
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  // The rectangle before the move decides: its top at the main window's bottom still overlaps.
  const struct {
    int stagingY;
    int landsAtX;
  } cases[] = {
      {330, kMainRight + 4},
      {kMainBottom + 1, kMainRight + 4},
      {kMainBottom, kMainRight},
      {kPlayerY - 116, kMainRight},  // bottom edge on the main window's top
      {kPlayerY - 117, kMainRight + 4},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(DragVia(s, {620, c.stagingY}, {kMainRight + 4, c.stagingY}, {c.landsAtX, c.stagingY}))
        << "staged at y " << c.stagingY;
  }
}

TEST(Snapping, AVerticalSnapAloneDocksWithTheOffsetFromTheMainWindow) {
  PluginSession s(PlayerPlace());
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  EXPECT_TRUE(DragVia(s, {400, 340}, {400, kMainBottom + 6}, {400, kMainBottom}));
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "1");
  EXPECT_EQ(s.PluginIni("WindowPosX"), "100");
  EXPECT_EQ(s.PluginIni("WindowPosY"), std::to_string(kPlayerHeight));
}

TEST(Snapping, SnappedAgainstTheEqualiserTheOffsetIsStillFromTheMainWindow) {
  PluginSession s(PlayerPlace());
  PlayerSideWindow eq(s.PlayerWindow(), EqualiserOptions(kPlayerX, kMainBottom));
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  // Staged below the main window's bottom: only the equaliser overlaps vertically.
  EXPECT_TRUE(DragVia(s, {620, 340}, {kMainRight + 9, 345}, {kMainRight, 345}));
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "1");
  EXPECT_EQ(s.PluginIni("WindowPosX"), std::to_string(kPlayerWidth));
  EXPECT_EQ(s.PluginIni("WindowPosY"), "145");
}

TEST(Snapping, MinimisedHiddenAndClosedPlayerWindowsAreSkipped) {
  PluginSession s(PlayerPlace());
  PlayerSideWindow eq(s.PlayerWindow(), EqualiserOptions(kPlayerX, kMainBottom));
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  const POINT staging{620, 340};
  const POINT target{kMainRight + 9, 345};
  const POINT snapped{kMainRight, 345};
  EXPECT_TRUE(DragVia(s, staging, target, snapped)) << "shown";
  eq.Minimise();
  EXPECT_TRUE(DragVia(s, staging, target, target)) << "minimised";
  eq.Restore();
  EXPECT_TRUE(DragVia(s, staging, target, snapped)) << "restored";
  eq.Hide();
  EXPECT_TRUE(DragVia(s, staging, target, target)) << "hidden";
  eq.Show();
  EXPECT_TRUE(DragVia(s, staging, target, snapped)) << "shown again";
  eq.Close();
  EXPECT_TRUE(DragVia(s, staging, target, target)) << "closed";
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "0");
}

TEST(Snapping, MinimisedMainWindowIsSkipped) {
  PluginSession s(PlayerPlace());
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  s.Player().Minimise();
  EXPECT_TRUE(DragVia(s, {620, 230}, {kMainRight + 5, 230}, {kMainRight + 5, 230}));
  s.Player().Restore();
  EXPECT_TRUE(DragVia(s, {620, 230}, {kMainRight + 5, 230}, {kMainRight, 230}));
}

TEST(Snapping, APlayerWindowOpenedLaterBecomesATargetWithinFiveSeconds) {
  PluginSession s(PlayerPlace());
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  const std::int64_t firstMove = testhost::SteadyMs();
  ASSERT_TRUE(DragLandsAt(s, {620, 230}, {620, 230}));  // the first move of a session reads the window list
  PlayerSideWindow playlist(s.PlayerWindow(), PlaylistOptions(kPlayerX, kMainBottom));
  const POINT staging{620, 340};
  const POINT target{kMainRight + 9, 345};
  EXPECT_TRUE(DragVia(s, staging, target, target)) << "not in the list yet";
  ASSERT_TRUE(s.PumpUntil([&] { return testhost::SteadyMs() - firstMove > 5300; }, 7000));
  EXPECT_TRUE(DragVia(s, staging, target, {kMainRight, 345})) << "the list was read again";
}

TEST(SnappingOff, TheWindowMovesFreelyAndNeverDocks) {
  PluginSession s(PlayerPlace());
  s.SetPlayerIni("snap", "0");
  PlayerSideWindow eq(s.PlayerWindow(), EqualiserOptions(kPlayerX, kMainBottom));
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  EXPECT_TRUE(DragVia(s, {620, 230}, {kMainRight + 3, 230}, {kMainRight + 3, 230}));
  const POINT free{kPlayerX + 2, kMainBottom + kPlayerHeight + 2};
  EXPECT_TRUE(DragVia(s, {400, 460}, free, free));
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "0");
  EXPECT_EQ(s.PluginIni("WindowPosX"), std::to_string(kPlayerX + 2));
  EXPECT_EQ(s.PluginIni("WindowPosY"), std::to_string(kMainBottom + kPlayerHeight + 2));
}

TEST(SnappingOff, ADistanceOfZeroSnapsNothing) {
  PluginSession s(PlayerPlace());
  s.SetPlayerIni("snaplen", "0");
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  EXPECT_TRUE(DragVia(s, {620, 230}, {kMainRight + 1, 230}, {kMainRight + 1, 230}));
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "0");
}

TEST(SnappingOff, ALongerDistanceFromThePlayersSettings) {
  PluginSession s(PlayerPlace());
  s.SetPlayerIni("snaplen", "20");
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  EXPECT_TRUE(DragVia(s, {620, 230}, {kMainRight + 19, 230}, {kMainRight, 230}));
  EXPECT_TRUE(DragVia(s, {620, 230}, {kMainRight + 20, 230}, {kMainRight + 20, 230}));
}

}  // namespace
}  // namespace tarnix::integration
