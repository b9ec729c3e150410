#pragma once
// The numbers the plug-in and the player exchange: the player's request codes and commands,
// the private messages of the plug-in and of a subsong source, and the descriptor record the
// player gets from the plug-in's one export. Both the plug-in and the stand-in player in
// testhost/ include this header, so the two sides cannot drift apart.

#include <windows.h>

#include <cstddef>

namespace tarnix {

// Requests are WM_USER messages to the player's main window with the code in lParam.
constexpr UINT kPlayerRequest = WM_USER;

constexpr LPARAM kCodeIsPlaying = 104;            // 0 stopped, non-zero while a file plays
constexpr LPARAM kCodeOutputTime = 105;           // playing position in ms, negative when none
constexpr LPARAM kCodeJumpToTime = 106;           // wParam: time in ms
constexpr LPARAM kCodeSetPlaylistPosition = 121;  // wParam: playlist index
constexpr LPARAM kCodePlaylistLength = 124;       // number of playlist entries
constexpr LPARAM kCodePlaylistPosition = 125;     // current index, negative when none
constexpr LPARAM kCodeSkinDirectory = 201;        // wParam: buffer of kSkinDirectoryBufferSize
constexpr LPARAM kCodePlaylistFile = 211;         // wParam: index; result: pointer to the path
constexpr LPARAM kCodePlaylistTitle = 212;        // wParam: index; result: pointer to the title
// The same two as wide strings; a player that predates them answers 0 for every index.
constexpr LPARAM kCodePlaylistTitleW = 213;  // wParam: index; result: const wchar_t* title
constexpr LPARAM kCodePlaylistFileW = 214;   // wParam: index; result: const wchar_t* path
// Where the player keeps its settings, wParam 0: the full path of its ini file and the folder that
// holds it, narrow (in the code page) and wide. The result points into the player's memory; a
// player that predates a request answers 0 (some answer 1).
constexpr LPARAM kCodeIniFile = 334;         // result: const char* path of winamp.ini
constexpr LPARAM kCodeIniDirectory = 335;    // result: const char* folder of winamp.ini
constexpr LPARAM kCodeIniFileW = 1334;       // result: const wchar_t* path of winamp.ini
constexpr LPARAM kCodeIniDirectoryW = 1335;  // result: const wchar_t* folder of winamp.ini

// Registers a name and answers the request code that goes with it (wParam: the name, a narrow
// text). The codes a player hands out lie above this request's own; a player that predates the
// request answers 0.
constexpr LPARAM kCodeRegisterName = 65536;

// The skin directory request fills a buffer of this size. The caller presets the first byte so
// that a buffer the player left alone can be told from an empty answer.
constexpr int kSkinDirectoryBufferSize = 260;
constexpr char kSkinDirectoryUnwritten = '*';

// Player commands: WM_COMMAND with the id in wParam and lParam 0.
constexpr WPARAM kCmdClosePlayer = 40001;
constexpr WPARAM kCmdPlay = 40045;
constexpr WPARAM kCmdStop = 40047;
constexpr WPARAM kCmdNextEntry = 40048;
constexpr WPARAM kCmdCycleWindows = 40063;

// The player's main window receives this when the playing file has ended.
constexpr UINT kMsgEndOfFile = WM_USER + 2;  // 1026

// Notices the player sends its own main window (WM_USER, the code in lParam) the moment a file
// starts to play, wParam its path as a narrow or a wide string. The plug-in only looks at lParam.
constexpr LPARAM kNoticePlayingFile = 3003;
constexpr LPARAM kNoticePlayingFileW = 13003;

// Interface towards a subsong source, a component of the player's process that plays files
// holding several subsongs.
constexpr UINT UM_SUBSONG_INFO = 0x2400;     // sent, wParam: record of kSubsongRecordWords words
constexpr UINT UM_GET_LAST_KEY = 0x2401;     // sent, answers the key of the last row
constexpr UINT UM_SUBSONG_CHANGED = 0x2402;  // sent, wParam: 0-based subsong now playing
constexpr UINT UM_GET_CURRENT_KEY = 0x2403;  // sent, answers the key of the playing row
constexpr UINT UM_PLAY_SUBSONG = 0x2404;     // posted, wParam: 0-based subsong
constexpr UINT UM_PREV_ENTRY = 0x2405;
constexpr UINT UM_NEXT_ENTRY = 0x2406;
constexpr UINT UM_SET_TRACK_NAME = 0x2407;  // sent, wParam: 0-based index, lParam: name

// Internal messages of the plug-in; 0x4400 and 0x4401 also serve outside senders.
constexpr UINT UM_SHOW_WINDOW = 0x4400;
constexpr UINT UM_HIDE_WINDOW = 0x4401;
constexpr UINT UM_TOGGLE_WINDOW = 0x4402;
constexpr UINT UM_FOCUS_WINDOW = 0x4403;
constexpr UINT UM_PLAYER_MOVED = 0x4404;
constexpr UINT UM_RELOAD_SKIN = 0x4405;
constexpr UINT UM_QUIT = 0x4406;  // posted to the window by quit: ends modal loops, the loop and guarded sends
constexpr UINT UM_REPEAT_END = 0x4407;
constexpr UINT UM_TICK_NOW = 0x4408;      // posted: run the playback check at once (coalesced)
constexpr UINT UM_CONFIG = 0x4409;        // posted by config: show the window, or the options when it is shown
constexpr UINT UM_PRESS_BUTTON = 0x440A;  // posted by a screen reader's default action, wParam: bar button 0 to 4

// The work the window procedure defers when a subsong source sends: it copies what the send
// carries and posts one of these to itself, never the source's own id, so that whichever loop
// dispatches the post (the plug-in's, a menu's, a dialog's) a posted message is never taken for
// a sent one.
constexpr UINT UM_APPLY_SUBSONG_INFO = WM_APP + 0x100;     // the record copied into the playback state
constexpr UINT UM_APPLY_SUBSONG_CHANGED = WM_APP + 0x101;  // wParam: 0-based subsong now playing
constexpr UINT UM_APPLY_TRACK_NAMES = WM_APP + 0x102;      // the names kept in the playback state
// Posted by the chapter save's thread (host/recording_save.h).
constexpr UINT UM_APPLY_CHAPTERS_PROGRESS = WM_APP + 0x103;  // wParam: percent written
constexpr UINT UM_APPLY_CHAPTERS_SAVED = WM_APP + 0x104;     // the save ended: finish it

// The message a global action's record carries (see HotkeyRecord): wParam is one of the plug-in's
// command ids (resources/resource_ids.h); the window runs only the commands of the global actions.
constexpr UINT UM_GLOBAL_ACTION = WM_APP + 0x110;

// The subsong record: word 0 the number of subsongs, word 1 the source's thread id.
constexpr int kSubsongRecordWords = 66;
constexpr int kSubsongRecordCountWord = 0;
constexpr int kSubsongRecordThreadWord = 1;

// The window class a subsong source looks for.
constexpr const char* kPluginWindowClass = "TarnixPluginWindow";
constexpr const wchar_t* kPluginWindowClassW = L"TarnixPluginWindow";

// The player's global hotkeys registry: the plug-in asks for the code registered under this name
// and sends one HotkeyRecord per action with it (WM_USER, wParam the record, lParam the code). The
// registry lets the listener bind a key to the action; the key sends `message` with the two
// parameters to `window`.
constexpr const char* kHotkeysRegistryName = "GenHotkeysAdd";
constexpr DWORD kHotkeyWideName = 0x100;  // `name` is a wide text

struct HotkeyRecord {
  const void* name;  // const wchar_t* with kHotkeyWideName, else const char*
  DWORD flags;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  const char* id;  // unique to the action, kept across runs
  HWND window;
  int extended[6];  // zero
};

// The registry reads the record by offset: the plain C record's layout on each width.
static_assert(offsetof(HotkeyRecord, flags) == sizeof(void*), "hotkey record layout");
static_assert(offsetof(HotkeyRecord, message) == sizeof(void*) + 4, "hotkey record layout");
static_assert(offsetof(HotkeyRecord, wParam) == (sizeof(void*) == 8 ? 16 : 12), "hotkey record layout");
static_assert(offsetof(HotkeyRecord, window) == offsetof(HotkeyRecord, wParam) + 3 * sizeof(void*),
              "hotkey record layout");
static_assert(sizeof(HotkeyRecord) == (sizeof(void*) == 8 ? 72 : 52), "hotkey record layout");

// General-purpose plug-in descriptor: the record the player asks the plug-in's export for. The
// player writes hwndParent and hDllInstance before it calls init.
struct PluginDescriptor {
  int version;
  const char* description;
  int (*init)();
  void (*config)();
  void (*quit)();
  HWND hwndParent;
  HINSTANCE hDllInstance;
};

constexpr int kPluginDescriptorVersion = 0x10;
constexpr const char* kPluginEntryName = "winampGetGeneralPurposePlugin";
using GetPluginDescriptorFn = PluginDescriptor* (*)();

// The player reads the record by offset; keep the layout that of the plain C record.
static_assert(offsetof(PluginDescriptor, description) == sizeof(void*), "descriptor layout");
static_assert(offsetof(PluginDescriptor, hwndParent) == 5 * sizeof(void*), "descriptor layout");
static_assert(sizeof(PluginDescriptor) == 7 * sizeof(void*), "descriptor layout");

}  // namespace tarnix
