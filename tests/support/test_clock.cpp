#include "tests/support/test_clock.h"

#include <windows.h>

#include <atomic>

#include "listening_playback/listening_clock.h"

namespace tarnix {

namespace {

std::atomic<bool> g_set{false};
std::atomic<uint64_t> g_ms{0};

}  // namespace

uint64_t ListeningClockMs() { return g_set.load() ? g_ms.load() : GetTickCount64(); }

namespace test {

void SetListeningClock(uint64_t ms) {
  g_ms.store(ms);
  g_set.store(true);
}

void AdvanceListeningClock(uint64_t ms) { g_ms.fetch_add(ms); }

void UseSystemClock() { g_set.store(false); }

}  // namespace test
}  // namespace tarnix
