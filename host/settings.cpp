#include "host/settings.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "host/mark_earlier.h"
#include "host/messaging.h"
#include "host/player.h"
#include "host/plugin.h"
#include "skin/skin_frame.h"
#include "skin/skin_geometry.h"
#include "skin/window_layout.h"
#include "tracklist/ascii_escape.h"
#include "tracklist/atomic_write.h"
#include "tracklist/ini_text.h"
#include "tracklist/platform.h"
#include "tracklist/replacing_write.h"
#include "tracklist/whole_file.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {

constexpr const wchar_t* kSection = L"Tarnix Plugin";
constexpr const char* kSectionNarrow = "Tarnix Plugin";
constexpr const wchar_t* kPlayerSection = L"Winamp";
// The bookmark directory in the ASCII-safe spelling, written only when the code page cannot hold
// the path; BookmarkPath then holds the code page's best try, as an earlier version would read it.
constexpr const wchar_t* kWholeBookmarkKey = L"BookmarkPathUtf8";
constexpr const char* kWholeBookmarkKeyNarrow = "BookmarkPathUtf8";
constexpr DWORD kMaxProfileText = 32767;
// Far beyond any plugin.ini; a larger file is not taken whole into memory.
constexpr uint64_t kMaxIniBytes = 64u << 20;

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
    {"Resume", &Settings::resume, true},
};
constexpr const char* kMarkEarlier = "MarkEarlier";  // seconds, 0 to 60
constexpr const char* kHotKey = "HotKey";            // kept in Shared().hotKey for the hook filter
constexpr int32_t kNoHotKey = 0;
constexpr const char* kBookmarkPath = "BookmarkPath";  // default: DefaultBookmarkPath()

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

// The text as the code page holds it, each character it cannot hold replaced.
std::wstring ThroughCodePage(const std::wstring& wide) {
  return WideFromCodePage(CP_ACP, CodePageFromWide(CP_ACP, wide));
}

// The bookmark directory: the whole spelling when it is there and still belongs to BookmarkPath
// (an earlier version that changed the directory wrote only BookmarkPath), else BookmarkPath.
TextString ReadBookmarkPath(const std::wstring& file, const TextString& fallback) {
  bool present = false;
  const std::wstring stored = ReadText(WideFromUtf8(kBookmarkPath).c_str(), file, &present);
  bool wholePresent = false;
  const std::wstring escaped = ReadText(kWholeBookmarkKey, file, &wholePresent);
  std::string whole;
  if (present && wholePresent && !escaped.empty() && UnescapeFromAscii(Utf8FromWide(escaped), &whole) &&
      ThroughCodePage(WideFromUtf8(whole)) == stored) {
    return TextString(static_cast<int>(whole.size()), whole.data());
  }
  return present ? FromWide(stored) : fallback;
}

// The bookmark directory's keys: BookmarkPath as the code page holds it, and the whole spelling
// when that loses a character (emptied when it is no longer needed).
void AddBookmarkPath(const TextString& path, const std::wstring& file, IniValues* values) {
  const std::wstring wide = Wide(path);
  values->emplace_back(kBookmarkPath, std::string(path.c_str(), static_cast<size_t>(path.Length())));
  if (ThroughCodePage(wide) != wide) {
    values->emplace_back(kWholeBookmarkKeyNarrow, EscapeToAscii(std::string_view(path.Data(), path.Length())));
    return;
  }
  bool present = false;
  ReadText(kWholeBookmarkKey, file, &present);
  if (present) values->emplace_back(kWholeBookmarkKeyNarrow, std::string());
}

// plugin.ini is shared with the player's other plug-ins: their sections are kept as they are,
// and the file is replaced in one step like every other file this plug-in writes. The values are
// UTF-8; a file in the code page gets them in the code page, a file in the wide form is left to
// the system's own calls.
bool WriteSettings(const TextString& file, const IniValues& values) {
  std::string text;
  // A plugin.ini that is there but cannot be read now (another program holds it, a read error)
  // stays as it is: written from nothing, it would lose every other plug-in's section.
  if (!ReadWholeFile(file, kMaxIniBytes, &text) && platform::FileExists(file)) {
    ClearLastWriteResult();  // no write was tried: no reason of an earlier one is shown
    return false;
  }
  const std::wstring widePath = Wide(file);
  if (IsWideIniText(text)) {
    bool ok = true;
    for (const auto& [key, value] : values)
      ok = WritePrivateProfileStringW(kSection, WideFromUtf8(key).c_str(), WideFromUtf8(value).c_str(),
                                      widePath.c_str()) != 0 &&
           ok;
    return ok;
  }
  IniValues narrow;
  for (const auto& [key, value] : values) narrow.emplace_back(key, CodePageFromWide(CP_ACP, WideFromUtf8(value)));
  return WriteFileReplacing(file, WithIniValues(text, kSectionNarrow, narrow));
}

// The parent of the plug-in's directory: the player's own directory.
TextString PlayerDirectory() { return ModuleDirectory().DirectoryPart(); }

bool HasPluginSection(const TextString& file) {
  wchar_t first[4] = {};
  return GetPrivateProfileSectionW(kSection, first, 4, Wide(file).c_str()) > 0;
}

bool FolderReady(const TextString& path) { return platform::PathExists(path) || platform::CreateFolder(path); }

// A path as the player would give it: whole ("C:\..." or "\\server\..."), so that an answer
// made of whatever the memory held is never taken for a folder relative to somewhere.
bool IsFullPath(const TextString& path) {
  const char* text = path.c_str();
  if (path.Length() >= 3 && text[1] == ':' && text[2] == '\\') return true;
  return path.Length() >= 3 && text[0] == '\\' && text[1] == '\\';
}

// The default bookmark folder is made when it is missing, and takes copies of the lists an
// earlier version kept in its own default folder beside the player: copies, because that folder
// may be one the listener cannot write to, and the lists there stay as they are for any other
// version still using them. Only when the folder is new, so that this happens once, and an
// existing list is never replaced.
void PrepareDefaultBookmarks(const TextString& folder) {
  const TextString earlier = EarlierDefaultBookmarkPath();
  if (folder.IsEmpty() || folder.EqualsIgnoringCase(earlier) || platform::PathExists(folder)) return;
  if (!platform::CreateFolder(folder)) return;
  platform::EnumerateFiles(earlier + "\\*.trk", [&](const TextString& name) {
    CopyFileW(Wide(earlier + "\\" + name).c_str(), Wide(folder + "\\" + name).c_str(), TRUE);
    return true;
  });
}

// Another program may hold plugin.ini for a moment as the plug-in starts (a sync client, a virus
// scanner): the hold is waited out as a held list's is, so that the run starts with the
// listener's settings rather than the defaults.
bool ReadableAfterAnyHold(const TextString& path) {
  FileErrorCode error;
  std::FILE* const file = OpenForReadingAfterHold(path, &error);
  if (file) std::fclose(file);
  return file != nullptr;
}

// A free window saved on a screen that is gone (a monitor unplugged, a laptop taken from its
// dock) would open where it can be neither seen nor grabbed: it opens on the nearest screen
// instead, at the same size. A docked window follows the player.
void KeepOnAScreen(FrameSettings& window) {
  if (window.docked) return;
  // Far enough to be off every screen, near enough that adding the size cannot overflow.
  constexpr int32_t kFar = 1 << 24;
  const LONG left = std::clamp(window.posX, -kFar, kFar);
  const LONG top = std::clamp(window.posY, -kFar, kFar);
  const RECT saved{left, top, left + window.width, top + window.height};
  if (MonitorFromRect(&saved, MONITOR_DEFAULTTONULL)) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromRect(&saved, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  window.posX = std::clamp(left, work.left, std::max(work.left, work.right - window.width));
  window.posY = std::clamp(top, work.top, std::max(work.top, work.bottom - window.height));
}

}  // namespace

TextString ModuleDirectory() { return FromModuleFileName(Shared().instance).DirectoryPart(); }

TextString StoreDirectory(const Settings& settings) {
  const StoragePlaces& places = settings.places;
  return !places.storeDirectory.IsEmpty() ? places.storeDirectory : EarlierStoreDirectory();
}

TextString PluginIniPath(const Settings& settings) { return StoreDirectory(settings) + "\\plugin.ini"; }

TextString PlayerIniPath(const Settings& settings) {
  const StoragePlaces& places = settings.places;
  return !places.playerIni.IsEmpty() ? places.playerIni : PlayerDirectory() + "\\winamp.ini";
}

TextString DefaultBookmarkPath(const Settings& settings) {
  const StoragePlaces& places = settings.places;
  return !places.defaultBookmarks.IsEmpty() ? places.defaultBookmarks : EarlierDefaultBookmarkPath();
}

TextString EarlierStoreDirectory() { return ModuleDirectory(); }

TextString EarlierDefaultBookmarkPath() { return PlayerDirectory() + "\\Bookmarks"; }

StoragePlaces FindStoragePlaces() {
  StoragePlaces places;
  TextString folder;
  if (Shared().playerWindow) {
    try {
      const Player player(Shared().playerWindow);
      folder = player.IniDirectory();
      places.playerIni = player.IniFile();
    } catch (const SendMsgException&) {
      // A player that does not answer now is taken for one that does not tell.
      folder = TextString();
      places.playerIni = TextString();
    }
  }
  if (!IsFullPath(places.playerIni)) places.playerIni = TextString();
  // The player's own folder holds its settings already: only the plug-in's folders are made.
  if (IsFullPath(folder) && platform::PathExists(folder)) {
    while (folder.Length() > 2 && folder.c_str()[folder.Length() - 1] == '\\')
      folder = folder.Left(folder.Length() - 1);
    const TextString store = folder + "\\Plugins";
    if (FolderReady(store)) {
      places.storeDirectory = store;
      places.defaultBookmarks = folder + "\\Bookmarks";
    }
  }
  return places;
}

void LoadSettings(Plugin& plugin) {
  Settings& settings = plugin.settings();
  settings.places = FindStoragePlaces();
  // Settings an earlier version left beside the DLL are read (never moved or removed) until
  // this version has written its own.
  TextString source = PluginIniPath(settings);
  const TextString earlier = EarlierStoreDirectory() + "\\plugin.ini";
  const bool carried = !source.EqualsIgnoringCase(earlier) && !HasPluginSection(source) && HasPluginSection(earlier);
  if (carried) source = earlier;
  settings.unreadAtStart = platform::FileExists(source) && !ReadableAfterAnyHold(source);
  const std::wstring ini = Wide(source);
  FrameSettings window;
  for (const FrameIntKey& key : kFrameInts)
    window.*key.value = ReadInt(WideFromUtf8(key.name).c_str(), key.fallback, ini);
  // A size below the skin's smallest (a hand-edited or damaged file) would make a window with
  // nothing to see or grab, which no resize could bring back; one larger than all the screens
  // together has its edges and its resize grip out of reach.
  window.width = std::clamp(window.width, kMinWidth, std::max(kMinWidth, GetSystemMetrics(SM_CXVIRTUALSCREEN)));
  window.height = std::clamp(window.height, kMinHeight, std::max(kMinHeight, GetSystemMetrics(SM_CYVIRTUALSCREEN)));
  for (const FrameFlagKey& key : kFrameFlags)
    window.*key.value = ReadBool(WideFromUtf8(key.name).c_str(), key.fallback, ini);
  KeepOnAScreen(window);
  if (plugin.frame()) plugin.frame()->TakeSettings(window);
  for (const FlagKey& key : kFlags) settings.*key.value = ReadBool(WideFromUtf8(key.name).c_str(), key.fallback, ini);
  // Read as the system reads it: a negative number comes back as itself, anything that is no
  // number as 0.
  settings.markEarlier = ClampMarkEarlier(ReadInt(WideFromUtf8(kMarkEarlier).c_str(), kDefaultMarkEarlierSeconds, ini));
  Shared().hotKey.store(ReadInt(WideFromUtf8(kHotKey).c_str(), kNoHotKey, ini), std::memory_order_relaxed);
  settings.bookmarkPath = ReadBookmarkPath(ini, DefaultBookmarkPath(settings));
  // Earlier versions wrote the default folder out as if chosen: that one follows the new default;
  // a folder the listener chose stays as it is.
  if (carried && settings.bookmarkPath.EqualsIgnoringCase(EarlierDefaultBookmarkPath()))
    settings.bookmarkPath = DefaultBookmarkPath(settings);
  if (settings.bookmarkPath.EqualsIgnoringCase(DefaultBookmarkPath(settings)))
    PrepareDefaultBookmarks(settings.bookmarkPath);
  ReadPlayerSettings(plugin);
}

void ReadPlayerSettings(Plugin& plugin) {
  const std::wstring ini = Wide(PlayerIniPath(plugin.settings()));
  const int hilite = static_cast<int>(GetPrivateProfileIntW(kPlayerSection, L"hilite", 0, ini.c_str()));
  const int snap = static_cast<int>(GetPrivateProfileIntW(kPlayerSection, L"snap", 0, ini.c_str()));
  const int snapLength = static_cast<int>(GetPrivateProfileIntW(kPlayerSection, L"snaplen", 10, ini.c_str()));
  const int fontSize = static_cast<int>(GetPrivateProfileIntW(kPlayerSection, L"pe_fontsize", 10, ini.c_str()));
  plugin.settings().playlistFontSize = fontSize;
  if (plugin.frame()) plugin.frame()->TakePlayerSettings(hilite != 0, snap != 0, snapLength);
}

bool SaveSettings(const Plugin& plugin) {
  const Settings& settings = plugin.settings();
  IniValues values;
  auto add = [&values](const char* key, int value) { values.emplace_back(key, std::to_string(value)); };
  if (plugin.frame()) {
    const FrameSettings window = plugin.frame()->Settings();
    for (const FrameIntKey& key : kFrameInts) add(key.name, window.*key.value);
    for (const FrameFlagKey& key : kFrameFlags) add(key.name, window.*key.value ? 1 : 0);
  }
  for (const FlagKey& key : kFlags) add(key.name, settings.*key.value ? 1 : 0);
  add(kMarkEarlier, ClampMarkEarlier(settings.markEarlier));
  add(kHotKey, Shared().hotKey.load(std::memory_order_relaxed));
  const TextString ini = PluginIniPath(settings);
  AddBookmarkPath(settings.bookmarkPath, Wide(ini), &values);
  return WriteSettings(ini, values);
}

}  // namespace tarnix
