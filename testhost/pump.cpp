#include "testhost/pump.h"

#include "testhost/request_log.h"

#include <algorithm>
#include <cstdint>

namespace tarnix::testhost {

namespace {

// Returns false when WM_QUIT came.
bool PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& predicate, DWORD deadlineMs) {
  const std::int64_t end = SteadyMs() + deadlineMs;
  for (;;) {
    if (!PumpPending()) return predicate();
    if (predicate()) return true;
    const std::int64_t left = end - SteadyMs();
    if (left <= 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<std::int64_t>(left, 10)), QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

}  // namespace tarnix::testhost
