#pragma once
// No C++ exception may unwind through a Win32 callback frame (window or dialog procedure, hook,
// enumeration callback): with DWARF unwinding that terminates the player. Callbacks run their
// work through GuardCallback; a failure of a guarded send is recorded, and the UI thread's loop,
// once the callback has returned, stops exactly as if the exception had reached it.

#include <utility>

namespace tarnix {

// Records that a guarded send failed inside a callback and wakes the UI thread's loop.
void NoteCallbackFailure() noexcept;
// True once a callback failed; the loop checks it after every message it handled.
bool CallbackFailed() noexcept;
void ResetCallbackFailure() noexcept;

// Runs fn; returns false (after NoteCallbackFailure) when it threw.
template <class F>
bool GuardCallback(F&& fn) noexcept {
  try {
    std::forward<F>(fn)();
    return true;
  } catch (...) {
    NoteCallbackFailure();
    return false;
  }
}

}  // namespace tarnix
