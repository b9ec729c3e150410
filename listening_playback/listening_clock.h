#pragma once
// The time the listening code reads: when a place was last written down, when a stream's
// length was last asked. One definition is linked per build: the system's tick count in the DLL
// (system_clock.cpp); a clock the tests set in the in-process test build
// (tests/support/test_clock.h), so that a minute of listening needs no minute of waiting.

#include <cstdint>

namespace tarnix {

// Milliseconds of a clock that never goes back.
uint64_t ListeningClockMs();

}  // namespace tarnix
