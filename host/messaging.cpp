#include "host/messaging.h"

#include "host/player_codes.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace tarnix {

namespace {

// Written and read on the UI thread; atomic so that a test driving the UI code from another
// thread reads it whole.
std::atomic<bool> g_quitArrived{false};

// The system time as a count of 100-ns units.
std::int64_t SystemTime100ns() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER value;
  value.LowPart = now.dwLowDateTime;
  value.HighPart = now.dwHighDateTime;
  return static_cast<std::int64_t>(value.QuadPart);
}

}  // namespace

namespace detail {

LRESULT SendMessageGuarded(const GuardedSendLimits& limits, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           UINT quitMessage) {
  for (int attempt = 0; attempt < limits.attempts; ++attempt) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_BLOCK, limits.attemptMs, &result) != 0) {
      return static_cast<LRESULT>(result);
    }
    if (PeekOne(nullptr, nullptr, quitMessage, false)) throw SendMsgQuit();
  }
  throw SendMsgTimeout();
}

}  // namespace detail

LRESULT SendMessageGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT quitMessage) {
  return detail::SendMessageGuarded(detail::GuardedSendLimits{}, window, message, wParam, lParam, quitMessage);
}

LRESULT SendToPlayer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (QuitArrived()) throw SendMsgQuit();
  return SendMessageGuarded(window, message, wParam, lParam, UM_QUIT);
}

void NoteQuitArrived() noexcept { g_quitArrived.store(true); }

bool QuitArrived() noexcept { return g_quitArrived.load(); }

void ForgetQuit() noexcept { g_quitArrived.store(false); }

bool QuitPending() { return QuitArrived() || PeekOne(nullptr, nullptr, UM_QUIT, false); }

bool PeekOne(MSG* msg, HWND window, UINT messageId, bool remove) {
  // A filter of 0 to 0 would match every message, not just WM_NULL.
  if (messageId == 0) return false;
  MSG local;
  return PeekMessageW(msg != nullptr ? msg : &local, window, messageId, messageId, remove ? PM_REMOVE : PM_NOREMOVE) !=
         0;
}

bool WaitForMessageRange(MSG* msg, HWND window, UINT firstId, UINT lastId, int timeoutMs) {
  if (lastId < firstId || lastId == 0) return false;
  MSG local;
  MSG* into = msg != nullptr ? msg : &local;
  // Elapsed time is summed from the steps between looks, and a step backwards (the system clock
  // was set back) counts as nothing, so that such a change cannot stretch the wait.
  std::int64_t last = SystemTime100ns();
  std::int64_t waited = 0;
  for (;;) {
    if (PeekMessageW(into, window, firstId, lastId, PM_REMOVE) != 0) return true;
    const std::int64_t now = SystemTime100ns();
    if (now > last) waited += now - last;
    last = now;
    const std::int64_t remaining = static_cast<std::int64_t>(timeoutMs) - waited / 10000;
    if (remaining <= 0) return false;
    const DWORD slice = static_cast<DWORD>(std::min<std::int64_t>(remaining, kMessageWaitSliceMs));
    MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
  }
}

bool WaitForMessage(MSG* msg, HWND window, UINT messageId, int timeoutMs) {
  return WaitForMessageRange(msg, window, messageId, messageId, timeoutMs);
}

}  // namespace tarnix
