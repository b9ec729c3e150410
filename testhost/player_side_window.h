#pragma once
// PlayerSideWindow: one of the player's other windows (an equaliser, a playlist editor) for
// snapping tests: a top-level window owned by the player's main window, sized in the player's
// 25 by 29 steps, that a test can show, hide, minimise, move, close and open late. The window
// belongs to the constructing thread, which has to pump; the operations may be called from any
// thread (they are sent to the window's thread and wait for it).

#include <windows.h>

#include <string>

namespace tarnix::testhost {

struct SideWindowOptions {
  int x = 100;
  int y = 216;
  int width = 275;
  int height = 116;
  bool visible = true;
  std::string title;
  COLORREF colour = RGB(0x40, 0x40, 0x40);  // what it paints its client area with
};

class PlayerSideWindow {
 public:
  PlayerSideWindow(HWND playerMainWindow, const SideWindowOptions& options);
  ~PlayerSideWindow();  // closes the window when it is still open
  PlayerSideWindow(const PlayerSideWindow&) = delete;
  PlayerSideWindow& operator=(const PlayerSideWindow&) = delete;

  // Null once closed.
  HWND Window() const { return window_; }
  bool IsOpen() const { return window_ != nullptr && IsWindow(window_); }

  void Show();  // shown normally, not activated
  void Hide();
  void Minimise();  // placement show state SW_SHOWMINIMIZED
  void Restore();   // back to its normal position
  bool Move(int x, int y);
  // Destroys the window on its own thread; its handle stays invalid afterwards.
  void Close();
  // Window rectangle on the screen (empty once closed).
  RECT Rect() const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  COLORREF colour_;
};

// The two side windows of the player, at the player's own sizes.
constexpr int kEqualiserWidth = 275;
constexpr int kEqualiserHeight = 116;
constexpr int kPlaylistWidth = 275;
constexpr int kPlaylistHeight = 232;
constexpr COLORREF kEqualiserColour = RGB(0x30, 0x70, 0x30);
constexpr COLORREF kPlaylistColour = RGB(0x70, 0x30, 0x60);

SideWindowOptions EqualiserOptions(int x, int y);
SideWindowOptions PlaylistOptions(int x, int y);

}  // namespace tarnix::testhost
