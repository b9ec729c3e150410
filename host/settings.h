#pragma once
// The plug-in's settings in the "Tarnix Plugin" section of plugin.ini, the four values it reads
// from the player's winamp.ini (never written), and where the plug-in keeps its files.

#include <cstdint>

#include "tracklist/text_string.h"

namespace tarnix {

class Plugin;

// Where the plug-in's files go. A player installed where a listener may not write keeps its own
// settings elsewhere and tells its plug-ins where; the plug-in's files go there too. Empty texts
// (a player too old to tell) keep the places of earlier versions: plugin.ini and the files beside
// it in the DLL's folder, winamp.ini and Bookmarks beside the player.
struct StoragePlaces {
  TextString storeDirectory;    // "<the player's settings folder>\Plugins"
  TextString playerIni;         // the player's own ini file
  TextString defaultBookmarks;  // "<the player's settings folder>\Bookmarks"
};

struct Settings {
  bool autoSave = false;
  bool autoPopup = true;
  bool autoClose = true;
  bool printTime = true;
  bool showTrack = true;
  bool topTrack = false;
  bool resume = true;       // long recordings resume where they were left
  int32_t markEarlier = 0;  // seconds the global insert marks before the playing time, 0 to 60
  // HotKey is read by the hook filter on the player's thread: it lives in Shared().hotKey.
  TextString bookmarkPath;
  int32_t playlistFontSize = 10;
  StoragePlaces places;  // found by LoadSettings
  // plugin.ini was there but could not be read at start (another program held it): this run has
  // the defaults, which quit must not write over the listener's own. A save the listener asks
  // for (Options) clears it.
  bool unreadAtStart = false;
};

// The directory of the plug-in's own file (cut before its last ':' or '\').
TextString ModuleDirectory();
// The folder of plugin.ini, which also holds the index, the resume store and the recovery
// files of lists whose own folder is gone. Each is the earlier place while `settings.places`
// names none.
TextString StoreDirectory(const Settings& settings);
TextString PluginIniPath(const Settings& settings);
TextString PlayerIniPath(const Settings& settings);
TextString DefaultBookmarkPath(const Settings& settings);
// Where an earlier version kept them: the DLL's folder and Bookmarks beside the player.
TextString EarlierStoreDirectory();
TextString EarlierDefaultBookmarkPath();

// Asks the player where it keeps its settings and makes the folders the plug-in's files go to.
// A player that does not tell (or names no existing folder by its full path), or folders that
// cannot be made, keep the earlier places.
StoragePlaces FindStoragePlaces();

// Finds the places, reads plugin.ini into the plug-in's settings and hands the frame its place,
// size and flags, then reads the player's values. A plugin.ini without the plug-in's section
// takes the one an earlier version left beside the DLL.
void LoadSettings(Plugin& plugin);
// Reads "hilite", "snap", "snaplen", "pe_fontsize" from winamp.ini.
void ReadPlayerSettings(Plugin& plugin);
// Writes every plugin.ini key from the current values; false when plugin.ini could not be
// replaced (LastWriteResult tells why) and it stays as it was.
bool SaveSettings(const Plugin& plugin);

}  // namespace tarnix
