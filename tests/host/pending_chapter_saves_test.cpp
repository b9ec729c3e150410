// The file that keeps chapter saves across a quit: what is written reads back whole, and a line
// that is damaged in any way is dropped without touching the others.

#include "host/pending_chapter_saves.h"

#include <gtest/gtest.h>

namespace tarnix {
namespace {

ChapterSave Save(const std::string& path, std::vector<Chapter> chapters) {
  ChapterSave save;
  save.path = path;
  save.chapters.trackName = chapters.empty() ? std::string() : chapters.front().name;
  save.chapters.lengthMs = 3600000;
  save.chapters.chapters = std::move(chapters);
  return save;
}

void ExpectSame(const ChapterSave& a, const ChapterSave& b) {
  EXPECT_EQ(a.path, b.path);
  EXPECT_EQ(a.chapters.trackName, b.chapters.trackName);
  EXPECT_EQ(a.chapters.lengthMs, b.chapters.lengthMs);
  ASSERT_EQ(a.chapters.chapters.size(), b.chapters.chapters.size());
  for (size_t i = 0; i < a.chapters.chapters.size(); ++i) {
    EXPECT_EQ(a.chapters.chapters[i].timeMs, b.chapters.chapters[i].timeMs);
    EXPECT_EQ(a.chapters.chapters[i].name, b.chapters.chapters[i].name);
  }
}

TEST(PendingChapterSaves, NamesWithEveryEscapedCharacterReadBackWhole) {
  const std::vector<ChapterSave> saves = {
      Save("C:\\Hörbücher\\Kapitel\t1.m4b", {{0, "Anfang\\Ende"}, {60000, "two\nlines\r"}, {60000, ""}}),
      Save("D:\\音楽\\曲.flac", {{0, "終章"}}),
  };
  const std::vector<ChapterSave> read = ParsePendingChapterSaves(FormatPendingChapterSaves(saves));
  ASSERT_EQ(read.size(), saves.size());
  for (size_t i = 0; i < saves.size(); ++i) ExpectSame(read[i], saves[i]);
}

TEST(PendingChapterSaves, ADamagedLineIsDroppedAndTheOthersKept) {
  const std::string good = FormatPendingChapterSaves({Save("C:\\a.mp3", {{0, "One"}, {5000, "Two"}})});
  const char* const damaged[] = {
      "C:\\b.mp3\tName\t1000\r\n",                       // no chapter
      "C:\\b.mp3\tName\t1000\t0\r\n",                    // a time without its name
      "C:\\b.mp3\tName\tten\t0\tOne\r\n",                // not a number
      "C:\\b.mp3\tName\t1000\t5000\tOne\t0\tTwo\r\n",    // times going back
      "C:\\b.mp3\tBad %ZZ escape\t1000\t0\tOne\r\n",     // a bad escape
      "C:\\b.mp3\tName\t1000\t-5\tOne\r\n",              // a sign
      "\tName\t1000\t0\tOne\r\n",                        // no path
      "C:\\b.mp3\tName\t99999999999999999\t0\tOne\r\n",  // beyond any length
  };
  for (const char* line : damaged) {
    SCOPED_TRACE(line);
    const std::vector<ChapterSave> read = ParsePendingChapterSaves(line + good + line);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].path, "C:\\a.mp3");
  }
  EXPECT_TRUE(ParsePendingChapterSaves(std::string(100000, '\t')).empty());
}

}  // namespace
}  // namespace tarnix
