#include "tracklist/ascii_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnix {
namespace {

TEST(AsciiEscape, RoundTripsAndSpellings) {
  const struct {
    std::string utf8;
    std::string ascii;
  } cases[] = {
      {"C:\\Music\\Bookmarks", "C:\\Music\\Bookmarks"},
      {"", ""},
      {"100%", "100%25"},
      {"D:\\Закладки", "D:\\%D0%97%D0%B0%D0%BA%D0%BB%D0%B0%D0%B4%D0%BA%D0%B8"},
      {"E:\\愛", "E:\\%E6%84%9B"},
      {"tab\there", "tab%09here"},
      {"\xF0\x9F\x8E\xB5", "%F0%9F%8E%B5"},  // beyond the 16-bit plane
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeToAscii(c.utf8), c.ascii) << c.utf8;
    std::string back = "unchanged";
    EXPECT_TRUE(UnescapeFromAscii(c.ascii, &back)) << c.ascii;
    EXPECT_EQ(back, c.utf8);
  }
}

TEST(AsciiEscape, RefusesWhatItNeverWrites) {
  const char* const bad[] = {
      "%",
      "%4",
      "%G0",
      "50%!",
      "caf\xE9",       // a raw code-page byte
      "%E9",           // unescapes to a lone code-page byte, not UTF-8
      "%C0%80",        // an overlong NUL
      "%ED%A0%80",     // a surrogate
      "%F4%90%80%80",  // past U+10FFFF
      "%E6%84",        // a character cut short
  };
  for (const char* text : bad) {
    std::string out = "unchanged";
    EXPECT_FALSE(UnescapeFromAscii(text, &out)) << text;
    EXPECT_EQ(out, "unchanged");
  }
}

}  // namespace
}  // namespace tarnix
