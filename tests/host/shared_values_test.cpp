// The values the player's thread reads while the UI thread writes them.

#include <gtest/gtest.h>

#include <atomic>
#include <type_traits>

#include "host/shared_with_player.h"

namespace tarnix {
namespace {

// The hook filter reads these on the player's thread while the UI thread writes them: each must
// be an atomic that never takes a lock.
template <class T>
constexpr bool kLockFreeAtomic = std::is_same_v<T, std::atomic<typename T::value_type>>&& T::is_always_lock_free;

TEST(HookSharedValues, AreLockFreeAtomics) {
  static_assert(kLockFreeAtomic<decltype(FrameFlags::shown)>);
  static_assert(kLockFreeAtomic<decltype(FrameFlags::docked)>);
  static_assert(kLockFreeAtomic<decltype(SharedWithPlayer::hotKey)>);
  static_assert(kLockFreeAtomic<decltype(SharedWithPlayer::repeatItem)>);
  static_assert(kLockFreeAtomic<decltype(SharedWithPlayer::ctrlTabForwarding)>);
  SUCCEED();
}

}  // namespace
}  // namespace tarnix
