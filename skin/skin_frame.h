#pragma once
// SkinFrame: the one object behind the plug-in's borderless window. It lays out and paints
// the window from the skin image (caption strip, side borders, bottom bar), owns the widgets
// drawn on it, turns raw mouse and key messages into widget actions, moves the window by its
// caption, resizes it by its grip in steps of 25 by 29, and snaps and docks it to the player.
// It paints as Windows paints: a change asks for its rectangle to be painted again, and
// WM_PAINT draws what the update region covers into an off-screen buffer, which it then copies
// to the window. The buffer's bitmap lives as long as the frame; the device contexts that draw
// into it and that hold the skin image are made for the message. No device context is kept
// between messages.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "skin/frame_flags.h"
#include "skin/widget.h"
#include "win32/handles.h"

namespace tarnix {

class SkinButton;

enum class DragMode : int32_t { None = 0, Move = 1, Resize = 2, ScrollDrag = 3 };

// Colour slots of the skin (the key names of the skin's playlist colours).
enum ColourSlot : int32_t { kNormalBG = 0, kNormal = 1, kCurrent = 2, kSelectedBG = 3, kColourSlots = 4 };

// Text colour slot in the lowest byte, background slot in the next one.
using ColourPair = int32_t;
constexpr ColourPair MakeColourPair(int32_t textSlot, int32_t backgroundSlot) {
  return (textSlot & 0xFF) | ((backgroundSlot & 0xFF) << 8);
}
constexpr int32_t TextSlot(ColourPair pair) { return pair & 0xFF; }
constexpr int32_t BackgroundSlot(ColourPair pair) { return (pair >> 8) & 0xFF; }

// Hooks of the frame, each given the content rectangle; any may be null.
using FrameHook = std::function<void(const RECT& content)>;
using AfterResizeHook = int (*)(const RECT& content);
// Source of the current time as a 64-bit file time (100 ns units); replaceable for tests.
using FileTimeClock = uint64_t (*)();

// What the frame keeps in the settings file: its place, size and the two flags.
struct FrameSettings {
  int32_t posX = 0, posY = 0;  // screen position, or offset from the player while docked
  int32_t width = 0, height = 0;
  bool shown = false;
  bool docked = false;
};

// Window handles ordered by value, without duplicates: the snapping candidates.
using WindowList = std::set<HWND>;

class SkinFrame {
 public:
  SkinFrame();
  // With its two flags where another thread can read them for the frame's whole life.
  explicit SkinFrame(FrameFlags& sharedFlags);
  SkinFrame(const SkinFrame&) = delete;
  SkinFrame& operator=(const SkinFrame&) = delete;
  ~SkinFrame();  // runs Destroy when it was not run

  // The frame's own flags unless it was given shared ones; declared first, so the references
  // below are bound to a constructed object.
 private:
  FrameFlags ownFlags_;
  // Set while the window is hidden with its minimised owner: the window stays open then.
  bool hiddenWithOwner_ = false;

 public:
  // Window state kept in the settings; the hook filter on the player's thread reads the flags.
  std::atomic<bool>& shown;
  std::atomic<bool>& docked;
  int32_t snapDistance = 10;  // -1: snapping off
  bool showFocus = false;
  int32_t width = 0, height = 0;
  int32_t posX = 0, posY = 0;  // screen position, or offset from the player while docked

  void Attach(HWND window, HWND hostMainWindow, ClickHandler rightClickHandler, const RECT& contentMargins,
              int32_t bottomBarLeftWidth);
  // The skin image the frame and its buttons are copied from, owned by the caller, who keeps it
  // alive while it is set and selects it into no device context; null draws no skin pieces.
  // Asks for the whole window to be painted again.
  void SetSkinImage(HBITMAP image);
  // Lays out, resizes the window, asks for it to be painted; returns afterResize's result or 0.
  // Callers store `width` and `height` first.
  int32_t Resize(int32_t newWidth, int32_t newHeight);
  // Asks for the whole window to be painted again; with showFocus the caption follows the focus.
  void Paint();
  // Shows the caption active or inactive: its strip is painted again.
  void DrawCaption(bool active);
  // Asks for `area` of the client to be painted again (nothing before Attach).
  void Invalidate(const RECT& area) const;
  // Draws what of the window lies in `box` onto `dc`, in client coordinates: WM_PAINT draws
  // into its buffer with it.
  void PaintArea(HDC dc, const RECT& box);
  // Colours in slot order; a null face or a zero height keeps the device context's font.
  // `fontFace` is UTF-8.
  void SetSkin(const char* fontFace, int32_t fontHeight, const COLORREF (&colours)[kColourSlots]);
  void SetHooks(FrameHook onResize, AfterResizeHook afterResize, FrameHook paintHook);
  // Creates a widget of type W on this frame (W's constructor takes the frame first) and keeps
  // it; widgets are laid out, painted and hit-tested in the order they were added.
  template <class W, class... Args>
  W* AddWidget(Args&&... args) {
    auto widget = std::make_unique<W>(this, std::forward<Args>(args)...);
    W* added = widget.get();
    widgets.push_back(std::move(widget));
    return added;
  }
  // The stored window state, taken at start-up and handed back for saving.
  void TakeSettings(const FrameSettings& settings);
  FrameSettings Settings() const;
  // The player's focus highlighting and snapping. Snapping off also ends docking: the docked
  // offsets mean nothing then, and the stored place becomes the screen's top-left corner.
  void TakePlayerSettings(bool highlightFocus, bool snapping, int32_t snapLength);
  void Destroy();

  // Input and painting (frame_input.cpp). Returns true when the message was consumed; `result`
  // is written only for the focus, paint and erase-background messages.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);
  Widget* FindPressable(int x, int y) const;
  void DispatchClick(int x, int y);
  void DispatchDoubleClick(int x, int y);
  void DispatchRightClick(int x, int y);

  // Docking (docking.cpp).
  void BuildWindowList();
  bool Snap(const RECT& currentRect, POINT& newPos);
  void SetClock(FileTimeClock clock) { clock_ = clock; }

  // Read by the widgets and by tests.
  HWND Window() const { return window; }
  HWND HostMainWindow() const { return hostMainWindow; }
  // While PaintArea draws: a device context holding the skin image, made at the first call of
  // that paint and deleted when it ends; null outside a paint and without an image.
  HDC SkinDC();
  HFONT Font() const { return font.Get(); }
  int32_t LineHeight() const { return lineHeight; }
  bool CaptionInactive() const { return captionInactive; }
  bool TiledLayout() const { return tiledLayout; }
  void SetTiledLayout() { tiledLayout = true; }
  LOGFONTW& LogFont() { return logFont; }
  const RECT& ClientRect() const { return clientRect; }
  const RECT& ContentRect() const { return contentRect; }
  const RECT& ContentMargins() const { return contentMargins; }
  int32_t BottomBarLeftWidth() const { return bottomBarLeftWidth; }
  COLORREF Colour(int32_t slot) const;
  HBRUSH Brush(int32_t slot) const;
  DragMode CurrentDragMode() const { return dragMode; }
  bool LeftDown() const { return leftDown; }
  Widget* PressedWidget() const { return pressedWidget; }
  const std::vector<std::unique_ptr<Widget>>& Widgets() const { return widgets; }
  const WindowList& Windows() const { return windowList; }
  uint64_t LastListRefresh() const { return lastListRefresh; }

 private:
  void RelayoutAll();
  // Answers WM_PAINT; false before Attach, which leaves it to the default procedure.
  bool OnPaint();
  void PaintCaption(HDC dc, const RECT& box);
  void PaintBorderAndBar(HDC dc, const RECT& box);
  // Copies a piece of the skin image to `dc`, when it reaches into the box being painted.
  void Blit(HDC dc, const RECT& box, int destX, int destY, int w, int h, int srcX, int srcY);
  // The off-screen bitmap, at least as large as the client area, made compatible with `dc`
  // when there is none or the client area grew; null when it can't be made.
  HBITMAP PaintBuffer(HDC dc);
  // The line height of the font the frame draws with.
  int32_t MeasureLineHeight() const;
  void OnLeftDown(int x, int y);
  void OnMouseMove(int x, int y);
  void OnLeftUp(int x, int y);
  void OnLeftDoubleClick(int x, int y);
  void EndDrag();
  // Ends a gesture that lost the capture, running nothing.
  void CancelGesture();
  // Puts the device context's own font back and deletes the skin's.
  void ReleaseFont();
  void AddQualifyingWindows();
  void ConsiderWindow(HWND candidate);

  friend BOOL CALLBACK CollectPlayerWindow(HWND candidate, LPARAM frame);

  RECT clientRect{};
  RECT contentMargins{};
  RECT contentRect{};
  HWND window = nullptr;
  HWND hostMainWindow = nullptr;
  HBITMAP skinImage = nullptr;
  // Set only while PaintArea runs: the device context it draws on, and the skin image's own,
  // made from it when a piece of the image is first needed (a row of the list needs none).
  HDC paintTarget = nullptr;
  MemoryDc paintSkinDc;
  SelectedObject paintSkinSelection;  // after the DC: deselects before it is deleted
  // Selected only into the buffers of the paint messages; null: a DC's own.
  FontHandle font;
  // WM_PAINT's off-screen bitmap, in client coordinates, and its size: made once, not per paint.
  BitmapHandle paintBuffer;
  SIZE paintBufferSize{};
  int32_t bottomBarLeftWidth = 0;
  int32_t lineHeight = 1;
  bool captionInactive = false;
  bool tiledLayout = false;
  LOGFONTW logFont{};
  FrameHook onResize = nullptr;
  AfterResizeHook afterResize = nullptr;
  FrameHook paintHook = nullptr;
  ClickHandler rightClickHandler = nullptr;
  DragMode dragMode = DragMode::None;
  bool leftDown = false;
  int32_t dragStartX = 0, dragStartY = 0;
  Widget* pressedWidget = nullptr;
  COLORREF colours[kColourSlots] = {};
  BrushHandle brushes[kColourSlots];
  std::vector<std::unique_ptr<Widget>> widgets;
  WindowList windowList;
  uint64_t lastListRefresh = 0;
  FileTimeClock clock_;
};

}  // namespace tarnix
