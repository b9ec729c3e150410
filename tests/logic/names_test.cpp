// CD track paths, the order the playlist is searched in, and the file names made from titles.

#include <gtest/gtest.h>

#include <string>

#include "session/cd_track_path.h"
#include "session/file_names.h"

namespace tarnix {
namespace {

TEST(CdTrackPath, RewritesTheLastDigitRun) {
  struct Case {
    const char* path;
    int32_t n;
    const char* built;  // null: no digit, fails
  } const cases[] = {
      {"D:\\Track05.cda", 12, "D:\\Track12.cda"},
      {"D:\\Track05.cda", 7, "D:\\Track07.cda"},
      {"D:\\Track5.cda", 12, "D:\\Track2.cda"},  // only the run's length of low digits
      {"D:\\Track005.cda", 12, "D:\\Track012.cda"},
      {"cda://1,05", 3, "cda://1,03"},  // the last run, not the first
      {"E:\\Disc2\\Track01.cda", 10, "E:\\Disc2\\Track10.cda"},
      {"12", 9, "09"},
      {"D:\\Track.cda", 3, nullptr},
      {"", 3, nullptr},
  };
  for (const Case& c : cases) {
    const std::optional<TextString> built = CdTrackPath(c.path, c.n);
    if (!c.built) {
      EXPECT_FALSE(built.has_value()) << c.path;
    } else {
      ASSERT_TRUE(built.has_value()) << c.path;
      EXPECT_STREQ(built->c_str(), c.built) << c.path;
    }
  }
}

std::vector<int32_t> Visit(int32_t position, int32_t length) {
  std::vector<int32_t> order;
  NearestFirstOrder walk(position, length);
  int32_t p;
  while (walk.Next(&p)) order.push_back(p);
  return order;
}

TEST(NearestFirstOrder, NearestFirstWithinThePlaylist) {
  EXPECT_EQ(Visit(2, 5), (std::vector<int32_t>{2, 3, 1, 4, 0}));
  EXPECT_EQ(Visit(0, 3), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(Visit(4, 5), (std::vector<int32_t>{4, 3, 2, 1, 0}));
  EXPECT_EQ(Visit(1, 6), (std::vector<int32_t>{1, 2, 0, 3, 4, 5}));
  EXPECT_TRUE(Visit(0, 0).empty());
  EXPECT_TRUE(Visit(-1, -5).empty());
  // A position the player reports outside its playlist starts at the nearest end.
  EXPECT_EQ(Visit(-1, 3), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(Visit(INT32_MAX, 3), (std::vector<int32_t>{2, 1, 0}));
  EXPECT_EQ(Visit(INT32_MIN, 2), (std::vector<int32_t>{0, 1}));
}

TEST(SafeFileName, PlainNamesStayAsTheyAre) {
  for (const char* name :
       {"Live set", "The Examples - Live Recordings", "x.y", "Track 07", ".hidden", "CONCERT", "COM10", "LPT",
        "Con Brio", "NULL", "COM\xC2\xB9\xC2\xB9", "LPT\xE2\x81\xB4", "COM\xC2\xBA", "COM 1", "xCON"}) {
    EXPECT_STREQ(SafeFileName(name).c_str(), name);
  }
}

TEST(SafeFileName, UnsafeNamesBecomeOnePlainFile) {
  struct Case {
    const char* name;
    const char* safe;
  } const cases[] = {
      {"..\\..\\x", ".._.._x"},
      {"../../x", ".._.._x"},
      {"Live: Tokyo", "Live_ Tokyo"},  // no alternate data stream
      {"AC/DC", "AC_DC"},
      {"What?", "What_"},
      {"a*b\"c<d>e|f", "a_b_c_d_e_f"},
      {"tab\there\nnew", "tab_here_new"},
      {"C:\\Windows\\win.ini", "C__Windows_win.ini"},
      {"", "Unknown"},
      {"..", "Unknown"},
      {" . . ", "Unknown"},
      {"CON", "_CON"},
      {"nul", "_nul"},
      {"Com1", "_Com1"},
      {"LPT9", "_LPT9"},
      {"aux.live", "_aux.live"},
      {"PRN .x", "_PRN .x"},
      // Devices in any letter case, with any extension, blanks and dots after them; COM and LPT
      // also with 0 and with the superscript digits the system reserves as well.
      {"COM\xC2\xB9", "_COM\xC2\xB9"},
      {"LPT\xC2\xB3.mp3", "_LPT\xC2\xB3.mp3"},
      {"com\xC2\xB2 .live.flac", "_com\xC2\xB2 .live.flac"},
      {"Lpt\xC2\xB9  ", "_Lpt\xC2\xB9  "},
      {"COM0", "_COM0"},
      {"lpt0.txt", "_lpt0.txt"},
      {"NuL...", "_NuL..."},
      {"con. .", "_con. ."},
      {"Aux  ", "_Aux  "},
  };
  for (const Case& c : cases) EXPECT_STREQ(SafeFileName(c.name).c_str(), c.safe) << c.name;
}

TEST(SafeFileName, LongTitlesAreCutBetweenCharacters) {
  struct Case {
    const char* what;
    std::string title;
    std::string safe;
  } const cases[] = {
      {"ASCII", std::string(1000, 'a'), std::string(200, 'a')},
      {"three bytes each, one unit", std::string(199, 'a') + "\xE6\x84\x9B\xE6\x84\x9B",
       std::string(199, 'a') + "\xE6\x84\x9B"},
      {"a pair of units does not fit the last one", std::string(199, 'a') + "\xF0\x9F\x8E\xB5", std::string(199, 'a')},
      {"Cyrillic",
       [] {
         std::string s;
         for (int i = 0; i < 300; ++i) s += "\xD0\x96";
         return s;
       }(),
       [] {
         std::string s;
         for (int i = 0; i < 200; ++i) s += "\xD0\x96";
         return s;
       }()},
  };
  for (const Case& c : cases) EXPECT_EQ(std::string(SafeFileName(c.title.c_str()).c_str()), c.safe) << c.what;
}

// Names in any script stay whole, a trail byte 0x5C of a double-byte code page never arises
// inside (the text is UTF-8), and only the forbidden ASCII characters are replaced.
TEST(SafeFileName, KeepsCharactersOfEveryScript) {
  struct Case {
    const char* name;
    const char* safe;
  } const cases[] = {
      {"\xE6\x84\x9B\xE3\x81\xAE\xE6\xAD\x8C", "\xE6\x84\x9B\xE3\x81\xAE\xE6\xAD\x8C"},
      {"\xE8\xA1\xA8\xE7\xA4\xBA?", "\xE8\xA1\xA8\xE7\xA4\xBA_"},  // a 0x5C trail byte in Shift-JIS
      {"\xCE\xA9mega \xE2\x86\x92 caf\xC3\xA9", "\xCE\xA9mega \xE2\x86\x92 caf\xC3\xA9"},
      {"\xD0\x9A\xD0\xBE\xD0\xBD\xD1\x86\xD0\xB5\xD1\x80\xD1\x82: 1/2",
       "\xD0\x9A\xD0\xBE\xD0\xBD\xD1\x86\xD0\xB5\xD1\x80\xD1\x82_ 1_2"},
  };
  for (const Case& c : cases) EXPECT_STREQ(SafeFileName(c.name).c_str(), c.safe) << c.name;
}

TEST(DefaultListFileName, ByTitleOrByCdNames) {
  TrackList file;
  file.Reset("Live set", 1, 0);
  EXPECT_STREQ(DefaultListFileName(file, "Live set").c_str(), "Live set.trk");
  EXPECT_STREQ(DefaultListFileName(file, "Live: Tokyo").c_str(), "Live_ Tokyo.trk");

  TrackList cd;
  cd.Reset("x", 3, 0x1234);
  cd.artist = "A";
  cd.album = "B";
  EXPECT_STREQ(DefaultListFileName(cd, "ignored").c_str(), "A - B.trk");
  cd.artist = "";
  EXPECT_STREQ(DefaultListFileName(cd, "ignored").c_str(), "B.trk");
  cd.artist = "AC/DC";
  cd.album = "Live?";
  EXPECT_STREQ(DefaultListFileName(cd, "ignored").c_str(), "AC_DC - Live_.trk");
}

TEST(TitleCandidate, UsesTheSameRule) {
  EXPECT_STREQ(TitleCandidate("C:\\Bookmarks", "What?").c_str(), "C:\\Bookmarks\\What_.trk");
  EXPECT_STREQ(TitleCandidate("C:\\Bookmarks", "Live set").c_str(), "C:\\Bookmarks\\Live set.trk");
}

}  // namespace
}  // namespace tarnix
