#pragma once
// Two tiny bitmap fonts drawn pixel by pixel: a 5-row one for button labels and a 7-row one
// for the caption title.

#include <string_view>

#include "canvas.h"

namespace tarnix::skin {

enum class GlyphFont { Small, Title };

// Width in pixels of `text` with `spacing` blank columns between letters; unknown
// characters count as blanks of width 3.
int TextWidth(GlyphFont font, std::string_view text, int spacing = 1);
int TextHeight(GlyphFont font);

// Draws `text` with its top-left corner at (x, y) in colour `c`.
void DrawText(Canvas& canvas, GlyphFont font, int x, int y, std::string_view text, Rgb c, int spacing = 1);

}  // namespace tarnix::skin
