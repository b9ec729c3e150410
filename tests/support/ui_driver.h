#pragma once
// Driving the plug-in's UI from a test: finding the windows of another thread, giving a thread
// the key state of held modifier keys, querying the plug-in window without risking a deadlock,
// and answering popup menus, dialogs and message boxes from a helper thread while the thread
// under test sits in their modal loops.

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnix::testsupport {

// The first top-level window of threadId whose class is className (null: any class) and whose
// title is title (null: any), or null. A threadId of 0 looks at every top-level window.
HWND FindThreadWindow(DWORD threadId, const char* className, const char* title = nullptr);

// Calls predicate every 10 ms until it is true or deadlineMs passed; no message pumping, for
// helper threads.
bool WaitUntil(const std::function<bool()>& predicate, DWORD deadlineMs);

// SendMessageTimeout without SMTO_BLOCK: the calling thread keeps answering sends that reach it
// (the plug-in's thread may be asking the caller, which plays the player, at the same moment).
bool QueryWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, UINT timeoutMs = 5000);

// Shares the input state of the calling thread with otherThread while it lives, so that keys
// marked held with HoldKey are seen by GetKeyState on both threads.
class SharedInput {
 public:
  explicit SharedInput(DWORD otherThread);
  ~SharedInput();
  SharedInput(const SharedInput&) = delete;
  SharedInput& operator=(const SharedInput&) = delete;
  bool Ok() const { return ok_; }

 private:
  DWORD self_;
  DWORD other_;
  bool ok_;
};

// Marks virtualKey held (or released) in the calling thread's key state.
void HoldKey(UINT virtualKey, bool held);

// The focus window of another thread (GetGUIThreadInfo), or null.
HWND ThreadFocus(DWORD threadId);

// A helper thread that waits for a window of threadId matching className/title and then runs
// answer on it (for example pressing a message box button). Stops by itself after deadlineMs.
class WindowAnswerer {
 public:
  WindowAnswerer(DWORD threadId, std::string className, std::string title, std::function<void(HWND)> answer,
                 DWORD deadlineMs = 10000);
  ~WindowAnswerer();
  WindowAnswerer(const WindowAnswerer&) = delete;
  WindowAnswerer& operator=(const WindowAnswerer&) = delete;

  // Whether a window was found and answered.
  bool Answered() const { return answered_; }
  // The text of the answered window's first static control (a message box's text), if any.
  std::string Text() const;

 private:
  std::atomic<bool> answered_{false};
  std::atomic<bool> stop_{false};
  std::string text_;
  std::thread thread_;
};

// A helper thread that answers every plug-in message box ("MyMessageBox") of threadId with the
// command buttonId (IDYES, IDNO, IDOK...) until it is destroyed, keeping their texts.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer(DWORD threadId, int buttonId);
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  std::vector<std::string> Texts() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Closes the popup menu that the thread has open (it answers as if the user pressed Escape).
bool CloseOpenMenu(DWORD threadId, DWORD deadlineMs = 5000);

// Text of a window (GetWindowText).
std::string WindowText(HWND window);

}  // namespace tarnix::testsupport
