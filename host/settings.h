#pragma once
// The plug-in's settings in the "Tarnix Plugin" section of plugin.ini beside the DLL, and the
// four values it reads from the player's winamp.ini (never written).

#include <atomic>
#include <cstdint>

#include "tracklist/text_string.h"

namespace tarnix {

struct Settings {
  bool autoSave = false;
  bool autoPopup = true;
  bool autoClose = true;
  bool printTime = true;
  bool showTrack = true;
  bool topTrack = false;
  // Low byte key code, next byte HOTKEYF_ flags; the hook filter reads it on the player's thread.
  std::atomic<int32_t> hotKey{0};
  TextString bookmarkPath;
  int32_t playlistFontSize = 10;
};

extern Settings g_settings;

// The directory of the plug-in's own file (cut before its last ':' or '\').
TextString ModuleDirectory();
TextString PluginIniPath();
TextString PlayerIniPath();
TextString DefaultBookmarkPath();

// Reads plugin.ini into g_settings and the frame's geometry and flags, then the player's values.
void LoadSettings();
// Reads "hilite", "snap", "snaplen", "pe_fontsize" from winamp.ini.
void ReadPlayerSettings();
// Writes every plugin.ini key from the current values.
void SaveSettings();

}  // namespace tarnix
