#include "testhost/plugin_loader.h"

#include "testhost/wide_names.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace tarnix::testhost {

PluginLoader::PluginLoader(const std::string& dllPath) {
  module_ = LoadLibraryW(WideName(dllPath).c_str());
  if (module_ == nullptr) {
    error_ = "LoadLibrary failed for " + dllPath;
    return;
  }
  auto entry =
      reinterpret_cast<GetPluginDescriptorFn>(reinterpret_cast<void*>(GetProcAddress(module_, kPluginEntryName)));
  if (entry == nullptr) {
    error_ = std::string("no export ") + kPluginEntryName;
    return;
  }
  PluginDescriptor* descriptor = entry();
  if (descriptor == nullptr || descriptor->version != kPluginDescriptorVersion) {
    error_ = "no descriptor of version 0x10";
    return;
  }
  descriptor_ = descriptor;
}

PluginLoader::~PluginLoader() {
  if (module_ != nullptr) FreeLibrary(module_);
}

void PluginLoader::Attach(HWND playerWindow) {
  if (descriptor_ == nullptr) return;
  descriptor_->hwndParent = playerWindow;
  descriptor_->hDllInstance = module_;
}

int PluginLoader::Init() {
  if (descriptor_ == nullptr || descriptor_->init == nullptr) return -1;
  initialised_ = true;
  return descriptor_->init();
}

void PluginLoader::Config() {
  if (descriptor_ != nullptr && descriptor_->config != nullptr) descriptor_->config();
}

bool PluginLoader::Quit(DWORD watchdogMs, bool terminateOnHang) {
  if (descriptor_ == nullptr || descriptor_->quit == nullptr) return true;
  HANDLE returned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> hung{false};
  std::thread watchdog([&] {
    if (WaitForSingleObject(returned, watchdogMs) == WAIT_OBJECT_0) return;
    hung = true;
    std::fprintf(stderr, "plug-in quit has not returned after %lu ms\n", static_cast<unsigned long>(watchdogMs));
    std::fflush(stderr);
    if (terminateOnHang) TerminateProcess(GetCurrentProcess(), 3);
  });
  descriptor_->quit();
  SetEvent(returned);
  watchdog.join();
  CloseHandle(returned);
  initialised_ = false;
  return !hung;
}

}  // namespace tarnix::testhost
