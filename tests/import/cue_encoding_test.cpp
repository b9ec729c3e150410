// Which encoding a cue sheet's bytes are read in: the mark, then UTF-8, then the system's code
// page, and another common code page only when its reading names files the system's does not.

#include "import/cue_encoding.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "import/cue_locator.h"
#include "tests/support/temp_dir.h"
#include "tracklist/platform.h"

namespace tarnix {
namespace {

// UTF-16 of a text whose characters are all below U+0100, in either byte order.
std::string Utf16(const std::string& latin, bool bigEndian) {
  std::string out;
  for (const char c : latin) {
    const char units[2] = {c, '\0'};
    out.push_back(units[bigEndian ? 1 : 0]);
    out.push_back(units[bigEndian ? 0 : 1]);
  }
  return out;
}

const std::string kPrivet1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет"
const std::string kPrivet = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
const std::string kHyouji932 = "\x95\x5C\x8E\xA6";  // "表示": a trail byte 0x5C
const std::string kHyouji = "\xE8\xA1\xA8\xE7\xA4\xBA";

// FILE lines of 1251 names, the file of the last one beside the sheet.
std::string ManyFiles(int count) {
  std::string sheet;
  for (int i = 1; i <= count; ++i) sheet += "FILE \"" + kPrivet1251 + std::to_string(i) + ".wav\" WAVE\n";
  return sheet;
}

TEST(CueEncodingTest, Table) {
  const struct {
    const char* what;
    std::string bytes;
    std::set<std::string> files;  // beside the sheet
    bool check;                   // whether the caller can look for files at all
    std::string text;
  } cases[] = {
      {"UTF-8 mark", "\xEF\xBB\xBFTITLE \"\xCE\xA9\"", {}, true, "TITLE \"\xCE\xA9\""},
      {"UTF-8 mark, broken bytes", "\xEF\xBB\xBFTITLE \xE9", {}, true, "TITLE \xEF\xBF\xBD"},
      {"UTF-16 LE",
       "\xFF\xFE" + Utf16("TITLE \"\xE9\"", false) + std::string("\x3C\xD8\xB5\xDF", 4),
       {},
       true,
       "TITLE \"\xC3\xA9\"\xF0\x9F\x8E\xB5"},
      {"UTF-16 BE", "\xFE\xFF" + Utf16("TITLE x", true) + std::string("\x04\x16", 2), {}, true, "TITLE x\xD0\x96"},
      {"UTF-16, half a pair and an odd byte",
       "\xFF\xFE" + std::string("\x3D\xD8"
                                "a\0"
                                "b",
                                5),
       {},
       true,
       "\xEF\xBF\xBD"
       "a"},
      {"UTF-16 LE without a mark", Utf16("TITLE \"\xE9\"", false), {}, true, "TITLE \"\xC3\xA9\""},
      {"UTF-16 BE without a mark",
       Utf16("\tTITLE x", true) + std::string("\x04\x16", 2),
       {},
       true,
       "\tTITLE x\xD0\x96"},
      {"a NUL in both first bytes is no UTF-16", std::string("\0\0TI", 4), {}, true, std::string("\0\0TI", 4)},
      {"valid UTF-8 without a mark",
       "FILE \"" + kPrivet + ".wav\" WAVE",
       {},
       true,
       "FILE \"" + kPrivet + ".wav\" WAVE"},
      {"code page, its FILE name found",
       "FILE \"Caf\xE9.wav\" WAVE",
       {"Caf\xC3\xA9.wav"},
       true,
       "FILE \"Caf\xC3\xA9.wav\" WAVE"},
      {"Cyrillic sheet in 1251",
       "TITLE \"" + kPrivet1251 + "\"\nFILE \"" + kPrivet1251 + ".wav\" WAVE",
       {kPrivet + ".wav"},
       true,
       "TITLE \"" + kPrivet + "\"\nFILE \"" + kPrivet + ".wav\" WAVE"},
      {"Japanese sheet in Shift-JIS",
       "FILE \"" + kHyouji932 + ".flac\" WAVE\r\nTITLE \"" + kHyouji932 + "\"",
       {kHyouji + ".flac"},
       true,
       "FILE \"" + kHyouji + ".flac\" WAVE\r\nTITLE \"" + kHyouji + "\""},
      {"no check: the code page",
       "FILE \"" + kPrivet1251 + ".wav\" WAVE",
       {kPrivet + ".wav"},
       false,
       "FILE \"\xC3\x8F\xC3\xB0\xC3\xA8\xC3\xA2\xC3\xA5\xC3\xB2.wav\" WAVE"},
      {"ASCII FILE names: the code page, found",
       "TITLE \"" + kPrivet1251 + "\"\nFILE a.wav WAVE",
       {"a.wav"},
       true,
       "TITLE \"\xC3\x8F\xC3\xB0\xC3\xA8\xC3\xA2\xC3\xA5\xC3\xB2\"\nFILE a.wav WAVE"},
      {"ASCII FILE names: the code page, not found",
       "TITLE \"" + kPrivet1251 + "\"\nFILE a.wav WAVE",
       {},
       true,
       "TITLE \"\xC3\x8F\xC3\xB0\xC3\xA8\xC3\xA2\xC3\xA5\xC3\xB2\"\nFILE a.wav WAVE"},
      {"the 99th FILE name is looked for",
       ManyFiles(99),
       {kPrivet + "99.wav"},
       true,
       platform::Utf8FromCodePage(1251, ManyFiles(99))},
      {"the 100th is not",
       ManyFiles(100),
       {kPrivet + "100.wav"},
       true,
       platform::Utf8FromCodePage(1252, ManyFiles(100))},
      {"no reading finds the file: the code page",
       "FILE \"" + kPrivet1251 + ".wav\" WAVE",
       {"other.wav"},
       true,
       "FILE \"\xC3\x8F\xC3\xB0\xC3\xA8\xC3\xA2\xC3\xA5\xC3\xB2.wav\" WAVE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CueFileCheck exists = [&](std::string_view name) { return c.files.count(std::string(name)) > 0; };
    EXPECT_EQ(DecodeCueSheet(c.bytes, c.check ? exists : CueFileCheck()), c.text);
  }
}

// Through the seam: sheets in another code page beside files whose names hold their script,
// in a folder with a Cyrillic name, on the Western code page.
TEST(CueEncodingTest, SheetsOfOtherSystemsFindTheirFiles) {
  test::TempDir dir;
  ASSERT_TRUE(dir.MakeDir(kPrivet));
  const std::string folder = kPrivet + "\\";
  const std::string onDisk = kPrivet + dir.Join("").substr(dir.Path().size());  // the system's separator
  const auto sheet = [](const std::string& file, const std::string& title) {
    return "PERFORMER \"" + title + "\"\r\nFILE \"" + file + "\" WAVE\r\n TRACK 01 AUDIO\r\n  TITLE \"" + title +
           "\"\r\n  INDEX 01 00:00:00\r\n TRACK 02 AUDIO\r\n  TITLE \"x\"\r\n  INDEX 01 01:00:00\r\n";
  };
  const struct {
    std::string played, sheetName, sheetBytes;
    std::string artist;
  } cases[] = {
      {kPrivet + ".wav", "a.cue", sheet(kPrivet1251 + ".wav", kPrivet1251), kPrivet},
      {kHyouji + ".wav", "b.cue", sheet(kHyouji932 + ".wav", kHyouji932), kHyouji},
      {"plain.wav", "c.cue", sheet("plain.wav", "Caf\xE9"), "Caf\xC3\xA9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.played);
    dir.Write(onDisk + c.played, "");
    dir.Write(onDisk + c.sheetName, c.sheetBytes);
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.played);
    ChapterSet set;
    ASSERT_TRUE(FindCueSheetChapters(dir.Item(folder + c.played).c_str(), &set));
    EXPECT_EQ(set.artist, c.artist);
  }
}

}  // namespace
}  // namespace tarnix
