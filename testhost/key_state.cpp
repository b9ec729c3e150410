#include "testhost/key_state.h"

namespace tarnix::testhost {

namespace {

// A left or right modifier also marks the generic one, as the keyboard would.
UINT GenericKey(UINT key) {
  switch (key) {
    case VK_LCONTROL:
    case VK_RCONTROL:
      return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
      return VK_MENU;
    case VK_LSHIFT:
    case VK_RSHIFT:
      return VK_SHIFT;
    default:
      return key;
  }
}

bool MarkKeys(const std::vector<UINT>& keys, bool held) {
  BYTE state[256] = {};
  if (!GetKeyboardState(state)) return false;
  for (UINT key : keys) {
    state[key & 0xFF] = held ? 0x80 : 0;
    state[GenericKey(key) & 0xFF] = held ? 0x80 : 0;
  }
  return SetKeyboardState(state) != FALSE;
}

}  // namespace

HeldKeys::HeldKeys(std::initializer_list<UINT> virtualKeys, DWORD otherThread)
    : keys_(virtualKeys), self_(GetCurrentThreadId()), other_(otherThread) {
  if (other_ != 0 && other_ != self_) {
    attached_ = AttachThreadInput(self_, other_, TRUE) != FALSE;
    if (!attached_) return;
  }
  ok_ = MarkKeys(keys_, true);
}

HeldKeys::~HeldKeys() {
  MarkKeys(keys_, false);
  if (attached_) AttachThreadInput(self_, other_, FALSE);
}

bool KeyHeld(UINT virtualKey) { return GetKeyState(static_cast<int>(virtualKey)) < 0; }

}  // namespace tarnix::testhost
