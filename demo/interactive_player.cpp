#include "demo/interactive_player.h"

#include "demo/demo_log.h"
#include "demo/row_text.h"
#include "testhost/window_class.h"

#include <cstdio>
#include <string>

namespace tarnix::demo {

namespace {

constexpr const char* kClassName = "TarnixDemoPlayerControls";
constexpr UINT_PTR kStatusTimer = 1;
constexpr UINT kStatusEveryMs = 250;
constexpr int kWidth = 320;
constexpr int kHeight = 348;

enum ControlId : WORD {
  kIdList = 100,
  kIdPlay,
  kIdStop,
  kIdBack,
  kIdForward,
  kIdBackMinute,
  kIdForwardMinute,
  kIdStatus,
};

}  // namespace

InteractivePlayer::InteractivePlayer(PluginSession& session, std::vector<testhost::PlaylistEntry> playlist, POINT at)
    : session_(session), playlist_(std::move(playlist)) {
  testhost::RegisterWindowClass(
      {kClassName, &InteractivePlayer::WindowProc, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
  // An ordinary top-level window (not owned by the player), so it has a task bar button and
  // closing it ends the demo.
  window_ = CreateWindowExA(0, kClassName, "Stand-in Player - Tarnix demo",
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, at.x, at.y, kWidth, kHeight,
                            nullptr, nullptr, GetModuleHandleA(nullptr), this);
  if (window_ != nullptr) {
    ShowWindow(window_, SW_SHOW);
    SetTimer(window_, kStatusTimer, kStatusEveryMs, nullptr);
  }
}

InteractivePlayer::~InteractivePlayer() {
  if (window_ != nullptr) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

bool InteractivePlayer::Run() {
  if (window_ == nullptr) return false;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsWindow(window_) && IsDialogMessageA(window_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

LRESULT CALLBACK InteractivePlayer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* self = static_cast<InteractivePlayer*>(create->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<InteractivePlayer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through a window procedure.
    return 0;
  }
}

LRESULT InteractivePlayer::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kStatusTimer) RefreshStatus();
      return 0;
    case WM_CLOSE:
      DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      KillTimer(window_, kStatusTimer);
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window_, message, wParam, lParam);
  }
}

void InteractivePlayer::CreateControls() {
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  auto make = [&](const char* cls, const char* text, DWORD style, int x, int y, int w, int h, WORD id) {
    HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
  };
  list_ = make("LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY, 8, 8, 296, 170, kIdList);
  for (const testhost::PlaylistEntry& entry : playlist_) {
    SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.title.c_str()));
  }
  SendMessageA(list_, LB_SETCURSEL, 0, 0);
  make("BUTTON", "&Play", WS_TABSTOP | BS_DEFPUSHBUTTON, 8, 186, 70, 24, kIdPlay);
  make("BUTTON", "&Stop", WS_TABSTOP, 82, 186, 70, 24, kIdStop);
  make("BUTTON", "-1 min", WS_TABSTOP, 8, 216, 70, 24, kIdBackMinute);
  make("BUTTON", "-10 s", WS_TABSTOP, 82, 216, 70, 24, kIdBack);
  make("BUTTON", "+10 s", WS_TABSTOP, 156, 216, 70, 24, kIdForward);
  make("BUTTON", "+1 min", WS_TABSTOP, 230, 216, 70, 24, kIdForwardMinute);
  status_ = make("STATIC", "", SS_LEFT, 8, 248, 296, 60, kIdStatus);
}

void InteractivePlayer::OnCommand(WORD id, WORD code) {
  testhost::StandInPlayer& player = session_.Player();
  switch (id) {
    case kIdList:
      if (code != LBN_DBLCLK) return;
      [[fallthrough]];
    case kIdPlay: {
      const LRESULT index = SendMessageA(list_, LB_GETCURSEL, 0, 0);
      if (index != LB_ERR) player.SetPlaylistPosition(static_cast<int>(index));
      player.Play();
      break;
    }
    case kIdStop:
      player.Stop();
      break;
    case kIdBack:
      SeekBy(-10000);
      break;
    case kIdForward:
      SeekBy(10000);
      break;
    case kIdBackMinute:
      SeekBy(-60000);
      break;
    case kIdForwardMinute:
      SeekBy(60000);
      break;
    default:
      return;
  }
  RefreshStatus();
}

void InteractivePlayer::SeekBy(int deltaMs) {
  testhost::StandInPlayer& player = session_.Player();
  const int now = player.PositionMs();
  if (now >= 0) player.Seek(now + deltaMs);
}

void InteractivePlayer::RefreshStatus() {
  if (status_ == nullptr) return;
  testhost::StandInPlayer& player = session_.Player();
  const int index = player.PlaylistPosition();
  std::string text = "Entry: ";
  text += index >= 0 && index < static_cast<int>(playlist_.size()) ? playlist_[index].title : "-";
  text += "\nPosition: " + FormatPosition(player.PositionMs());
  const auto key = session_.Query(UM_GET_CURRENT_KEY, 0, 0, 200);
  text += "\nPlug-in's playing row: ";
  text += key ? DescribeKey(static_cast<ItemId>(*key)) : std::string("(no answer)");
  SetWindowTextA(status_, text.c_str());
}

}  // namespace tarnix::demo
