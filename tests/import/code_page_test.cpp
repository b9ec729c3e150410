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

// Other code pages, both ways, and whether a text is held exactly.
TEST(CodePageTest, NamedCodePagesAndExactness) {
  const struct {
    unsigned codePage;
    std::string bytes;
    std::string utf8;
  } both[] = {
      {1251, "\xCF\xF0\xE8\xE2\xE5\xF2.wav", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.wav"},
      {932, "\x95\x5C\x8E\xA6", "\xE8\xA1\xA8\xE7\xA4\xBA"},  // trail bytes 0x5C and 0xA6
      {1253, "\xD9\xEC\xE5\xE3\xE1", "\xCE\xA9\xCE\xBC\xCE\xB5\xCE\xB3\xCE\xB1"},
      {1250, "\x8A\xED\xF8", "\xC5\xA0\xC3\xAD\xC5\x99"},
      {1252, "\x81\x80", "\xC2\x81\xE2\x82\xAC"},  // an unassigned byte keeps its C1 code point
      {936, "\xD6\xD0", "\xE4\xB8\xAD"},
      {65001, "\xC3\xA9", "\xC3\xA9"},
  };
  std::string out;
  for (const auto& c : both) {
    EXPECT_EQ(platform::Utf8FromCodePage(c.codePage, c.bytes), c.utf8) << c.codePage;
    EXPECT_TRUE(platform::ExactCodePageFromUtf8(c.codePage, c.utf8, &out)) << c.codePage;
    EXPECT_EQ(out, c.bytes) << c.codePage;
  }
  const struct {
    unsigned codePage;
    std::string utf8;
  } notHeld[] = {
      {1252, "\xE6\x84\x9B"},     // Japanese
      {1252, "\xC4\x80"},         // no look-alike "A"
      {1252, "\xEF\xBF\xBD"},     // the replacement character itself
      {1252, "caf\xE9"},          // not UTF-8
      {1251, "caf\xC3\xA9"},      // no "e" with an accent in Cyrillic
      {932, "\xF0\x9F\x8E\xB5"},  // beyond 16 bits
      {65001, "\xED\xA0\x80"},    // a surrogate
  };
  for (const auto& c : notHeld) EXPECT_FALSE(platform::ExactCodePageFromUtf8(c.codePage, c.utf8, &out)) << c.utf8;
  EXPECT_TRUE(platform::ExactAnsiFromUtf8("Caf\xC3\xA9 \xE2\x82\xAC", &out));
  EXPECT_EQ(out, "Caf\xE9 \x80");
  EXPECT_FALSE(platform::ExactAnsiFromUtf8("\xCE\xA9", &out));
  EXPECT_EQ(platform::AnsiCodePage(), 1252u);
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
