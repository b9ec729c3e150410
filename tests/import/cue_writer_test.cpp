#include "import/cue_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "import/cue_sheet.h"
#include "import/imported_list.h"

namespace tarnix {
namespace {

std::string S(const TextString& t) { return std::string(t.c_str(), static_cast<size_t>(t.Length())); }

TrackList ListOf(const char* title, std::initializer_list<Subtrack> rest) {
  TrackList list;
  list.Reset(title, 1, 0);
  for (const Subtrack& s : rest) list.tracks[0].subtracks.push_back(s);
  return list;
}

int64_t NearestFrame(int32_t ms) { return (int64_t{ms} * 75 + 500) / 1000; }

TEST(CueWriterTest, WritesAStandardSheet) {
  TrackList list = ListOf("Opening", {{"Caf\xC3\xA9 \"Noir\"", 61013}, {"Late", 100 * 60000 + 999}});
  list.album = "Live \xE6\x84\x9B";
  list.artist = "Band \xCE\xA9";
  std::string bytes, reason;
  ASSERT_TRUE(MakeCueSheet(list, 0, "C:\\\xD0\x9C\xD1\x83\xD0\xB7\\Live at \xE6\xA1\x9C.flac", &bytes, &reason));
  EXPECT_EQ(bytes,
            "\xEF\xBB\xBFPERFORMER \"Band \xCE\xA9\"\r\nTITLE \"Live \xE6\x84\x9B\"\r\n"
            "FILE \"Live at \xE6\xA1\x9C.flac\" WAVE\r\n"
            "  TRACK 01 AUDIO\r\n    TITLE \"Opening\"\r\n    INDEX 01 00:00:00\r\n"
            "  TRACK 02 AUDIO\r\n    TITLE \"Caf\xC3\xA9 \"Noir\"\"\r\n    INDEX 01 01:01:01\r\n"
            "  TRACK 03 AUDIO\r\n    TITLE \"Late\"\r\n    INDEX 01 100:01:00\r\n");
  EXPECT_EQ(reason, "");

  const struct {
    const char* path;
    const char* type;
  } types[] = {{"a.mp3", "MP3"},   {"a.AIFF", "AIFF"}, {"a.aif", "AIFF"},     {"a.wav", "WAVE"},
               {"a.flac", "WAVE"}, {"a.ape", "WAVE"},  {"x.y\\noext", "WAVE"}};
  for (const auto& t : types) EXPECT_STREQ(CueFileType(t.path), t.type) << t.path;
}

TEST(CueWriterTest, RefusesWhatASheetCannotHold) {
  TrackList big;
  big.Reset("Big", 1, 0);
  for (int i = 1; i < 100; ++i) big.tracks[0].subtracks.push_back({"x", i * 1000});
  TrackList cd;
  cd.Reset("CD", 3, 0x12345678u);
  TrackList subsongs;
  subsongs.Reset("Game", 1, 0xFFFFFFFFu);
  const struct {
    const char* what;
    const TrackList* list;
    int track;
    const char* reasonPart;
  } cases[] = {{"100 subtracks", &big, 0, "at most 99"},
               {"a CD", &cd, 0, "single file"},
               {"subsongs", &subsongs, 0, "single file"},
               {"no such track", &big, 1, "no playing track"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = "old", reason;
    EXPECT_FALSE(MakeCueSheet(*c.list, c.track, "C:\\a.wav", &bytes, &reason));
    EXPECT_EQ(bytes, "");
    EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << reason;
  }
  big.tracks[0].subtracks.pop_back();  // 99 fit
  std::string bytes, reason;
  EXPECT_TRUE(MakeCueSheet(big, 0, "C:\\a.wav", &bytes, &reason));
}

TEST(CueWriterTest, RoundTripGivesBackTimesAndNames) {
  TrackList list = ListOf("Start \"quoted\"", {{"Caf\xC3\xA9 \xE2\x80\x9Cx\xE2\x80\x9D \xF0\x9F\x8E\xB5", 14},
                                               {"With | bars - and dashes", 59999},
                                               {"A", 61013},
                                               {"B", 3599994},
                                               {"Past a hundred minutes", 6000000 + 987}});
  list.album = "Album \xC3\xA9t\xC3\xA9 \xD0\x96";
  list.artist = "Artist";
  std::string bytes, reason;
  ASSERT_TRUE(MakeCueSheet(list, 0, "D:\\rips\\Concert.flac", &bytes, &reason));
  ChapterSet set;
  ASSERT_TRUE(ParseCueSheet(bytes, "Concert.flac", false, &set));
  TrackList back;
  ASSERT_TRUE(MakeImportedList(set, "Concert", &back));
  EXPECT_EQ(set.album, S(list.album));
  EXPECT_EQ(S(back.artist), S(list.artist));
  const Track& a = list.tracks[0];
  const Track& b = back.tracks[0];
  ASSERT_EQ(b.Count(), a.Count());
  for (int i = 0; i < a.Count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(S(b.subtracks[i].name), S(a.subtracks[i].name));
    EXPECT_EQ(NearestFrame(b.subtracks[i].time), NearestFrame(a.subtracks[i].time));
  }
}

}  // namespace
}  // namespace tarnix
