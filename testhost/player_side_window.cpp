#include "testhost/player_side_window.h"

#include "testhost/window_class.h"

namespace tarnix::testhost {

namespace {

constexpr const char* kSideWindowClass = "TarnixStandInPlayerSide";
// Sent by Close: DestroyWindow works only on the window's own thread.
constexpr UINT kMsgCloseSelf = WM_APP + 20;

}  // namespace

SideWindowOptions EqualiserOptions(int x, int y) {
  SideWindowOptions options;
  options.x = x;
  options.y = y;
  options.width = kEqualiserWidth;
  options.height = kEqualiserHeight;
  options.title = "Stand-in Equaliser";
  options.colour = kEqualiserColour;
  return options;
}

SideWindowOptions PlaylistOptions(int x, int y) {
  SideWindowOptions options;
  options.x = x;
  options.y = y;
  options.width = kPlaylistWidth;
  options.height = kPlaylistHeight;
  options.title = "Stand-in Playlist";
  options.colour = kPlaylistColour;
  return options;
}

PlayerSideWindow::PlayerSideWindow(HWND playerMainWindow, const SideWindowOptions& options) : colour_(options.colour) {
  RegisterWindowClass({kSideWindowClass, &PlayerSideWindow::WindowProc});
  // A popup window with an owner: the owner, not a parent, ties a top-level window to the
  // player, and it is what the plug-in looks for among the top-level windows.
  window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kSideWindowClass, options.title.c_str(), WS_POPUP, options.x, options.y,
                            options.width, options.height, playerMainWindow, nullptr, GetModuleHandleA(nullptr), this);
  if (window_ != nullptr && options.visible) Show();
}

PlayerSideWindow::~PlayerSideWindow() { Close(); }

LRESULT CALLBACK PlayerSideWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<PlayerSideWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case kMsgCloseSelf:
      DestroyWindow(window);
      return 0;
    case WM_CLOSE:
      // Closed by its owner object only: a stray close would leave a dangling handle.
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      HBRUSH brush = CreateSolidBrush(self ? self->colour_ : RGB(0, 0, 0));
      FillRect(dc, &ps.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void PlayerSideWindow::Show() {
  if (IsOpen()) ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void PlayerSideWindow::Hide() {
  if (IsOpen()) ShowWindow(window_, SW_HIDE);
}

void PlayerSideWindow::Minimise() {
  if (IsOpen()) ShowWindow(window_, SW_SHOWMINNOACTIVE);
}

void PlayerSideWindow::Restore() {
  if (IsOpen()) ShowWindow(window_, SW_SHOWNOACTIVATE);
}

bool PlayerSideWindow::Move(int x, int y) {
  return IsOpen() && SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

void PlayerSideWindow::Close() {
  if (IsOpen()) SendMessageA(window_, kMsgCloseSelf, 0, 0);
  window_ = nullptr;
}

RECT PlayerSideWindow::Rect() const {
  RECT rect{};
  if (IsOpen()) GetWindowRect(window_, &rect);
  return rect;
}

}  // namespace tarnix::testhost
