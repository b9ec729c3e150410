#include "host/settings.h"

#include <windows.h>

#include "host/plugin_globals.h"
#include "skin/skin_frame.h"
#include "tracklist/platform.h"

namespace tarnix {

Settings g_settings;

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

TextString ModuleDirectory() { return FromModuleFileName(g_plugin.instance).DirectoryPart(); }

TextString PluginIniPath() { return ModuleDirectory() + "\\plugin.ini"; }

TextString PlayerIniPath() { return PlayerDirectory() + "\\winamp.ini"; }

TextString DefaultBookmarkPath() { return PlayerDirectory() + "\\Bookmarks"; }

void LoadSettings() {
  const TextString ini = PluginIniPath();
  const TextString defaultBookmarks = DefaultBookmarkPath();
  SkinFrame* frame = g_plugin.frame;
  const int posX = ReadInt("WindowPosX", 0, ini);
  const int posY = ReadInt("WindowPosY", 0, ini);
  const int width = ReadInt("WindowWidth", 275, ini);
  const int height = ReadInt("WindowHeight", 116, ini);
  const bool opened = ReadBool("Opened", true, ini);
  const bool docked = ReadBool("Docked", false, ini);
  if (frame) {
    frame->posX = posX;
    frame->posY = posY;
    frame->width = width;
    frame->height = height;
    frame->shown.store(opened, std::memory_order_relaxed);
    frame->docked.store(docked, std::memory_order_relaxed);
  }
  g_settings.autoPopup = ReadBool("AutoPopup", true, ini);
  g_settings.autoClose = ReadBool("AutoClose", true, ini);
  g_settings.autoSave = ReadBool("AutoSave", false, ini);
  g_settings.printTime = ReadBool("PrintTime", true, ini);
  g_settings.showTrack = ReadBool("ShowTrack", true, ini);
  g_settings.topTrack = ReadBool("TopTrack", false, ini);
  g_settings.hotKey.store(ReadInt("HotKey", 0, ini), std::memory_order_relaxed);
  g_settings.bookmarkPath = FromProfileString(kSection, "BookmarkPath", defaultBookmarks, ini);
  ReadPlayerSettings();
}

void ReadPlayerSettings() {
  const TextString ini = PlayerIniPath();
  const int hilite = static_cast<int>(GetPrivateProfileIntA(kPlayerSection, "hilite", 0, ini.c_str()));
  const int snap = static_cast<int>(GetPrivateProfileIntA(kPlayerSection, "snap", 0, ini.c_str()));
  const int snapLength = static_cast<int>(GetPrivateProfileIntA(kPlayerSection, "snaplen", 10, ini.c_str()));
  const int fontSize = static_cast<int>(GetPrivateProfileIntA(kPlayerSection, "pe_fontsize", 10, ini.c_str()));
  g_settings.playlistFontSize = fontSize;
  SkinFrame* frame = g_plugin.frame;
  if (!frame) return;
  frame->showFocus = hilite != 0;
  if (snap != 0) {
    frame->snapDistance = snapLength;
  } else {
    frame->snapDistance = -1;
    if (frame->docked.load(std::memory_order_relaxed)) {
      // Docking offsets mean nothing without snapping: the stored position becomes the
      // screen's top-left corner.
      frame->docked.store(false, std::memory_order_relaxed);
      frame->posX = 0;
      frame->posY = 0;
    }
  }
}

void SaveSettings() {
  const TextString ini = PluginIniPath();
  if (const SkinFrame* frame = g_plugin.frame) {
    WriteInt("WindowPosX", frame->posX, ini);
    WriteInt("WindowPosY", frame->posY, ini);
    WriteInt("WindowWidth", frame->width, ini);
    WriteInt("WindowHeight", frame->height, ini);
    WriteBool("Opened", frame->shown.load(std::memory_order_relaxed), ini);
    WriteBool("Docked", frame->docked.load(std::memory_order_relaxed), ini);
  }
  WriteBool("AutoPopup", g_settings.autoPopup, ini);
  WriteBool("AutoClose", g_settings.autoClose, ini);
  WriteBool("AutoSave", g_settings.autoSave, ini);
  WriteBool("PrintTime", g_settings.printTime, ini);
  WriteBool("ShowTrack", g_settings.showTrack, ini);
  WriteBool("TopTrack", g_settings.topTrack, ini);
  WriteInt("HotKey", g_settings.hotKey.load(std::memory_order_relaxed), ini);
  WriteText("BookmarkPath", g_settings.bookmarkPath.c_str(), ini);
}

}  // namespace tarnix
