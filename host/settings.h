#pragma once
// The plug-in's settings in the "Tarnix Plugin" section of plugin.ini beside the DLL, and the
// four values it reads from the player's winamp.ini (never written).

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
  // HotKey is read by the hook filter on the player's thread: it lives in g_shared.hotKey.
  TextString bookmarkPath;
  int32_t playlistFontSize = 10;
};

// The directory of the plug-in's own file (cut before its last ':' or '\').
TextString ModuleDirectory();
TextString PluginIniPath();
TextString PlayerIniPath();
TextString DefaultBookmarkPath();

// Reads plugin.ini into the plug-in's settings and hands the frame its place, size and flags,
// then reads the player's values.
void LoadSettings();
// Reads "hilite", "snap", "snaplen", "pe_fontsize" from winamp.ini.
void ReadPlayerSettings();
// Writes every plugin.ini key from the current values; false when plugin.ini could not be
// replaced (LastWriteResult tells why) and it stays as it was.
bool SaveSettings();

}  // namespace tarnix
