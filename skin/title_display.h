#pragma once
// TitleDisplay: the one-line strip above the list that shows the track's name, in the skin's
// colours and a font derived from the frame font (bold, italic, underlined as styled).

#include "skin/skin_frame.h"
#include "tracklist/text_string.h"
#include "win32/handles.h"

namespace tarnix {

class TitleDisplay : public Widget {
 public:
  enum Style : int32_t { kBold = 1, kItalic = 2, kUnderline = 4 };

  TitleDisplay(SkinFrame* frame, const LayoutRect& layout, const RECT& textInset, ClickHandler clickHandler,
               ClickHandler rightClickHandler);

  // Asks for a repaint only when the text changed.
  void SetText(const TextString& value);
  const TextString& Text() const { return text; }
  void SetStyle(ColourPair colourPair, int32_t style);
  ColourPair Colours() const { return colourPair; }
  int32_t StyleBits() const { return style; }
  HFONT OwnFont() const { return ownFont; }

  void PaintOn(HDC dc, const RECT& box) override;
  bool OnClick(int x, int y) override;
  bool OnRightClick(int x, int y) override;
  // One line high whatever the layout's bottom says.
  void Relayout() override;

 private:
  ClickHandler clickHandler;
  ClickHandler rightClickHandler;
  TextString text;
  ColourPair colourPair = MakeColourPair(kNormal, kNormalBG);
  int32_t style = 0;
  HFONT ownFont = nullptr;  // the frame's font, or ownedFont
  FontHandle ownedFont;
  RECT textInset;
};

}  // namespace tarnix
