// The DLL's one export and the descriptor the player drives the plug-in with: init starts the
// UI thread, config shows the window or the options, quit stops the thread and waits for it.

#include "commands/commands.h"
#include "host/callback_guard.h"
#include "host/player_codes.h"
#include "host/plugin.h"
#include "host/shared_with_player.h"
#include "host/ui_thread.h"
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
  if (g_shared.uiThread != INVALID_HANDLE_VALUE) return 0;  // already running
  TextString::SetCaseSensitive(false);
  TextString::SetEofException(true);
  g_shared.playerWindow = g_descriptor.hwndParent;
  g_shared.instance = g_descriptor.hDllInstance;
  DWORD threadId = 0;
  HANDLE thread = CreateThread(nullptr, 0, UiThreadMain, nullptr, 0, &threadId);
  if (!thread) return 0;
  g_shared.uiThreadId.store(threadId);
  g_shared.uiThread = thread;
  SetThreadPriority(thread, THREAD_PRIORITY_ABOVE_NORMAL);
  return 0;
}

void PluginConfig() {
  const Plugin* plugin = CurrentPlugin();
  if (g_shared.uiThread == INVALID_HANDLE_VALUE || !plugin || !plugin->frame || !plugin->window) return;
  // Runs on the player's thread: nothing may unwind into the player.
  try {
    CmdOptions(-1, -1);
  } catch (...) {}
}

void PluginQuit() {
  HANDLE thread = g_shared.uiThread;
  if (thread == INVALID_HANDLE_VALUE) return;
  // Right after init the thread may not have made its message queue yet, and a post to a
  // thread without one fails: retry until it is taken or the thread has ended.
  while (!PostThreadMessageA(g_shared.uiThreadId.load(), UM_QUIT, 0, 0)) {
    if (WaitForSingleObject(thread, kQuitPostRetryMs) != WAIT_TIMEOUT) break;
  }
  SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  g_shared.uiThread = INVALID_HANDLE_VALUE;
  g_shared.uiThreadId.store(0);
}

}  // namespace

}  // namespace tarnix

extern "C" tarnix::PluginDescriptor* winampGetGeneralPurposePlugin() { return &tarnix::g_descriptor; }
