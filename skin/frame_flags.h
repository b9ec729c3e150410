#pragma once
// The two window flags of the SkinFrame that the player's thread reads (the hook filter): single
// words, relaxed order, since each is read on its own and nothing else is published through them.

#include <atomic>

namespace tarnix {

struct FrameFlags {
  std::atomic<bool> shown{false};   // the window is visible
  std::atomic<bool> docked{false};  // the window keeps its offset from the player's main window
  static_assert(std::atomic<bool>::is_always_lock_free, "the hook filter must never wait");
};

}  // namespace tarnix
