// Input handling of the skinned window: gestures through HandleMessage and the window's own
// queue, buttons, clicks, keys of the list and the scroll bar's arithmetic.

#include <gtest/gtest.h>

#include "skin_fixture.h"

namespace tarnix::test {
namespace {

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

POINT Centre(const Widget& w) {
  const RECT r = w.GetRect();
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(MoveTest, CaptionStripMovesTheWindow) {
  SkinHarness h;
  h.frame.snapDistance = -1;
  const RECT before = WindowRect(h.window);
  EXPECT_TRUE(h.Mouse(WM_LBUTTONDOWN, 50, 14));
  EXPECT_EQ(h.frame.CurrentDragMode(), DragMode::Move);
  EXPECT_EQ(GetCapture(), h.window);
  h.Mouse(WM_MOUSEMOVE, 80, 34);
  const RECT after = WindowRect(h.window);
  EXPECT_EQ(after.left - before.left, 30);
  EXPECT_EQ(after.top - before.top, 20);
  EXPECT_EQ(h.frame.posX, after.left);
  EXPECT_EQ(h.frame.posY, after.top);
  EXPECT_FALSE(h.frame.docked);
  h.Mouse(WM_LBUTTONUP, 80, 34);
  EXPECT_EQ(h.frame.CurrentDragMode(), DragMode::None);
  EXPECT_NE(GetCapture(), h.window);
  // Moves without the button held do nothing but are still taken.
  EXPECT_TRUE(h.Mouse(WM_MOUSEMOVE, 10, 10));
  EXPECT_EQ(WindowRect(h.window).left, after.left);
}

TEST(MoveTest, BelowTheStripIsAClickOnTheWidgets) {
  SkinHarness h;
  FillRows(*h.widgets.list, 5);
  h.Mouse(WM_LBUTTONDOWN, 50, 15 + h.frame.LineHeight());
  EXPECT_EQ(h.frame.CurrentDragMode(), DragMode::None);
  EXPECT_GE(h.widgets.list->SelectedRow(), 0);
  h.Mouse(WM_LBUTTONUP, 50, 15);
  // On the close button in the strip there is no move either.
  const POINT close = Centre(*h.widgets.buttons[kCloseButton]);
  h.Mouse(WM_LBUTTONDOWN, close.x, close.y);
  EXPECT_EQ(h.frame.CurrentDragMode(), DragMode::None);
  EXPECT_EQ(h.frame.PressedWidget(), h.widgets.buttons[kCloseButton]);
  h.Mouse(WM_LBUTTONUP, close.x, close.y);
  EXPECT_EQ(g_buttonClicks[kCloseButton].count, 1);
}

TEST(MoveTest, QueuedMovesCollapseIntoTheNewest) {
  SkinHarness h;
  h.frame.snapDistance = -1;
  const RECT before = WindowRect(h.window);
  h.Mouse(WM_LBUTTONDOWN, 50, 5);
  for (int i = 1; i <= 5; ++i) PostMessageA(h.window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50 + i, 5 + 2 * i));
  h.Mouse(WM_MOUSEMOVE, 51, 6);  // the first move; the five queued ones follow at once
  const RECT after = WindowRect(h.window);
  EXPECT_EQ(after.left - before.left, 5);
  EXPECT_EQ(after.top - before.top, 10);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, h.window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
  h.Mouse(WM_LBUTTONUP, 55, 15);
}

TEST(MoveTest, ADragThatLosesTheCaptureEnds) {
  SkinHarness h;
  h.frame.snapDistance = -1;
  auto& list = *h.widgets.list;
  auto& bar = *h.widgets.scrollBar;
  ShowLines(h.frame, list, 5);
  FillRows(list, 20);
  // A message box shown meanwhile cancels the mode (the default procedure lets the capture go),
  // and the button-up goes elsewhere: later moves, held or not, must not drag any more.
  h.Mouse(WM_LBUTTONDOWN, 50, 5);
  h.Mouse(WM_MOUSEMOVE, 60, 5);
  const RECT moved = WindowRect(h.window);
  SendMessageA(h.window, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(h.frame.CurrentDragMode(), DragMode::None);
  EXPECT_FALSE(h.frame.LeftDown());
  h.Mouse(WM_MOUSEMOVE, 120, 60);
  EXPECT_EQ(WindowRect(h.window).left, moved.left);
  EXPECT_EQ(WindowRect(h.window).top, moved.top);

  const RECT r = bar.GetRect();
  h.Mouse(WM_LBUTTONDOWN, r.left + 2, r.top + 29);
  ASSERT_EQ(h.frame.CurrentDragMode(), DragMode::ScrollDrag);
  // Another window of the thread takes the capture: the thumb comes up where it was dragged.
  const WindowHandle other(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  SetCapture(other.Get());
  EXPECT_FALSE(bar.IsPressed());
  EXPECT_EQ(h.frame.PressedWidget(), nullptr);
  h.Mouse(WM_MOUSEMOVE, r.left + 2, r.bottom);
  EXPECT_EQ(list.TopRow(), 7);
  ReleaseCapture();
}

TEST(ResizeTest, GripStepsAndTheMinimum) {
  struct Step {
    int dx, dy;
    int width, height;
  };
  // Each step is the pointer's offset from the press point on the grip.
  const Step steps[] = {
      // The press point moves along by every step taken, so offsets count from the last step.
      {11, 0, 275, 116}, {12, 0, 300, 116}, {36, 0, 300, 116},      {37, 0, 325, 116},
      {13, 0, 325, 116}, {12, 0, 300, 116}, {-12, 0, 300, 116},     {-13, 0, 275, 116},
      {0, 13, 275, 116}, {0, 14, 275, 145}, {-300, -300, 275, 116},
  };
  SkinHarness h;
  const POINT grip = Centre(*h.widgets.buttons[kGripButton]);
  h.Mouse(WM_LBUTTONDOWN, grip.x, grip.y);
  ASSERT_EQ(h.frame.CurrentDragMode(), DragMode::Resize);
  for (const Step& s : steps) {
    h.Mouse(WM_MOUSEMOVE, grip.x + s.dx, grip.y + s.dy);
    EXPECT_EQ(h.frame.width, s.width) << s.dx << "," << s.dy;
    EXPECT_EQ(h.frame.height, s.height) << s.dx << "," << s.dy;
    const RECT r = WindowRect(h.window);
    EXPECT_EQ(r.right - r.left, s.width);
    EXPECT_EQ(r.bottom - r.top, s.height);
  }
  h.Mouse(WM_LBUTTONUP, grip.x, grip.y);
  EXPECT_EQ(h.frame.CurrentDragMode(), DragMode::None);
  // The widgets follow the new size.
  EXPECT_EQ(h.widgets.buttons[0]->GetRect().left, h.frame.width - 168);
}

TEST(ResizeTest, ShrinkingTakes38PixelsToTheLeft) {
  SkinHarness h(SkinHarness::Options{325, 145});
  const POINT grip = Centre(*h.widgets.buttons[kGripButton]);
  h.Mouse(WM_LBUTTONDOWN, grip.x, grip.y);
  h.Mouse(WM_MOUSEMOVE, grip.x - 37, grip.y - 43);
  EXPECT_EQ(h.frame.width, 325);
  EXPECT_EQ(h.frame.height, 145);
  h.Mouse(WM_MOUSEMOVE, grip.x - 38, grip.y - 44);
  EXPECT_EQ(h.frame.width, 300);
  EXPECT_EQ(h.frame.height, 116);
  h.Mouse(WM_LBUTTONUP, grip.x - 38, grip.y - 44);
}

TEST(ButtonTest, ReleaseOutsideRunsNothingAndReturningPressesAgain) {
  SkinHarness h;
  auto& button = *h.widgets.buttons[0];
  const POINT c = Centre(button);
  const RECT r = button.GetRect();
  auto pressedShown = [&] { return h.At(h.Capture(), r.left + 2, r.top + 2) == SkinPixel(108 + 2, 111 + 2); };
  h.Mouse(WM_LBUTTONDOWN, c.x, c.y);
  EXPECT_TRUE(pressedShown());
  EXPECT_NE(GetCapture(), h.window) << "plain buttons do not capture the mouse";
  h.Mouse(WM_MOUSEMOVE, 40, 40);
  EXPECT_FALSE(pressedShown());
  h.Mouse(WM_LBUTTONUP, 40, 40);
  EXPECT_EQ(g_buttonClicks[0].count, 0);
  EXPECT_EQ(h.frame.PressedWidget(), nullptr);

  h.Mouse(WM_LBUTTONDOWN, c.x, c.y);
  h.Mouse(WM_MOUSEMOVE, 40, 40);
  h.Mouse(WM_MOUSEMOVE, c.x + 1, c.y);
  EXPECT_TRUE(pressedShown());
  h.Mouse(WM_LBUTTONUP, c.x + 1, c.y);
  EXPECT_FALSE(pressedShown());
  EXPECT_EQ(g_buttonClicks[0].count, 1);
  EXPECT_EQ(g_buttonClicks[0].x, c.x + 1);
  EXPECT_EQ(g_buttonClicks[0].y, c.y);
}

TEST(ButtonTest, ASharedEdgeBelongsToTheWidgetDrawnThere) {
  // Menu covers 107 to 136 and File 137 to 166; Next ends where the grip begins, at 257.
  SkinHarness h;
  const RECT file = h.widgets.buttons[1]->GetRect();
  ASSERT_EQ(h.widgets.buttons[0]->GetRect().right, file.left);
  h.Mouse(WM_LBUTTONDOWN, file.left, file.top + 5);
  h.Mouse(WM_LBUTTONUP, file.left, file.top + 5);
  EXPECT_EQ(g_buttonClicks[0].count, 0);
  EXPECT_EQ(g_buttonClicks[1].count, 1);
  const RECT grip = h.widgets.buttons[kGripButton]->GetRect();
  ASSERT_EQ(h.widgets.buttons[4]->GetRect().right, grip.left);
  h.Mouse(WM_LBUTTONDOWN, grip.left, grip.top + 5);
  EXPECT_EQ(h.frame.CurrentDragMode(), DragMode::Resize);
  h.Mouse(WM_LBUTTONUP, grip.left, grip.top + 5);
  EXPECT_EQ(g_buttonClicks[4].count, 0);
  // An edge no other widget shares still belongs to its widget: the grip reaches the window's
  // corner, the scroll arrow its glyph's last column.
  h.Mouse(WM_LBUTTONDOWN, h.width() - 1, h.height() - 1);
  EXPECT_EQ(h.frame.CurrentDragMode(), DragMode::Resize);
  h.Mouse(WM_LBUTTONUP, h.width() - 1, h.height() - 1);
  const RECT up = h.widgets.buttons[kScrollUpButton]->GetRect();
  h.Mouse(WM_LBUTTONDOWN, up.right, up.top + 2);
  h.Mouse(WM_LBUTTONUP, up.right, up.top + 2);
  EXPECT_EQ(g_buttonClicks[kScrollUpButton].count, 1);
}

TEST(ButtonTest, DoubleClickRunsTheHandlerTwice) {
  SkinHarness h;
  const POINT c = Centre(*h.widgets.buttons[4]);
  h.Mouse(WM_LBUTTONDOWN, c.x, c.y);
  h.Mouse(WM_LBUTTONUP, c.x, c.y);
  h.Mouse(WM_LBUTTONDBLCLK, c.x, c.y);
  h.Mouse(WM_LBUTTONUP, c.x, c.y);
  EXPECT_EQ(g_buttonClicks[4].count, 2);
}

TEST(ButtonTest, ToggleFlipsOnRelease) {
  SkinHarness h;
  auto& button = *h.widgets.buttons[2];
  button.AddFlags(SkinButton::kToggle);
  const POINT c = Centre(button);
  h.Mouse(WM_LBUTTONDOWN, c.x, c.y);
  h.Mouse(WM_LBUTTONUP, c.x, c.y);
  EXPECT_TRUE(button.IsOn());
  EXPECT_EQ(g_buttonClicks[2].count, 1);
  h.Mouse(WM_LBUTTONDOWN, c.x, c.y);
  h.Mouse(WM_LBUTTONUP, 5, 60);
  EXPECT_TRUE(button.IsOn()) << "released elsewhere: no flip";
}

TEST(ButtonTest, ScrollButtonsRunTheirHandlers) {
  SkinHarness h;
  for (int i : {kScrollUpButton, kScrollDownButton}) {
    const POINT c = Centre(*h.widgets.buttons[i]);
    h.Mouse(WM_LBUTTONDOWN, c.x, c.y);
    h.Mouse(WM_LBUTTONUP, c.x, c.y);
    EXPECT_EQ(g_buttonClicks[i].count, 1) << i;
  }
}

TEST(RightClickTest, WhoTakesIt) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  ShowLines(h.frame, list, 5);
  FillRows(list, 3);
  const int lh = h.frame.LineHeight();
  const RECT lr = list.GetRect();
  // Buttons with their own right-click handler take it.
  const POINT b0 = Centre(*h.widgets.buttons[0]);
  h.Mouse(WM_RBUTTONDOWN, b0.x, b0.y);
  EXPECT_EQ(g_buttonRightClicks[0].count, 1);
  EXPECT_EQ(g_backgroundClicks.count, 0);
  // Buttons 5 to 8 have none: the background handler gets the point.
  for (int i = 5; i <= 8; ++i) {
    const POINT c = Centre(*h.widgets.buttons[i]);
    h.Mouse(WM_RBUTTONDOWN, c.x, c.y);
    EXPECT_EQ(g_backgroundClicks.count, i - 4) << i;
    EXPECT_EQ(g_backgroundClicks.x, c.x);
    EXPECT_EQ(g_backgroundClicks.y, c.y);
  }
  // On a row: selected and the row menu opens; below the last row: the background menu.
  h.Mouse(WM_RBUTTONDOWN, 40, lr.top + 1 + lh + 2);
  EXPECT_EQ(list.SelectedRow(), 1);
  EXPECT_EQ(g_contextMenus.count, 1);
  const int backgroundBefore = g_backgroundClicks.count;
  h.Mouse(WM_RBUTTONDOWN, 40, lr.top + 1 + 4 * lh + 2);
  EXPECT_EQ(g_contextMenus.count, 1);
  EXPECT_EQ(g_backgroundClicks.count, backgroundBefore + 1);
  EXPECT_EQ(list.SelectedRow(), 1);
  // The title has no handler either.
  h.widgets.title->SetVisible(true);
  EXPECT_FALSE(h.widgets.title->OnRightClick(20, 22));
  EXPECT_TRUE(h.Mouse(WM_RBUTTONUP, 40, 40));
  EXPECT_TRUE(h.Mouse(WM_RBUTTONDBLCLK, 40, 40));
}

TEST(ListMouseTest, ClickSelectsDoubleClickActivates) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  ShowLines(h.frame, list, 5);
  FillRows(list, 3);
  const int lh = h.frame.LineHeight();
  const int y2 = list.GetRect().top + 1 + 2 * lh + 1;
  h.Mouse(WM_LBUTTONDOWN, 40, y2);
  h.Mouse(WM_LBUTTONUP, 40, y2);
  EXPECT_EQ(list.SelectedRow(), 2);
  EXPECT_EQ(g_selectionChanges, 1);
  h.Mouse(WM_LBUTTONDBLCLK, 40, y2);
  EXPECT_EQ(g_activations.count, 1);
  EXPECT_EQ(g_activations.y, y2);
  // Each row is hit where it is drawn, down to its last line of pixels.
  for (int row : {0, 1}) {
    const RECT box = list.RowBox(row);
    h.Mouse(WM_LBUTTONDOWN, 40, box.bottom - 1);
    h.Mouse(WM_LBUTTONUP, 40, box.bottom - 1);
    EXPECT_EQ(list.SelectedRow(), row);
    const auto image = h.Capture();
    EXPECT_EQ(h.At(image, 40, box.bottom - 1), kSelectedBgColour) << row;
  }
  list.Select(2);
  // Below the last row: the earlier selection stays and is played.
  h.Mouse(WM_LBUTTONDBLCLK, 40, list.GetRect().top + 1 + 4 * lh);
  EXPECT_EQ(list.SelectedRow(), 2);
  EXPECT_EQ(g_activations.count, 2);
  EXPECT_EQ(g_selectionChanges, 4);
}

struct KeyCase {
  const char* what;
  int rows, pageRows, top, selected;
  WPARAM key;
  bool ctrl;
  int expectTop, expectSelected;
};

TEST(ListKeysTest, Navigation) {
  const KeyCase cases[] = {
      {"empty: Home", 0, 5, 0, -1, VK_HOME, false, 0, -1},
      {"empty: End", 0, 5, 0, -1, VK_END, false, 0, -1},
      {"empty: Up", 0, 5, 0, -1, VK_UP, false, 0, -1},
      {"empty: Down", 0, 5, 0, -1, VK_DOWN, false, 0, -1},
      {"empty: Page Up", 0, 5, 0, -1, VK_PRIOR, false, 0, -1},
      {"empty: Page Down", 0, 5, 0, -1, VK_NEXT, false, 0, -1},
      {"Page Down from the top", 10, 5, 0, -1, VK_NEXT, false, 4, 4},
      {"second Page Down is pulled back", 10, 5, 4, 4, VK_NEXT, false, 5, 6},
      {"further Page Down", 10, 5, 5, 6, VK_NEXT, false, 5, 6},
      {"3 rows: Page Down does nothing", 3, 5, 0, 1, VK_NEXT, false, 0, 1},
      {"Page Up by four", 20, 5, 9, 9, VK_PRIOR, false, 5, 5},
      {"Page Up to the top", 20, 5, 3, 5, VK_PRIOR, false, 0, 0},
      {"Home", 20, 5, 10, 12, VK_HOME, false, 0, 0},
      {"End", 20, 5, 0, 0, VK_END, false, 15, 19},
      {"Down below the page scrolls it", 20, 5, 0, 4, VK_DOWN, false, 1, 5},
      {"Up above the page scrolls it", 20, 5, 6, 6, VK_UP, false, 5, 5},
      {"Down at the last row", 20, 5, 15, 19, VK_DOWN, false, 15, 19},
      {"Up without a selection", 20, 5, 0, -1, VK_UP, false, 0, -1},
      {"Down without a selection", 20, 5, 0, -1, VK_DOWN, false, 0, -1},
      {"Ctrl+Down scrolls, selection stays", 20, 5, 3, 4, VK_DOWN, true, 4, 4},
      {"Ctrl+Down at the end", 20, 5, 15, 4, VK_DOWN, true, 15, 4},
      {"Ctrl+Up scrolls", 20, 5, 3, 4, VK_UP, true, 2, 4},
      {"Ctrl+Up at the top", 20, 5, 0, 4, VK_UP, true, 0, 4},
  };
  SkinHarness h;
  auto& list = *h.widgets.list;
  BYTE keys[256];
  for (const KeyCase& c : cases) {
    ShowLines(h.frame, list, c.pageRows);
    ASSERT_EQ(list.PageRowCount(), c.pageRows);
    list.Clear();
    list.Redraw();  // an empty list drops the marks of the previous case
    FillRows(list, c.rows);
    list.ScrollTo(c.top, 0, true, false);
    if (c.selected >= 0) {
      list.Select(c.selected);
      list.ScrollTo(c.top, 0, true, false);
    }
    ASSERT_EQ(list.TopRow(), c.top) << c.what;
    ASSERT_EQ(list.SelectedRow(), c.selected) << c.what;
    GetKeyboardState(keys);
    keys[VK_CONTROL] = c.ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(h.Key(c.key)) << c.what;
    EXPECT_EQ(list.TopRow(), c.expectTop) << c.what;
    EXPECT_EQ(list.SelectedRow(), c.expectSelected) << c.what;
  }
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

TEST(ListKeysTest, EnterLeftRightAndTheApplicationsKey) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  ShowLines(h.frame, list, 5);
  FillRows(list, 0);
  EXPECT_TRUE(h.Key(VK_RETURN));
  EXPECT_EQ(g_activations.count, 1) << "Enter activates even an empty list";
  EXPECT_EQ(g_activations.x, -1);
  EXPECT_EQ(g_activations.y, -1);
  EXPECT_FALSE(h.Key(VK_LEFT));
  EXPECT_FALSE(h.Key(VK_RIGHT));
  EXPECT_FALSE(h.Key('A'));

  FillRows(list, 20);
  list.Select(7);
  list.ScrollTo(5, 0, true, false);
  const RECT r = list.GetRect();
  const int lh = h.frame.LineHeight();
  EXPECT_TRUE(h.Key(VK_APPS));
  EXPECT_EQ(g_contextMenus.count, 1);
  EXPECT_EQ(g_contextMenus.x, r.left + 20);
  EXPECT_EQ(g_contextMenus.y, r.top + 2 * lh + lh / 2);
  // Scrolled out of view: nothing opens from the list, the frame would open its own menu.
  list.ScrollTo(12, 0, true, false);
  EXPECT_TRUE(h.Key(VK_APPS));
  EXPECT_EQ(g_contextMenus.count, 1);
}

TEST(ListViewTest, AListTooLowForALineKeepsItsSelection) {
  // A large font in a low window: no line fits, yet the keyboard row is still there to move
  // and to be read out.
  SkinHarness h;
  auto& list = *h.widgets.list;
  ShowLines(h.frame, list, 0);
  ASSERT_EQ(list.PageRowCount(), 0);
  FillRows(list, 10);
  list.Select(3);
  EXPECT_EQ(list.SelectedRow(), 3);
  EXPECT_TRUE(h.Key(VK_DOWN));
  EXPECT_EQ(list.SelectedRow(), 4);
  EXPECT_TRUE(h.Key(VK_END));
  EXPECT_EQ(list.SelectedRow(), 9);
  EXPECT_EQ(list.TopRow(), 9);
}

TEST(ListViewTest, RowsAndMarks) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  list.InsertRow(0, "b", 0x20000);
  list.InsertRow(-1, "c", 0x30000);
  list.InsertRow(0, "a", 0x10000);
  list.InsertRow(99, "d", 0x10001);
  ASSERT_EQ(list.RowCount(), 4);
  const int32_t keys[] = {0x10000, 0x20000, 0x30000, 0x10001};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list.KeyAt(i), keys[i]);
  EXPECT_EQ(list.KeyAt(-1), 0);
  EXPECT_EQ(list.KeyAt(4), 0);
  list.SetRow(7, "x", 5);
  list.SetRow(1, "B", 0x20001);
  EXPECT_EQ(list.KeyAt(1), 0x20001);
  list.SetCurrentByKey(0x30000);
  EXPECT_EQ(list.CurrentRow(), 2);
  EXPECT_EQ(list.CurrentKey(), 0x30000);
  list.SetCurrentByKey(0x7777);
  EXPECT_EQ(list.CurrentRow(), -1);
  EXPECT_EQ(list.CurrentKey(), 0);
  list.SelectByKey(0x10001);
  EXPECT_EQ(list.SelectedRow(), 3);
  EXPECT_EQ(list.SelectedKey(), 0x10001);
  list.SelectByKey(0x7777);
  EXPECT_EQ(list.SelectedRow(), 3);
  list.Select(9);
  EXPECT_EQ(list.SelectedRow(), 3);
  // Clear leaves the marks; drawing repairs them.
  list.Clear();
  EXPECT_EQ(list.SelectedRow(), 3);
  EXPECT_EQ(list.SelectedKey(), 0);
  list.Redraw();
  EXPECT_EQ(list.SelectedRow(), -1);
  EXPECT_EQ(list.TopRow(), 0);
}

TEST(ListViewTest, SelectingScrollsTheRowIntoView) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  ShowLines(h.frame, list, 5);
  FillRows(list, 20);
  list.Select(12);
  EXPECT_EQ(list.TopRow(), 8) << "below the view: the last visible line";
  list.Select(3);
  EXPECT_EQ(list.TopRow(), 3) << "above the view: the first line";
  list.ShowRow(10, 2);
  EXPECT_EQ(list.TopRow(), 8) << "two rows of margin below";
}

TEST(ScrollBarTest, PressAndDragArithmetic) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  auto& bar = *h.widgets.scrollBar;
  ShowLines(h.frame, list, 5);
  FillRows(list, 20);
  const RECT r = bar.GetRect();
  ASSERT_EQ(r.bottom - r.top, 57);
  ASSERT_EQ(bar.Range(), 39);
  const int x = r.left + 2;

  h.Mouse(WM_LBUTTONDOWN, x, r.top);
  EXPECT_EQ(list.TopRow(), 0);
  EXPECT_EQ(bar.ThumbPos(), 0);
  h.Mouse(WM_LBUTTONUP, x, r.top);

  h.Mouse(WM_LBUTTONDOWN, x, r.top + 29);
  EXPECT_EQ(h.frame.CurrentDragMode(), DragMode::ScrollDrag);
  EXPECT_EQ(GetCapture(), h.window);
  EXPECT_TRUE(bar.IsPressed());
  EXPECT_EQ(list.TopRow(), 7);
  EXPECT_EQ(bar.ThumbPos(), 18);
  // While held, playback neither scrolls the list nor moves the thumb.
  list.ShowRow(15, 0);
  EXPECT_EQ(list.TopRow(), 7);
  bar.SyncToList(0, 15);
  EXPECT_EQ(bar.ThumbPos(), 18);
  // Dragging to the bottom shows the last page.
  h.Mouse(WM_MOUSEMOVE, x, r.bottom + 40);
  EXPECT_EQ(list.TopRow(), 15);
  EXPECT_EQ(bar.ThumbPos(), 39);
  h.Mouse(WM_LBUTTONUP, x, r.bottom + 40);
  EXPECT_FALSE(bar.IsPressed());
  EXPECT_EQ(h.frame.CurrentDragMode(), DragMode::None);
  // Released, the thumb follows the list again.
  list.ShowRow(2, 0);
  EXPECT_EQ(list.TopRow(), 2);
  EXPECT_EQ(bar.ThumbPos(), 2 * 39 / 15);
}

TEST(ScrollBarTest, NothingToScroll) {
  SkinHarness h;
  auto& list = *h.widgets.list;
  auto& bar = *h.widgets.scrollBar;
  ShowLines(h.frame, list, 5);
  FillRows(list, 5);
  const RECT r = bar.GetRect();
  h.Mouse(WM_LBUTTONDOWN, r.left + 1, r.top + 40);
  h.Mouse(WM_MOUSEMOVE, r.left + 1, r.bottom);
  EXPECT_EQ(list.TopRow(), 0);
  EXPECT_EQ(bar.ThumbPos(), 0);
  h.Mouse(WM_LBUTTONUP, r.left + 1, r.bottom);
}

TEST(ScrollBarTest, AWindowTooLowForTheThumbDoesNotDivideByZero) {
  SkinHarness h(SkinHarness::Options{275, 77});
  auto& list = *h.widgets.list;
  auto& bar = *h.widgets.scrollBar;
  FillRows(list, 30);
  const RECT r = bar.GetRect();
  ASSERT_LE(bar.Range(), 0);
  h.Mouse(WM_LBUTTONDOWN, r.left + 1, r.top + 5);
  h.Mouse(WM_MOUSEMOVE, r.left + 1, r.top + 50);
  h.Mouse(WM_LBUTTONUP, r.left + 1, r.top + 50);
  EXPECT_EQ(bar.ThumbPos(), 0);
  EXPECT_EQ(list.TopRow(), 0);
}

TEST(MessageTest, WhatTheFrameTakes) {
  SkinHarness h;
  LRESULT result = 0;
  EXPECT_TRUE(h.frame.HandleMessage(WM_ERASEBKGND, 0, 0, &result));
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(h.frame.HandleMessage(WM_KILLFOCUS, 0, 0, nullptr));
  EXPECT_TRUE(h.frame.CaptionInactive());
  h.frame.shown = false;
  EXPECT_FALSE(h.frame.HandleMessage(WM_SHOWWINDOW, 1, 0, nullptr));
  EXPECT_TRUE(h.frame.shown);
  ShowWindow(h.window, SW_HIDE);
  EXPECT_FALSE(h.frame.shown) << "the real show message reaches the frame through the window";
  EXPECT_FALSE(h.frame.HandleMessage(WM_COMMAND, 40001, 0, nullptr));
  EXPECT_FALSE(h.frame.HandleMessage(WM_TIMER, 1, 0, nullptr));
  // Mouse messages posted to the window and pumped like the UI thread's loop.
  h.frame.snapDistance = -1;
  ShowWindow(h.window, SW_SHOWNOACTIVATE);
  const RECT before = WindowRect(h.window);
  PostMessageA(h.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 4));
  PostMessageA(h.window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(47, 9));
  PostMessageA(h.window, WM_LBUTTONUP, 0, MAKELPARAM(47, 9));
  h.Pump();
  EXPECT_EQ(WindowRect(h.window).left - before.left, 7);
  EXPECT_EQ(WindowRect(h.window).top - before.top, 5);
}

}  // namespace
}  // namespace tarnix::test
