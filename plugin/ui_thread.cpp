// The UI thread's life: making the Plugin and building the plug-in window, its menus, dialogs,
// hooks and widgets in a fixed order, running the loop under the guard that turns a failed send
// into a normal shutdown, and tearing everything down in order again.

#include "plugin/ui_thread.h"

#include <commctrl.h>

#include "accessibility/com_apartment.h"
#include "accessibility/window_accessibility.h"
#include "commands/commands.h"
#include "commands/dialogs.h"
#include "commands/editing.h"
#include "commands/global_actions.h"
#include "host/callback_guard.h"
#include "host/messaging.h"
#include "host/plugin.h"
#include "host/settings.h"
#include "host/timer_ids.h"
#include "listening_playback/listening_tick.h"
#include "listening_playback/tick_rules.h"
#include "plugin/held_file_wait.h"
#include "plugin/message_loop.h"
#include "plugin/plugin_window.h"
#include "plugin/quit_at_once.h"
#include "resources/resource_ids.h"
#include "session/chapter_saves.h"
#include "session/list_placement.h"
#include "session/playback_tracking.h"
#include "session/player_following.h"
#include "session/skin_adoption.h"
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
  windowClass.hInstance = Shared().instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = kPluginWindowClassW;
  RegisterClassW(&windowClass);  // fails harmlessly when a previous load registered it
}

void CreateMenus(PluginMenus& menus) {
  menus.resource.Reset(LoadMenuW(Shared().instance, MAKEINTRESOURCEW(IDR_MENUS)));
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

// The dialog keeps its handlers and its Plugin from the binding at WM_INITDIALOG, which comes
// before CreateDialogParamW returns.
HWND CreateSharedDialog(Plugin& plugin, int id, const DialogHandlers& handlers) {
  const DialogBinding binding{&handlers, &plugin};
  return CreateDialogParamW(Shared().instance, MAKEINTRESOURCEW(id), plugin.window(), SharedDialogProc,
                            reinterpret_cast<LPARAM>(&binding));
}

// A button's handler bound to the Plugin it works on; an empty slot stays empty.
ClickHandler Bound(Plugin& plugin, ButtonHandler handler) {
  if (!handler) return nullptr;
  return [&plugin, handler](int x, int y) { handler(plugin, x, y); };
}

// Destroys the plug-in window without waiting for the player's thread, which may be blocked in
// quit right now: the window is cut loose from its owner and hidden without activating anything
// first, so destroying it has nothing to tell that thread.
void DestroyPluginWindow(WindowHandle& window) {
  Shared().pluginWindow.store(nullptr, std::memory_order_relaxed);
  if (!window) return;
  SetWindowPos(window.Get(), nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
  SetWindowLongPtrW(window.Get(), GWLP_HWNDPARENT, 0);
  window.Reset();
}

}  // namespace

// The one code that builds the Plugin's members and takes them down (a friend of Plugin): every
// other code gets at them through its accessors.
class PluginLifetime {
 public:
  static void Build(Plugin& plugin);
  static void TearDown(Plugin& plugin);

 private:
  static void CreatePluginWindow(Plugin& plugin, bool playerPlaced, const WINDOWPLACEMENT& player);
  static void CreateDialogs(Plugin& plugin);
  static void InstallHooks(Plugin& plugin);
  static void RemoveHooks(Plugin& plugin);
  static void BuildWidgets(Plugin& plugin);
};

void PluginLifetime::CreatePluginWindow(Plugin& plugin, bool playerPlaced, const WINDOWPLACEMENT& player) {
  const SkinFrame& frame = *plugin.frame_;
  int x = frame.posX, y = frame.posY;
  if (frame.docked.load(std::memory_order_relaxed) && playerPlaced && (player.showCmd & 1) != 0) {
    x += player.rcNormalPosition.left;
    y += player.rcNormalPosition.top;
  }
  // The window procedure finds the Plugin through the creation parameter (WM_NCCREATE). Owned
  // by the player's window, which belongs to another thread, the window joins that thread's
  // input queue to this one's: that is what lets SetFocus move the focus between the two windows
  // (Ctrl+Tab both ways, plugin/window_messages.cpp).
  plugin.window_.Reset(CreateWindowExW(WS_EX_TOOLWINDOW, kPluginWindowClassW, kWindowTitle, WS_POPUP, x, y, frame.width,
                                       frame.height, Shared().playerWindow, nullptr, Shared().instance, &plugin));
  Shared().pluginWindow.store(plugin.window(), std::memory_order_relaxed);
  if (HWND window = plugin.window()) {
    ShowWindow(window, frame.shown.load(std::memory_order_relaxed) ? SW_SHOW : SW_HIDE);
    UpdateWindow(window);
  }
}

void PluginLifetime::CreateDialogs(Plugin& plugin) {
  // The editing and options dialogs hold up-down and hot key controls: make sure their classes
  // exist even in a player that has not loaded the common controls itself.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  plugin.trackDialog_.Reset(CreateSharedDialog(plugin, IDD_EDIT_TRACK, kTrackDialogHandlers));
  plugin.subtrackDialog_.Reset(CreateSharedDialog(plugin, IDD_EDIT_SUBTRACK, kSubtrackDialogHandlers));
  plugin.optionsDialog_.Reset(CreateSharedDialog(plugin, IDD_OPTIONS, kOptionsDialogHandlers));
  plugin.aboutDialog_.Reset(CreateSharedDialog(plugin, IDD_ABOUT, kAboutDialogHandlers));
  if (plugin.aboutDialog_) SetDlgItemTextW(plugin.aboutDialog(), IDC_VERSION, kVersionLine);
  HICON icon = LoadIconW(Shared().instance, MAKEINTRESOURCEW(IDI_TARNIX));
  for (HWND dialog : plugin.dialogs()) {
    if (dialog) PostMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
}

void PluginLifetime::InstallHooks(Plugin& plugin) {
  const DWORD playerThread = Shared().playerWindow ? GetWindowThreadProcessId(Shared().playerWindow, nullptr) : 0;
  if (playerThread == 0) return;
  plugin.callWndProcHook_.Reset(SetWindowsHookExW(WH_CALLWNDPROC, CallWndProcHook, nullptr, playerThread));
  plugin.getMessageHook_.Reset(SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, playerThread));
}

// A hook whose removal fails (the player's thread is inside it) is tried again a little later;
// removals that succeed at once cost no wait.
void PluginLifetime::RemoveHooks(Plugin& plugin) {
  for (int attempt = 0; (plugin.getMessageHook_ || plugin.callWndProcHook_) && attempt < kUnhookAttempts; ++attempt) {
    if (attempt > 0) Sleep(kUnhookRetryMs);
    plugin.getMessageHook_.Close();
    plugin.callWndProcHook_.Close();
  }
  plugin.getMessageHook_.Release();
  plugin.callWndProcHook_.Release();
}

void PluginLifetime::BuildWidgets(Plugin& plugin) {
  WindowHandlers handlers;
  for (int i = 0; i < kButtonCount; ++i) {
    handlers.buttonClick[i] = Bound(plugin, kButtonClickHandlers[i]);
    handlers.buttonRightClick[i] = Bound(plugin, kButtonRightClickHandlers[i]);
  }
  handlers.onActivate = [&plugin](int, int) { RunCommand(plugin, IDM_PLAY_SELECTED); };
  handlers.onContextMenu = [&plugin](int x, int y) { OpenContextMenu(plugin, x, y); };
  handlers.onSelectionChanged = [&plugin] { OnListSelectionChanged(plugin); };
  const WindowWidgets widgets = BuildWindowWidgets(*plugin.frame_, handlers);
  plugin.title_ = widgets.title;
  plugin.list_ = widgets.list;
  if (plugin.list_) plugin.list_->SetDecorator([&plugin](int32_t key) { return ListeningRowDecoration(plugin, key); });
  plugin.scrollBar_ = widgets.scrollBar;
  plugin.accessibility_ = {new WindowAccessibility(plugin), [](WindowAccessibility* made) { delete made; }};
}

void PluginLifetime::Build(Plugin& plugin) {
  WINDOWPLACEMENT player{};
  player.length = sizeof(player);
  const bool playerPlaced = Shared().playerWindow && GetWindowPlacement(Shared().playerWindow, &player);

  plugin.frame_ = std::make_unique<SkinFrame>(Shared().window);
  plugin.listReplaced_ = RefreshEditingDialogs;
  LoadSettings(plugin);
  LoadBookmarkIndex(plugin);
  AdoptRecoveredEdits(plugin);
  CreatePluginWindow(plugin, playerPlaced, player);
  CreateMenus(plugin.menus_);
  CreateDialogs(plugin);
  InstallHooks(plugin);
  // The skin image comes with the skin (StartTracking); the frame's device contexts are made
  // only while it paints.
  SkinFrame& frame = *plugin.frame_;
  const RECT margins{kContentMargins.left, kContentMargins.top, kContentMargins.right, kContentMargins.bottom};
  frame.Attach(
      plugin.window(), Shared().playerWindow, [&plugin](int x, int y) { OpenBkgMenu(plugin, x, y); }, margins,
      kBottomBarLeftWidth);
  frame.Resize(frame.width, frame.height);
  BuildWidgets(plugin);
}

void PluginLifetime::TearDown(Plugin& plugin) {
  RemoveHooks(plugin);
  plugin.StopTickTimer();
  // First: objects a screen reader still holds stop reaching the widgets that go next.
  plugin.accessibility_.reset();
  plugin.title_ = nullptr;
  plugin.list_ = nullptr;
  plugin.scrollBar_ = nullptr;
  if (plugin.frame_) plugin.frame_->Destroy();
  plugin.frame_.reset();
  plugin.skin_.bitmap.Reset();
  plugin.menus_ = PluginMenus();
  plugin.trackDialog_.Reset();
  plugin.subtrackDialog_.Reset();
  plugin.optionsDialog_.Reset();
  plugin.aboutDialog_.Reset();
  DestroyPluginWindow(plugin.window_);
}

Plugin& StartUp() {
  Plugin& plugin = CreatePlugin();
  ForgetQuit();
  SetRetryWait(WaitUnlessQuitting);
  RegisterWindowClass();
  PluginLifetime::Build(plugin);
  return plugin;
}

void StartTracking(Plugin& plugin) {
  SkinFrame& frame = *plugin.frame();
  CheckSkin(plugin, true);
  frame.SetHooks([&plugin](const RECT& content) { PlaceListBelowTitle(plugin, content); }, nullptr, nullptr);
  frame.Resize(frame.width, frame.height);
  if (TrackListView* list = plugin.list()) {
    list->SetTimeColumn(plugin.settings().printTime ? TrackListView::kTimeColumnShown : TrackListView::kNoTimeColumn);
  }
  if (TitleDisplay* title = plugin.title()) {
    title->SetStyle(MakeColourPair(kNormal, kNormalBG), kTitleStyle);
    title->SetVisible(plugin.settings().showTrack && plugin.settings().topTrack);
  }
  frame.Paint();
  RegisterGlobalActions(plugin);
  EnsureBookmarkDirectory(plugin, true);
  AdoptKeptChapterSaves(plugin);
  plugin.StartTickTimer(static_cast<UINT>(kTickMs));
}

void ShutDown() {
  Plugin* current = CurrentPlugin();
  if (!current) return;
  Plugin& plugin = *current;
  // The loop ends past its own quit step too: a request that failed because quit was queued
  // behind it, a callback's failure, the window destroyed from outside. The plug-in ends either
  // way, so a list still changed is dealt with as at quit, unasked and without waiting (after
  // the loop's own step there is nothing left to do).
  NoteQuitArrived();
  try {
    FinishAtQuit(plugin);
  } catch (...) {
    // The list is dealt with as far as it could be; shutdown goes on.
  }
  KeepChapterSavesAtQuit(plugin);
  ListeningQuit(plugin);
  if (!plugin.settings().unreadAtStart) SaveSettings(plugin);
  SaveBookmarkIndex(plugin);
  PluginLifetime::TearDown(plugin);
  DestroyPlugin();
  SetRetryWait(nullptr);
}

DWORD WINAPI UiThreadMain(void* /*parameter*/) {
  Shared().uiThreadId.store(GetCurrentThreadId());
  // Make the message queue now, so that a callback's failure note (posted to the thread) can't
  // miss it.
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  // Left after shutdown: leaving it releases whatever screen readers still hold.
  const ComApartment apartment;
  try {
    Plugin& plugin = StartUp();
    try {
      // Without its window nothing could reach the loop, quit included.
      if (plugin.window()) {
        StartTracking(plugin);
        RunMessageLoop(plugin);
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
