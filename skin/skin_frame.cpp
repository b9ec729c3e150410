// Layout, settings and skin of the skinned window; its painting is in frame_paint.cpp.

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

void SkinFrame::Attach(HWND newWindow, HWND newHostMainWindow, ClickHandler newRightClickHandler, const RECT& margins,
                       int32_t leftWidth) {
  ReleaseFont();
  window = newWindow;
  hostMainWindow = newHostMainWindow;
  rightClickHandler = newRightClickHandler;
  contentMargins = margins;
  bottomBarLeftWidth = leftWidth;
  if (const int32_t measured = MeasureLineHeight(); measured > 0) lineHeight = measured;
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

int32_t SkinFrame::MeasureLineHeight() const {
  const MemoryDc dc(nullptr);
  const SelectedObject selected(dc.Get(), font.Get());
  TEXTMETRICW metrics;
  return dc.Get() && GetTextMetricsW(dc.Get(), &metrics) ? metrics.tmHeight : 0;
}

void SkinFrame::ReleaseFont() { font.Reset(); }

void SkinFrame::SetSkin(const char* fontFace, int32_t fontHeight, const COLORREF (&newColours)[kColourSlots]) {
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
  }
  // Without a new font the old one is gone all the same: the line height and the title's font
  // must follow a device context's own font then.
  bool changed = false;
  if (const int32_t measured = MeasureLineHeight(); measured > 0) {
    changed = measured != lineHeight;
    lineHeight = measured;
  }
  for (size_t i = 0; i < widgets.size(); ++i) {
    if (widgets[i]->Kind() != WidgetKind::TextDisplay) continue;
    auto* title = static_cast<TitleDisplay*>(widgets[i].get());
    title->SetStyle(title->Colours(), title->StyleBits());
  }
  if (changed) RelayoutAll();
  Paint();
}

void SkinFrame::SetHooks(FrameHook newOnResize, AfterResizeHook newAfterResize, FrameHook newPaintHook) {
  onResize = newOnResize;
  afterResize = newAfterResize;
  paintHook = newPaintHook;
}

void SkinFrame::Destroy() {
  ReleaseFont();
  paintBuffer.Reset();
  paintBufferSize = SIZE{};
  skinImage = nullptr;
  for (BrushHandle& brush : brushes) brush.Reset();
  pressedWidget = nullptr;
  // Creation order: the list unlinks itself from the scroll bar before the bar goes.
  for (size_t i = 0; i < widgets.size(); ++i) widgets[i].reset();
  widgets.clear();
  windowList.clear();
}

}  // namespace tarnix
