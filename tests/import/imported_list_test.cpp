#include "import/imported_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {
namespace {

std::string S(const TextString& t) { return std::string(t.c_str(), static_cast<size_t>(t.Length())); }

struct Row {
  int32_t time;
  std::string name;  // UTF-8
};
bool operator==(const Row& a, const Row& b) { return a.time == b.time && a.name == b.name; }
void PrintTo(const Row& r, std::ostream* os) { *os << r.time << " \"" << r.name << "\""; }

TEST(ImportedListTest, MakesOneTrackInTimeOrder) {
  const struct {
    const char* what;
    std::vector<Chapter> chapters;
    std::vector<Row> rows;
  } cases[] = {
      {"first chapter at 0 is the start entry", {{0, "Intro"}, {60000, "Two"}}, {{0, "Intro"}, {60000, "Two"}}},
      {"within one frame of 0 it still is, at 0", {{13, "Intro"}, {60000, "Two"}}, {{0, "Intro"}, {60000, "Two"}}},
      {"a frame later the title starts the track",
       {{14, "Intro"}, {60000, "Two"}},
       {{0, "Concert"}, {14, "Intro"}, {60000, "Two"}}},
      {"sorted, same time keeps the first, unnamed counted in time order",
       {{90000, ""}, {30000, "B"}, {30000, "B2"}, {0, ""}, {-5, "negative"}, {5000000000, "far"}},
       {{0, "Chapter 1"}, {30000, "B"}, {90000, "Chapter 3"}, {INT32_MAX, "far"}}},
      {"names kept whole as the importer gives them, a line break as a space",
       {{0, "  Caf\xC3\xA9\tLine\nbreak  "}, {1000, "\xE6\x88\xA6 \xE2\x82\xAC"}, {2000, "   "}},
       {{0, "  Caf\xC3\xA9\tLine break  "}, {1000, "\xE6\x88\xA6 \xE2\x82\xAC"}, {2000, "   "}}},
      {"a long name cut at 255 characters, between two",
       {{0, std::string(254, 'x') + "\xCE\xA9\xCE\xA9"}},
       {{0, std::string(254, 'x') + "\xCE\xA9"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ChapterSet set;
    set.chapters = c.chapters;
    TrackList list;
    ASSERT_TRUE(MakeImportedList(set, "Concert", &list));
    ASSERT_EQ(list.TrackCount(), 1);
    std::vector<Row> rows;
    for (const Subtrack& s : list.tracks[0].subtracks) rows.push_back({s.time, S(s.name)});
    EXPECT_EQ(rows, c.rows);
    EXPECT_FALSE(list.modified);
    EXPECT_EQ(list.tracks[0].number, 1);
    EXPECT_EQ(list.tracks[0].owner, &list);
  }
}

TEST(ImportedListTest, HeaderLikeAPlainFilesList) {
  TrackList list;
  list.path = "C:\\old.trk";
  list.cddbId = 7;
  list.modified = true;
  ChapterSet set;
  set.chapters = {{0, "A"}};
  ASSERT_TRUE(MakeImportedList(set, "Concert", &list));
  EXPECT_EQ(S(list.album), "Concert");  // the key a saved copy is found again by
  EXPECT_EQ(S(list.artist), "");
  EXPECT_EQ(S(list.path), "");
  EXPECT_EQ(list.cddbId, 0u);
  EXPECT_EQ(list.cdKey, 0);
  EXPECT_FALSE(list.subsongs);
  EXPECT_FALSE(list.modified);

  set.album = "Live";
  set.artist = "Ensemble \xC3\xA0 Paris";
  ASSERT_TRUE(MakeImportedList(set, "Concert", &list));
  EXPECT_EQ(S(list.album), "Concert");
  EXPECT_EQ(S(list.artist), "Ensemble \xC3\xA0 Paris");

  const TrackList before = list;
  EXPECT_FALSE(MakeImportedList(ChapterSet(), "Concert", &list));
  EXPECT_EQ(S(list.album), S(before.album));
  EXPECT_EQ(list.tracks[0].Count(), before.tracks[0].Count());
}

TEST(ImportedListTest, PastedChaptersReplaceATracksSubtracks) {
  TrackList list;
  list.Reset("Mix", 1, 0);
  list.album = "Kept";
  list.tracks[0].subtracks.push_back({"old", 5000});
  ChapterSet set;
  set.chapters = {{60000, "One"}, {120000, ""}};
  ASSERT_TRUE(SetTrackChapters(set, &list.tracks[0]));
  std::vector<Row> rows;
  for (const Subtrack& s : list.tracks[0].subtracks) rows.push_back({s.time, S(s.name)});
  EXPECT_EQ(rows, (std::vector<Row>{{0, "Mix"}, {60000, "One"}, {120000, "Chapter 2"}}));
  EXPECT_TRUE(list.modified);
  EXPECT_EQ(S(list.album), "Kept");
  EXPECT_FALSE(SetTrackChapters(ChapterSet(), &list.tracks[0]));
  EXPECT_EQ(list.tracks[0].Count(), 3);
}

TEST(ImportedListTest, BoundsSubtracksAndNames) {
  ChapterSet set;
  for (int i = 0; i < 1500; ++i) set.chapters.push_back({int64_t{i + 1} * 1000, std::string(400, 'x')});
  TrackList list;
  ASSERT_TRUE(MakeImportedList(set, "T", &list));
  ASSERT_EQ(list.tracks[0].Count(), 999);
  EXPECT_EQ(S(list.tracks[0].subtracks[0].name), "T");
  EXPECT_EQ(list.tracks[0].subtracks[998].time, 998000);
  EXPECT_EQ(list.tracks[0].subtracks[1].name.Length(), 255);
}

}  // namespace
}  // namespace tarnix
