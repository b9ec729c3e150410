#pragma once
// How the demo and the playback benchmarks run the plug-in: the player's directory as
// installed, the plug-in's settings written into plugin.ini before it loads, and the command
// and control ids the demo drives it with.

#include <windows.h>

#include <string>

#include "testhost/plugin_session.h"

namespace tarnix::demo {

using testhost::FindThreadWindow;
using testhost::PluginSession;

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

// The player's directory is left as the player would leave it (no test defaults).
constexpr testhost::PlayerSetup kDemoPlayer = testhost::PlayerSetup::AsInstalled;

// Writes the settings, installs the DLL at dllPath and starts it; returns once its window
// exists. False with a reason in *error.
bool StartPlugin(PluginSession& session, const std::string& dllPath, const PluginSettings& settings, std::string* error,
                 DWORD windowDeadlineMs = 15000);

}  // namespace tarnix::demo
