#include "import/pasted_tracklist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnix {
namespace {

struct Row {
  int64_t ms;
  std::string name;
};
bool operator==(const Row& a, const Row& b) { return a.ms == b.ms && a.name == b.name; }
void PrintTo(const Row& r, std::ostream* os) { *os << r.ms << " \"" << r.name << "\""; }

TEST(PastedTracklistTest, ReadsTheUsualStyles) {
  const struct {
    const char* what;
    std::string text;
    std::vector<Row> rows;
  } cases[] = {
      {"time first with dash",
       "00:00 - Intro\n03:15 - Artist - Song\n1:02:03 - Late one\n",
       {{0, "Intro"}, {195000, "Artist - Song"}, {3723000, "Late one"}}},
      {"numbered and bracketed, CR LF, other lines skipped",
       "Tracklist:\r\n1. [00:00] Opening\r\n02) (4:05) Second | Part\r\n\r\nThanks for listening!\r\n",
       {{0, "Opening"}, {245000, "Second | Part"}}},
      {"time at the end, in brackets or not",
       "Intro (0:00)\nArtist \xE2\x80\x93 Song 12:34\n3. Third [59:59]\n",
       {{0, "Intro"}, {754000, "Artist \xE2\x80\x93 Song"}, {3599000, "Third"}}},
      {"separators trimmed, a range keeps its start",
       "0:00 | Alpha |\n05:00 - 09:00 Beta\n10:00 \xE2\x80\x93 Gamma\n",
       {{0, "Alpha"}, {300000, "Beta"}, {600000, "Gamma"}}},
      {"equal times, unnamed entries, minutes past 59",
       "00:00\n00:00 Same\n75:30 Long\n",
       {{0, ""}, {0, "Same"}, {4530000, "Long"}}},
      {"not times: clock-like words, four parts, bad seconds",
       "0:00 A\n12:34pm meeting\n1:02:03:04 x\nsong 1:75\nrecorded 2:00:61\n1:00 B\n",
       {{0, "A"}, {60000, "B"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ChapterSet set;
    std::string reason;
    ASSERT_TRUE(ParsePastedTracklist(c.text, &set, &reason)) << reason;
    std::vector<Row> rows;
    for (const Chapter& ch : set.chapters) rows.push_back({ch.timeMs, ch.name});
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(reason, "");
  }
}

TEST(PastedTracklistTest, FailsWithAReason) {
  const struct {
    const char* what;
    std::string text;
    const char* reasonPart;
  } cases[] = {
      {"empty", "", "at least two lines"},
      {"one entry", "Some text\n00:00 Only\n", "at least two lines"},
      {"going backwards", "1. Song 4:32\n2. Other 3:10\n3. Last 5:00\n", "go backwards"},
      {"too long", std::string(kMaxPastedTextBytes + 1, 'x'), "too long"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ChapterSet set;
    std::string reason;
    EXPECT_FALSE(ParsePastedTracklist(c.text, &set, &reason));
    EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << reason;
    EXPECT_TRUE(set.Empty());
  }
}

TEST(PastedTracklistTest, StopsAtTheChapterBound) {
  std::string text;
  for (int i = 0; i < 1200; ++i) text += std::to_string(i) + ":00 Part\n";
  ChapterSet set;
  std::string reason;
  ASSERT_TRUE(ParsePastedTracklist(text, &set, &reason));
  EXPECT_EQ(set.chapters.size(), kMaxImportedChapters);
}

}  // namespace
}  // namespace tarnix
