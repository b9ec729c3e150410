// The code-page conversions of the platform seam and the UTF-8 helpers the importers share.

#include <gtest/gtest.h>

#include <string>

#include "import/utf8.h"
#include "tracklist/platform.h"

namespace tarnix {
namespace {

std::string S(const TextString& t) { return std::string(t.c_str(), static_cast<size_t>(t.Length())); }

// The tests assume the Western code page (1252), which the native build always uses and
// Wine and Windows use in their default English set-up.
TEST(CodePageTest, ConvertsBothWays) {
  const struct {
    std::string utf8;
    std::string ansi;
  } cases[] = {
      {"plain", "plain"},
      {"Caf\xC3\xA9 \xC3\xBF", "Caf\xE9 \xFF"},
      {"\xE2\x82\xAC \xE2\x80\x93 \xE2\x80\x9Cq\xE2\x80\x9D \xC5\xA0", "\x80 \x96 \x93q\x94 \x8A"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(S(platform::AnsiFromUtf8(c.utf8)), c.ansi);
    EXPECT_EQ(platform::Utf8FromAnsi(c.ansi), c.utf8);
  }
  const struct {
    std::string utf8;
    std::string ansi;
  } lossy[] = {
      {"\xE6\x88\xA6!", "?!"},              // not in the code page
      {"\xF0\x9F\x8E\xB5 note", "? note"},  // beyond 16 bits: still one "?"
      {"\xC4\x80", "?"},                    // no look-alike "A"
      {"a\xFF"
       "b",
       "a?b"},  // not UTF-8 at all
      {std::string("cut\0here", 8), "cut"},
  };
  for (const auto& c : lossy) EXPECT_EQ(S(platform::AnsiFromUtf8(c.utf8)), c.ansi) << c.utf8;
}

TEST(CodePageTest, Utf8Helpers) {
  const struct {
    std::string text;
    bool valid;
  } validity[] = {{"", true},
                  {"ascii", true},
                  {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5", true},
                  {"\xC3", false},
                  {"\xC0\xAF", false},          // overlong
                  {"\xED\xA0\x80", false},      // surrogate
                  {"\xF4\x90\x80\x80", false},  // past U+10FFFF
                  {"\xE9t\xE9", false}};
  for (const auto& c : validity) EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;

  EXPECT_EQ(CleanName("  a\tb\r\nc "), "a b  c");
  EXPECT_EQ(CleanName(std::string(300, 'x')).size(), 255u);
  const std::string wide = std::string(254, 'x') + "\xE2\x82\xAC\xE2\x82\xAC";
  EXPECT_EQ(CleanName(wide), std::string(254, 'x') + "\xE2\x82\xAC");  // cut between characters

  EXPECT_TRUE(EqualIgnoringCase("\xC3\x89T\xC3\x89.WAV", "\xC3\xA9t\xC3\xA9.wav"));
  EXPECT_FALSE(EqualIgnoringCase("a.wav", "a.wa"));
  EXPECT_FALSE(EqualIgnoringCase("\xC3\x97", "\xC3\xB7"));  // the multiplication sign has no small form
  EXPECT_EQ(FileNameOf("C:\\dir/sub\\a.wav"), "a.wav");
  EXPECT_EQ(FileNameOf("D:a.wav"), "a.wav");
}

}  // namespace
}  // namespace tarnix
