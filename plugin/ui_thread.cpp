// The UI thread's life: making the Plugin and building the plug-in window, its menus, dialogs,
// hooks and widgets in a fixed order, running the loop under the guard that turns a failed send
// into a normal shutdown, and tearing everything down in order again.

#include "plugin/ui_thread.h"

#include <commctrl.h>

#include "commands/commands.h"
#include "commands/dialogs.h"
#include "commands/editing.h"
#include "host/callback_guard.h"
#include "host/held_file_wait.h"
#include "host/list_placement.h"
#include "host/listening_tick.h"
#include "host/messaging.h"
#include "host/plugin.h"
#include "host/settings.h"
#include "host/skin_adoption.h"
#include "host/tick_rules.h"
#include "host/timer_ids.h"
#include "plugin/message_loop.h"
#include "plugin/plugin_window.h"
#include "resources/resource_ids.h"
#include "session/playback_tracking.h"
#include "session/player_following.h"
#include "session/stored_lists.h"
#include "session/unsaved_edits.h"
#include "skin/skin_frame.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "skin/window_widgets.h"
#include "tracklist/replacing_write.h"

namespace tarnix {

namespace {

constexpr const wchar_t* kWindowTitle = L"Tarnix Plugin";
constexpr const wchar_t* kVersionLine = L"Tarnix Plugin v1.2 (Jul  3 2000)";
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

// The wait between two tries at a held file: none once quit has arrived, since the player's
// thread is waiting for this one (the edit goes to its recovery file instead).
bool WaitUnlessQuitting(int milliseconds) { return !QuitArrived() && WaitKeepingWindowsPainted(milliseconds); }

void RegisterWindowClass() {
  WNDCLASSW windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = PluginWindowProc;
  windowClass.hInstance = g_shared.instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = kPluginWindowClassW;
  RegisterClassW(&windowClass);  // fails harmlessly when a previous load registered it
}

void CreatePluginWindow(Plugin& plugin, bool playerPlaced, const WINDOWPLACEMENT& player) {
  const SkinFrame& frame = *plugin.frame;
  int x = frame.posX, y = frame.posY;
  if (frame.docked.load(std::memory_order_relaxed) && playerPlaced && (player.showCmd & 1) != 0) {
    x += player.rcNormalPosition.left;
    y += player.rcNormalPosition.top;
  }
  // The window procedure finds the Plugin through the creation parameter (WM_NCCREATE). Owned
  // by the player's window, which belongs to another thread, the window joins that thread's
  // input queue to this one's: that is what lets SetFocus move the focus between the two windows
  // (Ctrl+Tab both ways, plugin/window_messages.cpp).
  plugin.window.Reset(CreateWindowExW(WS_EX_TOOLWINDOW, kPluginWindowClassW, kWindowTitle, WS_POPUP, x, y, frame.width,
                                      frame.height, g_shared.playerWindow, nullptr, g_shared.instance, &plugin));
  g_shared.pluginWindow.store(plugin.window.Get(), std::memory_order_relaxed);
  if (HWND window = plugin.window.Get()) {
    ShowWindow(window, frame.shown.load(std::memory_order_relaxed) ? SW_SHOW : SW_HIDE);
    UpdateWindow(window);
  }
}

void CreateMenus(PluginMenus& menus) {
  menus.resource.Reset(LoadMenuW(g_shared.instance, MAKEINTRESOURCEW(IDR_MENUS)));
  HMENU bar = menus.resource.Get();
  if (!bar) return;
  menus.bkg = GetSubMenu(bar, MENU_POS_BKG);
  menus.menu = GetSubMenu(bar, MENU_POS_MENU);
  menus.add = GetSubMenu(bar, MENU_POS_ADD);
  menus.prev = GetSubMenu(bar, MENU_POS_PREV);
  menus.next = GetSubMenu(bar, MENU_POS_NEXT);
  menus.context = GetSubMenu(bar, MENU_POS_CONTEXT);
  menus.file = menus.bkg ? GetSubMenu(menus.bkg, MENU_POS_BKG_FILE) : nullptr;
}

HWND CreateSharedDialog(HWND owner, int id, const DialogHandlers& handlers) {
  return CreateDialogParamW(g_shared.instance, MAKEINTRESOURCEW(id), owner, SharedDialogProc,
                            reinterpret_cast<LPARAM>(&handlers));
}

void CreateDialogs(Plugin& plugin) {
  // The editing and options dialogs hold up-down and hot key controls: make sure their classes
  // exist even in a player that has not loaded the common controls itself.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  HWND owner = plugin.window.Get();
  plugin.trackDialog.Reset(CreateSharedDialog(owner, IDD_EDIT_TRACK, kTrackDialogHandlers));
  plugin.subtrackDialog.Reset(CreateSharedDialog(owner, IDD_EDIT_SUBTRACK, kSubtrackDialogHandlers));
  plugin.optionsDialog.Reset(CreateSharedDialog(owner, IDD_OPTIONS, kOptionsDialogHandlers));
  plugin.aboutDialog.Reset(CreateSharedDialog(owner, IDD_ABOUT, kAboutDialogHandlers));
  if (plugin.aboutDialog) SetDlgItemTextW(plugin.aboutDialog.Get(), IDC_VERSION, kVersionLine);
  HICON icon = LoadIconW(g_shared.instance, MAKEINTRESOURCEW(IDI_TARNIX));
  for (const WindowHandle* dialog :
       {&plugin.trackDialog, &plugin.subtrackDialog, &plugin.optionsDialog, &plugin.aboutDialog}) {
    if (*dialog) PostMessageA(dialog->Get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
}

void InstallHooks(Plugin& plugin) {
  const DWORD playerThread = g_shared.playerWindow ? GetWindowThreadProcessId(g_shared.playerWindow, nullptr) : 0;
  if (playerThread == 0) return;
  plugin.callWndProcHook.Reset(SetWindowsHookExW(WH_CALLWNDPROC, CallWndProcHook, nullptr, playerThread));
  plugin.getMessageHook.Reset(SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, playerThread));
}

// A hook whose removal fails (the player's thread is inside it) is tried again a little later;
// removals that succeed at once cost no wait.
void RemoveHooks(Plugin& plugin) {
  for (int attempt = 0; (plugin.getMessageHook || plugin.callWndProcHook) && attempt < kUnhookAttempts; ++attempt) {
    if (attempt > 0) Sleep(kUnhookRetryMs);
    plugin.getMessageHook.Close();
    plugin.callWndProcHook.Close();
  }
  plugin.getMessageHook.Release();
  plugin.callWndProcHook.Release();
}

void BuildWidgets(Plugin& plugin) {
  WindowHandlers handlers;
  for (int i = 0; i < kButtonCount; ++i) {
    handlers.buttonClick[i] = kButtonClickHandlers[i];
    handlers.buttonRightClick[i] = kButtonRightClickHandlers[i];
  }
  handlers.onActivate = [](int, int) { RunCommand(IDM_PLAY_SELECTED); };
  handlers.onContextMenu = OpenContextMenu;
  handlers.onSelectionChanged = OnListSelectionChanged;
  const WindowWidgets widgets = BuildWindowWidgets(*plugin.frame, handlers);
  plugin.title = widgets.title;
  plugin.list = widgets.list;
  if (plugin.list) plugin.list->SetDecorator(ListeningRowDecoration);
  plugin.scrollBar = widgets.scrollBar;
}

// Destroys the plug-in window without waiting for the player's thread, which may be blocked in
// quit right now: the window is cut loose from its owner and hidden without activating anything
// first, so destroying it has nothing to tell that thread.
void DestroyPluginWindow(WindowHandle& window) {
  g_shared.pluginWindow.store(nullptr, std::memory_order_relaxed);
  if (!window) return;
  SetWindowPos(window.Get(), nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
  SetWindowLongPtrW(window.Get(), GWLP_HWNDPARENT, 0);
  window.Reset();
}

}  // namespace

void StartUp() {
  Plugin& plugin = CreatePlugin();
  ForgetQuit();
  SetRetryWait(WaitUnlessQuitting);
  RegisterWindowClass();
  WINDOWPLACEMENT player{};
  player.length = sizeof(player);
  const bool playerPlaced = g_shared.playerWindow && GetWindowPlacement(g_shared.playerWindow, &player);

  plugin.frame = std::make_unique<SkinFrame>(g_shared.window);
  plugin.listReplaced = RefreshEditingDialogs;
  LoadSettings();
  LoadBookmarkIndex();
  AdoptRecoveredEdits();
  CreatePluginWindow(plugin, playerPlaced, player);
  CreateMenus(plugin.menus);
  CreateDialogs(plugin);
  InstallHooks(plugin);
  // The skin image comes with the skin (StartTracking); the frame's device contexts are made
  // only while it paints.
  SkinFrame& frame = *plugin.frame;
  const RECT margins{kContentMargins.left, kContentMargins.top, kContentMargins.right, kContentMargins.bottom};
  frame.Attach(plugin.window.Get(), g_shared.playerWindow, OpenBkgMenu, margins, kBottomBarLeftWidth);
  frame.Resize(frame.width, frame.height);
  BuildWidgets(plugin);
}

void StartTracking() {
  Plugin& plugin = ThePlugin();
  SkinFrame& frame = *plugin.frame;
  CheckSkin(true);
  frame.SetHooks(PlaceListBelowTitle, nullptr, nullptr);
  frame.Resize(frame.width, frame.height);
  if (plugin.list) {
    plugin.list->SetTimeColumn(plugin.settings.printTime ? TrackListView::kTimeColumnShown
                                                         : TrackListView::kNoTimeColumn);
  }
  if (plugin.title) {
    plugin.title->SetStyle(MakeColourPair(kNormal, kNormalBG), kTitleStyle);
    plugin.title->SetVisible(plugin.settings.showTrack && plugin.settings.topTrack);
  }
  frame.Paint();
  EnsureBookmarkDirectory(true);
  if (plugin.window) plugin.timerId = SetTimer(plugin.window.Get(), kTickTimerId, static_cast<UINT>(kTickMs), nullptr);
}

void ShutDown() {
  Plugin* current = CurrentPlugin();
  if (!current) return;
  Plugin& plugin = *current;
  ListeningQuit();
  SaveSettings();
  SaveBookmarkIndex();
  RemoveHooks(plugin);
  if (plugin.timerId != 0 && plugin.window) KillTimer(plugin.window.Get(), kTickTimerId);
  plugin.timerId = 0;
  plugin.title = nullptr;
  plugin.list = nullptr;
  plugin.scrollBar = nullptr;
  if (plugin.frame) plugin.frame->Destroy();
  plugin.frame.reset();
  plugin.skin.bitmap.Reset();
  plugin.menus = PluginMenus();
  plugin.trackDialog.Reset();
  plugin.subtrackDialog.Reset();
  plugin.optionsDialog.Reset();
  plugin.aboutDialog.Reset();
  DestroyPluginWindow(plugin.window);
  DestroyPlugin();
  SetRetryWait(nullptr);
}

DWORD WINAPI UiThreadMain(void* /*parameter*/) {
  g_shared.uiThreadId.store(GetCurrentThreadId());
  // Make the message queue now, so that a callback's failure note (posted to the thread) can't
  // miss it.
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  try {
    StartUp();
    try {
      // Without its window nothing could reach the loop, quit included.
      if (ThePlugin().window) {
        StartTracking();
        RunMessageLoop();
      }
    } catch (...) {
      // A failed send (SendMsgException), a failure a callback handed over (CallbackFailure), or
      // anything else: the loop ends and the plug-in shuts down normally.
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
