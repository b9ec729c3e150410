#pragma once
// PluginLoader: loads a general-purpose plug-in DLL the way the player does: takes the
// descriptor from its export, writes the player's main window and the DLL instance into it, and
// calls init, config and quit on the calling thread (which plays the player's thread).

#include "host/player_codes.h"

#include <windows.h>

#include <string>

namespace tarnix::testhost {

class PluginLoader {
 public:
  explicit PluginLoader(const std::string& dllPath);
  // Frees the DLL. Call Quit first when init ran: a running plug-in thread would lose its code.
  ~PluginLoader();
  PluginLoader(const PluginLoader&) = delete;
  PluginLoader& operator=(const PluginLoader&) = delete;

  // Whether the DLL loaded and its export gave a descriptor of the expected version.
  bool Ok() const { return descriptor_ != nullptr; }
  const std::string& Error() const { return error_; }
  HMODULE Module() const { return module_; }
  PluginDescriptor* Descriptor() const { return descriptor_; }

  // Writes hwndParent and hDllInstance, as the player does before init.
  void Attach(HWND playerWindow);
  int Init();
  void Config();
  // Calls quit. A watchdog thread reports when it has not returned after watchdogMs: it writes
  // a line to stderr and, with terminateOnHang, ends the process with exit code 3 (the call
  // cannot be abandoned). Returns whether quit returned in time.
  bool Quit(DWORD watchdogMs = 30000, bool terminateOnHang = true);

 private:
  HMODULE module_ = nullptr;
  PluginDescriptor* descriptor_ = nullptr;
  bool initialised_ = false;
  std::string error_;
};

}  // namespace tarnix::testhost
