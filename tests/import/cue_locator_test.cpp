#include "import/cue_locator.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace tarnix {
namespace {

std::string Sheet(const char* file, const char* firstTitle) {
  return std::string("FILE \"") + file + "\" WAVE\r\n TRACK 01 AUDIO\r\n  TITLE \"" + firstTitle +
         "\"\r\n  INDEX 01 00:00:00\r\n TRACK 02 AUDIO\r\n  INDEX 01 01:00:00\r\n";
}

std::string FirstName(const TextString& played) {
  ChapterSet set;
  if (!FindCueSheetChapters(played, &set)) return "(none)";
  return set.chapters.front().name;
}

TEST(CueLocatorTest, FindsTheSheetOfThePlayedFile) {
  test::TempDir dir;
  dir.Write("Concert.CUE", Sheet("Range.wav", "by stem"));
  dir.Write("concert.flac.cue", Sheet("Range.wav", "by full name"));
  dir.Write("Other.mp3.cue", Sheet("Other.mp3", "by full name only"));
  dir.Write("zz.cue", Sheet("Other.mp3", "wrong"));
  dir.Write("Album.cue", Sheet("TRACK05.WAV", "by FILE line"));
  dir.Write("Broken.cue", "FILE \"Broken.wav\" WAVE\r\nTRACK 01 AUDIO\r\nINDEX 01 99:99:99\r\n");
  dir.Write("track05.cuex", Sheet("track05.wav", "not a sheet"));
  dir.Write("Mixed.cue", Sheet("Elsewhere.wav", "x") + "FILE \"Mixed.wav\" WAVE\r\n");
  const struct {
    const char* played;
    const char* first;
  } cases[] = {
      {"concert.flac", "by stem"},         // stem first, any letter case
      {"Other.mp3", "by full name only"},  // the full file name
      {"Track05.wav", "by FILE line"},     // another sheet that names it
      {"Broken.wav", "(none)"},            // a malformed sheet is no sheet
      {"Mixed.wav", "(none)"},             // named after it, but its block for it has no tracks
      {"Nothing.wav", "(none)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.played);
    EXPECT_EQ(FirstName(dir.Item(c.played).c_str()), c.first);
  }
  EXPECT_EQ(FirstName(dir.Item("missing-dir\\Concert.flac").c_str()), "(none)");
  EXPECT_EQ(FirstName(""), "(none)");
}

TEST(CueLocatorTest, SkipsSheetsTooLargeToRead) {
  test::TempDir dir;
  dir.Write("Big.cue", Sheet("Big.wav", "big") + std::string(1024 * 1024, ' '));
  dir.Write("Any.cue", Sheet("Big.wav", "from the search"));
  EXPECT_EQ(FirstName(dir.Item("Big.wav").c_str()), "from the search");
}

}  // namespace
}  // namespace tarnix
