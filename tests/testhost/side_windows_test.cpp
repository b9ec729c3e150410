// The player's other windows and the main window's own moves: what the plug-in's snapping and
// following see of them (owner, sizes, placement show states, WM_MOVE, the screen).

#include "testhost/capture.h"
#include "testhost/player_side_window.h"
#include "testhost/pump.h"
#include "testhost/stand_in_player.h"

#include <gtest/gtest.h>

#include <thread>

namespace tarnix::testhost {
namespace {

UINT ShowState(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(window, &placement)) return 0xFFFF;
  return placement.showCmd;
}

RECT NormalRect(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  return placement.rcNormalPosition;
}

StandInPlayerOptions PlayerAt(int x, int y) {
  StandInPlayerOptions options;
  options.x = x;
  options.y = y;
  return options;
}

class SideWindowTest : public ::testing::Test {
 protected:
  StandInPlayer player_{PlayerAt(310, 210)};
};

TEST_F(SideWindowTest, OwnedTopLevelWindowsInThePlayersSteps) {
  struct Case {
    SideWindowOptions options;
    int width, height;
  } cases[] = {
      {EqualiserOptions(310, 326), kEqualiserWidth, kEqualiserHeight},
      {PlaylistOptions(585, 210), kPlaylistWidth, kPlaylistHeight},
  };
  for (const Case& c : cases) {
    PlayerSideWindow side(player_.Window(), c.options);
    HWND w = side.Window();
    ASSERT_TRUE(side.IsOpen()) << c.options.title;
    EXPECT_EQ(GetWindow(w, GW_OWNER), player_.Window());
    EXPECT_EQ(GetAncestor(w, GA_PARENT), GetDesktopWindow()) << "not a top-level window";
    EXPECT_EQ(GetWindowThreadProcessId(w, nullptr), player_.ThreadId());
    const RECT r = side.Rect();
    EXPECT_EQ(r.left, c.options.x);
    EXPECT_EQ(r.top, c.options.y);
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
    EXPECT_EQ(c.width % 25, 0);
    EXPECT_EQ(c.height % 29, 0);
    EXPECT_TRUE(IsWindowVisible(w));
  }
}

TEST_F(SideWindowTest, ShowHideMinimiseRestoreMoveAndClose) {
  SideWindowOptions options = EqualiserOptions(310, 326);
  options.visible = false;
  PlayerSideWindow eq(player_.Window(), options);
  HWND w = eq.Window();
  EXPECT_FALSE(IsWindowVisible(w)) << "created hidden";
  eq.Show();
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(ShowState(w) & 1, 1u) << "shown normally: odd show state";
  eq.Minimise();
  EXPECT_EQ(ShowState(w), static_cast<UINT>(SW_SHOWMINIMIZED));
  EXPECT_TRUE(IsIconic(w));
  eq.Restore();
  EXPECT_FALSE(IsIconic(w));
  EXPECT_EQ(ShowState(w), static_cast<UINT>(SW_SHOWNORMAL));
  EXPECT_EQ(NormalRect(w).left, 310);
  EXPECT_EQ(NormalRect(w).top, 326);
  eq.Hide();
  EXPECT_FALSE(IsWindowVisible(w));
  eq.Show();
  ASSERT_TRUE(eq.Move(400, 500));
  EXPECT_EQ(eq.Rect().left, 400);
  EXPECT_EQ(eq.Rect().top, 500);
  EXPECT_EQ(eq.Rect().right, 400 + kEqualiserWidth) << "a move keeps the size";
  eq.Close();
  EXPECT_FALSE(eq.IsOpen());
  EXPECT_EQ(eq.Window(), nullptr);
  EXPECT_FALSE(IsWindow(w));
  // Everything after a close is a harmless no-op.
  eq.Show();
  eq.Minimise();
  EXPECT_FALSE(eq.Move(1, 1));
  eq.Close();
}

TEST_F(SideWindowTest, ClosedFromAnotherThreadWhileTheOwnerPumps) {
  PlayerSideWindow playlist(player_.Window(), PlaylistOptions(585, 210));
  HWND w = playlist.Window();
  bool done = false;
  std::thread closer([&] {
    playlist.Minimise();
    playlist.Close();
    done = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(w); }, 5000)) << "the close runs on the owner's thread";
  PumpUntil([&] { return done; }, 5000);
  closer.join();
  EXPECT_FALSE(playlist.IsOpen());
}

TEST_F(SideWindowTest, MainWindowMovesMinimisesAndRestores) {
  const int movesBefore = player_.MoveCount();
  ASSERT_TRUE(player_.Move(350, 240));
  EXPECT_EQ(player_.MoveCount(), movesBefore + 1) << "the window procedure saw WM_MOVE";
  EXPECT_EQ(player_.Rect().left, 350);
  EXPECT_EQ(player_.Rect().top, 240);
  EXPECT_EQ(player_.Rect().right - player_.Rect().left, 275);
  player_.Minimise();
  EXPECT_EQ(ShowState(player_.Window()), static_cast<UINT>(SW_SHOWMINIMIZED));
  player_.Restore();
  EXPECT_EQ(ShowState(player_.Window()) & 1, 1u);
  EXPECT_EQ(NormalRect(player_.Window()).left, 350);
  EXPECT_EQ(NormalRect(player_.Window()).top, 240);
}

TEST_F(SideWindowTest, MainWindowComesToTheForeground) {
  PlayerSideWindow eq(player_.Window(), EqualiserOptions(310, 326));
  SetForegroundWindow(eq.Window());
  EXPECT_TRUE(player_.BringToFront());
  EXPECT_EQ(GetForegroundWindow(), player_.Window());
}

TEST_F(SideWindowTest, ScreenAreaShowsEveryWindowInItsColour) {
  PlayerSideWindow eq(player_.Window(), EqualiserOptions(310, 326));
  PlayerSideWindow playlist(player_.Window(), PlaylistOptions(585, 210));
  InvalidateRect(player_.Window(), nullptr, TRUE);
  UpdateWindow(player_.Window());
  UpdateWindow(eq.Window());
  UpdateWindow(playlist.Window());
  PumpFor(100);
  const RECT area{300, 200, 870, 452};
  const auto image = CaptureScreenImage(area);
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->width, 570);
  ASSERT_EQ(image->height, 252);
  auto rgb = [](COLORREF c) {
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
  };
  struct Probe {
    int x, y;
    COLORREF colour;
  } probes[] = {
      {310 + 10, 210 + 10, kStandInPlayerColour}, {310 + 264, 210 + 105, kStandInPlayerColour},
      {310 + 10, 326 + 10, kEqualiserColour},     {310 + 264, 326 + 105, kEqualiserColour},
      {585 + 10, 210 + 10, kPlaylistColour},      {585 + 264, 210 + 221, kPlaylistColour},
  };
  for (const Probe& p : probes)
    EXPECT_EQ(image->Pixel(p.x - area.left, p.y - area.top), rgb(p.colour)) << p.x << "," << p.y;
  EXPECT_FALSE(CaptureScreenImage(RECT{10, 10, 10, 20}).has_value()) << "an empty area";
}

}  // namespace
}  // namespace tarnix::testhost
