// Real message boxes under the window manager: their buttons, captions, styles, default button
// and focus, the answers to clicks, Esc and the close box, and the quit range that closes a
// box by itself and leaves the stop message queued.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "box_driver.h"
#include "host/message_box.h"
#include "host/player_codes.h"

namespace tarnix::test {
namespace {

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

const BoxView::Button* ButtonWithId(const BoxView& v, int id) {
  for (const auto& b : v.buttons)
    if (b.id == id) return &b;
  return nullptr;
}

// Drains every message of this thread in a range, returning how many there were.
int DrainQueued(UINT low, UINT high) {
  MSG msg;
  int n = 0;
  while (PeekMessageA(&msg, nullptr, low, high, PM_REMOVE)) ++n;
  return n;
}

struct ButtonSet {
  unsigned flags;
  std::vector<int> ids;
  std::vector<std::string> captions;
  bool systemMenu;
};

const ButtonSet kSets[] = {
    {MB_OK, {IDOK}, {"&OK"}, false},
    {MB_OKCANCEL, {IDOK, IDCANCEL}, {"&OK", "&Cancel"}, false},
    {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, {"&Abort", "&Retry", "&Ignore"}, false},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, {"&Yes", "&No", "&Cancel"}, true},
    {MB_YESNO, {IDYES, IDNO}, {"&Yes", "&No"}, false},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, {"&Retry", "&Cancel"}, true},
};

TEST(PluginMessageBox, EachButtonSetShowsItsButtonsAndAnswersClicks) {
  for (const ButtonSet& set : kSets) {
    for (size_t pick = 0; pick < set.ids.size(); ++pick) {
      const BoxRun run = RunBox("Save changes to x.trk?", "Tarnix Plugin", set.flags, 0, 0, [&](const BoxView& v) {
        if (const auto* b = ButtonWithId(v, set.ids[pick])) Click(b->window);
      });
      ASSERT_TRUE(run.found) << set.flags;
      EXPECT_EQ(run.result, set.ids[pick]) << "set " << set.flags << " button " << pick;
      if (pick != 0) continue;
      const BoxView& v = run.view;
      EXPECT_EQ(v.caption, "Tarnix Plugin");
      EXPECT_EQ(v.textCaption, "Save changes to x.trk?");
      ASSERT_EQ(v.buttons.size(), set.ids.size()) << set.flags;
      for (size_t i = 0; i < set.ids.size(); ++i) {
        const auto* b = ButtonWithId(v, set.ids[i]);
        ASSERT_NE(b, nullptr) << set.flags << " id " << set.ids[i];
        EXPECT_EQ(b->caption, set.captions[i]);
        if (i > 0) {  // in order from left to right on one row
          const auto* before = ButtonWithId(v, set.ids[i - 1]);
          EXPECT_GT(b->rect.left, before->rect.right - 1);
          EXPECT_EQ(b->rect.top, before->rect.top);
        }
      }
      EXPECT_EQ((v.style & WS_SYSMENU) != 0, set.systemMenu) << set.flags;
      EXPECT_EQ((v.exStyle & WS_EX_DLGMODALFRAME) != 0, set.systemMenu) << set.flags;
      EXPECT_TRUE(v.style & WS_CAPTION);
      EXPECT_TRUE(v.style & WS_POPUP);
      EXPECT_EQ(v.icon, nullptr);
    }
  }
}

TEST(PluginMessageBox, DefaultButtonHasTheFocus) {
  struct Case {
    unsigned flags;
    int defaultId;  // 0: no default button and no focused button
  };
  const Case cases[] = {
      {MB_YESNO, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNO | MB_DEFBUTTON3, 0},
      {MB_YESNOCANCEL, IDYES},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_YESNOCANCEL | MB_DEFBUTTON4, 0},
      {MB_OK | MB_DEFBUTTON4, 0},
      {MB_OK, IDOK},
  };
  for (const Case& c : cases) {
    const BoxRun run = RunBox("Question", "Tarnix Plugin", c.flags, 0, 0,
                              [](const BoxView& v) { PostMessageA(v.box, WM_CLOSE, 0, 0); });
    ASSERT_TRUE(run.found);
    int defaults = 0;
    for (const auto& b : run.view.buttons) {
      if (b.isDefault) {
        ++defaults;
        EXPECT_EQ(b.id, c.defaultId) << std::hex << c.flags;
      }
      if (c.defaultId == 0) {
        EXPECT_NE(run.view.focus, b.window) << std::hex << c.flags;
      }
    }
    EXPECT_EQ(defaults, c.defaultId ? 1 : 0) << std::hex << c.flags;
    if (c.defaultId) {
      const auto* b = ButtonWithId(run.view, c.defaultId);
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(run.view.focus, b->window) << std::hex << c.flags;
    }
  }
}

TEST(PluginMessageBox, EscapeAndCloseAnswerCancel) {
  for (unsigned flags : {MB_OK, MB_OKCANCEL, MB_YESNOCANCEL, MB_YESNO, MB_YESNO | MB_DEFBUTTON4}) {
    const BoxRun esc = RunBox("Esc", "Tarnix Plugin", flags, 0, 0, [](const BoxView& v) {
      HWND target = v.focus ? v.focus : v.box;
      PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    });
    ASSERT_TRUE(esc.found);
    EXPECT_EQ(esc.result, IDCANCEL) << "Esc, flags " << flags;

    const BoxRun close =
        RunBox("Close", "Tarnix Plugin", flags, 0, 0, [](const BoxView& v) { PostMessageA(v.box, WM_CLOSE, 0, 0); });
    ASSERT_TRUE(close.found);
    EXPECT_EQ(close.result, IDCANCEL) << "WM_CLOSE, flags " << flags;
  }
  // The close box of a Yes/No/Cancel box goes the same way.
  const BoxRun sys = RunBox("Close box", "Tarnix Plugin", MB_YESNOCANCEL, 0, 0,
                            [](const BoxView& v) { PostMessageA(v.box, WM_SYSCOMMAND, SC_CLOSE, 0); });
  EXPECT_EQ(sys.result, IDCANCEL);
}

// Keys go where the focus is, as a keyboard's would.
void PressKey(HWND box, DWORD thread, WPARAM key) {
  HWND target = FocusOf(thread);
  if (!target) target = box;
  PostMessageA(target, WM_KEYDOWN, key, 0x00000001);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

// Waits (bounded) until the focus of `thread` leaves `from`.
void WaitForFocusToLeave(DWORD thread, HWND from) {
  for (int i = 0; i < 300 && FocusOf(thread) == from; ++i) Sleep(10);
}

TEST(PluginMessageBox, EnterPressesTheFocusedButton) {
  const DWORD me = GetCurrentThreadId();
  const BoxRun plain = RunBox("Enter", "Tarnix Plugin", MB_YESNO | MB_DEFBUTTON2, 0, 0,
                              [&](const BoxView& v) { PressKey(v.box, me, VK_RETURN); });
  EXPECT_EQ(plain.result, IDNO);

  // Tab moves the focus to the next button, and Enter presses that one.
  const BoxRun tabbed = RunBox("Tab", "Tarnix Plugin", MB_YESNOCANCEL, 0, 0, [&](const BoxView& v) {
    PressKey(v.box, me, VK_TAB);
    const auto* no = ButtonWithId(v, IDNO);
    for (int i = 0; i < 300 && no && FocusOf(me) != no->window; ++i) Sleep(10);
    PressKey(v.box, me, VK_RETURN);
  });
  EXPECT_EQ(tabbed.result, IDNO);

  // Switching to another window and back leaves the focus on the button that had it, not on
  // the box, where Enter would answer IDOK, a button a Yes/No box does not have.
  const BoxRun reactivated =
      RunBox("Away and back", "Tarnix Plugin", MB_YESNO | MB_DEFBUTTON2, 0, 0, [&](const BoxView& v) {
        HWND away = CreateWindowExA(0, "STATIC", "away", WS_POPUP | WS_VISIBLE, 400, 400, 50, 50, nullptr, nullptr,
                                    nullptr, nullptr);
        SetForegroundWindow(away);
        WaitForFocusToLeave(me, v.focus);
        SetForegroundWindow(v.box);
        for (int i = 0; i < 300 && !FocusOf(me); ++i) Sleep(10);
        PressKey(v.box, me, VK_RETURN);
        DestroyWindow(away);
      });
  EXPECT_EQ(reactivated.result, IDNO);

  // Without a default button Enter presses nothing; the click after it answers.
  const BoxRun noDefault = RunBox("No default", "Tarnix Plugin", MB_YESNO | MB_DEFBUTTON3, 0, 0, [&](const BoxView& v) {
    PressKey(v.box, me, VK_RETURN);
    if (const auto* yes = ButtonWithId(v, IDYES)) PostMessageA(yes->window, BM_CLICK, 0, 0);
  });
  EXPECT_EQ(noDefault.result, IDYES);
}

TEST(PluginMessageBox, QuitMessageClosesTheBoxAndStaysQueued) {
  DrainQueued(UM_QUIT, UM_QUIT);

  const DWORD me = GetCurrentThreadId();
  const BoxRun quit = RunBox("Couldn't save C:\\x.trk", "Tarnix Plugin", MB_ICONWARNING, UM_QUIT, 0,
                             [&](const BoxView&) { PostThreadMessageA(me, UM_QUIT, 7, 8); });
  ASSERT_TRUE(quit.found);
  EXPECT_EQ(quit.result, -1);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, UM_QUIT, UM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_EQ(msg.lParam, 8);
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(DrainQueued(UM_QUIT, UM_QUIT), 0);
}

TEST(PluginMessageBox, QuitRangeAndMessagesOutsideIt) {
  const DWORD me = GetCurrentThreadId();
  // A message inside low..high closes the box.
  const BoxRun inRange = RunBox("Range", "Tarnix Plugin", MB_YESNO, UM_SHOW_WINDOW, UM_REPEAT_END,
                                [&](const BoxView&) { PostThreadMessageA(me, UM_FOCUS_WINDOW, 0, 0); });
  EXPECT_EQ(inRange.result, -1);
  EXPECT_EQ(DrainQueued(UM_FOCUS_WINDOW, UM_FOCUS_WINDOW), 1);

  // Reversed bounds are taken as the same range.
  const BoxRun reversed = RunBox("Range", "Tarnix Plugin", MB_YESNO, UM_REPEAT_END, UM_SHOW_WINDOW,
                                 [&](const BoxView&) { PostThreadMessageA(me, UM_HIDE_WINDOW, 0, 0); });
  EXPECT_EQ(reversed.result, -1);
  EXPECT_EQ(DrainQueued(UM_HIDE_WINDOW, UM_HIDE_WINDOW), 1);

  // Messages outside the range, and for other windows, wait untouched until the box is gone.
  // They are queued before the click, so the look for the quit range that follows the click
  // meets them: a box taking them for the quit message would answer -1.
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  const BoxRun outside = RunBox("Outside", "Tarnix Plugin", MB_OK, UM_QUIT, 0, [&](const BoxView& v) {
    PostThreadMessageA(me, UM_REPEAT_END, 0, 0);
    PostMessageA(other, WM_USER + 5, 0, 0);
    Click(v.buttons.at(0).window);
  });
  EXPECT_EQ(outside.result, IDOK);
  EXPECT_EQ(DrainQueued(UM_REPEAT_END, UM_REPEAT_END), 1);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, other, WM_USER + 5, WM_USER + 5, PM_REMOVE));
  DestroyWindow(other);

  // Without quit watching a queued stop message does not close the box.
  const BoxRun unwatched = RunBox("Unwatched", "Tarnix Plugin", MB_OK, 0, 0, [&](const BoxView& v) {
    PostThreadMessageA(me, UM_QUIT, 0, 0);
    Click(v.buttons.at(0).window);
  });
  EXPECT_EQ(unwatched.result, IDOK);
  EXPECT_EQ(DrainQueued(UM_QUIT, UM_QUIT), 1);
}

TEST(PluginMessageBox, LayoutOfShortAndLongTexts) {
  const BoxRun shortBox = RunBox("Hi", "Tarnix Plugin", MB_ABORTRETRYIGNORE, 0, 0,
                                 [](const BoxView& v) { PostMessageA(v.box, WM_CLOSE, 0, 0); });
  ASSERT_TRUE(shortBox.found);
  const BoxView& s = shortBox.view;
  EXPECT_EQ(s.windowRect.right - s.windowRect.left, 30 + 80 * 3);
  EXPECT_EQ(s.windowRect.bottom - s.windowRect.top, 44 + 73);
  ASSERT_EQ(s.buttons.size(), 3u);
  for (const auto& b : s.buttons) {
    EXPECT_EQ(b.rect.top, 44 + 13);
    EXPECT_EQ(b.rect.right - b.rect.left, 75);
    EXPECT_EQ(b.rect.bottom - b.rect.top, 23);
    EXPECT_LE(b.rect.bottom, s.clientRect.bottom);  // the row fits in the client area
  }
  EXPECT_EQ(s.textCaption.find('\n'), std::string::npos);

  const std::string path =
      "C:\\Program_Files\\Winamp\\Bookmarks\\Live_Recordings\\Festival_2000\\Second_Night\\"
      "concert_recording_2000_07_03.trk";
  const BoxRun longBox = RunBox(("Couldn't save " + path).c_str(), "Tarnix Plugin", MB_ICONWARNING, 0, 0,
                                [](const BoxView& v) { PostMessageA(v.box, WM_CLOSE, 0, 0); });
  ASSERT_TRUE(longBox.found);
  const BoxView& l = longBox.view;
  ASSERT_NE(l.icon, nullptr);
  EXPECT_NE(l.textCaption.find("\\\n"), std::string::npos) << l.textCaption;
  EXPECT_EQ(l.textStyle & SS_TYPEMASK, SS_LEFT);
  EXPECT_TRUE(l.textStyle & SS_NOPREFIX);
}

// Texts are UTF-8 and shown whole.
TEST(PluginMessageBox, TextsInOtherScriptsAreShownWhole) {
  const std::string whole = "Couldn't save D:\\Закладки\\愛の歌.trk";
  const BoxRun run =
      RunBox(whole.c_str(), "Tarnix → Plugin", MB_OK, 0, 0, [](const BoxView& v) { Click(v.buttons[0].window); });
  ASSERT_TRUE(run.found);
  EXPECT_EQ(run.view.textCaption, whole);
  EXPECT_EQ(run.view.caption, "Tarnix → Plugin");
  EXPECT_EQ(run.result, IDOK);
}

TEST(PluginMessageBox, NullTextAndCaptionAreEmpty) {
  const BoxRun run = RunBox(nullptr, nullptr, MB_OK, 0, 0, [](const BoxView& v) {
    if (!v.buttons.empty()) Click(v.buttons[0].window);
  });
  ASSERT_TRUE(run.found);
  EXPECT_EQ(run.result, IDOK);
}

// A class of the same name left behind with another procedure (a module loaded again at
// another address) is replaced rather than used.
TEST(PluginMessageBox, StaleClassIsReplaced) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  UnregisterClassA("MyMessageBox", instance);
  WNDCLASSA stale{};
  stale.lpfnWndProc = DefWindowProcA;
  stale.hInstance = instance;
  stale.lpszClassName = "MyMessageBox";
  ASSERT_NE(RegisterClassA(&stale), 0);
  const BoxRun run = RunBox("Stale", "Tarnix Plugin", MB_OKCANCEL, UM_QUIT, 0,
                            [](const BoxView& v) { Click(v.buttons.at(1).window); });
  EXPECT_EQ(run.result, IDCANCEL);
  DrainQueued(UM_QUIT, UM_QUIT);
}

}  // namespace
}  // namespace tarnix::test
