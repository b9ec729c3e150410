#include "host/plugin.h"

#include <atomic>

#include "skin/skin_frame.h"

namespace tarnix {

namespace {

// Only the thread that runs start-up and shutdown uses it; atomic so that a test's thread taking
// over from an earlier one sees it whole.
std::atomic<Plugin*> g_current{nullptr};

}  // namespace

Plugin::Plugin() = default;
Plugin::~Plugin() = default;

Plugin& ThePlugin() { return *g_current.load(std::memory_order_acquire); }

Plugin* CurrentPlugin() { return g_current.load(std::memory_order_acquire); }

Plugin& CreatePlugin() {
  DestroyPlugin();
  auto* plugin = new Plugin();
  g_current.store(plugin, std::memory_order_release);
  return *plugin;
}

void DestroyPlugin() { delete g_current.exchange(nullptr, std::memory_order_acq_rel); }

}  // namespace tarnix
