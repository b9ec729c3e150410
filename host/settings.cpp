#include "host/settings.h"

#include <windows.h>

#include "host/plugin.h"
#include "skin/skin_frame.h"
#include "tracklist/platform.h"

namespace tarnix {

namespace {

constexpr const char* kSection = "Tarnix Plugin";
constexpr const char* kPlayerSection = "Winamp";

int ReadInt(const char* key, int fallback, const TextString& file) {
  return static_cast<int>(GetPrivateProfileIntA(kSection, key, fallback, file.c_str()));
}

bool ReadBool(const char* key, bool fallback, const TextString& file) {
  return ReadInt(key, fallback ? 1 : 0, file) != 0;
}

void WriteText(const char* key, const char* value, const TextString& file) {
  WritePrivateProfileStringA(kSection, key, value, file.c_str());
}

void WriteInt(const char* key, int value, const TextString& file) {
  TextString text;
  text.Format("%d", value);
  WriteText(key, text.c_str(), file);
}

void WriteBool(const char* key, bool value, const TextString& file) { WriteText(key, value ? "1" : "0", file); }

// The parent of the plug-in's directory: the player's own directory.
TextString PlayerDirectory() { return ModuleDirectory().DirectoryPart(); }

}  // namespace

TextString ModuleDirectory() { return FromModuleFileName(g_shared.instance).DirectoryPart(); }

TextString PluginIniPath() { return ModuleDirectory() + "\\plugin.ini"; }

TextString PlayerIniPath() { return PlayerDirectory() + "\\winamp.ini"; }

TextString DefaultBookmarkPath() { return PlayerDirectory() + "\\Bookmarks"; }

void LoadSettings() {
  Plugin& plugin = ThePlugin();
  Settings& settings = plugin.settings;
  const TextString ini = PluginIniPath();
  const TextString defaultBookmarks = DefaultBookmarkPath();
  FrameSettings window;
  window.posX = ReadInt("WindowPosX", 0, ini);
  window.posY = ReadInt("WindowPosY", 0, ini);
  window.width = ReadInt("WindowWidth", 275, ini);
  window.height = ReadInt("WindowHeight", 116, ini);
  window.shown = ReadBool("Opened", true, ini);
  window.docked = ReadBool("Docked", false, ini);
  if (plugin.frame) plugin.frame->TakeSettings(window);
  settings.autoPopup = ReadBool("AutoPopup", true, ini);
  settings.autoClose = ReadBool("AutoClose", true, ini);
  settings.autoSave = ReadBool("AutoSave", false, ini);
  settings.printTime = ReadBool("PrintTime", true, ini);
  settings.showTrack = ReadBool("ShowTrack", true, ini);
  settings.topTrack = ReadBool("TopTrack", false, ini);
  settings.resume = ReadBool("Resume", true, ini);
  g_shared.hotKey.store(ReadInt("HotKey", 0, ini), std::memory_order_relaxed);
  settings.bookmarkPath = FromProfileString(kSection, "BookmarkPath", defaultBookmarks, ini);
  ReadPlayerSettings();
}

void ReadPlayerSettings() {
  Plugin& plugin = ThePlugin();
  const TextString ini = PlayerIniPath();
  const int hilite = static_cast<int>(GetPrivateProfileIntA(kPlayerSection, "hilite", 0, ini.c_str()));
  const int snap = static_cast<int>(GetPrivateProfileIntA(kPlayerSection, "snap", 0, ini.c_str()));
  const int snapLength = static_cast<int>(GetPrivateProfileIntA(kPlayerSection, "snaplen", 10, ini.c_str()));
  const int fontSize = static_cast<int>(GetPrivateProfileIntA(kPlayerSection, "pe_fontsize", 10, ini.c_str()));
  plugin.settings.playlistFontSize = fontSize;
  if (plugin.frame) plugin.frame->TakePlayerSettings(hilite != 0, snap != 0, snapLength);
}

void SaveSettings() {
  const Plugin& plugin = ThePlugin();
  const Settings& settings = plugin.settings;
  const TextString ini = PluginIniPath();
  if (plugin.frame) {
    const FrameSettings window = plugin.frame->Settings();
    WriteInt("WindowPosX", window.posX, ini);
    WriteInt("WindowPosY", window.posY, ini);
    WriteInt("WindowWidth", window.width, ini);
    WriteInt("WindowHeight", window.height, ini);
    WriteBool("Opened", window.shown, ini);
    WriteBool("Docked", window.docked, ini);
  }
  WriteBool("AutoPopup", settings.autoPopup, ini);
  WriteBool("AutoClose", settings.autoClose, ini);
  WriteBool("AutoSave", settings.autoSave, ini);
  WriteBool("PrintTime", settings.printTime, ini);
  WriteBool("ShowTrack", settings.showTrack, ini);
  WriteBool("TopTrack", settings.topTrack, ini);
  WriteBool("Resume", settings.resume, ini);
  WriteInt("HotKey", g_shared.hotKey.load(std::memory_order_relaxed), ini);
  WriteText("BookmarkPath", settings.bookmarkPath.c_str(), ini);
}

}  // namespace tarnix
