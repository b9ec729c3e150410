// The DLL's one export and the descriptor the player drives the plug-in with: init starts the
// UI thread, config shows the window or the options, quit stops the thread and waits for it.

#include "host/player_codes.h"
#include "host/shared_with_player.h"
#include "plugin/ui_thread.h"
#include "tracklist/text_string.h"

namespace tarnix {

namespace {

int PluginInit();
void PluginConfig();
void PluginQuit();

PluginDescriptor g_descriptor = {kPluginDescriptorVersion,
                                 "Tarnix Plugin v1.2 (GEN_TARNIX.DLL)",
                                 PluginInit,
                                 PluginConfig,
                                 PluginQuit,
                                 nullptr,
                                 nullptr};

// How often quit retries posting its message while the plug-in window does not exist yet.
constexpr DWORD kQuitPostRetryMs = 10;
// How long quit waits for the UI thread, the retries included. Everything the thread does at
// quit gives up at once when quit arrives (modal loops, message boxes, sends to the player, the
// wait for a held file), so what remains is writing a few small files (the list, plugin.ini, the
// index, the resume store), well under a second even on a slow or network disk. 5 s leaves room
// for that many times over and is about as long as the system lets a window not answer before
// it calls its program hung; a player that takes longer to close looks broken to the listener.
constexpr DWORD kQuitWaitMs = 5000;

// The thread outlives quit: the player may unload the DLL next, so its code is pinned in the
// process for good (an unload then does nothing), and the thread can go on safely.
void PinThisModule() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                     reinterpret_cast<LPCWSTR>(&PinThisModule), &self);
}

int PluginInit() {
  // Already running, or still finishing after a quit that stopped waiting for it.
  if (g_shared.uiThread && WaitForSingleObject(g_shared.uiThread.Get(), 0) == WAIT_TIMEOUT) return 0;
  g_shared.uiThread.Reset();
  g_shared.playerWindow = g_descriptor.hwndParent;
  g_shared.instance = g_descriptor.hDllInstance;
  DWORD threadId = 0;
  HANDLE thread = CreateThread(nullptr, 0, UiThreadMain, nullptr, 0, &threadId);
  if (!thread) return 0;
  g_shared.uiThreadId.store(threadId);
  g_shared.uiThread.Reset(thread);
  SetThreadPriority(thread, THREAD_PRIORITY_ABOVE_NORMAL);
  return 0;
}

// Runs on the player's thread, which must not touch the UI thread's Plugin (it may be busy with
// it, or destroying it): the window's thread does the work when it gets to it. The message goes
// to the window rather than the thread so that a modal loop on that thread keeps it too, and
// once the window is gone (or going) the post just fails.
void PluginConfig() {
  if (HWND window = g_shared.pluginWindow.load(std::memory_order_relaxed)) PostMessageA(window, UM_CONFIG, 0, 0);
}

// Posts UM_QUIT to the plug-in window rather than to the thread: a modal loop open on the thread
// (a popup menu, a file dialog) loses thread messages but dispatches the window's, and the window
// procedure then ends that loop (plugin/quit_at_once.h).
void PluginQuit() {
  if (!g_shared.uiThread) return;
  HANDLE thread = g_shared.uiThread.Get();
  const DWORD start = GetTickCount();
  const auto waited = [start] { return GetTickCount() - start; };
  // Right after init the window may not exist yet: retry until the post is taken, the thread
  // has ended or the bound has passed.
  for (;;) {
    HWND window = g_shared.pluginWindow.load(std::memory_order_relaxed);
    if (window && PostMessageA(window, UM_QUIT, 0, 0)) break;
    if (WaitForSingleObject(thread, kQuitPostRetryMs) != WAIT_TIMEOUT || waited() >= kQuitWaitMs) break;
  }
  SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
  const DWORD left = waited() < kQuitWaitMs ? kQuitWaitMs - waited() : 0;
  if (WaitForSingleObject(thread, left) == WAIT_TIMEOUT) {
    // Still running: its handle stays, so that init starts no second thread while it runs, and
    // the DLL stays loaded under it.
    PinThisModule();
    return;
  }
  g_shared.uiThread.Reset();
  g_shared.uiThreadId.store(0);
}

}  // namespace

}  // namespace tarnix

extern "C" tarnix::PluginDescriptor* winampGetGeneralPurposePlugin() { return &tarnix::g_descriptor; }
