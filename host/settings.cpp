#include "host/settings.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "host/plugin.h"
#include "skin/skin_frame.h"
#include "skin/window_layout.h"
#include "tracklist/atomic_write.h"
#include "tracklist/ini_text.h"
#include "tracklist/platform.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {

constexpr const char* kSection = "Tarnix Plugin";
constexpr const char* kPlayerSection = "Winamp";

// Every plugin.ini key, where its value lives while the plug-in runs, and its default: loading
// and saving both walk these tables, so a key is spelled once.
struct FrameIntKey {
  const char* name;
  int32_t FrameSettings::*value;
  int32_t fallback;
};
struct FrameFlagKey {
  const char* name;
  bool FrameSettings::*value;
  bool fallback;
};
struct FlagKey {
  const char* name;
  bool Settings::*value;
  bool fallback;
};

constexpr FrameIntKey kFrameInts[] = {
    {"WindowPosX", &FrameSettings::posX, 0},
    {"WindowPosY", &FrameSettings::posY, 0},
    {"WindowWidth", &FrameSettings::width, kDefaultWidth},
    {"WindowHeight", &FrameSettings::height, kDefaultHeight},
};
constexpr FrameFlagKey kFrameFlags[] = {
    {"Opened", &FrameSettings::shown, true},
    {"Docked", &FrameSettings::docked, false},
};
constexpr FlagKey kFlags[] = {
    {"AutoPopup", &Settings::autoPopup, true}, {"AutoClose", &Settings::autoClose, true},
    {"AutoSave", &Settings::autoSave, false},  {"PrintTime", &Settings::printTime, true},
    {"ShowTrack", &Settings::showTrack, true}, {"TopTrack", &Settings::topTrack, false},
};
constexpr const char* kHotKey = "HotKey";  // kept in g_shared.hotKey for the hook filter
constexpr int32_t kNoHotKey = 0;
constexpr const char* kBookmarkPath = "BookmarkPath";  // default: DefaultBookmarkPath()

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
  FrameSettings window;
  for (const FrameIntKey& key : kFrameInts) window.*key.value = ReadInt(key.name, key.fallback, ini);
  for (const FrameFlagKey& key : kFrameFlags) window.*key.value = ReadBool(key.name, key.fallback, ini);
  if (plugin.frame) plugin.frame->TakeSettings(window);
  for (const FlagKey& key : kFlags) settings.*key.value = ReadBool(key.name, key.fallback, ini);
  g_shared.hotKey.store(ReadInt(kHotKey, kNoHotKey, ini), std::memory_order_relaxed);
  settings.bookmarkPath = FromProfileString(kSection, kBookmarkPath, DefaultBookmarkPath(), ini);
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
    for (const FrameIntKey& key : kFrameInts) add(key.name, window.*key.value);
    for (const FrameFlagKey& key : kFrameFlags) add(key.name, window.*key.value ? 1 : 0);
  }
  for (const FlagKey& key : kFlags) add(key.name, settings.*key.value ? 1 : 0);
  add(kHotKey, g_shared.hotKey.load(std::memory_order_relaxed));
  values.emplace_back(kBookmarkPath, settings.bookmarkPath.c_str());
  return WriteSettings(PluginIniPath(), values);
}

}  // namespace tarnix
