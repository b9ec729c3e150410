#include "skin/title_display.h"

#include <cstring>
#include <string>
#include <string_view>

#include "win32/utf16.h"

namespace tarnix {

namespace {

constexpr LONG kBoldWeight = 700;
constexpr LONG kLightWeight = 100;

}  // namespace

TitleDisplay::TitleDisplay(SkinFrame* frame, const LayoutRect& layout, const RECT& textInset, ClickHandler clickHandler,
                           ClickHandler rightClickHandler)
    : Widget(WidgetKind::TextDisplay, frame, layout),
      clickHandler(clickHandler),
      rightClickHandler(rightClickHandler),
      textInset(textInset) {
  Relayout();
}

void TitleDisplay::SetText(const TextString& value) {
  // Byte for byte: a name that changed only in letter case must still be shown.
  if (text.Length() == value.Length() && std::memcmp(text.Data(), value.Data(), text.Length()) == 0) return;
  text = value;
  Redraw();
}

void TitleDisplay::SetStyle(ColourPair newColourPair, int32_t newStyle) {
  colourPair = newColourPair;
  style = newStyle;
  ownedFont.Reset();
  ownFont = nullptr;
  if (!frame) return;
  if (style == 0) {
    ownFont = frame->Font();
  } else {
    // The frame's description is changed in place; its next SetSkin resets these members.
    LOGFONTW& logFont = frame->LogFont();
    logFont.lfWeight = (style & kBold) ? kBoldWeight : kLightWeight;
    logFont.lfItalic = (style & kItalic) ? 1 : 0;
    logFont.lfUnderline = (style & kUnderline) ? 1 : 0;
    ownedFont.Reset(CreateFontIndirectW(&logFont));
    ownFont = ownedFont.Get();
  }
  Relayout();
}

void TitleDisplay::Relayout() {
  BaseRelayout();
  rect.bottom = rect.top + (frame ? frame->LineHeight() : 1) + 2;
}

void TitleDisplay::PaintOn(HDC dc, const RECT&) {
  if (!frame) return;
  RECT area{rect.left + textInset.left, rect.top + textInset.top, rect.right + textInset.right,
            rect.bottom + textInset.bottom};
  // The plain style draws in the frame's font, which the paint already selected.
  const SelectedObject selected(dc, ownFont != frame->Font() ? ownFont : nullptr);
  const int32_t background = BackgroundSlot(colourPair);
  SetBkColor(dc, frame->Colour(background));
  if (HBRUSH brush = frame->Brush(background)) FillRect(dc, &rect, brush);
  SetTextColor(dc, frame->Colour(TextSlot(colourPair)));
  const std::wstring wide = WideFromUtf8(std::string_view(text.Data(), static_cast<size_t>(text.Length())));
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &area,
            DT_SINGLELINE | DT_END_ELLIPSIS | DT_TOP | DT_LEFT | DT_NOPREFIX);
}

bool TitleDisplay::OnClick(int x, int y) {
  if (!clickHandler) return false;
  clickHandler(x, y);
  return true;
}

bool TitleDisplay::OnRightClick(int x, int y) {
  if (!rightClickHandler) return false;
  rightClickHandler(x, y);
  return true;
}

}  // namespace tarnix
