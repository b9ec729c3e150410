#pragma once
// PluginHarness: the real gen_tarnix.dll in a fresh player directory, loaded by the stand-in
// player on the test's thread (which plays the player's thread: it calls init and quit and
// runs the plug-in's hooks), with helpers to wait, query the plug-in window and read its files.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "testhost/player_directory.h"
#include "testhost/plugin_loader.h"
#include "testhost/stand_in_player.h"

namespace tarnix::test {

class PluginHarness {
 public:
  PluginHarness();
  ~PluginHarness();
  PluginHarness(const PluginHarness&) = delete;
  PluginHarness& operator=(const PluginHarness&) = delete;

  testhost::PlayerDirectory& Dir() { return dir_; }
  testhost::StandInPlayer& Player() { return player_; }
  testhost::PluginLoader* Loader() { return loader_.get(); }

  void SetPluginIni(const std::string& key, const std::string& value);
  void SetPlayerIni(const std::string& key, const std::string& value);
  std::string PluginIni(const std::string& key) const;
  // Writes a file under the bookmark directory.
  bool WriteBookmark(const std::string& name, const std::string& bytes);

  // Installs and loads the DLL, runs init and waits until the plug-in window exists and the
  // first timer tick asked the player for its playlist position.
  bool Start();
  // Calls quit under a watchdog; true when it returned in time.
  bool Stop(DWORD watchdogMs = 20000);

  HWND Window() const { return window_; }
  DWORD UiThreadId() const { return uiThread_; }

  bool PumpUntil(const std::function<bool()>& predicate, DWORD deadlineMs = 5000);
  void Pump(DWORD ms);

  // Sent queries answered by the plug-in window (nullopt when it did not answer).
  std::optional<int32_t> Query(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  std::optional<int32_t> LastKey();
  std::optional<int32_t> CurrentKey();
  bool Visible() const { return window_ && IsWindowVisible(window_); }
  RECT WindowRect() const;

  // Waits until the player was asked for code at least count times in all.
  bool WaitForCode(LPARAM code, int count, DWORD deadlineMs = 5000);

 private:
  testhost::PlayerDirectory dir_;
  testhost::StandInPlayer player_;
  std::unique_ptr<testhost::PluginLoader> loader_;
  HWND window_ = nullptr;
  DWORD uiThread_ = 0;
  bool running_ = false;
};

// A file of the source tree as a path Wine's file calls take.
std::string SourcePath(const std::string& relative);

// Bytes of a ".trk" file: header lines and then one line per entry.
std::string TrackFile(const std::string& album, const std::string& entries);

}  // namespace tarnix::test
