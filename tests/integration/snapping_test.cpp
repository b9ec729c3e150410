// Snapping on real windows: the plug-in window dragged by its caption near the stand-in
// player's main window and its other windows, with the player's snapping settings.

#include <gtest/gtest.h>

#include <string>

#include "testhost/player_side_window.h"
#include "testhost/request_log.h"
#include "tests/integration/player_place.h"

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
  ASSERT_EQ(s.TopLeft().x, kAwayX);
  ASSERT_EQ(s.TopLeft().y, kAwayY);
}

// Drags to a staging point (where nothing snaps, so the window's rectangle before the final
// move is known), then to the target; returns where the window landed.
POINT DragVia(PluginSession& s, POINT staging, POINT target) {
  EXPECT_TRUE(s.DragTo(kAwayX, kAwayY));
  EXPECT_TRUE(s.DragTo(staging.x, staging.y));
  const POINT staged = s.TopLeft();
  EXPECT_EQ(staged.x, staging.x) << "staging point snapped";
  EXPECT_EQ(staged.y, staging.y) << "staging point snapped";
  EXPECT_TRUE(s.DragTo(target.x, target.y));
  return s.TopLeft();
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
    const POINT at = DragVia(s, {620, 230}, {kMainRight + c.distance, 230});
    EXPECT_EQ(at.x, c.landsAt) << "distance " << c.distance;
    EXPECT_EQ(at.y, 230) << "distance " << c.distance << ": no vertical snap without horizontal overlap";
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
  EXPECT_EQ(DragVia(s, {620, 230}, {kMainRight, 230}).x, kMainRight);  // docked first
  EXPECT_EQ(DragVia(s, {620, 230}, {kMainRight + 10, 231}).x, kMainRight + 10);
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
    const POINT at = DragVia(s, {620, c.stagingY}, {kMainRight + 4, c.stagingY});
    EXPECT_EQ(at.x, c.landsAtX) << "staged at y " << c.stagingY;
  }
}

TEST(Snapping, AVerticalSnapAloneDocksWithTheOffsetFromTheMainWindow) {
  PluginSession s(PlayerPlace());
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  const POINT at = DragVia(s, {400, 340}, {400, kMainBottom + 6});
  EXPECT_EQ(at.x, 400);
  EXPECT_EQ(at.y, kMainBottom);
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
  const POINT at = DragVia(s, {620, 340}, {kMainRight + 9, 345});
  EXPECT_EQ(at.x, kMainRight);
  EXPECT_EQ(at.y, 345);
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
  EXPECT_EQ(DragVia(s, staging, target).x, kMainRight) << "shown";
  eq.Minimise();
  EXPECT_EQ(DragVia(s, staging, target).x, target.x) << "minimised";
  eq.Restore();
  EXPECT_EQ(DragVia(s, staging, target).x, kMainRight) << "restored";
  eq.Hide();
  EXPECT_EQ(DragVia(s, staging, target).x, target.x) << "hidden";
  eq.Show();
  EXPECT_EQ(DragVia(s, staging, target).x, kMainRight) << "shown again";
  eq.Close();
  EXPECT_EQ(DragVia(s, staging, target).x, target.x) << "closed";
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "0");
}

TEST(Snapping, MinimisedMainWindowIsSkipped) {
  PluginSession s(PlayerPlace());
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  s.Player().Minimise();
  EXPECT_EQ(DragVia(s, {620, 230}, {kMainRight + 5, 230}).x, kMainRight + 5);
  s.Player().Restore();
  EXPECT_EQ(DragVia(s, {620, 230}, {kMainRight + 5, 230}).x, kMainRight);
}

TEST(Snapping, APlayerWindowOpenedLaterBecomesATargetWithinFiveSeconds) {
  PluginSession s(PlayerPlace());
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  const std::int64_t firstMove = testhost::SteadyMs();
  ASSERT_TRUE(s.DragTo(620, 230));  // the first move of a session reads the window list
  PlayerSideWindow playlist(s.PlayerWindow(), PlaylistOptions(kPlayerX, kMainBottom));
  const POINT staging{620, 340};
  const POINT target{kMainRight + 9, 345};
  EXPECT_EQ(DragVia(s, staging, target).x, target.x) << "not in the list yet";
  ASSERT_TRUE(s.PumpUntil([&] { return testhost::SteadyMs() - firstMove > 5300; }, 7000));
  EXPECT_EQ(DragVia(s, staging, target).x, kMainRight) << "the list was read again";
}

TEST(SnappingOff, TheWindowMovesFreelyAndNeverDocks) {
  PluginSession s(PlayerPlace());
  s.SetPlayerIni("snap", "0");
  PlayerSideWindow eq(s.PlayerWindow(), EqualiserOptions(kPlayerX, kMainBottom));
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  EXPECT_EQ(DragVia(s, {620, 230}, {kMainRight + 3, 230}).x, kMainRight + 3);
  const POINT at = DragVia(s, {400, 460}, {kPlayerX + 2, kMainBottom + kPlayerHeight + 2});
  EXPECT_EQ(at.x, kPlayerX + 2);
  EXPECT_EQ(at.y, kMainBottom + kPlayerHeight + 2);
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "0");
  EXPECT_EQ(s.PluginIni("WindowPosX"), std::to_string(kPlayerX + 2));
  EXPECT_EQ(s.PluginIni("WindowPosY"), std::to_string(kMainBottom + kPlayerHeight + 2));
}

TEST(SnappingOff, ADistanceOfZeroSnapsNothing) {
  PluginSession s(PlayerPlace());
  s.SetPlayerIni("snaplen", "0");
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  EXPECT_EQ(DragVia(s, {620, 230}, {kMainRight + 1, 230}).x, kMainRight + 1);
  ASSERT_TRUE(s.Stop());
  EXPECT_EQ(s.PluginIni("Docked"), "0");
}

TEST(SnappingOff, ALongerDistanceFromThePlayersSettings) {
  PluginSession s(PlayerPlace());
  s.SetPlayerIni("snaplen", "20");
  ASSERT_NO_FATAL_FAILURE(StartAway(s));
  EXPECT_EQ(DragVia(s, {620, 230}, {kMainRight + 19, 230}).x, kMainRight);
  EXPECT_EQ(DragVia(s, {620, 230}, {kMainRight + 20, 230}).x, kMainRight + 20);
}

}  // namespace
}  // namespace tarnix::integration
