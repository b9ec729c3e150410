// The UI thread's life: building the plug-in window, its menus, dialogs, hooks and widgets in a
// fixed order, running the loop under the guard that turns a failed send into a normal
// shutdown, and tearing everything down in order again.

#include "host/ui_thread.h"

#include <commctrl.h>

#include "commands/commands.h"
#include "commands/dialogs.h"
#include "commands/editing.h"
#include "commands/file_commands.h"
#include "host/callback_guard.h"
#include "host/message_loop.h"
#include "host/messaging.h"
#include "host/playback_tracking.h"
#include "host/plugin_globals.h"
#include "host/settings.h"
#include "host/skin_adoption.h"
#include "resources/resource_ids.h"
#include "skin/skin_frame.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "skin/window_widgets.h"

namespace tarnix {

namespace {

constexpr const char* kWindowTitle = "Tarnix Plugin";
constexpr const char* kVersionLine = "Tarnix Plugin v1.2 (Jul  3 2000)";
constexpr UINT kTickMs = 500;
constexpr DWORD kUnhookRetryMs = 100;
// Hooks whose removal keeps failing are gone with their thread; don't wait for them forever.
constexpr int kUnhookAttempts = 50;

// Both hooks hand the player's messages to the filter and always pass them on. A peeked
// message that stays queued is seen again when it is taken, so only taken ones count.
LRESULT CALLBACK CallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    GuardCallback([&] { PlayerHookFilter(sent->hwnd, sent->message, sent->wParam, sent->lParam); });
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && lParam && wParam == PM_REMOVE) {
    const auto* taken = reinterpret_cast<const MSG*>(lParam);
    GuardCallback([&] { PlayerHookFilter(taken->hwnd, taken->message, taken->wParam, taken->lParam); });
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void RegisterWindowClass() {
  WNDCLASSA windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = PluginWindowProc;
  windowClass.hInstance = g_plugin.instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kPluginWindowClass;
  RegisterClassA(&windowClass);  // fails harmlessly when a previous load registered it
}

HWND CreateSharedDialog(int id) {
  return CreateDialogParamA(g_plugin.instance, MAKEINTRESOURCEA(id), g_plugin.pluginWindow, SharedDialogProc, 0);
}

void CreateMenus() {
  g_plugin.menu = LoadMenuA(g_plugin.instance, MAKEINTRESOURCEA(IDR_MENUS));
  if (!g_plugin.menu) return;
  g_plugin.bkgMenu = GetSubMenu(g_plugin.menu, MENU_POS_BKG);
  g_plugin.menuMenu = GetSubMenu(g_plugin.menu, MENU_POS_MENU);
  g_plugin.addMenu = GetSubMenu(g_plugin.menu, MENU_POS_ADD);
  g_plugin.prevMenu = GetSubMenu(g_plugin.menu, MENU_POS_PREV);
  g_plugin.nextMenu = GetSubMenu(g_plugin.menu, MENU_POS_NEXT);
  g_plugin.contextMenu = GetSubMenu(g_plugin.menu, MENU_POS_CONTEXT);
  g_plugin.fileMenu = g_plugin.bkgMenu ? GetSubMenu(g_plugin.bkgMenu, MENU_POS_BKG_FILE) : nullptr;
}

void CreateDialogs() {
  // The editing and options dialogs hold up-down and hot key controls: make sure their classes
  // exist even in a player that has not loaded the common controls itself.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  g_plugin.trackDialog = CreateSharedDialog(IDD_EDIT_TRACK);
  g_plugin.subtrackDialog = CreateSharedDialog(IDD_EDIT_SUBTRACK);
  g_plugin.optionsDialog = CreateSharedDialog(IDD_OPTIONS);
  g_plugin.aboutDialog = CreateSharedDialog(IDD_ABOUT);
  if (g_plugin.aboutDialog) SetDlgItemTextA(g_plugin.aboutDialog, IDC_VERSION, kVersionLine);
  HICON icon = LoadIconA(g_plugin.instance, MAKEINTRESOURCEA(IDI_TARNIX));
  for (HWND dialog : {g_plugin.trackDialog, g_plugin.subtrackDialog, g_plugin.optionsDialog, g_plugin.aboutDialog})
    if (dialog) PostMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void InstallHooks() {
  const DWORD playerThread = g_plugin.playerWindow ? GetWindowThreadProcessId(g_plugin.playerWindow, nullptr) : 0;
  if (playerThread == 0) return;
  g_plugin.callWndProcHook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndProcHook, nullptr, playerThread);
  g_plugin.getMessageHook = SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, playerThread);
}

void RemoveHooks() {
  for (int attempt = 0; (g_plugin.getMessageHook || g_plugin.callWndProcHook) && attempt < kUnhookAttempts;
       ++attempt) {
    if (g_plugin.getMessageHook && UnhookWindowsHookEx(g_plugin.getMessageHook)) g_plugin.getMessageHook = nullptr;
    if (g_plugin.callWndProcHook && UnhookWindowsHookEx(g_plugin.callWndProcHook)) g_plugin.callWndProcHook = nullptr;
    Sleep(kUnhookRetryMs);
  }
  g_plugin.getMessageHook = nullptr;
  g_plugin.callWndProcHook = nullptr;
}

void CreateSkinDc() {
  HDC windowDc = GetDC(g_plugin.pluginWindow);
  g_plugin.skinDC = CreateCompatibleDC(windowDc);
  if (windowDc) ReleaseDC(g_plugin.pluginWindow, windowDc);
}

void BuildWidgets(SkinFrame& frame) {
  WindowHandlers handlers;
  for (int i = 0; i < kButtonCount; ++i) {
    handlers.buttonClick[i] = kButtonClickHandlers[i];
    handlers.buttonRightClick[i] = kButtonRightClickHandlers[i];
  }
  handlers.onActivate = CmdPlaySelected;
  handlers.onContextMenu = OpenContextMenu;
  handlers.onSelectionChanged = OnListSelectionChanged;
  const WindowWidgets widgets = BuildWindowWidgets(frame, g_plugin.skinDC, handlers);
  g_plugin.title = widgets.title;
  g_plugin.list = widgets.list;
  g_plugin.scrollBar = widgets.scrollBar;
}

void StartUp() {
  RegisterWindowClass();
  WINDOWPLACEMENT player{};
  player.length = sizeof(player);
  const bool playerPlaced = g_plugin.playerWindow && GetWindowPlacement(g_plugin.playerWindow, &player);

  auto* frame = new SkinFrame();
  g_plugin.frame = frame;
  LoadSettings();
  LoadBookmarkIndex();

  int x = frame->posX, y = frame->posY;
  if (frame->docked.load(std::memory_order_relaxed) && playerPlaced && (player.showCmd & 1) != 0) {
    x += player.rcNormalPosition.left;
    y += player.rcNormalPosition.top;
  }
  g_plugin.pluginWindow = CreateWindowExA(WS_EX_TOOLWINDOW, kPluginWindowClass, kWindowTitle, WS_POPUP, x, y,
                                          frame->width, frame->height, g_plugin.playerWindow, nullptr,
                                          g_plugin.instance, nullptr);
  if (g_plugin.pluginWindow) {
    ShowWindow(g_plugin.pluginWindow, frame->shown.load(std::memory_order_relaxed) ? SW_SHOW : SW_HIDE);
    UpdateWindow(g_plugin.pluginWindow);
  }
  CreateMenus();
  CreateDialogs();
  InstallHooks();
  CreateSkinDc();
  const RECT margins{kContentMargins.left, kContentMargins.top, kContentMargins.right, kContentMargins.bottom};
  frame->Attach(g_plugin.pluginWindow, g_plugin.playerWindow, g_plugin.skinDC, g_plugin.skinDC, OpenBkgMenu,
                margins, kBottomBarLeftWidth);
  frame->Resize(frame->width, frame->height);
  BuildWidgets(*frame);
}

// The steps that talk to the player, and the loop: a failed send ends them.
void RunGuarded() {
  SkinFrame* frame = g_plugin.frame;
  CheckSkin(true);
  frame->SetHooks(PlaceListBelowTitle, nullptr, nullptr);
  frame->Resize(frame->width, frame->height);
  if (g_plugin.list)
    g_plugin.list->SetTimeColumn(g_settings.printTime ? TrackListView::kTimeColumnShown : TrackListView::kNoTimeColumn);
  if (g_plugin.title) {
    g_plugin.title->SetStyle(MakeColourPair(kNormal, kNormalBG), kTitleStyle);
    g_plugin.title->SetVisible(g_settings.showTrack && g_settings.topTrack);
  }
  frame->Paint();
  CheckBookmarkDirectory(true);
  if (g_plugin.pluginWindow) g_plugin.timerId = SetTimer(g_plugin.pluginWindow, 1, kTickMs, nullptr);
  RunMessageLoop();
}

void DestroyIfSet(HWND& window) {
  if (window) DestroyWindow(window);
  window = nullptr;
}

void ShutDown() {
  SaveSettings();
  SaveBookmarkIndex();
  RemoveHooks();
  if (g_plugin.timerId != 0 && g_plugin.pluginWindow) KillTimer(g_plugin.pluginWindow, 1);
  g_plugin.timerId = 0;
  if (SkinFrame* frame = g_plugin.frame) {
    frame->Destroy();
    g_plugin.title = nullptr;
    g_plugin.list = nullptr;
    g_plugin.scrollBar = nullptr;
    g_plugin.frame = nullptr;
    delete frame;
  }
  ReleaseSkinBitmap();
  if (g_plugin.skinDC) DeleteDC(g_plugin.skinDC);
  g_plugin.skinDC = nullptr;
  if (g_plugin.menu) DestroyMenu(g_plugin.menu);
  g_plugin.menu = g_plugin.bkgMenu = g_plugin.menuMenu = g_plugin.addMenu = nullptr;
  g_plugin.prevMenu = g_plugin.nextMenu = g_plugin.contextMenu = g_plugin.fileMenu = nullptr;
  DestroyIfSet(g_plugin.trackDialog);
  DestroyIfSet(g_plugin.subtrackDialog);
  DestroyIfSet(g_plugin.optionsDialog);
  DestroyIfSet(g_plugin.aboutDialog);
  if (HWND window = g_plugin.pluginWindow) {
    // The player's thread may be blocked in quit right now: cut the window loose from its
    // owner and hide it without activating anything, so that destroying it has nothing to
    // tell that thread and never waits for it.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    SetWindowLongPtrA(window, GWLP_HWNDPARENT, 0);
    g_plugin.pluginWindow = nullptr;
    DestroyWindow(window);
  }
}

}  // namespace

DWORD WINAPI UiThreadMain(void* /*parameter*/) {
  g_plugin.uiThreadId = GetCurrentThreadId();
  // Make the message queue now, so quit's post can't miss it.
  MSG msg;
  PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  try {
    StartUp();
    try {
      RunGuarded();
    } catch (const SendMsgException&) {
      OutputDebugStringA("Tarnix.SendMsgException\n");
    } catch (const CallbackFailure&) {
      OutputDebugStringA("Tarnix.SendMsgException\n");
    } catch (...) {
      OutputDebugStringA("Tarnix.SendMsgException\n");
    }
    ShutDown();
  } catch (...) {
    // Nothing may unwind into the system's thread start.
  }
  ResetCallbackFailure();
  return 0;
}

}  // namespace tarnix
