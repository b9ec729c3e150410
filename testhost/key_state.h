#pragma once
// HeldKeys: modifier keys held for code that asks GetKeyState (Ctrl held? Alt held?), while
// posted key messages carry no key state of their own. The keys are marked in the calling
// thread's key state and, when another thread is named, that thread shares the calling thread's
// input (AttachThreadInput) so that it sees the same state. Under Wine's virtual desktop this
// works without a keyboard and without being the foreground window.

#include <windows.h>

#include <initializer_list>
#include <vector>

namespace tarnix::testhost {

class HeldKeys {
 public:
  // otherThread 0: the calling thread only. The other thread needs a message queue.
  HeldKeys(std::initializer_list<UINT> virtualKeys, DWORD otherThread = 0);
  // Releases the keys and ends the shared input.
  ~HeldKeys();
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;

  // Whether the keys are marked and, with another thread, the input is shared.
  bool Ok() const { return ok_; }

 private:
  std::vector<UINT> keys_;
  DWORD self_;
  DWORD other_;
  bool attached_ = false;
  bool ok_ = false;
};

// Whether GetKeyState reports virtualKey held on the calling thread.
bool KeyHeld(UINT virtualKey);

}  // namespace tarnix::testhost
