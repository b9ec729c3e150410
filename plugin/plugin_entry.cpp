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

// How often quit retries posting its message while the UI thread has no message queue yet.
constexpr DWORD kQuitPostRetryMs = 10;

int PluginInit() {
  if (g_shared.uiThread) return 0;  // already running
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

void PluginQuit() {
  if (!g_shared.uiThread) return;
  HANDLE thread = g_shared.uiThread.Get();
  // Right after init the thread may not have made its message queue yet, and a post to a
  // thread without one fails: retry until it is taken or the thread has ended.
  while (!PostThreadMessageA(g_shared.uiThreadId.load(), UM_QUIT, 0, 0)) {
    if (WaitForSingleObject(thread, kQuitPostRetryMs) != WAIT_TIMEOUT) break;
  }
  SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
  WaitForSingleObject(thread, INFINITE);
  g_shared.uiThread.Reset();
  g_shared.uiThreadId.store(0);
}

}  // namespace

}  // namespace tarnix

extern "C" tarnix::PluginDescriptor* winampGetGeneralPurposePlugin() { return &tarnix::g_descriptor; }
