#include "plugin/held_file_wait.h"

#include <windows.h>

#include "host/messaging.h"
#include "host/player_codes.h"

namespace tarnix {

namespace {

// A window whose painting never validates it would keep posting WM_PAINT: bound each round.
constexpr int kPaintsPerRound = 16;

}  // namespace

bool WaitKeepingWindowsPainted(int milliseconds) {
  const DWORD start = GetTickCount();
  const DWORD total = milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0;
  for (;;) {
    // Looking at the queue also answers the messages other threads send.
    if (PeekOne(nullptr, nullptr, UM_QUIT, false)) return false;
    MSG msg;
    for (int i = 0; i < kPaintsPerRound && PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
      DispatchMessageA(&msg);
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= total) return true;
    MsgWaitForMultipleObjectsEx(0, nullptr, total - elapsed, QS_PAINT | QS_SENDMESSAGE | QS_POSTMESSAGE, 0);
  }
}

}  // namespace tarnix
