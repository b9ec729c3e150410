// Painting of the skinned window, as Windows paints: changes only ask for their rectangle to be
// painted (InvalidateRect), and WM_PAINT draws the part of the window its update region covers
// into an off-screen buffer, then copies that part to the window in one step, so nothing
// flickers and nothing of the window is drawn twice. WM_ERASEBKGND does nothing: every pixel of
// the box is drawn into the buffer. The pieces are copied from the skin image with plain source
// copies.
//
// The buffer is a bitmap of the client area's size that lives as long as the frame; only the
// memory device context drawing into it is made for each WM_PAINT. The playing row repaints
// once a second, and making and filling a new bitmap each time cost more than the drawing. The
// skin image is selected into a device context of its own only while a paint copies from it, so
// no device context outlives its message; the playing row's paint copies nothing from it and
// makes none.

#include "skin/skin_frame.h"
#include "skin/skin_geometry.h"
#include "win32/handles.h"

namespace tarnix {

namespace {

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

bool Overlaps(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// BeginPaint and EndPaint around one WM_PAINT.
class PaintSession {
 public:
  explicit PaintSession(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintSession(const PaintSession&) = delete;
  PaintSession& operator=(const PaintSession&) = delete;
  ~PaintSession() { EndPaint(window_, &paint_); }
  HDC Dc() const { return dc_; }
  const RECT& Box() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace

void SkinFrame::SetSkinImage(HBITMAP image) {
  skinImage = image;
  Paint();
}

HDC SkinFrame::SkinDC() {
  if (!paintSkinDc && paintTarget && skinImage) {
    paintSkinDc = MemoryDc(paintTarget);
    if (paintSkinDc) paintSkinSelection.Select(paintSkinDc.Get(), skinImage);
  }
  return paintSkinDc.Get();
}

void SkinFrame::Blit(HDC dc, const RECT& box, int destX, int destY, int w, int h, int srcX, int srcY) {
  if (!Overlaps(RECT{destX, destY, destX + w, destY + h}, box)) return;
  if (HDC source = SkinDC()) BitBlt(dc, destX, destY, w, h, source, srcX, srcY, SRCCOPY);
}

void SkinFrame::Invalidate(const RECT& area) const {
  if (window && !IsRectEmpty(&area)) InvalidateRect(window, &area, FALSE);
}

void SkinFrame::Paint() {
  if (showFocus) captionInactive = GetFocus() != window;
  if (window) InvalidateRect(window, nullptr, FALSE);
}

void SkinFrame::DrawCaption(bool active) {
  captionInactive = !active;
  const int w = clientRect.right - clientRect.left;
  // The caption buttons, which show the caption's look, lie inside it.
  Invalidate(RECT{0, 0, tiledLayout ? w : kSingleCaptionWidth, tiledLayout ? kCaptionHeight : kSingleCaptionHeight});
}

HBITMAP SkinFrame::PaintBuffer(HDC dc) {
  const LONG w = clientRect.right - clientRect.left;
  const LONG h = clientRect.bottom - clientRect.top;
  if (!paintBuffer || paintBufferSize.cx < w || paintBufferSize.cy < h) {
    paintBuffer.Reset();
    paintBufferSize = SIZE{};
    if (w <= 0 || h <= 0) return nullptr;
    paintBuffer.Reset(CreateCompatibleBitmap(dc, w, h));
    if (paintBuffer) paintBufferSize = SIZE{w, h};
  }
  return paintBuffer.Get();
}

bool SkinFrame::OnPaint() {
  if (!window) return false;
  const PaintSession paint(window);
  RECT box;
  if (!paint.Dc() || !IntersectRect(&box, &paint.Box(), &clientRect)) return true;
  const MemoryDc buffer(paint.Dc());
  HBITMAP bitmap = PaintBuffer(paint.Dc());
  if (!buffer.Get() || !bitmap) return true;
  {
    // The buffer is in client coordinates; only the box is drawn and copied.
    const SelectedObject selectedBitmap(buffer.Get(), bitmap);
    const SelectedObject selectedFont(buffer.Get(), font.Get());
    PaintArea(buffer.Get(), box);
    BitBlt(paint.Dc(), box.left, box.top, box.right - box.left, box.bottom - box.top, buffer.Get(), box.left, box.top,
           SRCCOPY);
  }
  return true;
}

void SkinFrame::PaintArea(HDC dc, const RECT& box) {
  // The skin image's device context, if the paint made one, ends with it.
  struct EndOfPaint {
    SkinFrame& frame;
    ~EndOfPaint() {
      frame.paintSkinSelection.Reset();
      frame.paintSkinDc.Reset();
      frame.paintTarget = nullptr;
    }
  } const endOfPaint{*this};
  paintTarget = dc;
  PaintCaption(dc, box);
  PaintBorderAndBar(dc, box);
  for (const auto& widget : widgets) {
    if (widget->Visible() && Overlaps(widget->GetRect(), box)) widget->PaintOn(dc, box);
  }
}

void SkinFrame::PaintBorderAndBar(HDC dc, const RECT& box) {
  const int w = clientRect.right - clientRect.left;
  const int h = clientRect.bottom - clientRect.top;
  if (!tiledLayout) {
    // Below the caption, which the single image's caption row covers.
    Blit(dc, box, 0, kSingleCaptionHeight, w, h - kSingleCaptionHeight, 0, kSingleCaptionHeight);
    return;
  }
  const int barHeight = -contentMargins.bottom;
  const int n = h + contentMargins.bottom;
  const int leftTile = contentMargins.left;
  const int rightTile = -contentMargins.right;
  const int rightSource = contentMargins.right + kRightBorderSourceOffset;
  // The last pair may reach below the bar's top; the bar drawn next covers it.
  for (int y = contentMargins.top; y < n; y += kBorderTileHeight) {
    Blit(dc, box, 0, y, leftTile, kBorderTileHeight, 0, kBorderTileY);
    Blit(dc, box, w + contentMargins.right, y, rightTile, kBorderTileHeight, rightSource, kBorderTileY);
  }
  if (paintHook) paintHook(contentRect);
  const int leftWidth = bottomBarLeftWidth;
  for (const PlacedPiece& piece : BottomBarPieces(w, leftWidth)) {
    switch (piece.piece) {
      case BarPiece::Left:
        Blit(dc, box, piece.x, n, leftWidth, barHeight, 0, kBarLeftY);
        break;
      case BarPiece::Filler:
        Blit(dc, box, piece.x, n, kBarFillerWidth, barHeight, kBarFillerX, 0);
        break;
      case BarPiece::Wide:
        Blit(dc, box, piece.x, n, kBarWideWidth, barHeight, kBarWideX, 0);
        break;
      case BarPiece::Right:
        Blit(dc, box, piece.x, n, kBarTotalWidth - leftWidth, barHeight, leftWidth + 1, kBarLeftY);
        break;
    }
  }
}

void SkinFrame::PaintCaption(HDC dc, const RECT& box) {
  const bool active = !captionInactive;
  const int w = clientRect.right - clientRect.left;
  if (!tiledLayout) {
    Blit(dc, box, 0, 0, kSingleCaptionWidth, kSingleCaptionHeight, kSingleCaptionX,
         active ? 0 : kSingleCaptionInactiveRow);
    return;
  }
  const int s = active ? 0 : kCaptionInactiveRow;
  for (const PlacedCaption& piece : CaptionPieces(w)) {
    switch (piece.piece) {
      case CaptionPiece::LeftEnd:
        Blit(dc, box, piece.x, 0, kCaptionTile, kCaptionHeight, kCaptionLeftX, s);
        break;
      case CaptionPiece::Filler:
        Blit(dc, box, piece.x, 0, kCaptionTile, kCaptionHeight, kCaptionFillerX, s);
        break;
      case CaptionPiece::RightEnd:
        Blit(dc, box, piece.x, 0, kCaptionTile, kCaptionHeight, kCaptionRightX, s);
        break;
      case CaptionPiece::Title:
        Blit(dc, box, piece.x, 0, kCaptionTitleWidth, kCaptionHeight, kCaptionTitleX, s);
        break;
    }
  }
}

}  // namespace tarnix
