// Pure helpers of the UI thread side, in-process.

#include <gtest/gtest.h>

#include "host/skin_adoption.h"
#include "host/ui_thread.h"

namespace tarnix {
namespace {

TEST(ColourFromHex, Spellings) {
  const struct {
    const char* text;
    COLORREF expected;
  } cases[] = {
      {"#FF8000", RGB(255, 128, 0)}, {"FF8000", RGB(255, 128, 0)},  {"ff8000", RGB(255, 128, 0)},
      {"FFF", 0},                    {"#FFF", 0},                   {"", 0},
      {"#", 0},                      {"zz0000", 0},                 {" 12 34 56", RGB(0x12, 0x34, 0x56)},
      {"#0000FF", RGB(0, 0, 255)},   {"00FF00 ; comment", RGB(0, 255, 0)}, {"##FF8000", 0},
      {"123456789", RGB(0x12, 0x34, 0x56)},
  };
  for (const auto& c : cases) EXPECT_EQ(ColourFromHex(c.text), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(ColourFromHex(nullptr), 0u);
}

TEST(JoinWithDash, EmptyFirstGivesSecond) {
  EXPECT_EQ(JoinWithDash("", "Song"), "Song");
  EXPECT_EQ(JoinWithDash("Album", "Song"), "Album - Song");
  EXPECT_EQ(JoinWithDash("Album", ""), "Album - ");
}

}  // namespace
}  // namespace tarnix
