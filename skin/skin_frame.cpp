// Layout, painting and skin of the skinned window. Everything is copied from the skin image
// straight into the window's device context with plain source copies; there is no
// off-screen buffer, and the window is painted only in answer to WM_ERASEBKGND.

#include "skin/skin_frame.h"

#include <cstring>
#include <string>

#include "skin/skin_button.h"
#include "skin/skin_geometry.h"
#include "skin/title_display.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {

uint64_t SystemFileTime() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// Skin image geometry of the frame pieces (x, y of the source; sizes where fixed).
constexpr int kCaptionLeftX = 0;
constexpr int kCaptionTitleX = 26;
constexpr int kCaptionFillerX = 127;
constexpr int kCaptionRightX = 153;
constexpr int kCaptionInactiveRow = 21;
constexpr int kSingleCaptionX = 27;
constexpr int kSingleCaptionWidth = kMinWidth;
constexpr int kSingleCaptionHeight = kCaptionStripHeight;
constexpr int kSingleCaptionInactiveRow = 15;
constexpr int kRightBorderSourceOffset = 51;  // added to the (negative) right margin
constexpr int kBarLeftY = 72;
constexpr int kBarFillerX = 179;
constexpr int kBarWideX = 205;
constexpr LONG kFontWeight = 100;

}  // namespace

SkinFrame::SkinFrame() : shown(ownFlags_.shown), docked(ownFlags_.docked), clock_(SystemFileTime) {}

SkinFrame::SkinFrame(FrameFlags& sharedFlags)
    : shown(sharedFlags.shown), docked(sharedFlags.docked), clock_(SystemFileTime) {}

void SkinFrame::TakeSettings(const FrameSettings& settings) {
  posX = settings.posX;
  posY = settings.posY;
  width = settings.width;
  height = settings.height;
  shown.store(settings.shown, std::memory_order_relaxed);
  docked.store(settings.docked, std::memory_order_relaxed);
}

FrameSettings SkinFrame::Settings() const {
  FrameSettings settings;
  settings.posX = posX;
  settings.posY = posY;
  settings.width = width;
  settings.height = height;
  settings.shown = shown.load(std::memory_order_relaxed);
  settings.docked = docked.load(std::memory_order_relaxed);
  return settings;
}

void SkinFrame::TakePlayerSettings(bool highlightFocus, bool snapping, int32_t snapLength) {
  showFocus = highlightFocus;
  if (snapping) {
    snapDistance = snapLength;
    return;
  }
  snapDistance = -1;
  if (docked.load(std::memory_order_relaxed)) {
    docked.store(false, std::memory_order_relaxed);
    posX = 0;
    posY = 0;
  }
}

SkinFrame::~SkinFrame() { Destroy(); }

COLORREF SkinFrame::Colour(int32_t slot) const { return slot >= 0 && slot < kColourSlots ? colours[slot] : 0; }

HBRUSH SkinFrame::Brush(int32_t slot) const { return slot >= 0 && slot < kColourSlots ? brushes[slot].Get() : nullptr; }

void SkinFrame::Attach(HWND newWindow, HWND newHostMainWindow, HDC newSkinDC, HDC newCaptionDC,
                       ClickHandler newRightClickHandler, const RECT& margins, int32_t leftWidth) {
  ReleaseFont();
  window = newWindow;
  hostMainWindow = newHostMainWindow;
  skinDC = newSkinDC;
  captionDC = newCaptionDC;
  rightClickHandler = newRightClickHandler;
  contentMargins = margins;
  bottomBarLeftWidth = leftWidth;
  windowDC = WindowDc(window);
  TEXTMETRICW metrics;
  if (windowDC.Get() && GetTextMetricsW(windowDC.Get(), &metrics) && metrics.tmHeight > 0)
    lineHeight = metrics.tmHeight;
  onResize = nullptr;
  afterResize = nullptr;
  lastListRefresh = 0;
  BuildWindowList();
}

void SkinFrame::RelayoutAll() {
  for (size_t i = 0; i < widgets.size(); ++i) widgets[i]->Relayout();
}

int32_t SkinFrame::Resize(int32_t newWidth, int32_t newHeight) {
  clientRect = RECT{0, 0, newWidth, newHeight};
  contentRect = RECT{clientRect.left + contentMargins.left, clientRect.top + contentMargins.top,
                     clientRect.right + contentMargins.right, clientRect.bottom + contentMargins.bottom};
  RelayoutAll();
  if (window) SetWindowPos(window, nullptr, 0, 0, newWidth, newHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (onResize) onResize(contentRect);
  Paint();
  return afterResize ? afterResize(contentRect) : 0;
}

void SkinFrame::Blit(HDC source, int destX, int destY, int w, int h, int srcX, int srcY) const {
  BitBlt(windowDC.Get(), destX, destY, w, h, source, srcX, srcY, SRCCOPY);
}

void SkinFrame::Paint() {
  if (!windowDC.Get() || !skinDC) return;
  bool active = true;
  if (showFocus) active = GetFocus() == window;
  DrawCaption(active);

  const int w = clientRect.right - clientRect.left;
  const int h = clientRect.bottom - clientRect.top;
  if (tiledLayout) {
    const int barHeight = -contentMargins.bottom;
    const int n = h + contentMargins.bottom;
    const int leftTile = contentMargins.left;
    const int rightTile = -contentMargins.right;
    const int rightSource = contentMargins.right + kRightBorderSourceOffset;
    // The last pair may reach below the bar's top; the bar drawn next covers it.
    for (int y = contentMargins.top; y < n; y += kBorderTileHeight) {
      Blit(skinDC, 0, y, leftTile, kBorderTileHeight, 0, kBorderTileY);
      Blit(skinDC, w + contentMargins.right, y, rightTile, kBorderTileHeight, rightSource, kBorderTileY);
    }
    if (paintHook) paintHook(contentRect);
    const int leftWidth = bottomBarLeftWidth;
    for (const PlacedPiece& piece : BottomBarPieces(w, leftWidth)) {
      switch (piece.piece) {
        case BarPiece::Left:
          Blit(skinDC, piece.x, n, leftWidth, barHeight, 0, kBarLeftY);
          break;
        case BarPiece::Filler:
          Blit(skinDC, piece.x, n, kBarFillerWidth, barHeight, kBarFillerX, 0);
          break;
        case BarPiece::Wide:
          Blit(skinDC, piece.x, n, kBarWideWidth, barHeight, kBarWideX, 0);
          break;
        case BarPiece::Right:
          Blit(skinDC, piece.x, n, kBarTotalWidth - leftWidth, barHeight, leftWidth + 1, kBarLeftY);
          break;
      }
    }
  } else {
    Blit(skinDC, 0, 0, w, h, 0, 0);
  }
  for (size_t i = 0; i < widgets.size(); ++i) widgets[i]->Draw(false);
}

void SkinFrame::DrawCaption(bool active) {
  if (!windowDC.Get() || !captionDC) return;
  const int w = clientRect.right - clientRect.left;
  if (tiledLayout) {
    const int s = active ? 0 : kCaptionInactiveRow;
    for (const PlacedCaption& piece : CaptionPieces(w)) {
      switch (piece.piece) {
        case CaptionPiece::LeftEnd:
          Blit(captionDC, piece.x, 0, kCaptionTile, kCaptionHeight, kCaptionLeftX, s);
          break;
        case CaptionPiece::Filler:
          Blit(captionDC, piece.x, 0, kCaptionTile, kCaptionHeight, kCaptionFillerX, s);
          break;
        case CaptionPiece::RightEnd:
          Blit(captionDC, piece.x, 0, kCaptionTile, kCaptionHeight, kCaptionRightX, s);
          break;
        case CaptionPiece::Title:
          Blit(captionDC, piece.x, 0, kCaptionTitleWidth, kCaptionHeight, kCaptionTitleX, s);
          break;
      }
    }
  } else {
    Blit(captionDC, 0, 0, kSingleCaptionWidth, kSingleCaptionHeight, kSingleCaptionX,
         active ? 0 : kSingleCaptionInactiveRow);
  }
  captionInactive = !active;
  DrawCaptionButtons();
}

void SkinFrame::ReleaseFont() {
  fontSelection.Reset();
  font.Reset();
}

void SkinFrame::DrawCaptionButtons() {
  for (size_t i = 0; i < widgets.size(); ++i) {
    Widget* widget = widgets[i].get();
    if (widget->Kind() != WidgetKind::Button) continue;
    auto* button = static_cast<SkinButton*>(widget);
    if (button->Flags() & SkinButton::kCaption) button->Draw(false);
  }
}

void SkinFrame::SetSkin(const char* fontFace, int32_t fontHeight, const COLORREF (&newColours)[kColourSlots]) {
  HDC dc = windowDC.Get();
  ReleaseFont();
  for (int i = 0; i < kColourSlots; ++i) {
    brushes[i].Reset(CreateSolidBrush(newColours[i]));
    colours[i] = newColours[i];
  }
  if (fontFace && fontHeight != 0) {
    // A character height, and the light weight 100 the skin's playlist font is drawn with.
    logFont = LOGFONTW{};
    logFont.lfHeight = -fontHeight;
    logFont.lfWeight = kFontWeight;
    const std::wstring face = WideFromUtf8(fontFace);
    face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
    // A font the system can't make leaves the device context's own: the rows still draw.
    font.Reset(CreateFontIndirectW(&logFont));
    if (font) fontSelection.Select(dc, font.Get());
  }
  // Without a new font the old one is gone all the same: the line height and the title's font
  // must follow the font the device context now has.
  bool changed = false;
  TEXTMETRICW metrics;
  if (dc && GetTextMetricsW(dc, &metrics) && metrics.tmHeight > 0) {
    changed = metrics.tmHeight != lineHeight;
    lineHeight = metrics.tmHeight;
  }
  for (size_t i = 0; i < widgets.size(); ++i) {
    if (widgets[i]->Kind() != WidgetKind::TextDisplay) continue;
    auto* title = static_cast<TitleDisplay*>(widgets[i].get());
    title->SetStyle(title->Colours(), title->StyleBits());
  }
  if (changed) RelayoutAll();
}

void SkinFrame::SetHooks(FrameHook newOnResize, AfterResizeHook newAfterResize, FrameHook newPaintHook) {
  onResize = newOnResize;
  afterResize = newAfterResize;
  paintHook = newPaintHook;
}

void SkinFrame::Destroy() {
  ReleaseFont();
  for (BrushHandle& brush : brushes) brush.Reset();
  pressedWidget = nullptr;
  // Creation order: the list unlinks itself from the scroll bar before the bar goes.
  for (size_t i = 0; i < widgets.size(); ++i) widgets[i].reset();
  widgets.clear();
  windowList.clear();
  // The window's device context was held since Attach; give it back while the window lives.
  windowDC.Reset();
}

}  // namespace tarnix
