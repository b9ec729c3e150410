#include "tracklist/track_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/unreadable_stream.h"
#include "tracklist/msf.h"
#include "tracklist/track_list.h"

namespace tarnix {
namespace {

std::string S(const TextString& t) { return std::string(t.c_str(), static_cast<size_t>(t.Length())); }

const char kWorkedExample[] =
    "[CD key] 584277216\r\n"
    "[CDDBID] 0E03C302\r\n"
    "[Album ] Live Recordings\r\n"
    "[Artist] The Examples\r\n"
    "01:00:00:00*Opening\r\n"
    "01:02:15:40 Second theme\r\n"
    "02:00:00:00*Closing\r\n"
    "02:01:05:12 Solo\r\n";

class TrackFileTest : public ::testing::Test {
 protected:
  bool LoadBytes(const std::string& bytes, const char* title = "", int32_t cd_key = 0, uint32_t cddb = 0,
                 bool already = false) {
    dir_.Write("list.trk", bytes);
    return list_.Load(dir_.Item("list.trk").c_str(), title, cd_key, cddb, already);
  }
  test::TempDir dir_;
  TrackList list_;
};

TEST(ParseMsfTest, Table) {
  struct Case {
    const char* text;
    int32_t ms;
  };
  const Case cases[] = {
      {"00:00:00*x", 0},
      {"02:15:40 Second", 135533},
      {"01:05:12", 65160},
      {"00:00:75", 1000},
      {" 1: 2: 3", 62040},
      {"+1:+0:-0", 60000},
      {"1:2", -1},
      {"", -1},
      {"a:0:0", -1},
      {"1 :2:3", -1},
      {"1:2:", -1},
      {"-1:00:00", -1},
      {"0:0:-3", -1},
      {"99:59:75", 6000000},
      {"100:0:0", 6000000},
      {"999999999999:0:0", -1},
      {"0:99999999999999999999:0", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseMsf(c.text), c.ms) << '"' << c.text << '"';
  EXPECT_EQ(ParseMsf(nullptr), -1);
}

TEST_F(TrackFileTest, WorkedExampleLoadsAndSavesBackByteForByte) {
  ASSERT_TRUE(LoadBytes(kWorkedExample, "", 0, 0, true));
  EXPECT_EQ(list_.cdKey, 584277216);
  EXPECT_EQ(list_.cddbId, 0x0E03C302u);
  EXPECT_EQ(S(list_.album), "Live Recordings");
  EXPECT_EQ(S(list_.artist), "The Examples");
  EXPECT_FALSE(list_.subsongs);
  EXPECT_FALSE(list_.modified);
  ASSERT_EQ(list_.TrackCount(), 2);
  const Track& one = list_.tracks[0];
  EXPECT_EQ(one.number, 1);
  ASSERT_EQ(one.Count(), 2);
  EXPECT_EQ(S(one.subtracks[0].name), "Opening");
  EXPECT_EQ(one.subtracks[0].time, 0);
  EXPECT_EQ(S(one.subtracks[1].name), "Second theme");
  EXPECT_EQ(one.subtracks[1].time, 135533);
  const Track& two = list_.tracks[1];
  EXPECT_EQ(two.number, 2);
  ASSERT_EQ(two.Count(), 2);
  EXPECT_EQ(S(two.subtracks[0].name), "Closing");
  EXPECT_EQ(S(two.subtracks[1].name), "Solo");
  EXPECT_EQ(two.subtracks[1].time, 65160);
  EXPECT_EQ(S(list_.path), dir_.Item("list.trk"));

  list_.modified = true;
  const std::string out = dir_.Item("saved.trk");
  ASSERT_TRUE(list_.Save(out.c_str()));
  EXPECT_FALSE(list_.modified);
  EXPECT_EQ(S(list_.path), out);
  EXPECT_EQ(test::TempDir::Read(dir_.Join("saved.trk")), kWorkedExample);
  EXPECT_FALSE(test::TempDir::Exists(dir_.Join("saved.trk.tmp")));
}

TEST_F(TrackFileTest, SubsongListSavesItsModeLine) {
  list_.Reset("Mix", 2, 0xFFFFFFFFu);
  ASSERT_TRUE(list_.Save(dir_.Item("mix.trk").c_str()));
  EXPECT_EQ(test::TempDir::Read(dir_.Join("mix.trk")),
            "[Album ] Mix\r\n[Artist] \r\n[Mode  ] SubSongs\r\n"
            "01:00:00:00*Subsong 1\r\n02:00:00:00*Subsong 2\r\n");
  TrackList back;
  ASSERT_TRUE(back.Load(dir_.Item("mix.trk").c_str(), "", 0, 0, true));
  EXPECT_TRUE(back.subsongs);
  EXPECT_EQ(back.TrackCount(), 2);
}

// Each case: file bytes, the caller's arguments, and what Load must give.
struct LoadCase {
  const char* label;
  std::string bytes;
  const char* title;
  int32_t cd_key;
  uint32_t cddb;
  bool already;
  bool result;
  int tracks;
  int current;  // 0-based, checked when the result is true
};

TEST_F(TrackFileTest, MatchingAndRejectionTable) {
  const std::string names = "[Album ] Live\n[Artist] Band\n";
  const std::string two = "01:00:00:00*Intro\n01:00:10:00 b\n02:00:00:00*Finale\n";
  const LoadCase cases[] = {
      {"only names, title is album", "[Album ] Live\r\n[Artist] Band\r\n", "LIVE", 0, 0, false, true, 0, 0},
      {"only names, other title", "[Album ] Live\r\n[Artist] Band\r\n", "Other", 0, 0, false, false, 0, 0},
      {"empty file, empty title", "", "", 0, 0, false, true, 0, 0},
      {"empty file with title", "", "x", 0, 0, false, false, 0, 0},
      {"two album lines", "[Album ] A\n[album ] Live\n" + two, "", 0, 0, true, true, 2, 0},
      {"one name line", "[Album ] Live\n" + two, "", 0, 0, true, false, 0, 0},
      {"empty line after header", names + "\n" + two, "", 0, 0, true, false, 0, 0},
      {"title ends with track 1", names + two, "Some INTRO", 0, 0, false, true, 2, 0},
      {"title ends with track 2", names + two, "grand finale", 0, 0, false, true, 2, 1},
      {"both match: last wins", names + "01:00:00:00*x\n02:00:00:00*x\n", "x", 0, 0, false, true, 2, 1},
      {"title shorter than name", names + two, "ale", 0, 0, false, false, 2, 0},
      {"already matched", names + two, "nothing", 0, 0, true, true, 2, 0},
      {"already matched ignores names", names + two, "Finale", 0, 0, true, true, 2, 0},
      {"cddb equal", "[CDDBID] 1203C002\n" + names + two, "", 0, 0x1203C002, false, true, 2, 0},
      {"cddb differs, key equal", "[CD key] 7\n[CDDBID] 1203C002\n" + names + two, "Finale", 7, 0x02003C01, false,
       false, 0, 0},
      {"no cddb line: key decides", "[CD key] 7\n" + names + two, "", 7, 0x02003C01, false, true, 2, 0},
      {"no cddb line: key differs", "[CD key] 7\n" + names + two, "Finale", 8, 0x02003C01, false, false, 0, 0},
      {"no CD lines: names decide", names + two, "Finale", 7, 0x02003C01, false, true, 2, 1},
      {"no CD lines, no match", names + two, "zzz", 7, 0x02003C01, false, false, 2, 0},
      {"identity search, empty album", "[Album ] \n[Artist] \n" + two, "", 7, 1, false, true, 2, 0},
      {"mismatch even when already", "[CDDBID] 1\n" + names + two, "", 0, 2, true, true, 2, 0},
      {"tag after entries", names + two + "[Album ] Late\n", "", 0, 0, true, false, 3, 0},
      {"track number 0", names + "00:00:00:00*x\n", "", 0, 0, true, false, 0, 0},
      {"text line", names + "hello world line\n", "", 0, 0, true, false, 0, 0},
      {"negative time", names + "01:-1:00:00*x\n", "", 0, 0, true, false, 0, 0},
      {"unreadable time", names + "01:xx:00:00*x\n", "", 0, 0, true, false, 0, 0},
      {"short lines skipped", names + "01\n01:00:00:00*\n01:00:01:00 b\n" + two, "", 0, 0, true, true, 2, 0},
      {"unknown tag ignored", "[Other ] x\n[Comment]\n[\n" + names + two, "", 0, 0, true, true, 2, 0},
      // The end of the file in the middle of a line: what was read of it is the last line.
      {"last line without a break", names + "01:00:00:00*Intro\n02:00:00:00*Finale", "", 0, 0, true, true, 2, 0},
      {"end inside an entry's time", names + two + "02:00:1", "", 0, 0, true, true, 2, 0},
      {"end inside the header", "[Album ] Live\n[Artist] Ba", "live", 0, 0, false, true, 0, 0},
      {"lower-case tags", "[album ] Live\n[ARTIST] Band\n[mode  ] SUBSONGS\n" + two, "live", 0, 0, false, true, 2, 0},
      // A Ctrl-Z byte with only blanks behind it ends the file, as text mode reads it.
      {"Ctrl-Z at the end", names + two + "\x1A", "", 0, 0, true, true, 2, 0},
      {"Ctrl-Z after a break-less line", names + two + "02:00:01:00 c\x1A", "", 0, 0, true, true, 2, 0},
      {"Ctrl-Z, blank lines, Ctrl-Z", names + two + "\x1A\r\n \t\r\n\x1A\x1A", "", 0, 0, true, true, 2, 0},
      // Anywhere else it is a byte of its line: the lines after it are not dropped unseen.
      {"Ctrl-Z before more lines", names + two + "\x1A" + "junk\n", "", 0, 0, true, false, 0, 0},
      {"Ctrl-Z in the header", names + "\x1A" + two, "live", 0, 0, false, false, 0, 0},
      {"Ctrl-Z inside a name", names + "01:00:00:00*Intro\n01:00:10:00 Part \x1A two\n01:00:20:00 Part three\n", "", 0,
       0, true, true, 1, 0},
  };
  for (const LoadCase& c : cases) {
    TrackList list;
    dir_.Write("case.trk", c.bytes);
    const bool got = list.Load(dir_.Item("case.trk").c_str(), c.title, c.cd_key, c.cddb, c.already);
    EXPECT_EQ(got, c.result) << c.label;
    if (c.result) {
      EXPECT_EQ(list.TrackCount(), c.tracks) << c.label;
      EXPECT_EQ(list.currentTrack, c.current) << c.label;
      EXPECT_EQ(S(list.path), dir_.Item("case.trk")) << c.label;
    }
    EXPECT_FALSE(list.modified) << c.label;
  }
}

TEST_F(TrackFileTest, HeaderValuesTable) {
  struct Case {
    const char* line;
    int32_t cd_key;
    uint32_t cddb;
    bool subsongs;
  };
  const Case cases[] = {
      {"[CD key] 584277216", 584277216, 0, false},
      {"[CD key]  -42xyz", -42, 0, false},
      {"[CD key] abc", 0, 0, false},
      {"[CD key] 3000000000", -1294967296, 0, false},
      {"[CDDBID] 0e03c302", 0, 0x0E03C302, false},
      {"[CDDBID] 0x1F", 0, 0x1F, false},
      {"[CDDBID] zz", 0, 0, false},
      {"[CDDBID] 1FFFFFFFFF", 0, 0xFFFFFFFF, false},
      {"[Mode  ] subsongs", 0, 0, true},
      {"[Mode  ] SubSongs ", 0, 0, false},
      {"[Mode  ] SUBSONGS", 0, 0, true},
      {"[CD key]", 0, 0, false},
  };
  for (const Case& c : cases) {
    TrackList list;
    dir_.Write("h.trk", std::string(c.line) + "\n[Album ] a\n[Artist] b\n");
    EXPECT_FALSE(list.Load(dir_.Item("h.trk").c_str(), "x", 0, 0, false)) << c.line;
    EXPECT_EQ(list.cdKey, c.cd_key) << c.line;
    EXPECT_EQ(list.cddbId, c.cddb) << c.line;
    EXPECT_EQ(list.subsongs, c.subsongs) << c.line;
  }
}

// An editor that trims blanks at line ends leaves "[Album ]" of an empty album: still a list.
TEST_F(TrackFileTest, HeaderTagsWithoutTheirBlankAreEmptyValues) {
  ASSERT_TRUE(LoadBytes("[CD key]\r\n[Album ]\r\n[artist]\r\n[Mode  ]\r\n01:00:00:00*One\r\n", "", 0, 0, true));
  EXPECT_EQ(S(list_.album), "");
  EXPECT_EQ(S(list_.artist), "");
  EXPECT_EQ(list_.cdKey, 0);
  ASSERT_EQ(list_.TrackCount(), 1);
  EXPECT_EQ(S(list_.tracks[0].subtracks[0].name), "One");
  // A shorter bracketed line is no tag: the header still needs its album and artist lines.
  EXPECT_FALSE(LoadBytes("[Album]\r\n[Artist]\r\n01:00:00:00*One\r\n", "", 0, 0, true));
}

TEST_F(TrackFileTest, StartEntryWithoutNameStartsNoTrack) {
  ASSERT_TRUE(
      LoadBytes("[Album ] a\n[Artist] b\n01:00:00:00*One\n02:00:00:00*\n02:00:05:00 joins one\n", "", 0, 0, true));
  ASSERT_EQ(list_.TrackCount(), 1);
  ASSERT_EQ(list_.tracks[0].Count(), 2);
  EXPECT_EQ(S(list_.tracks[0].subtracks[1].name), "joins one");
  // Blanks in names are kept; subtracks are not re-sorted.
  ASSERT_TRUE(LoadBytes("[Album ] a\n[Artist] b\n01:00:10:00*  padded  \n01:00:05:00 earlier\n", "", 0, 0, true));
  EXPECT_EQ(S(list_.tracks[0].subtracks[0].name), "  padded  ");
  EXPECT_EQ(list_.tracks[0].subtracks[1].time, 5000);
}

TEST_F(TrackFileTest, LoadStartsFromAnEmptyList) {
  list_.Reset("x", 3, 0x55);
  list_.cdKey = 9;
  list_.modified = true;
  list_.subsongs = true;
  EXPECT_FALSE(list_.Load(dir_.Item("missing.trk").c_str(), "", 0, 0, true));
  EXPECT_EQ(list_.TrackCount(), 0);
  EXPECT_EQ(list_.cdKey, 0);
  EXPECT_EQ(list_.cddbId, 0u);
  EXPECT_FALSE(list_.modified);
  EXPECT_FALSE(list_.subsongs);
  // A failed read keeps the path it had; the caller's title may be the list's own album.
  list_.path = "kept";
  list_.album = "Live";
  EXPECT_FALSE(LoadBytes("[Album ] Live\n01:00:00:00*x\n", "", 0, 0, true));  // rejected
  EXPECT_EQ(S(list_.path), "kept");
  EXPECT_FALSE(LoadBytes("[Album ] Live\n[Artist] b\n", "", 0, 0, false));  // read, no match
  EXPECT_EQ(S(list_.path), dir_.Item("list.trk"));
  EXPECT_TRUE(list_.Load(dir_.Item("list.trk").c_str(), list_.album, 0, 0, false));
  // The path argument may be the list's own path too.
  EXPECT_TRUE(list_.Load(list_.path, "", 0, 0, true));
  EXPECT_EQ(S(list_.path), dir_.Item("list.trk"));
}

TEST_F(TrackFileTest, RejectedFileLeavesNoTrackWithoutSubtracks) {
  EXPECT_FALSE(LoadBytes("[Album ] a\n[Artist] b\n01:00:00:00*One\n02:00`00:00*Two\n", "", 0, 0, true));
  ASSERT_EQ(list_.TrackCount(), 1);
  EXPECT_EQ(list_.tracks[0].Count(), 1);
  // Before the first track a line with a bad time is skipped, as any subtrack line there is.
  EXPECT_TRUE(LoadBytes("[Album ] a\n[Artist] b\n01:xx:00:00 early\n01:00:00:00*One\n", "", 0, 0, true));
  EXPECT_EQ(list_.TrackCount(), 1);
}

TEST_F(TrackFileTest, FramesOf75ReadAsTheNextSecond) {
  list_.Reset("t", 1, 0);
  list_.tracks[0].AddSubtrack("edge", 59999);  // shows as 00:59:75
  ASSERT_TRUE(list_.Save(dir_.Item("f.trk").c_str()));
  EXPECT_NE(test::TempDir::Read(dir_.Join("f.trk")).find("01:00:59:75 edge\r\n"), std::string::npos);
  TrackList back;
  ASSERT_TRUE(back.Load(dir_.Item("f.trk").c_str(), "", 0, 0, true));
  EXPECT_EQ(back.tracks[0].subtracks[1].time, 60000);
}

TEST_F(TrackFileTest, SaveFailuresKeepTheOldFileAndModified) {
  TrackList never_saved;
  never_saved.Reset("x", 1, 0);
  never_saved.modified = true;
  EXPECT_FALSE(never_saved.Save(""));
  EXPECT_TRUE(never_saved.modified);

  list_.Reset("x", 1, 0);
  list_.modified = true;
  EXPECT_FALSE(list_.Save(dir_.Item("no-such-dir\\x.trk").c_str()));
  EXPECT_TRUE(list_.modified);

  // The target is a directory: the replace fails, nothing is left behind.
  dir_.Write("keep.trk", "old");
  const std::string sub = dir_.Item("sub");
  ASSERT_TRUE(dir_.MakeDir("sub"));
  EXPECT_FALSE(list_.Save(sub.c_str()));
  EXPECT_TRUE(list_.modified);
  EXPECT_FALSE(test::TempDir::Exists(dir_.Join("sub.tmp")));

  // Overwriting works and replaces the content whole.
  ASSERT_TRUE(list_.Save(dir_.Item("keep.trk").c_str()));
  EXPECT_EQ(test::TempDir::Read(dir_.Join("keep.trk")), "[Album ] Unknown\r\n[Artist] \r\n01:00:00:00*x\r\n");
  EXPECT_FALSE(list_.modified);
}

TEST_F(TrackFileTest, LongTimesAndBigNumbersRoundTrip) {
  struct Case {
    int number;
    int32_t time;
    bool start;
    const char* name;
  };
  std::vector<Case> cases;
  // Bookmarks of a long recording: every frame offset at several minute counts.
  for (int32_t minutes : {99, 100, 500, 999}) {
    for (int32_t seconds : {0, 7, 59}) {
      for (int32_t frames : {0, 1, 40, 74, 75}) {
        cases.push_back({1, TimeFromMsf(minutes, seconds, frames), false, "Encore"});
      }
    }
  }
  cases.push_back({99, 0, true, "Ninety-nine"});
  cases.push_back({100, 0, true, "Hundred"});
  cases.push_back({100, 61013, false, "inside"});
  cases.push_back({999, 5 * 60000, false, "x"});
  for (const Case& c : cases) {
    std::string line;
    ASSERT_TRUE(trackfile::FormatEntry(c.number, c.time, c.start, c.name, &line)) << c.number << " " << c.time;
    // Read back with the reader's column rules.
    ASSERT_GE(line.size(), 13u);
    EXPECT_EQ(trackfile::LeadingNumber(line.c_str()), c.number) << line;
    EXPECT_EQ(line[11] == '*', c.start) << line;
    EXPECT_EQ(line.substr(12), c.name) << line;
    const Msf m = MsfFromTime(c.time);
    EXPECT_EQ(ParseMsf(line.c_str() + 3), TimeFromMsf(m.minutes, m.seconds, m.frames)) << line;
  }
  // Through a real file: a 500-minute bookmark, track 100.
  list_.Reset("Concert", 1, 0);
  list_.tracks[0].AddSubtrack("Late", TimeFromMsf(500, 12, 33));
  list_.tracks[0].AddSubtrack("Very late", TimeFromMsf(999, 59, 74));
  list_.tracks.emplace_back(&list_, 100);
  list_.tracks.back().subtracks.push_back({"Hundredth", 0});
  list_.tracks.back().subtracks.push_back({"Inside", 125000});
  ASSERT_TRUE(list_.Save(dir_.Item("long.trk").c_str()));
  TrackList back;
  ASSERT_TRUE(back.Load(dir_.Item("long.trk").c_str(), "", 0, 0, true));
  ASSERT_EQ(back.TrackCount(), 2);
  ASSERT_EQ(back.tracks[0].Count(), 3);
  EXPECT_EQ(back.tracks[0].subtracks[1].time, TimeFromMsf(500, 12, 33));
  EXPECT_EQ(back.tracks[0].subtracks[2].time, TimeFromMsf(999, 59, 74));
  EXPECT_EQ(back.tracks[1].number, 100);
  ASSERT_EQ(back.tracks[1].Count(), 2);
  EXPECT_EQ(back.tracks[1].subtracks[1].time, 125000);
  EXPECT_EQ(S(back.tracks[1].subtracks[1].name), "Inside");
}

TEST_F(TrackFileTest, UnwritableEntriesRefuseTheSave) {
  struct Case {
    int number;
    int32_t time;
    bool start;
    const char* name;
  };
  const Case refused[] = {
      {1, TimeFromMsf(500, 12, 33), true, "start entry far in"},  // start lines have only 8 columns
      {1, TimeFromMsf(500, 12, 33), false, "2nd half"},           // a digit would join the frames
      {0, 0, true, "zero"},
      {1000, 0, true, "too many"},
      {1, -5, false, "negative"},
      {1, TimeFromMsf(5000, 12, 33), false, "days"},
  };
  for (const Case& c : refused) {
    std::string line;
    EXPECT_FALSE(trackfile::FormatEntry(c.number, c.time, c.start, c.name, &line)) << c.name << ": " << line;
  }
  list_.Reset("x", 1, 0);
  list_.tracks[0].AddSubtrack("2nd half", TimeFromMsf(500, 12, 33));
  dir_.Write("old.trk", "previous");
  EXPECT_FALSE(list_.Save(dir_.Item("old.trk").c_str()));
  EXPECT_TRUE(list_.modified);
  EXPECT_EQ(test::TempDir::Read(dir_.Join("old.trk")), "previous");
}

// A Ctrl-Z in a name ("Intro", "Part \x1A two", "Part three") used to be written as it was, and
// the reader ended the file there: the list loaded as "Intro", "Part " and said it succeeded.
// With one in the title (and so in the album and the start entry's name) the list was never
// found again. Control characters are written as blanks; the list reads back whole and is
// found by its title.
TEST_F(TrackFileTest, ControlCharactersInNamesAreWrittenAsBlanks) {
  const struct Case {
    const char* label;
    std::string title;
    std::string subtrack;
    std::string shown;  // the subtrack's name read back
  } cases[] = {
      {"Ctrl-Z in a subtrack", "Live", "Part \x1A two", "Part   two"},
      {"Ctrl-Z in the title", "Live\x1ASet", "Part two", "Part two"},
      {"tab, escape, SOH, DEL", "Live\tSet\x1B",
       "a\x01"
       "b\x7F",
       "a b "},
  };
  for (const Case& c : cases) {
    TrackList list;
    list.Reset(TextString(static_cast<int>(c.title.size()), c.title.data()), 1, 0);
    list.album = list.tracks[0].subtracks[0].name;
    list.tracks[0].AddSubtrack(TextString(static_cast<int>(c.subtrack.size()), c.subtrack.data()), 10000);
    list.tracks[0].AddSubtrack("Part three", 20000);
    ASSERT_TRUE(list.Save(dir_.Item("c.trk").c_str())) << c.label;
    const std::string bytes = test::TempDir::Read(dir_.Join("c.trk"));
    for (const char b : bytes) {
      EXPECT_TRUE((static_cast<unsigned char>(b) >= 0x20 && b != 0x7F) || b == '\r' || b == '\n') << c.label;
    }
    const TextString title(static_cast<int>(c.title.size()), c.title.data());
    TrackList back;
    EXPECT_TRUE(back.Load(dir_.Item("c.trk").c_str(), title, 0, 0, false)) << c.label;
    ASSERT_EQ(back.TrackCount(), 1) << c.label;
    ASSERT_EQ(back.tracks[0].Count(), 3) << c.label;
    EXPECT_EQ(S(back.tracks[0].subtracks[1].name), c.shown) << c.label;
    EXPECT_EQ(S(back.tracks[0].subtracks[2].name), "Part three") << c.label;
    // Found by the album alone as well: a file whose entries name something else.
    back.tracks[0].subtracks[0].name = "Other";
    ASSERT_TRUE(back.Save(dir_.Item("c.trk").c_str())) << c.label;
    EXPECT_TRUE(back.Load(dir_.Item("c.trk").c_str(), title, 0, 0, false)) << c.label;
  }
}

// A mark names its subtrack by track, time in frames and place among the subtracks at that
// frame. The place was counted on milliseconds: with A at 60,000 ms and B at 60,005 ms (one
// frame) and B marked, the mark was written as the first of that frame and A came back marked.
TEST_F(TrackFileTest, SkipMarksStayOnTheirSubtrackAcrossSaveAndLoad) {
  constexpr int32_t kNextTrack = -1;  // a start entry of a second track 1, as a hand-made file may have
  const struct Case {
    const char* label;
    std::vector<int32_t> times;  // rows after the first start entry (at 0), in list order
    std::vector<bool> marked;
  } cases[] = {
      {"five ms apart, second marked", {60000, 60005}, {false, true}},
      {"five ms apart, first marked", {60000, 60005}, {true, false}},
      {"00:59:75 and 01:00:00 read as one time", {59999, 60000}, {false, true}},
      {"three in one frame", {60000, 60005, 60010}, {false, true, true}},
      {"same time apart in a read list", {60000, 70000, 60000}, {false, false, true}},
      {"the start entry's frame", {4, 1000}, {true, false}},
      {"a second track of the same number", {60000, kNextTrack, 60000}, {false, false, true}},
  };
  for (const Case& c : cases) {
    TrackList list;
    list.Reset("Mix", 1, 0);
    for (size_t i = 0; i < c.times.size(); ++i) {
      if (c.times[i] == kNextTrack) list.tracks.emplace_back(&list, 1);
      const int32_t time = c.times[i] == kNextTrack ? 0 : c.times[i];
      list.tracks.back().subtracks.push_back({("Row " + std::to_string(i)).c_str(), time});
      list.tracks.back().subtracks.back().skip = c.marked[i];
    }
    ASSERT_TRUE(list.Save(dir_.Item("m.trk").c_str())) << c.label;
    TrackList back;
    ASSERT_TRUE(back.Load(dir_.Item("m.trk").c_str(), "", 0, 0, true)) << c.label;
    std::vector<bool> marked;
    for (const Track& track : back.tracks) {
      for (const Subtrack& row : track.subtracks) marked.push_back(row.skip);
    }
    ASSERT_FALSE(marked.empty()) << c.label;
    EXPECT_FALSE(marked.front()) << c.label;
    marked.erase(marked.begin());
    EXPECT_EQ(marked, c.marked) << c.label;
  }
}

std::vector<std::string> Rows(const TrackList& list) {
  std::vector<std::string> rows;
  for (const Track& track : list.tracks) {
    for (const Subtrack& row : track.subtracks) {
      rows.push_back(std::to_string(track.number) + " " + std::to_string(row.time) + (row.skip ? " skip " : " ") +
                     S(row.name));
    }
  }
  return rows;
}

// The recording's line is read back; without it (as a reader that skips the tag sees the file)
// the same rows, names and identities are read, since it sits among the header lines, which
// every reader takes by their leading "[" and skips when it does not know the tag.
TEST_F(TrackFileTest, RecordingLineIsReadBackAndLeavesTheRowsAsTheyWere) {
  ContentIdentity identity;
  identity.size = (uint64_t{1} << 32) + 7;
  identity.high = 0xABCDEF0123456789ull;
  identity.low = 42;
  const struct Case {
    const char* label;
    const char* path;
    bool known;
    bool utf8;
  } cases[] = {
      {"a path in the code page", "C:\\Music\\Caf\xC3\xA9 \\Song 1.mp3", true, false},
      {"a path the code page lacks", "C:\\Music\\\xE6\x84\x9B.flac", true, true},
      {"no path", "", true, false},
      {"no identity", "C:\\Music\\x.mp3", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TrackList list;
    list.Reset("Mix", 2, 0x1234ABCD);
    list.tracks[0].AddSubtrack("Part", 5000);
    list.tracks[0].subtracks[1].skip = true;
    list.recording.path = c.path;
    if (c.known) list.recording.identity = identity;
    ASSERT_TRUE(list.Save(dir_.Item("r.trk").c_str()));
    const std::string bytes = test::TempDir::Read(dir_.Join("r.trk"));
    EXPECT_EQ(bytes.compare(0, 3, "\xEF\xBB\xBF") == 0, c.utf8);
    TrackList back;
    ASSERT_TRUE(back.Load(dir_.Item("r.trk").c_str(), "", 0, 0, true));
    EXPECT_EQ(back.recording.identity, c.known ? identity : ContentIdentity());
    EXPECT_EQ(S(back.recording.path), c.known ? c.path : "");

    const size_t line = bytes.find("[File  ] ");
    ASSERT_EQ(line != std::string::npos, c.known);
    if (!c.known) continue;
    const size_t end = bytes.find("\r\n", line) + 2;
    const std::string header = bytes.substr(0, bytes.find("01:00:00:00*"));
    ASSERT_LT(end, header.size() + 1);
    for (size_t at = c.utf8 ? 3 : 0; at < header.size(); at = header.find("\r\n", at) + 2) {
      EXPECT_EQ(header[at], '[') << at;
    }
    TrackList without;
    ASSERT_TRUE(without.Load(dir_.Write("w.trk", bytes.substr(0, line) + bytes.substr(end)).c_str(), "", 0, 0, true));
    EXPECT_EQ(Rows(without), Rows(back));
    EXPECT_EQ(S(without.album), S(back.album));
    EXPECT_EQ(S(without.artist), S(back.artist));
    EXPECT_EQ(without.cddbId, back.cddbId);
    EXPECT_TRUE(without.recording.identity.IsEmpty());
  }
}

TEST_F(TrackFileTest, AnUnreadableRecordingLineIsIgnored) {
  const std::string hex = "0123456789abcdef0123456789abcdef";
  const struct Case {
    const char* label;
    std::string lines;
    uint64_t size;  // 0: no identity
    const char* path;
  } cases[] = {
      {"identity and path", "[File  ] 12 " + hex + " D:\\a  b.mp3", 12, "D:\\a  b.mp3"},
      {"tag in lower case, no path", "[file  ] 12 " + hex, 12, ""},
      {"the last line counts", "[File  ] 12 " + hex + " a\r\n[File  ] 13 " + hex + " b", 13, "b"},
      {"size 0", "[File  ] 0 " + hex + " a", 0, ""},
      {"short hash", "[File  ] 12 " + hex.substr(1) + " a", 0, ""},
      {"garbage", "[File  ] garbage", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    list_.recording.path = "kept from before?";
    list_.recording.identity.size = 99;
    ASSERT_TRUE(LoadBytes("[Album ] a\r\n" + c.lines + "\r\n[Artist] b\r\n01:00:00:00*x\r\n", "", 0, 0, true));
    EXPECT_EQ(list_.TrackCount(), 1);
    EXPECT_EQ(S(list_.artist), "b");
    EXPECT_EQ(list_.recording.identity.size, c.size);
    EXPECT_EQ(S(list_.recording.path), c.path);
  }
}

TEST_F(TrackFileTest, EmptyNamesAndLineBreaksAreKept) {
  list_.Reset("x", 2, 0x1);
  list_.tracks[1].RenameSubtrack(0, "");
  list_.tracks[1].AddSubtrack("", 1000);
  list_.tracks[0].AddSubtrack("two\r\nlines", 500);
  list_.album = "al\nbum";
  ASSERT_TRUE(list_.Save(dir_.Item("e.trk").c_str()));
  TrackList back;
  ASSERT_TRUE(back.Load(dir_.Item("e.trk").c_str(), "", 0, 0, true));
  ASSERT_EQ(back.TrackCount(), 2);
  EXPECT_EQ(S(back.tracks[1].subtracks[0].name), "Unknown");
  ASSERT_EQ(back.tracks[1].Count(), 2);
  EXPECT_EQ(S(back.tracks[1].subtracks[1].name), "Unknown");
  EXPECT_EQ(S(back.tracks[0].subtracks[1].name), "two  lines");
  EXPECT_EQ(S(back.album), "al bum");
}

// A list that cannot be read to its end (a failing device, a dropped network share) is no list:
// reading it must not pass for reading an empty or shorter one, which a save would then write back.
TEST_F(TrackFileTest, AReadFailureIsNoSuccess) {
  const std::string path = dir_.Write("list.trk", kWorkedExample);
  std::FILE* f = test::OpenUnreadable(path);
  ASSERT_NE(f, nullptr);
  trackfile::Reader reader(list_, TextString(), 0, 0, true);
  EXPECT_FALSE(trackfile::ReadAll(f, reader));
  std::fclose(f);
}

TEST_F(TrackFileTest, FiveMegabyteNameLoads) {
  const std::string name(5 * 1024 * 1024, 'n');
  ASSERT_TRUE(
      LoadBytes("[Album ] a\r\n[Artist] b\r\n01:00:00:00*" + name + "\r\n01:00:01:00 after\r\n", "", 0, 0, true));
  ASSERT_EQ(list_.tracks[0].Count(), 2);
  EXPECT_EQ(list_.tracks[0].subtracks[0].name.Length(), static_cast<int>(name.size()));
  EXPECT_EQ(S(list_.tracks[0].subtracks[1].name), "after");
}

TEST_F(TrackFileTest, SearchByPatternAndByTitle) {
  // Without a title or key the pattern is one file.
  dir_.Write("one.trk", kWorkedExample);
  EXPECT_FALSE(list_.Search(dir_.Item("one.trk").c_str(), "", 0, 0));  // album is no empty title
  dir_.Write("blank.txt", "[Album ] \n[Artist] \n01:00:00:00*x\n");
  EXPECT_TRUE(list_.Search(dir_.Item("blank.txt").c_str(), "", 0, 0));
  EXPECT_FALSE(list_.Search(dir_.Item("*.trk").c_str(), "", 0, 0));  // a pattern is no file

  dir_.Write("a.trk", "[Album ] A\n[Artist] x\n01:00:00:00*Alpha\n");
  dir_.Write("b.trk", "[Album ] B\n[Artist] x\n01:00:00:00*Beta\n");
  dir_.Write("c.txt", "[Album ] C\n[Artist] x\n01:00:00:00*Gamma\n");
  ASSERT_TRUE(dir_.MakeDir("d.trk"));
  EXPECT_TRUE(list_.Search(dir_.Item("*.trk").c_str(), "Song: beta", 0, 0));
  EXPECT_EQ(S(list_.path), dir_.Item("b.trk"));
  EXPECT_FALSE(list_.Search(dir_.Item("*.trk").c_str(), "Gamma", 0, 0));
  // By CD identity.
  EXPECT_TRUE(list_.Search(dir_.Item("*.trk").c_str(), "", 584277216, 0x0E03C302));
  EXPECT_EQ(S(list_.path), dir_.Item("one.trk"));
  EXPECT_FALSE(list_.Search(dir_.Item("nothing\\*.trk").c_str(), "x", 0, 0));
}

}  // namespace
}  // namespace tarnix
