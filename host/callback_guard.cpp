#include "host/callback_guard.h"

#include <windows.h>

#include "host/plugin_globals.h"

namespace tarnix {

namespace {

// Written by whichever callback failed, read by the UI thread's loop after each message.
volatile LONG g_callbackFailed = 0;

}  // namespace

void NoteCallbackFailure() noexcept {
  InterlockedExchange(&g_callbackFailed, 1);
  // The loop may be asleep in GetMessage: give it something to wake up for.
  if (g_plugin.uiThreadId != 0) PostThreadMessageA(g_plugin.uiThreadId, WM_NULL, 0, 0);
}

bool CallbackFailed() noexcept { return InterlockedCompareExchange(&g_callbackFailed, 0, 0) != 0; }

void ResetCallbackFailure() noexcept { InterlockedExchange(&g_callbackFailed, 0); }

}  // namespace tarnix
