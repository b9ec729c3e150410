#include "session/colour_text.h"

#include <gtest/gtest.h>

namespace tarnix {
namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

TEST(ColourFromHex, Spellings) {
  const struct {
    const char* text;
    uint32_t expected;
  } cases[] = {
      {"#FF8000", Rgb(255, 128, 0)},
      {"FF8000", Rgb(255, 128, 0)},
      {"ff8000", Rgb(255, 128, 0)},
      {"FFF", 0},
      {"#FFF", 0},
      {"", 0},
      {"#", 0},
      {"zz0000", 0},
      {" 12 34 56", Rgb(0x12, 0x34, 0x56)},
      {"#0000FF", Rgb(0, 0, 255)},
      {"00FF00 ; comment", Rgb(0, 255, 0)},
      {"##FF8000", 0},
      {"123456789", Rgb(0x12, 0x34, 0x56)},
  };
  for (const auto& c : cases) EXPECT_EQ(ColourFromHex(c.text), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(ColourFromHex(nullptr), 0u);
}

}  // namespace
}  // namespace tarnix
