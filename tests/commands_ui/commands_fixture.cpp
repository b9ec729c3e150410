#include "commands_fixture.h"

#include <commctrl.h>

#include <cstdio>
#include <new>

#include "commands/commands.h"
#include "commands/dialogs.h"
#include "commands/editing.h"
#include "host/callback_guard.h"
#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "skin/window_layout.h"
#include "skin/window_widgets.h"
#include "testhost/player_directory.h"
#include "testhost/pump.h"

namespace tarnix::test {

namespace {

LRESULT CALLBACK PluginWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (g_plugin.frame && g_plugin.frame->Window() == window &&
      g_plugin.frame->HandleMessage(message, wParam, lParam, &result)) {
    return result;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

const char* WindowClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = PluginWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "TarnixCommandsTestWindow";
    RegisterClassA(&wc);
    return "TarnixCommandsTestWindow";
  }();
  return name;
}

HWND MakeDialog(int id) {
  return CreateDialogParamA(g_plugin.instance, MAKEINTRESOURCEA(id), g_plugin.pluginWindow, SharedDialogProc, 0);
}

const COLORREF kColours[kColourSlots] = {RGB(0, 0, 0), RGB(0, 255, 0), RGB(255, 255, 255), RGB(0, 0, 255)};

}  // namespace

ScratchDirectory::ScratchDirectory() {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  static int serial = 0;
  char name[MAX_PATH];
  std::snprintf(name, sizeof(name), "%starnix-cmd-%lu-%d", base, GetCurrentProcessId(), ++serial);
  path_ = name;
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchDirectory::~ScratchDirectory() { testhost::RemoveTree(path_); }

bool ScratchDirectory::Write(const std::string& name, const std::string& bytes) const {
  FILE* f = std::fopen(File(name).c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string ScratchDirectory::Read(const std::string& name) const {
  FILE* f = std::fopen(File(name).c_str(), "rb");
  if (!f) return {};
  std::string bytes;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0) bytes.append(chunk, n);
  std::fclose(f);
  return bytes;
}

bool ScratchDirectory::Exists(const std::string& name) const {
  return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The globals hold atomics, which cannot be assigned as a whole: build them anew in place.
template <class T>
void ResetToDefaults(T& value) {
  value.~T();
  new (&value) T();
}

CommandsTest::CommandsTest() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  TextString::SetCaseSensitive(false);
  TextString::SetEofException(true);

  ResetToDefaults(g_plugin);
  g_plugin.instance = GetModuleHandleA(nullptr);
  g_plugin.playerWindow = player_.Window();
  player_.Player().SetPlaylist({{"C:\\Music\\concert.mp3", "Concert", 0}});
  g_plugin.uiThreadId = GetCurrentThreadId();

  g_state.currentPath = "C:\\Music\\concert.mp3";
  g_state.currentTitle = "Concert";
  g_state.currentTrack = 1;
  g_state.repeatItem = kNoItem;
  g_state.subsongThreadId = 0;
  g_state.multiTrack = 0;
  g_state.pendingNames.clear();

  ResetToDefaults(g_settings);
  g_settings.bookmarkPath = bookmarks_.Path().c_str();
  g_editedItem = kNoItem;
  g_editedTrack = -1;
  ResetCallbackFailure();

  auto* frame = new SkinFrame();
  g_plugin.frame = frame;
  frame->width = 275;
  frame->height = 174;
  frame->shown = true;
  g_plugin.pluginWindow = CreateWindowExA(WS_EX_TOOLWINDOW, WindowClass(), "Tarnix Plugin", WS_POPUP, 40, 40,
                                          frame->width, frame->height, g_plugin.playerWindow, nullptr,
                                          g_plugin.instance, nullptr);
  ShowWindow(g_plugin.pluginWindow, SW_SHOWNOACTIVATE);

  g_plugin.menu = LoadMenuA(g_plugin.instance, MAKEINTRESOURCEA(IDR_MENUS));
  g_plugin.bkgMenu = GetSubMenu(g_plugin.menu, MENU_POS_BKG);
  g_plugin.menuMenu = GetSubMenu(g_plugin.menu, MENU_POS_MENU);
  g_plugin.addMenu = GetSubMenu(g_plugin.menu, MENU_POS_ADD);
  g_plugin.prevMenu = GetSubMenu(g_plugin.menu, MENU_POS_PREV);
  g_plugin.nextMenu = GetSubMenu(g_plugin.menu, MENU_POS_NEXT);
  g_plugin.contextMenu = GetSubMenu(g_plugin.menu, MENU_POS_CONTEXT);
  g_plugin.fileMenu = GetSubMenu(g_plugin.bkgMenu, MENU_POS_BKG_FILE);

  g_plugin.trackDialog = MakeDialog(IDD_EDIT_TRACK);
  g_plugin.subtrackDialog = MakeDialog(IDD_EDIT_SUBTRACK);
  g_plugin.optionsDialog = MakeDialog(IDD_OPTIONS);
  g_plugin.aboutDialog = MakeDialog(IDD_ABOUT);

  HDC windowDc = GetDC(g_plugin.pluginWindow);
  g_plugin.skinDC = CreateCompatibleDC(windowDc);
  ReleaseDC(g_plugin.pluginWindow, windowDc);
  skinBitmap_ = LoadBitmapA(g_plugin.instance, MAKEINTRESOURCEA(IDB_SKIN));
  previousBitmap_ = SelectObject(g_plugin.skinDC, skinBitmap_);

  const RECT margins{kContentMargins.left, kContentMargins.top, kContentMargins.right, kContentMargins.bottom};
  frame->Attach(g_plugin.pluginWindow, g_plugin.playerWindow, g_plugin.skinDC, g_plugin.skinDC, OpenBkgMenu, margins,
                kBottomBarLeftWidth);
  frame->Resize(frame->width, frame->height);
  WindowHandlers handlers;
  for (int i = 0; i < kButtonCount; ++i) {
    handlers.buttonClick[i] = kButtonClickHandlers[i];
    handlers.buttonRightClick[i] = kButtonRightClickHandlers[i];
  }
  handlers.onActivate = CmdPlaySelected;
  handlers.onContextMenu = OpenContextMenu;
  handlers.onSelectionChanged = OnListSelectionChanged;
  const WindowWidgets widgets = BuildWindowWidgets(*frame, g_plugin.skinDC, handlers);
  g_plugin.title = widgets.title;
  g_plugin.list = widgets.list;
  g_plugin.scrollBar = widgets.scrollBar;
  frame->SetSkin("Arial", 10, kColours);
  frame->Resize(frame->width, frame->height);
  g_plugin.list->SetTimeColumn(TrackListView::kTimeColumnShown);
  g_plugin.title->SetStyle(MakeColourPair(kNormal, kNormalBG), kTitleStyle);
  g_plugin.title->SetVisible(false);
  frame->Paint();

  CurrentList() = TrackList();
}

CommandsTest::~CommandsTest() {
  // Leftover posted messages (menu commands, UM_QUIT from a test) must not reach the next test.
  // Only posted ones: WM_PAINT is never removed by peeking and would keep the loop going.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) {
  }
  if (g_plugin.frame) {
    g_plugin.frame->Destroy();
    delete g_plugin.frame;
  }
  SelectObject(g_plugin.skinDC, previousBitmap_);
  DeleteObject(skinBitmap_);
  DeleteDC(g_plugin.skinDC);
  DestroyMenu(g_plugin.menu);
  for (HWND dialog : {g_plugin.trackDialog, g_plugin.subtrackDialog, g_plugin.optionsDialog, g_plugin.aboutDialog}) {
    DestroyWindow(dialog);
  }
  DestroyWindow(g_plugin.pluginWindow);
  ResetToDefaults(g_plugin);
  // Options tests save the settings beside the test program.
  DeleteFileA((testhost::ProgramDirectory() + "\\plugin.ini").c_str());
}

void CommandsTest::UseSingleTrack(const char* title, const std::vector<int32_t>& times) {
  TrackList& list = CurrentList();
  list.Reset(title, 1, 0);
  int i = 1;
  for (int32_t t : times) {
    char name[32];
    std::snprintf(name, sizeof(name), "Part %d", i++);
    list.tracks[0].AddSubtrack(name, t);
  }
  list.modified = false;
  g_state.currentTitle = title;
  g_state.currentTrack = 1;
  g_state.multiTrack = 0;
  RebuildRows();
  View().Redraw();
}

void CommandsTest::UseCd(int tracks, int playing) {
  TrackList& list = CurrentList();
  list.Reset("Track 01", tracks, 0x0E03C302);
  list.cdKey = 584277216;
  list.SetCurrentTrack(playing);
  list.modified = false;
  g_state.currentTrack = playing;
  g_state.multiTrack = 1;
  char path[64];
  std::snprintf(path, sizeof(path), "D:\\Track%02d.cda", playing);
  g_state.currentPath = path;
  RebuildRows();
}

std::vector<std::string> CommandsTest::RowTexts() const {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < g_plugin.list->RowCount(); ++i) texts.push_back(g_plugin.list->TextAt(i)->c_str());
  return texts;
}

std::vector<int32_t> CommandsTest::RowKeys() const {
  std::vector<int32_t> keys;
  for (int32_t i = 0; i < g_plugin.list->RowCount(); ++i) keys.push_back(g_plugin.list->KeyAt(i));
  return keys;
}

std::vector<std::string> CommandsTest::Actions() {
  std::vector<std::string> actions;
  for (const testhost::PlayerRequest& r : player_.Player().Log().Snapshot()) {
    char text[64];
    if (r.message == WM_USER) {
      switch (r.lParam) {
        case kCodeIsPlaying: case kCodeOutputTime: case kCodePlaylistLength: case kCodePlaylistPosition:
        case kCodePlaylistFile: case kCodePlaylistTitle: case kCodeSkinDirectory:
          continue;
        default:
          std::snprintf(text, sizeof(text), "code%ld:%lld", static_cast<long>(r.lParam),
                        static_cast<long long>(r.wParam));
      }
    } else if (r.message == WM_COMMAND) {
      std::snprintf(text, sizeof(text), "cmd%u", static_cast<unsigned>(LOWORD(r.wParam)));
    } else {
      continue;
    }
    actions.push_back(text);
  }
  return actions;
}

void CommandsTest::PlayFrom(int ms) {
  Player().Play();
  if (ms > 0) Player().Seek(ms);
}

void CommandsTest::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (IsDialogMessageA(g_plugin.subtrackDialog, &msg) || IsDialogMessageA(g_plugin.optionsDialog, &msg)) continue;
    if (msg.message == WM_COMMAND && msg.hwnd == g_plugin.pluginWindow) {
      RunCommand(msg.wParam);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string ScreenshotPath(const std::string& name) {
  const std::string dir = testhost::ProgramDirectory() + "\\screenshots";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir + "\\" + name;
}

}  // namespace tarnix::test
