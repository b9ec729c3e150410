#pragma once
// PluginSession: one run of the real gen_tarnix.dll in the stand-in player, shared by the tests,
// the demo and the playback benchmarks. It lays out a fresh player directory, creates the
// player's main window on the constructing thread (which then plays the player's thread: it
// calls init, config and quit, runs the plug-in's hooks and has to pump), loads the plug-in
// through its descriptor, and talks to the plug-in window only by messages and commands.
// Start may run again after Stop: each start loads a fresh copy of the DLL under another file
// name, because the window class of an unloaded copy outlives it.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "testhost/player_directory.h"
#include "testhost/plugin_loader.h"
#include "testhost/stand_in_player.h"

namespace tarnix::testhost {

// What the player directory holds before the first start. Tests start from an empty playlist
// with snapping on in winamp.ini (the player's own default is off); the demo leaves both as
// the player would.
enum class PlayerSetup { ForTests, AsInstalled };

struct SessionStart {
  std::string dllPath;  // empty: gen_tarnix.dll beside the program
  DWORD windowDeadlineMs = 10000;
  // Also wait until the start-up asked the player for its skin (the last step before the
  // plug-in's loop runs).
  bool waitForSkin = true;
};

class PluginSession {
 public:
  // `directorySuffix` ends the player directory's name (see PlayerDirectory).
  explicit PluginSession(const StandInPlayerOptions& player = {}, PlayerSetup setup = PlayerSetup::ForTests,
                         const std::string& directorySuffix = {});
  ~PluginSession();  // quits a running plug-in
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  PlayerDirectory& Dir() { return dir_; }
  StandInPlayer& Player() { return player_; }
  HWND PlayerWindow() const { return player_.Window(); }
  // The loader of the running (or last) copy; null before the first start.
  PluginLoader* Loader() { return loaders_.empty() ? nullptr : loaders_.back().get(); }

  void SetPluginIni(const std::string& key, const std::string& value);
  void SetPlayerIni(const std::string& key, const std::string& value);
  // "<missing>" when the key is absent.
  std::string PluginIni(const std::string& key) const;
  // Writes a file under the bookmark directory.
  bool WriteBookmark(const std::string& name, const std::string& bytes);

  // Installs and loads the plug-in, runs init and waits (pumping) until its window exists.
  // False with a reason in *error; a plug-in that started without its window is quit again.
  bool Start(const SessionStart& start = {}, std::string* error = nullptr);
  // Runs quit under a watchdog; true when it returned in time.
  bool Stop(DWORD watchdogMs = 20000);
  bool Running() const { return running_; }
  // The player's "configure plug-in" entry.
  void Config();

  HWND Window() const { return window_; }
  DWORD UiThreadId() const { return uiThread_; }
  bool Visible() const { return window_ && IsWindowVisible(window_); }
  RECT Rect() const;
  POINT TopLeft() const;

  // A message sent to the plug-in window; nullopt when it did not answer in time. The calling
  // thread keeps answering the plug-in's requests meanwhile.
  std::optional<LRESULT> Query(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, DWORD timeoutMs = 5000) const;
  std::optional<int32_t> CurrentKey() const;  // the playing row, 0 for none
  std::optional<int32_t> LastKey() const;     // the last row, 0 for an empty list
  // Posts WM_COMMAND with one of the plug-in's command ids, as its menus do.
  bool Command(WORD id) const;
  bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // One caption drag: the left button goes down on the caption strip, the pointer moves once
  // so that the window would land with its top-left corner at (x, y), and the button goes up.
  // Returns once the plug-in has handled all three (its mouse capture began and ended).
  bool DragTo(int x, int y);

  bool PumpUntil(const std::function<bool()>& predicate, DWORD deadlineMs = 5000);
  void Pump(DWORD ms);
  // Waits until the plug-in has handled every message posted to its window before the call: a
  // key it has no use for goes in behind them, and it passes that key on to the player.
  bool WaitForPostedMessages(DWORD deadlineMs = 5000);
  // Waits until the player was asked for code at least count times in all.
  bool WaitForCode(LPARAM code, int count, DWORD deadlineMs = 5000);

 private:
  HWND CaptureOfUiThread() const;

  PlayerDirectory dir_;
  StandInPlayer player_;
  std::vector<std::unique_ptr<PluginLoader>> loaders_;  // kept loaded until the end
  HWND window_ = nullptr;
  DWORD uiThread_ = 0;
  bool running_ = false;
};

// A top-level window of `threadId` with this caption (a dialog of the plug-in), or null.
HWND FindThreadWindow(DWORD threadId, const char* caption);

// A file of the source tree, as a path the Windows file calls take under Wine.
std::string SourcePath(const std::string& relative);

}  // namespace tarnix::testhost
