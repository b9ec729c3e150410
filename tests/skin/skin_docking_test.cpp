// Docking and snapping against real windows: a stand-in player main window and windows it
// owns, with the refresh clock under the test's control.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "skin_fixture.h"

namespace tarnix::test {
namespace {

uint64_t g_now = 0;
uint64_t TestClock() { return g_now; }
constexpr uint64_t kSecond = 10'000'000;

HWND PlainWindow(int x, int y, int w, int h, HWND owner, bool visible = true) {
  return CreateTestWindow(nullptr, x, y, w, h, owner, visible);
}

// A player main window at (100, 100, 375, 216) and the frame's window owned by it.
class DockingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_now = 1000 * kSecond;
    host = PlainWindow(100, 100, 275, 116, nullptr);
    SkinHarness::Options o;
    o.x = 600;
    o.y = 400;
    o.host = host;
    harness = std::make_unique<SkinHarness>(o);
    harness->frame.SetClock(TestClock);
  }
  void TearDown() override {
    harness.reset();
    for (HWND w : extra) DestroyWindow(w);
    DestroyWindow(host);
  }
  HWND Owned(int x, int y, int w, int h, bool visible = true) {
    HWND window = PlainWindow(x, y, w, h, host, visible);
    extra.push_back(window);
    return window;
  }
  bool Snap(RECT own, POINT& pos) { return harness->frame.Snap(own, pos); }

  HWND host = nullptr;
  std::unique_ptr<SkinHarness> harness;
  std::vector<HWND> extra;
};

TEST_F(DockingTest, WindowListQualification) {
  HWND good = Owned(500, 500, 250, 58);
  HWND wrongSize = Owned(500, 600, 260, 58);
  HWND unowned = PlainWindow(700, 600, 250, 58, nullptr);
  harness->frame.BuildWindowList();
  const WindowList& list = harness->frame.Windows();
  EXPECT_EQ(list.count(host), 1u);
  EXPECT_EQ(list.count(good), 1u);
  EXPECT_EQ(list.count(wrongSize), 0u);
  EXPECT_EQ(list.count(unowned), 0u);
  EXPECT_EQ(list.count(harness->window), 0u) << "never the window itself";
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
  DestroyWindow(unowned);
}

TEST_F(DockingTest, NineSnapsTenDoesNot) {
  const RECT own{380, 120, 655, 236};
  POINT pos{384, 120};
  EXPECT_TRUE(Snap(own, pos));
  EXPECT_EQ(pos.x, 375);
  EXPECT_EQ(harness->frame.posX, 375 - 100) << "offset from the main window";
  EXPECT_EQ(harness->frame.posY, 120 - 100);
  pos = POINT{385, 120};
  EXPECT_FALSE(Snap(own, pos));
  EXPECT_EQ(pos.x, 385);
  EXPECT_EQ(harness->frame.posX, 385) << "screen position when nothing snaps";
  EXPECT_EQ(harness->frame.posY, 120);
}

TEST_F(DockingTest, NoVerticalOverlapNoHorizontalSnap) {
  POINT pos{376, 300};
  EXPECT_FALSE(Snap(RECT{380, 300, 655, 416}, pos));
  EXPECT_EQ(pos.x, 376);
}

TEST_F(DockingTest, VerticalOnlySnapAgainstAnotherPlayerWindowDocksFromTheMain) {
  Owned(500, 400, 250, 58);  // (500, 400) - (750, 458)
  POINT pos{520, 462};
  EXPECT_TRUE(Snap(RECT{520, 470, 795, 586}, pos));
  EXPECT_EQ(pos.y, 458);
  EXPECT_EQ(pos.x, 520);
  EXPECT_EQ(harness->frame.posX, 520 - 100);
  EXPECT_EQ(harness->frame.posY, 458 - 100);
}

TEST_F(DockingTest, MinimisedHiddenAndClosedWindowsAreSkipped) {
  HWND minimised = Owned(500, 400, 250, 58);
  HWND hidden = Owned(800, 400, 250, 58);
  HWND closed = Owned(500, 700, 250, 58);
  harness->frame.BuildWindowList();
  ShowWindow(minimised, SW_MINIMIZE);
  ShowWindow(hidden, SW_HIDE);
  DestroyWindow(closed);
  POINT pos{520, 462};
  EXPECT_FALSE(Snap(RECT{520, 470, 795, 586}, pos)) << "minimised";
  pos = POINT{820, 462};
  EXPECT_FALSE(Snap(RECT{820, 470, 1095, 586}, pos)) << "hidden";
  pos = POINT{520, 762};
  EXPECT_FALSE(Snap(RECT{520, 770, 795, 886}, pos)) << "closed";
  // A minimised main window is no target either.
  ShowWindow(host, SW_MINIMIZE);
  pos = POINT{384, 120};
  EXPECT_FALSE(Snap(RECT{380, 120, 655, 236}, pos));
  ShowWindow(host, SW_RESTORE);
}

TEST_F(DockingTest, ALaterWindowBecomesATargetAfterTheRefresh) {
  POINT pos{0, 0};
  Snap(RECT{0, 0, 275, 116}, pos);  // the first move refreshes
  EXPECT_EQ(harness->frame.LastListRefresh(), g_now);
  HWND later = Owned(500, 400, 250, 58);
  const RECT own{520, 470, 795, 586};
  g_now += 5 * kSecond - 1;
  pos = POINT{520, 462};
  EXPECT_FALSE(Snap(own, pos)) << "not yet in the list";
  EXPECT_EQ(harness->frame.Windows().count(later), 0u);
  g_now += 1;
  pos = POINT{520, 462};
  EXPECT_TRUE(Snap(own, pos));
  EXPECT_EQ(pos.y, 458);
  // A clock set back refreshes nothing.
  HWND another = Owned(800, 600, 250, 58);
  g_now -= 100 * kSecond;
  pos = POINT{820, 662};
  Snap(RECT{820, 670, 1095, 786}, pos);
  EXPECT_EQ(harness->frame.Windows().count(another), 0u);
}

TEST_F(DockingTest, MovingNearThePlayerDocksAndSnappingOffNever) {
  SkinFrame& frame = harness->frame;
  // Move the window to 8 pixels right of the player, overlapping it vertically.
  SetWindowPos(harness->window, nullptr, 383, 110, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  frame.snapDistance = 10;
  harness->Mouse(WM_LBUTTONDOWN, 50, 5);
  harness->Mouse(WM_MOUSEMOVE, 50, 6);
  harness->Mouse(WM_LBUTTONUP, 50, 6);
  RECT r;
  GetWindowRect(harness->window, &r);
  EXPECT_EQ(r.left, 375);
  EXPECT_EQ(r.top, 111);
  EXPECT_TRUE(frame.docked);
  EXPECT_EQ(frame.posX, 275);
  EXPECT_EQ(frame.posY, 11);

  frame.snapDistance = -1;
  SetWindowPos(harness->window, nullptr, 383, 110, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  harness->Mouse(WM_LBUTTONDOWN, 50, 5);
  harness->Mouse(WM_MOUSEMOVE, 50, 6);
  harness->Mouse(WM_LBUTTONUP, 50, 6);
  GetWindowRect(harness->window, &r);
  EXPECT_EQ(r.left, 383);
  EXPECT_FALSE(frame.docked);
  EXPECT_EQ(frame.posX, 383);
  EXPECT_EQ(frame.posY, 111);
}

TEST(DockingWithoutPlayerTest, NoMainWindowNoCandidates) {
  SkinHarness h;  // attached with no player window
  EXPECT_TRUE(h.frame.Windows().empty());
  POINT pos{10, 10};
  EXPECT_FALSE(h.frame.Snap(RECT{0, 0, 275, 116}, pos));
}

}  // namespace
}  // namespace tarnix::test
