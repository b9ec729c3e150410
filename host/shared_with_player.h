#pragma once
// The only plug-in state that another thread than the UI thread touches, kept together so it can
// be seen at a glance, and reached through Shared() alone. The player's thread runs init, config
// and quit and the hook filter; it never reaches the UI thread's Plugin (host/plugin.h), which
// only the UI thread's code can name. Which thread may do what:
// - init (player's thread, before the UI thread starts): writes playerWindow, instance, uiThread
//   and uiThreadId; quit (player's thread) posts to pluginWindow, waits on uiThread and clears it.
// - config and the hook filter (player's thread): read the atomics and post to pluginWindow; the
//   filter's one write clears ctrlTabForwarding.
// - the UI thread: reads playerWindow and instance, writes pluginWindow, the frame's flags,
//   hotKey, repeatItem and sets ctrlTabForwarding.
// - any thread's guarded callback: sets callbackFailed (host/callback_guard.h).
// The values live as long as the DLL: a hook call still running while the UI thread ends never
// reads freed memory.

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "skin/frame_flags.h"
#include "tracklist/item_id.h"
#include "win32/handles.h"

namespace tarnix {

struct SharedWithPlayer {
  // Written by init before the UI thread starts; only read afterwards.
  HWND playerWindow = nullptr;   // the player's main window
  HINSTANCE instance = nullptr;  // this DLL
  // The UI thread, for init and quit on the player's thread.
  KernelHandle uiThread;
  std::atomic<DWORD> uiThreadId{0};

  // Relaxed order throughout: each value is read on its own, nothing is published through it.
  std::atomic<HWND> pluginWindow{nullptr};  // set once it exists, cleared before it is destroyed
  FrameFlags window;                        // the SkinFrame's shown and docked
  std::atomic<int32_t> hotKey{0};           // the setting: low byte key code, next byte HOTKEYF_
  std::atomic<ItemId> repeatItem{kNoItem};  // the playback state's repeated row; -1 = off
  // Set while the loop forwards Ctrl+Tab to the player; cleared by the hook filter.
  std::atomic<bool> ctrlTabForwarding{false};
  // Set by a callback on any thread whose guarded work failed (host/callback_guard.h).
  std::atomic<bool> callbackFailed{false};

  static_assert(std::atomic<ItemId>::is_always_lock_free, "the hook filter must never wait");
  static_assert(std::atomic<int32_t>::is_always_lock_free, "the hook filter must never wait");
};

// The one instance, from any thread.
SharedWithPlayer& Shared();

}  // namespace tarnix
