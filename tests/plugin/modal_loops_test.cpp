// Modal loops on the plug-in's thread (the list's popup menu, the Open dialog, the save question)
// and what goes on while one is open: tracking, a stop request, a subsong source's messages, and
// quit, which ends the loop as its Cancel would and is not kept waiting.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "testhost/input.h"
#include "testhost/subsong_source.h"
#include "tests/plugin/plugin_test.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

using testhost::PlayState;

constexpr WPARAM kCmdStop = 40047;
const std::string kThree = "01:00:00:00*Opening\r\n01:00:03:00 Middle\r\n01:00:06:00 Closing\r\n";

struct ShownSearch {
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchShown(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<ShownSearch*>(lParam);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, search->className) != 0 || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// A shown top-level window of the thread with this class: "#32768" a popup menu, "#32770" a
// dialog (the plug-in's own four stay hidden here).
HWND ShownWindow(DWORD thread, const char* className) {
  ShownSearch search{className, nullptr};
  EnumThreadWindows(thread, MatchShown, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForShown(PluginSession& h, const char* className) {
  HWND found = nullptr;
  h.PumpUntil([&] { return (found = ShownWindow(h.UiThreadId(), className)) != nullptr; }, 10000);
  return found;
}

// A right-click on the list's first row opens its menu.
HWND OpenListMenu(PluginSession& h) {
  testhost::PostMouse(h.Window(), WM_RBUTTONDOWN, POINT{40, 25}, MK_RBUTTON);
  return WaitForShown(h, "#32768");
}

HWND OpenOpenDialog(PluginSession& h) {
  h.Command(IDM_OPEN);
  return WaitForShown(h, "#32770");
}

// Quits, and expects the plug-in's thread to have ended when quit returned rather than to have
// been left running when quit stopped waiting.
void ExpectQuitEndsTheThread(PluginSession& h) {
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, h.UiThreadId());
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  CloseHandle(thread);
}

void ExpectTrackingWhileOpen(const std::function<HWND(PluginSession&)>& open) {
  PluginSession h;
  ASSERT_TRUE(h.WriteBookmark("s.trk", TrackFile("Stops", kThree)));
  h.Player().SetPlaylist({{"C:\\x\\s.mp3", "Stops", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 0); }, 4000));
  // Held a second before the first boundary until the menu or dialog is open.
  h.Player().Pause();
  h.Player().Seek(2000);
  HWND modal = open(h);
  ASSERT_NE(modal, nullptr);
  h.Player().Pause();
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 1); }, 4000)) << "the highlight stood still";
  ASSERT_TRUE(h.Command(IDM_STOP_AFTER_SUBTRACK));
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().State() == PlayState::kStopped; }, 6000)) << "playback went on";
  EXPECT_EQ(h.Player().Log().CountCommand(kCmdStop), 1);
  EXPECT_TRUE(IsWindowVisible(modal)) << "closed before the end";
  ExpectQuitEndsTheThread(h);
}

TEST(ModalLoops, TrackingAndStopAfterGoOnWhileTheListMenuIsOpen) { ExpectTrackingWhileOpen(OpenListMenu); }

TEST(ModalLoops, TrackingAndStopAfterGoOnWhileTheOpenDialogIsShown) { ExpectTrackingWhileOpen(OpenOpenDialog); }

// Counts the messages of one id that the thread takes off its queue, by any loop.
class TakenCount {
 public:
  TakenCount(DWORD thread, UINT message) {
    message_ = message;
    count_ = 0;
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, Hook, nullptr, thread);
  }
  ~TakenCount() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  bool Ok() const { return hook_ != nullptr; }
  int Count() const { return count_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && reinterpret_cast<const MSG*>(lParam)->message == message_) ++count_;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline std::atomic<UINT> message_{0};
  static inline std::atomic<int> count_{0};
  HHOOK hook_;
};

TEST(ModalLoops, SubsongChangesWhileTheListMenuIsOpenAreHandledOnce) {
  PluginSession h;
  h.Player().SetPlaylist({{"C:\\Music\\game.nsf", "Game music", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  testhost::SubsongSource source(h.Window());
  ASSERT_TRUE(source.Announce(4));
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(4, 0); }, 3000));
  TakenCount taken(h.UiThreadId(), UM_SUBSONG_CHANGED);
  ASSERT_TRUE(taken.Ok());
  HWND menu = OpenListMenu(h);
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(source.SubsongChanged(2));  // sent, as the protocol has it
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(3, 0); }, 3000));
  ASSERT_TRUE(h.Post(UM_SUBSONG_CHANGED, 1));  // posted by a source that does not wait
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(2, 0); }, 3000));
  EXPECT_TRUE(IsWindowVisible(menu));
  ExpectQuitEndsTheThread(h);  // quit closes the menu
  // The post, taken once; the send and the work deferred from either never queue the source's id.
  EXPECT_EQ(taken.Count(), 1);
}

TEST(ModalLoops, QuitDuringTheSaveQuestionKeepsTheEditForTheNextStart) {
  PluginSession h;
  const std::string stored = TrackFile("First", kThree);
  ASSERT_TRUE(h.WriteBookmark("First.trk", stored));
  h.Player().SetPlaylist({{"C:\\x\\first.mp3", "First", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 2); }, 4000));
  ASSERT_TRUE(h.Command(IDM_INSERT_SUBTRACK));
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 3); }, 4000));
  ASSERT_TRUE(h.Command(IDM_NEW));  // asks first whether to save the changed list
  ASSERT_NE(WaitForShown(h, "MyMessageBox"), nullptr);
  ExpectQuitEndsTheThread(h);
  EXPECT_EQ(h.Dir().ReadFile("Bookmarks\\First.trk").value_or(""), stored) << "unanswered is not a yes";
  // The next start takes the kept edit up and saves it into place.
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(h.PumpUntil(
      [&] { return h.Dir().ReadFile("Bookmarks\\First.trk").value_or("").find("New subsong") != std::string::npos; },
      5000));
  EXPECT_TRUE(h.Stop());
}

}  // namespace
}  // namespace tarnix::test
