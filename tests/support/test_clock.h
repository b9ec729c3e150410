#pragma once
// The listening code's clock (listening_playback/listening_clock.h) in the in-process test
// build: the system's tick count until a test sets it, then the time the test set, moved only by
// the test. Test-only: the DLL links the system's clock instead.

#include <cstdint>

namespace tarnix::test {

// From now on the clock reads `ms` until it is set or moved again.
void SetListeningClock(uint64_t ms);
void AdvanceListeningClock(uint64_t ms);
// Back to the system's tick count.
void UseSystemClock();

}  // namespace tarnix::test
