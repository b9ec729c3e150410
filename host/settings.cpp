#include "host/settings.h"

#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

#include "host/ascii_escape.h"

#include "host/plugin.h"
#include "skin/skin_frame.h"
#include "tracklist/platform.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {

constexpr const wchar_t* kSection = L"Tarnix Plugin";
constexpr const wchar_t* kPlayerSection = L"Winamp";
// The bookmark directory in the ASCII-safe spelling, written only when the code page cannot hold
// the path; BookmarkPath then holds the code page's best try, as an earlier version would read it.
constexpr const wchar_t* kWholeBookmarkKey = L"BookmarkPathUtf8";
constexpr DWORD kMaxProfileText = 32767;

std::wstring Wide(const TextString& text) {
  return WideFromUtf8(std::string_view(text.Data(), static_cast<size_t>(text.Length())));
}

TextString FromWide(std::wstring_view wide) {
  const std::string utf8 = Utf8FromWide(wide);
  return TextString(static_cast<int>(utf8.size()), utf8.data());
}

int ReadInt(const wchar_t* key, int fallback, const std::wstring& file) {
  return static_cast<int>(GetPrivateProfileIntW(kSection, key, fallback, file.c_str()));
}

bool ReadBool(const wchar_t* key, bool fallback, const std::wstring& file) {
  return ReadInt(key, fallback ? 1 : 0, file) != 0;
}

// The value as the system reads it from the file in the code page; `present` tells a missing key
// from an empty one.
std::wstring ReadText(const wchar_t* key, const std::wstring& file, bool* present) {
  std::wstring value(kMaxProfileText + 1, L'\0');
  // A default no stored value is: a control character the ini's own writers never write.
  const DWORD n = GetPrivateProfileStringW(kSection, key, L"\x01", &value[0], kMaxProfileText + 1, file.c_str());
  value.resize(n);
  *present = value != L"\x01";
  if (!*present) value.clear();
  return value;
}

void WriteText(const wchar_t* key, const wchar_t* value, const std::wstring& file) {
  WritePrivateProfileStringW(kSection, key, value, file.c_str());
}

void WriteInt(const wchar_t* key, int value, const std::wstring& file) {
  WriteText(key, std::to_wstring(value).c_str(), file);
}

void WriteBool(const wchar_t* key, bool value, const std::wstring& file) { WriteText(key, value ? L"1" : L"0", file); }

// The text as the code page holds it, each character it cannot hold replaced.
std::wstring ThroughCodePage(const std::wstring& wide) {
  if (wide.empty() || wide.size() > INT_MAX / 4) return std::wstring();
  const int units = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::wstring();
  std::string narrow(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), units, &narrow[0], bytes, nullptr, nullptr);
  const int back = MultiByteToWideChar(CP_ACP, 0, narrow.data(), bytes, nullptr, 0);
  if (back <= 0) return std::wstring();
  std::wstring result(static_cast<size_t>(back), L'\0');
  MultiByteToWideChar(CP_ACP, 0, narrow.data(), bytes, &result[0], back);
  return result;
}

// The bookmark directory: the whole spelling when it is there and still belongs to BookmarkPath
// (an earlier version that changed the directory wrote only BookmarkPath), else BookmarkPath.
TextString ReadBookmarkPath(const std::wstring& file, const TextString& fallback) {
  bool present = false;
  const std::wstring stored = ReadText(L"BookmarkPath", file, &present);
  bool wholePresent = false;
  const std::wstring escaped = ReadText(kWholeBookmarkKey, file, &wholePresent);
  std::string whole;
  if (present && wholePresent && UnescapeFromAscii(Utf8FromWide(escaped), &whole) &&
      ThroughCodePage(WideFromUtf8(whole)) == stored) {
    return TextString(static_cast<int>(whole.size()), whole.data());
  }
  return present ? FromWide(stored) : fallback;
}

void WriteBookmarkPath(const TextString& path, const std::wstring& file) {
  const std::wstring wide = Wide(path);
  const std::wstring held = ThroughCodePage(wide);
  WriteText(L"BookmarkPath", held.c_str(), file);
  const bool whole = held == wide;
  WriteText(kWholeBookmarkKey,
            whole ? nullptr : WideFromUtf8(EscapeToAscii(std::string_view(path.Data(), path.Length()))).c_str(), file);
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
  const std::wstring ini = Wide(PluginIniPath());
  const TextString defaultBookmarks = DefaultBookmarkPath();
  FrameSettings window;
  window.posX = ReadInt(L"WindowPosX", 0, ini);
  window.posY = ReadInt(L"WindowPosY", 0, ini);
  window.width = ReadInt(L"WindowWidth", 275, ini);
  window.height = ReadInt(L"WindowHeight", 116, ini);
  window.shown = ReadBool(L"Opened", true, ini);
  window.docked = ReadBool(L"Docked", false, ini);
  if (plugin.frame) plugin.frame->TakeSettings(window);
  settings.autoPopup = ReadBool(L"AutoPopup", true, ini);
  settings.autoClose = ReadBool(L"AutoClose", true, ini);
  settings.autoSave = ReadBool(L"AutoSave", false, ini);
  settings.printTime = ReadBool(L"PrintTime", true, ini);
  settings.showTrack = ReadBool(L"ShowTrack", true, ini);
  settings.topTrack = ReadBool(L"TopTrack", false, ini);
  g_shared.hotKey.store(ReadInt(L"HotKey", 0, ini), std::memory_order_relaxed);
  settings.bookmarkPath = ReadBookmarkPath(ini, defaultBookmarks);
  ReadPlayerSettings();
}

void ReadPlayerSettings() {
  Plugin& plugin = ThePlugin();
  const std::wstring ini = Wide(PlayerIniPath());
  const int hilite = static_cast<int>(GetPrivateProfileIntW(kPlayerSection, L"hilite", 0, ini.c_str()));
  const int snap = static_cast<int>(GetPrivateProfileIntW(kPlayerSection, L"snap", 0, ini.c_str()));
  const int snapLength = static_cast<int>(GetPrivateProfileIntW(kPlayerSection, L"snaplen", 10, ini.c_str()));
  const int fontSize = static_cast<int>(GetPrivateProfileIntW(kPlayerSection, L"pe_fontsize", 10, ini.c_str()));
  plugin.settings.playlistFontSize = fontSize;
  if (plugin.frame) plugin.frame->TakePlayerSettings(hilite != 0, snap != 0, snapLength);
}

void SaveSettings() {
  const Plugin& plugin = ThePlugin();
  const Settings& settings = plugin.settings;
  const std::wstring ini = Wide(PluginIniPath());
  if (plugin.frame) {
    const FrameSettings window = plugin.frame->Settings();
    WriteInt(L"WindowPosX", window.posX, ini);
    WriteInt(L"WindowPosY", window.posY, ini);
    WriteInt(L"WindowWidth", window.width, ini);
    WriteInt(L"WindowHeight", window.height, ini);
    WriteBool(L"Opened", window.shown, ini);
    WriteBool(L"Docked", window.docked, ini);
  }
  WriteBool(L"AutoPopup", settings.autoPopup, ini);
  WriteBool(L"AutoClose", settings.autoClose, ini);
  WriteBool(L"AutoSave", settings.autoSave, ini);
  WriteBool(L"PrintTime", settings.printTime, ini);
  WriteBool(L"ShowTrack", settings.showTrack, ini);
  WriteBool(L"TopTrack", settings.topTrack, ini);
  WriteInt(L"HotKey", g_shared.hotKey.load(std::memory_order_relaxed), ini);
  WriteBookmarkPath(settings.bookmarkPath, ini);
}

}  // namespace tarnix
