#include "host/plugin.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "host/timer_ids.h"
#include "skin/skin_frame.h"

namespace tarnix {

namespace {

// Only the thread that runs start-up and shutdown uses it; atomic so that a test's thread taking
// over from an earlier one sees it whole.
std::atomic<Plugin*> g_current{nullptr};

// The Plugin belongs to the UI thread. The test builds check who asks for it; the shipping build
// leaves the check out.
void CheckUiThread() {
#ifdef TARNIX_THREAD_CHECKS
  const DWORD uiThread = Shared().uiThreadId.load(std::memory_order_relaxed);
  if (GetCurrentThreadId() == uiThread) return;
  std::fprintf(stderr, "The Plugin was asked for on thread %lu, not on the UI thread %lu\n",
               static_cast<unsigned long>(GetCurrentThreadId()), static_cast<unsigned long>(uiThread));
  std::abort();
#endif
}

}  // namespace

Plugin::Plugin() = default;
Plugin::~Plugin() = default;

Plugin& ThePlugin() {
  CheckUiThread();
  return *g_current.load(std::memory_order_acquire);
}

Plugin* CurrentPlugin() {
  CheckUiThread();
  return g_current.load(std::memory_order_acquire);
}

void Plugin::StartTickTimer(UINT intervalMs) {
  if (window_) timerId_ = SetTimer(window_.Get(), kTickTimerId, intervalMs, nullptr);
}

void Plugin::StopTickTimer() {
  if (window_) KillTimer(window_.Get(), kTickTimerId);
  timerId_ = 0;
}

Plugin& CreatePlugin() {
  DestroyPlugin();
  auto* plugin = new Plugin();
  g_current.store(plugin, std::memory_order_release);
  return *plugin;
}

void DestroyPlugin() { delete g_current.exchange(nullptr, std::memory_order_acq_rel); }

}  // namespace tarnix
