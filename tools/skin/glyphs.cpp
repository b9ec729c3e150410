#include "glyphs.h"

#include <cstring>

namespace tarnix::skin {

namespace {

// One glyph: its character and its rows, 'X' for an inked pixel; every row has the glyph's width.
struct Glyph {
  char ch;
  const char* rows[7];
};

constexpr Glyph kSmall[] = {
    {'A', {".XX.", "X..X", "XXXX", "X..X", "X..X"}},
    {'C', {".XX", "X..", "X..", "X..", ".XX"}},
    {'D', {"XXX.", "X..X", "X..X", "X..X", "XXX."}},
    {'E', {"XXX", "X..", "XX.", "X..", "XXX"}},
    {'F', {"XXX", "X..", "XX.", "X..", "X.."}},
    {'I', {"XXX", ".X.", ".X.", ".X.", "XXX"}},
    {'K', {"X..X", "X.X.", "XX..", "X.X.", "X..X"}},
    {'L', {"X..", "X..", "X..", "X..", "XXX"}},
    {'M', {"X...X", "XX.XX", "X.X.X", "X...X", "X...X"}},
    {'N', {"X..X", "XX.X", "X.XX", "X..X", "X..X"}},
    {'O', {".XX.", "X..X", "X..X", "X..X", ".XX."}},
    {'P', {"XXX.", "X..X", "XXX.", "X...", "X..."}},
    {'R', {"XXX.", "X..X", "XXX.", "X.X.", "X..X"}},
    {'S', {".XXX", "X...", ".XX.", "...X", "XXX."}},
    {'T', {"XXX", ".X.", ".X.", ".X.", ".X."}},
    {'U', {"X..X", "X..X", "X..X", "X..X", ".XX."}},
    {'X', {"X...X", ".X.X.", "..X..", ".X.X.", "X...X"}},
    // Transport symbols: skip back and skip forward.
    {'<', {"X...X.X", "X..XXXX", "X.XXXXX", "X..XXXX", "X...X.X"}},
    {'>', {"X.X...X", "XXXX..X", "XXXXX.X", "XXXX..X", "X.X...X"}},
};

constexpr Glyph kTitle[] = {
    {'A', {".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"}},
    {'I', {"XXX", ".X.", ".X.", ".X.", ".X.", ".X.", "XXX"}},
    {'N', {"X...X", "XX..X", "XX..X", "X.X.X", "X..XX", "X..XX", "X...X"}},
    {'R', {"XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"}},
    {'T', {"XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "..X.."}},
    {'X', {"X...X", "X...X", ".X.X.", "..X..", ".X.X.", "X...X", "X...X"}},
};

template <size_t N>
const Glyph* Find(const Glyph (&table)[N], char ch) {
  for (const Glyph& g : table)
    if (g.ch == ch) return &g;
  return nullptr;
}

const Glyph* Lookup(GlyphFont font, char ch) { return font == GlyphFont::Small ? Find(kSmall, ch) : Find(kTitle, ch); }

int GlyphWidth(const Glyph* g) { return g ? static_cast<int>(std::strlen(g->rows[0])) : 3; }

}  // namespace

int TextHeight(GlyphFont font) { return font == GlyphFont::Small ? 5 : 7; }

int TextWidth(GlyphFont font, std::string_view text, int spacing) {
  int width = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i > 0) width += spacing;
    width += GlyphWidth(Lookup(font, text[i]));
  }
  return width;
}

void DrawText(Canvas& canvas, GlyphFont font, int x, int y, std::string_view text, Rgb c, int spacing) {
  const int rows = TextHeight(font);
  for (char ch : text) {
    const Glyph* g = Lookup(font, ch);
    if (g) {
      for (int r = 0; r < rows; ++r)
        for (int i = 0; g->rows[r][i]; ++i)
          if (g->rows[r][i] == 'X') canvas.Set(x + i, y + r, c);
    }
    x += GlyphWidth(g) + spacing;
  }
}

}  // namespace tarnix::skin
