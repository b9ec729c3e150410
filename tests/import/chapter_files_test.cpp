#include "import/chapter_files.h"

#include <gtest/gtest.h>

#include <iterator>

#include "import/chapter_file_locator.h"
#include "import/chapter_writer.h"
#include "import/imported_list.h"
#include "tests/import/fixtures.h"
#include "tests/import/tool_readings.h"
#include "tests/support/temp_dir.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;
const Expected kNothing = {{-1, "nothing found"}};

Expected Parse(ChapterFileForm form, const std::string& bytes) {
  ChapterSet set;
  if (!ParseChapterFile(form, bytes, &set)) return kNothing;
  return Flatten(set);
}

TEST(ChapterFilesTest, PlainTextTimes) {
  const struct {
    const char* text;
    int64_t ms;  // -1: not a time
  } cases[] = {
      {"1:02:03 Title", 3723000},
      {"01:02:03.5", 3723500},
      {"12:34", 754000},
      {"123:45 Long", 7425000},
      {"0:00:01,25 x", 1250},
      {"00:00:00.007", 7},
      {"1:2 x", -1},
      {"1:60 x", -1},
      {"123456:00", -1},
      {"1:02:03:04 x", -1},
      {"12:34abc", -1},
      {":12", -1},
      {"12:34.", -1},
      {"Track 1", -1},
      {"1:02:03.1234 x", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    int64_t ms = -1;
    size_t titleAt = 0;
    EXPECT_EQ(ParsePlainTextTime(c.text, &ms, &titleAt) ? ms : -1, c.ms);
  }
}

TEST(ChapterFilesTest, EachFormFromTextAToolWouldWrite) {
  const struct {
    const char* what;
    ChapterFileForm form;
    std::string bytes;
    Expected expected;
  } cases[] = {
      {"plain text with a mark, headings and dashes",
       ChapterFileForm::kPlainText,
       "\xEF\xBB\xBF"
       "Chapters\r\n\r\n00:00:00.000 Intro\r\n  0:04:05 - Zweite Stra\xC3\x9F"
       "e\r\n1:02:03.5 \xE2\x80\x93 Last\r\n59:59\n",
       {{0, "Intro"}, {245000, "Zweite Straße"}, {3723500, "Last"}, {3599000, ""}}},
      {"plain text in the code page",
       ChapterFileForm::kPlainText,
       "0:00 Caf\xE9\n1:00 Na\xEFve",
       {{0, "Café"}, {60000, "Naïve"}}},
      {"plain text in UTF-16 with its mark",
       ChapterFileForm::kPlainText,
       std::string("\xFF\xFE"
                   "0\0"
                   "0\0"
                   ":\0"
                   "0\0"
                   "5\0"
                   " \0"
                   "\x1B\x04"
                   "\x38\x04"
                   "\n\0",
                   18),
       {{5000, "\xD0\x9B\xD0\xB8"}}},
      {"plain text without a time", ChapterFileForm::kPlainText, "Intro\nOutro\n", kNothing},
      {"plain text: blanks around a name are layout, after a dash and a blank they are the name's",
       ChapterFileForm::kPlainText,
       "0:00\t Intro \t\n0:01 -  Kept  \n0:02 \xE2\x80\x93 \tAlso\n0:03 -\tTab\n",
       {{0, "Intro"}, {1000, " Kept  "}, {2000, "\tAlso"}, {3000, "Tab"}}},
      {"ffmetadata with the default time base, a stream section and an escaped line break",
       ChapterFileForm::kFfmetadata,
       ";FFMETADATA1\nartist=Someone\n[STREAM]\ntitle=not a chapter\n[CHAPTER]\nSTART=1500000000\ntitle=Two\\\nlines\n"
       "; a comment\n[CHAPTER]\nTIMEBASE=1/75\nSTART=150\ntitle=At two seconds\n",
       {{1500, "Two lines"}, {2000, "At two seconds"}}},
      {"ffmetadata chapters that can't be placed", ChapterFileForm::kFfmetadata,
       ";FFMETADATA1\n[CHAPTER]\ntitle=No start\n[CHAPTER]\nTIMEBASE=1/0\nSTART=5\n[CHAPTER]\nTIMEBASE=x\nSTART=5\n"
       "[CHAPTER]\nTIMEBASE=1/1000\nSTART=-5\n[CHAPTER]\nTIMEBASE=1000000/1\nSTART=999999999999999\n",
       kNothing},
      {"ffmetadata without its first line", ChapterFileForm::kFfmetadata, "[CHAPTER]\nSTART=0\ntitle=A\n", kNothing},
      {"podcast chapters",
       ChapterFileForm::kPodcastJson,
       R"({"version": "1.2.0", "author": "Host", "chapters": [
           {"startTime": 0, "title": "Intro", "img": "https://example.com/a.jpg"},
           {"startTime": 62.5, "title": "Caf\u00e9 \ud83c\udfb5", "location": {"geo": [1, 2e3, -3.5E-1]}},
           {"startTime": 90, "title": "Ad", "toc": false},
           {"startTime": 1.2e2, "toc": true},
           {"title": "No time"}, {"startTime": "15", "title": "A time as text"}], "waypoints": null})",
       {{0, "Intro"}, {62500, "Café 🎵"}, {120000, ""}}},
      {"podcast chapters with a trailing comma", ChapterFileForm::kPodcastJson,
       R"({"chapters": [{"startTime": 0, "title": "A"},]})", kNothing},
      {"podcast chapters cut short", ChapterFileForm::kPodcastJson, R"({"chapters": [{"startTime": 0, "title": "A"})",
       kNothing},
      {"podcast chapters nested too deep", ChapterFileForm::kPodcastJson,
       R"({"x": )" + std::string(100, '[') + std::string(100, ']') + R"(, "chapters": [{"startTime": 0}]})", kNothing},
      {"JSON that is not an object", ChapterFileForm::kPodcastJson, R"([{"startTime": 0}])", kNothing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Parse(c.form, c.bytes), c.expected);
  }
}

TEST(ChapterFilesTest, FfmpegMetadataFileAsFfprobeReadsIt) {
  ChapterSet set;
  ASSERT_TRUE(ParseChapterFile(ChapterFileForm::kFfmetadata, ReadFixture("ffmpeg-export.ffmetadata"), &set));
  EXPECT_EQ(Flatten(set), FfprobeChapters(ReadFixture("ffmpeg-export.ffmetadata.ffprobe.txt")));
  EXPECT_EQ(set.album, "Fixture Album");
  EXPECT_EQ(set.artist, "Fixture Artist");
}

// Every name comes back exactly from an exported file, into the chapters and into the list made
// of them: blanks at either end, tabs, dashes where a separator may stand. Ordinary names keep
// the plain "<time> <name>" line other tools read.
TEST(ChapterFilesTest, ExportReadsBackWithTheSameNamesAndTimes) {
  const std::pair<int32_t, std::string> rows[] = {{0, "Opening"},
                                                  {61001, "Caf\xC3\xA9 \xE6\x84\x9B"},
                                                  {3723600, "- Dash"},
                                                  {3723700, "-"},
                                                  {3723800, "\xE2\x80\x93 En dash"},
                                                  {3723850, "\xE2\x80\x93"},
                                                  {3723900, "-no blank"},
                                                  {3724000, " - Encore"},
                                                  {3724100, "  Leading"},
                                                  {3724200, "Trailing \t"},
                                                  {3724300, "\tTab first"},
                                                  {3724400, "Tab\there"},
                                                  {3724500, "   "},
                                                  {3724600, "- "},
                                                  {3724700, "A - B -"},
                                                  {INT32_MAX, "-\t-"}};
  TrackList list;
  list.Reset("Book", 1, 0);
  Track& track = list.tracks.front();
  track.subtracks.clear();
  for (const auto& [time, name] : rows) {
    Subtrack s;
    s.time = time;
    s.name = TextString(static_cast<int>(name.size()), name.c_str());
    track.subtracks.push_back(s);
  }
  std::string bytes, reason;
  ASSERT_TRUE(MakeChapterText(list, 0, &bytes, &reason)) << reason;
  EXPECT_EQ(bytes.substr(0, 34), "00:00:00.000 Opening\n00:01:01.001 ");
  EXPECT_NE(bytes.find("\n01:02:04.000 -  - Encore\n"), std::string::npos);
  ChapterSet set;
  ASSERT_TRUE(ParseChapterFile(ChapterFileForm::kPlainText, bytes, &set));
  TrackList back;
  ASSERT_TRUE(MakeImportedList(set, "Book", &back));
  ASSERT_EQ(set.chapters.size(), std::size(rows));
  ASSERT_EQ(back.tracks[0].subtracks.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].second);
    const Subtrack& s = back.tracks[0].subtracks[i];
    EXPECT_EQ(set.chapters[i].timeMs, rows[i].first);
    EXPECT_EQ(set.chapters[i].name, rows[i].second);
    EXPECT_EQ(s.time, rows[i].first);
    EXPECT_EQ(std::string(s.name.c_str(), static_cast<size_t>(s.name.Length())), rows[i].second);
  }

  list.cddbId = 0x1234;
  EXPECT_FALSE(MakeChapterText(list, 0, &bytes, &reason));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(reason.empty());
}

TEST(ChapterFilesTest, FilesBesideTheMediaInTheirOrder) {
  test::TempDir dir;
  const std::string media = dir.Item("Talk.2024.mka");
  dir.Write("Talk.2024.chapters.json", R"({"chapters": [{"startTime": 3, "title": "json"}]})");
  dir.Write("Talk.2024.ffmetadata", ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1\nSTART=2\ntitle=ffmetadata\n");
  dir.Write("Talk.2024.chapters.txt", "not a chapter list\n");  // gives nothing: the next is read
  ChapterSet set;
  ASSERT_TRUE(FindChapterFile(media.c_str(), &set));
  EXPECT_EQ(Flatten(set), (Expected{{2000, "ffmetadata"}}));
  dir.Write("Talk.2024.chapters.txt", "0:01 txt\n");
  ASSERT_TRUE(FindChapterFile(media.c_str(), &set));
  EXPECT_EQ(Flatten(set), (Expected{{1000, "txt"}}));
  EXPECT_FALSE(FindChapterFile(dir.Item("Other.mka").c_str(), &set));
}

}  // namespace
}  // namespace tarnix
