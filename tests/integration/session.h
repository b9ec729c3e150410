#pragma once
// PluginSession: the real gen_tarnix.dll in the stand-in player, with the player's main window
// on the test's thread (so the plug-in's hooks run there while the test pumps), a fresh player
// directory, and the user's gestures on the plug-in window: dragging it by its caption with
// mouse messages posted to it. Start may run again after Stop: each start loads a fresh copy of
// the DLL under another file name, because the window class of an unloaded copy outlives it.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "testhost/player_directory.h"
#include "testhost/plugin_loader.h"
#include "testhost/stand_in_player.h"

namespace tarnix::integration {

// Where the stand-in player's main window sits unless a test says otherwise.
constexpr int kPlayerX = 300;
constexpr int kPlayerY = 200;
constexpr int kPlayerWidth = 275;
constexpr int kPlayerHeight = 116;

class PluginSession {
 public:
  explicit PluginSession(int playerX = kPlayerX, int playerY = kPlayerY);
  ~PluginSession();  // stops a running plug-in
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  testhost::PlayerDirectory& Dir() { return dir_; }
  testhost::StandInPlayer& Player() { return player_; }
  HWND PlayerWindow() const { return player_.Window(); }

  void SetPluginIni(const std::string& key, const std::string& value);
  void SetPlayerIni(const std::string& key, const std::string& value);
  // "<missing>" when the key is absent.
  std::string PluginIni(const std::string& key) const;

  // Loads the plug-in, runs init and waits until its window exists and it asked for the skin.
  bool Start();
  // Runs quit under a watchdog; true when it returned in time.
  bool Stop();
  // The player's "configure plug-in" entry.
  void Config();
  // A message sent to the plug-in window, answered within 5 s (the test's thread keeps
  // answering the plug-in's requests meanwhile); nullopt when it did not answer.
  std::optional<LRESULT> Query(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  HWND Window() const { return window_; }
  DWORD UiThread() const { return uiThread_; }
  RECT Rect() const;
  POINT TopLeft() const;

  // One caption drag: the left button goes down on the caption strip, the pointer moves once
  // so that the window would land with its top-left corner at (x, y), and the button goes up.
  // Returns once the plug-in has handled all three (its mouse capture began and ended).
  bool DragTo(int x, int y);

  // Pumps the test's thread (the player's) while waiting.
  bool PumpUntil(const std::function<bool()>& predicate, DWORD deadlineMs = 3000);
  void Pump(DWORD ms);

 private:
  HWND CaptureOfUiThread() const;

  testhost::PlayerDirectory dir_;
  testhost::StandInPlayer player_;
  std::vector<std::unique_ptr<testhost::PluginLoader>> loaders_;  // kept loaded until the end
  HWND window_ = nullptr;
  DWORD uiThread_ = 0;
  bool running_ = false;
};

// A file of the source tree, as a path the Windows file calls take under Wine.
std::string SourcePath(const std::string& relative);

// Where a test's pictures go: a folder beside the test program, made as needed.
std::string ScreenshotPath(const std::string& fileName);

}  // namespace tarnix::integration
