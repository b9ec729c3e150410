#pragma once
// PluginSession: one run of the real plug-in inside the stand-in player, as the demo and the
// playback benchmarks use it. It lays out a fresh player directory, installs the plug-in DLL
// with the given settings, creates the player's main window on the calling thread (which then
// plays the player's thread and has to pump messages), loads the plug-in through its
// descriptor, and talks to the plug-in's window only through its own messages and commands.

#include "host/player_codes.h"
#include "testhost/player_directory.h"
#include "testhost/plugin_loader.h"
#include "testhost/stand_in_player.h"
#include "tracklist/item_id.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace tarnix::demo {

// The plug-in's settings for a session, written into plugin.ini before it loads.
struct PluginSettings {
  int x = 100;
  int y = 216;
  int width = 275;
  int height = 232;
  bool autoSave = true;  // lists are saved without the modal question
  bool autoPopup = true;
  bool printTime = true;
};

constexpr const char* kPluginSection = "Tarnix Plugin";

// The plug-in's command ids, as its menus post them to its window.
constexpr WORD kCmdSave = 40005;
constexpr WORD kCmdInsertSubtrack = 40008;
constexpr WORD kCmdRepeat = 40011;
constexpr WORD kCmdFirstSubtrack = 40014;
constexpr WORD kCmdPreviousSubtrack = 40015;
constexpr WORD kCmdNextSubtrack = 40016;
constexpr WORD kCmdPlayTrack = 40017;
constexpr WORD kCmdPlaySelected = 40018;
constexpr WORD kCmdEditSubtrack = 40020;

// Controls of the "Edit subtrack" dialog.
constexpr const char* kEditSubtrackCaption = "Edit subtrack";
constexpr int kEditSubtrackName = 1014;

class PluginSession {
 public:
  explicit PluginSession(const testhost::StandInPlayerOptions& player = {});
  // Calls quit when the plug-in still runs.
  ~PluginSession();
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  testhost::PlayerDirectory& Directory() { return directory_; }
  testhost::StandInPlayer& Player() { return *player_; }

  // Installs and starts the plug-in, then waits (pumping) for its window. False with a reason.
  bool Start(const std::string& dllPath, const PluginSettings& settings, std::string* error,
             DWORD windowDeadlineMs = 15000);
  // Calls quit; true when it returned in time.
  bool Stop();
  bool Running() const { return loader_ != nullptr; }

  HWND Window() const { return window_; }
  DWORD UiThreadId() const { return uiThreadId_; }

  // Sends one of the plug-in's query messages; nullopt when it did not answer within timeoutMs.
  std::optional<LRESULT> Query(UINT message, DWORD timeoutMs = 5000) const;
  std::optional<ItemId> CurrentKey() const;  // the playing row, 0 for none
  std::optional<ItemId> LastKey() const;     // the last row, 0 for an empty list
  // Posts WM_COMMAND with one of the plug-in's command ids, as its menus do.
  bool Command(WORD id) const;
  bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

 private:
  testhost::PlayerDirectory directory_;
  std::unique_ptr<testhost::StandInPlayer> player_;
  std::unique_ptr<testhost::PluginLoader> loader_;
  HWND window_ = nullptr;
  DWORD uiThreadId_ = 0;
};

// Finds a top-level window of `threadId` with this caption (a dialog of the plug-in), or null.
HWND FindThreadWindow(DWORD threadId, const char* caption);

}  // namespace tarnix::demo
