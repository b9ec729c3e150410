#include "import/cue_sheet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/import/fixtures.h"

namespace tarnix {
namespace {

struct Row {
  int64_t ms;
  std::string name;
};

std::vector<Row> Rows(const ChapterSet& set) {
  std::vector<Row> rows;
  for (const Chapter& c : set.chapters) rows.push_back({c.timeMs, c.name});
  return rows;
}

bool operator==(const Row& a, const Row& b) { return a.ms == b.ms && a.name == b.name; }
void PrintTo(const Row& r, std::ostream* os) { *os << r.ms << " \"" << r.name << "\""; }

std::string Fixture(const std::string& name) {
  const std::string path = tarnix::testing::FixturePath(name);
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct SheetCase {
  const char* what;
  std::string sheet;  // inline text, or "@name" for a fixture file
  const char* played;
  bool byName;
  std::vector<Row> rows;
  const char* album;
  const char* artist;
};

TEST(CueSheetTest, ReadsTheTracksOfThePlayedFile) {
  const std::string multi =
      "TITLE \"Live\"\nFILE \"CD1\\01 Opening.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"Opening\"\n"
      "    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    TITLE \"Second\"\n    INDEX 00 04:00:00\n"
      "FILE \"02 Second.wav\" WAVE\n    INDEX 01 00:00:00\n  TRACK 03 AUDIO\n    TITLE \"Third\"\n"
      "    INDEX 01 03:00:00\n";
  const SheetCase cases[] = {
      {"metaflac export: FILE names the flac",
       "@metaflac-export.cue",
       "C:\\Music\\TONE.FLAC",
       false,
       {{0, ""}, {667, ""}, {1160, ""}},
       "",
       ""},
      {"metaflac export found by name, other FILE",
       "@metaflac-export.cue",
       "concert.flac",
       true,
       {{0, ""}, {667, ""}, {1160, ""}},
       "",
       ""},
      {"EAC: REM, INDEX 00 and PREGAP do not move tracks",
       "@eac-style.cue",
       "Symphonie.flac",
       true,
       {{0, "I. Allegro ma non troppo"},
        {15 * 60000 + 45000 + 27, "II. Molto vivace"},
        {27 * 60000 + 10000 + 987, "III. Adagio molto e cantabile"},
        {43 * 60000 + 1000 + 493, "IV. Presto"}},
       "Symphonie Nr. 9",
       "Berliner Philharmoniker"},
      {"mix: track performers, unquoted values, LF, 100+ minutes",
       "@mix-lf.cue",
       "Late Night Mix.MP3",
       false,
       {{0, "Intro"},
        {3 * 60000 + 12000 + 533, "Moby - Porcelain"},
        {7 * 60000 + 59000, "Air - La femme d'argent"},
        {112 * 60000 + 5000 + 133, "Boards of Canada - Roygbiv"}},
       "Late Night Mix",
       "Various Artists"},
      {"CP1252 bytes read in the ANSI code page",
       "@cp1252.cue",
       "chansons.ape",
       false,
       {{0, "D\xC3\xA9j\xC3\xA0 vu"},
        {150000, "\xE2\x80\x9C\xC3\x80 la claire fontaine\xE2\x80\x9D \xE2\x80\x93 Reprise"}},
       "Chansons d\xE2\x80\x99\xC3\xA9t\xC3\xA9",
       "Ensemble Caf\xC3\xA9"},
      {"UTF-8 with byte order mark",
       "@utf8-bom.cue",
       "album.flac",
       false,
       {{0,
         "\xE6\x88\xA6\xE5\xA0\xB4\xE3\x81\xAE\xE3\x83\xA1\xE3\x83\xAA\xE3\x83\xBC\xE3\x82\xAF\xE3\x83\xAA"
         "\xE3\x82\xB9\xE3\x83\x9E\xE3\x82\xB9"},
        {240000,
         "Gr\xC3\xB6\xC3\x9F"
         "e \xE2\x82\xAC"
         "5"}},
       "\xC3\x9Cn\xC3\xAF"
       "c\xC3\xB6"
       "d\xC3\xA9 Album",
       "\xE5\x9D\x82\xE6\x9C\xAC\xE9\xBE\x8D\xE4\xB8\x80"},
      {"first of several FILE blocks", multi, "01 opening.WAV", false, {{0, "Opening"}}, "Live", ""},
      {"gap in the previous block does not take the track",
       multi,
       "02 Second.wav",
       true,
       {{0, "Second"}, {180000, "Third"}},
       "Live",
       ""},
      {"track without INDEX 01 and data track skipped",
       "FILE a.wav WAVE\nTRACK 1 MODE1/2352\nINDEX 01 00:00:00\nTRACK 2 AUDIO\nINDEX 00 00:01:00\n"
       "TRACK 3 audio\ntitle Third one  \nINDEX 01 00:02:00\nTRACK 04\nTITLE \"say \"hi\" now\"\n"
       "index 01 00:03:00\n",
       "a.wav",
       false,
       {{2000, "Third one"}, {3000, "say \"hi\" now"}},
       "",
       ""},
      {"performer equal to the sheet's in other case gives no prefix",
       "PERFORMER \"ABBA\"\rFILE \"x.wav\" WAVE\r TRACK 01 AUDIO\r  PERFORMER \"abba\"\r  TITLE \"SOS\"\r"
       "  INDEX 01 00:00:00\r TRACK 02 AUDIO\r  PERFORMER \"Guest\"\r  INDEX 01 00:10:00\r",
       "x.wav",
       false,
       {{0, "SOS"}, {10000, "Guest"}},
       "",
       "ABBA"},
  };
  for (const SheetCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string bytes = c.sheet[0] == '@' ? Fixture(c.sheet.substr(1)) : c.sheet;
    ChapterSet set;
    ASSERT_TRUE(ParseCueSheet(bytes, c.played, c.byName, &set));
    EXPECT_EQ(Rows(set), c.rows);
    EXPECT_EQ(set.album, c.album);
    EXPECT_EQ(set.artist, c.artist);
  }
}

TEST(CueSheetTest, GivesNothingForOtherFilesAndMalformedSheets) {
  const std::string good = "FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n";
  const struct {
    const char* what;
    std::string sheet;
    const char* played;
    bool byName;
  } cases[] = {
      {"FILE names another file", good, "b.wav", false},
      {"found by name but two FILE blocks, neither this one", good + "FILE \"c.wav\" WAVE\n", "b.wav", true},
      {"no FILE line", "TRACK 01 AUDIO\nINDEX 01 00:00:00\n", "a.wav", true},
      {"empty", "", "a.wav", true},
      {"frames out of range", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:75\n", "a.wav", true},
      {"seconds out of range", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:60:00\n", "a.wav", true},
      {"time with letters", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 0x:00:00\n", "a.wav", true},
      {"missing time", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01\n", "a.wav", true},
      {"track number missing", "FILE a.wav WAVE\nTRACK AUDIO\nINDEX 01 00:00:00\n", "a.wav", true},
      {"track number 0", "FILE a.wav WAVE\nTRACK 00 AUDIO\nINDEX 01 00:00:00\n", "a.wav", true},
      {"no INDEX 01 at all", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 00 00:00:00\n", "a.wav", true},
      {"UTF-16 sheet",
       std::string("\xFF\xFE"
                   "F\0I\0L\0E\0 \0a\0",
                   12),
       "a.wav", true},
      {"larger than a sheet may be", good + std::string(kMaxCueSheetBytes, ' '), "a.wav", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ChapterSet set;
    set.album = "left over";
    EXPECT_FALSE(ParseCueSheet(c.sheet, c.played, c.byName, &set));
    EXPECT_TRUE(set.Empty());
    EXPECT_EQ(set.album, "");
  }
}

TEST(CueSheetTest, BoundsTracksAndNames) {
  std::string sheet = "FILE a.wav WAVE\n";
  for (int i = 1; i <= 1200; ++i) {
    sheet += "TRACK " + std::to_string(i % 999 + 1) + " AUDIO\nTITLE \"" + std::string(300, 'n') + "\"\nINDEX 01 " +
             std::to_string(i) + ":00:00\n";
  }
  ChapterSet set;
  ASSERT_TRUE(ParseCueSheet(sheet, "a.wav", true, &set));
  ASSERT_EQ(set.chapters.size(), kMaxImportedChapters);
  EXPECT_EQ(set.chapters.back().timeMs, 999 * 60000);
  EXPECT_EQ(set.chapters.front().name.size(), 255u);
}

}  // namespace
}  // namespace tarnix
