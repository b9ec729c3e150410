#include "host/settings.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "host/plugin.h"
#include "skin/skin_frame.h"
#include "tracklist/atomic_write.h"
#include "tracklist/ini_text.h"
#include "tracklist/platform.h"
#include "win32/utf16.h"

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

// plugin.ini is shared with the player's other plug-ins: their sections are kept as they are,
// and the file is replaced in one step like every other file this plug-in writes. A file in
// the wide form is left to the system's own calls.
bool WriteSettings(const TextString& file, const IniValues& values) {
  std::string text;
  {
    platform::File in(file, "rb");
    if (in) {
      char buffer[4096];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof(buffer), in.get())) > 0) text.append(buffer, n);
    }
  }
  if (IsWideIniText(text)) {
    bool ok = true;
    for (const auto& [key, value] : values)
      ok = WritePrivateProfileStringW(WideFromUtf8(kSection).c_str(), WideFromUtf8(key).c_str(),
                                      WideFromUtf8(value).c_str(),
                                      WideFromUtf8(std::string_view(file.c_str(), file.Length())).c_str()) != 0 &&
           ok;
    return ok;
  }
  return WriteFileReplacing(file, WithIniValues(text, kSection, values));
}

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

bool SaveSettings() {
  const Plugin& plugin = ThePlugin();
  const Settings& settings = plugin.settings;
  IniValues values;
  auto add = [&values](const char* key, int value) { values.emplace_back(key, std::to_string(value)); };
  if (plugin.frame) {
    const FrameSettings window = plugin.frame->Settings();
    add("WindowPosX", window.posX);
    add("WindowPosY", window.posY);
    add("WindowWidth", window.width);
    add("WindowHeight", window.height);
    add("Opened", window.shown ? 1 : 0);
    add("Docked", window.docked ? 1 : 0);
  }
  add("AutoPopup", settings.autoPopup ? 1 : 0);
  add("AutoClose", settings.autoClose ? 1 : 0);
  add("AutoSave", settings.autoSave ? 1 : 0);
  add("PrintTime", settings.printTime ? 1 : 0);
  add("ShowTrack", settings.showTrack ? 1 : 0);
  add("TopTrack", settings.topTrack ? 1 : 0);
  add("Resume", settings.resume ? 1 : 0);
  add("HotKey", g_shared.hotKey.load(std::memory_order_relaxed));
  values.emplace_back("BookmarkPath", settings.bookmarkPath.c_str());
  return WriteSettings(PluginIniPath(), values);
}

}  // namespace tarnix
