// Held modifier keys as GetKeyState reports them, on the calling thread and on a thread that
// shares its input, and released again.

#include "testhost/key_state.h"
#include "testhost/input.h"
#include "testhost/probe_window.h"
#include "testhost/pump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tarnix::testhost {
namespace {

// A thread with a message queue that answers, on request, which keys it sees held.
class KeyWatcher {
 public:
  KeyWatcher() {
    thread_ = std::thread([this] {
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
      id_ = GetCurrentThreadId();
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_APP) {
          seen_ = (KeyHeld(VK_CONTROL) ? 1 : 0) | (KeyHeld(VK_MENU) ? 2 : 0);
          answered_ = true;
        }
      }
    });
    while (id_ == 0) Sleep(1);
  }
  ~KeyWatcher() {
    PostThreadMessageA(id_, WM_QUIT, 0, 0);
    thread_.join();
  }
  DWORD Id() const { return id_; }
  // Bit 0 Ctrl, bit 1 Alt.
  int Seen() {
    answered_ = false;
    PostThreadMessageA(id_, WM_APP, 0, 0);
    while (!answered_) Sleep(1);
    return seen_;
  }

 private:
  std::atomic<DWORD> id_{0};
  std::atomic<int> seen_{0};
  std::atomic<bool> answered_{false};
  std::thread thread_;
};

TEST(HeldKeysTest, TheCallingThreadSeesTheKeysWhileTheyAreHeld) {
  ASSERT_FALSE(KeyHeld(VK_CONTROL));
  {
    HeldKeys keys({VK_LCONTROL, VK_MENU});
    ASSERT_TRUE(keys.Ok());
    EXPECT_TRUE(KeyHeld(VK_CONTROL)) << "the generic key follows the left one";
    EXPECT_TRUE(KeyHeld(VK_LCONTROL));
    EXPECT_TRUE(KeyHeld(VK_MENU));
    EXPECT_FALSE(KeyHeld(VK_SHIFT));
  }
  EXPECT_FALSE(KeyHeld(VK_CONTROL));
  EXPECT_FALSE(KeyHeld(VK_MENU));
}

TEST(HeldKeysTest, AThreadSharingTheInputSeesThemToo) {
  KeyWatcher watcher;
  EXPECT_EQ(watcher.Seen(), 0);
  {
    HeldKeys keys({VK_CONTROL}, watcher.Id());
    ASSERT_TRUE(keys.Ok());
    EXPECT_EQ(watcher.Seen(), 1);
  }
  EXPECT_EQ(watcher.Seen(), 0) << "released";
  {
    HeldKeys keys({VK_MENU}, watcher.Id());
    ASSERT_TRUE(keys.Ok());
    EXPECT_EQ(watcher.Seen(), 2);
  }
}

TEST(HeldKeysTest, AWindowProcedureReadsCtrlForAPostedKey) {
  bool ctrlWithTab = false;
  int tabs = 0;
  ProbeWindow probe([&](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_KEYDOWN || wParam != VK_TAB) return false;
    ++tabs;
    ctrlWithTab = KeyHeld(VK_CONTROL);
    result = 0;
    return true;
  });
  ASSERT_TRUE(PostKeyDown(probe.Window(), VK_TAB));
  ASSERT_TRUE(PumpUntil([&] { return tabs == 1; }, 2000));
  EXPECT_FALSE(ctrlWithTab);
  {
    HeldKeys keys({VK_CONTROL});
    ASSERT_TRUE(PostKeyDown(probe.Window(), VK_TAB));
    ASSERT_TRUE(PumpUntil([&] { return tabs == 2; }, 2000));
  }
  EXPECT_TRUE(ctrlWithTab);
}

TEST(HeldKeysTest, AnUnknownThreadIsReported) {
  HeldKeys keys({VK_CONTROL}, 0x7FFFFFF0);
  EXPECT_FALSE(keys.Ok());
  EXPECT_FALSE(KeyHeld(VK_CONTROL)) << "nothing marked when the input could not be shared";
}

}  // namespace
}  // namespace tarnix::testhost
