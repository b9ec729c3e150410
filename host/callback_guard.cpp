#include "host/callback_guard.h"

#include <windows.h>

#include "host/shared_with_player.h"

namespace tarnix {

void NoteCallbackFailure() noexcept {
  Shared().callbackFailed.store(true);
  // The loop may be asleep in GetMessage: give it something to wake up for.
  const DWORD uiThread = Shared().uiThreadId.load();
  if (uiThread != 0) PostThreadMessageA(uiThread, WM_NULL, 0, 0);
}

bool CallbackFailed() noexcept { return Shared().callbackFailed.load(); }

void ResetCallbackFailure() noexcept { Shared().callbackFailed.store(false); }

}  // namespace tarnix
