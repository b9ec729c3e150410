#include "import/mp4_chapters.h"

#include <gtest/gtest.h>

#include "tests/import/byte_builders.h"
#include "tests/import/fixtures.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;

const std::vector<Mp4Chapter> kThree = {{1000, "One"}, {2500, "Two"}, {500, "Three"}};
const Expected kThreeAt = {{0, "One"}, {1000, "Two"}, {3500, "Three"}};

std::string Ftyp() { return Box("ftyp", "M4A " + Be(0, 4) + "M4A isom"); }

// ftyp, the chapter samples in an mdat, then moov: the order ffmpeg writes.
std::string MoovLast(std::string_view udta = {}) {
  const std::string samples = Mp4TextSamples(kThree);
  const std::string head = Ftyp() + Box("mdat", samples);
  return head + Mp4ChapterMoov(kThree, head.size() - samples.size(), udta);
}

std::string Replace(std::string s, std::string_view from, std::string_view to) {
  const size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

TEST(Mp4ChaptersTest, FixturesFromFfmpeg) {
  for (const char* file : {"both-ffmpeg.m4a", "quicktime-only.m4b", "nero-only.m4a"}) {
    SCOPED_TRACE(file);
    const std::string bytes = ReadFixture(file);
    MemorySource source(bytes);
    ChapterSet set;
    ASSERT_TRUE(ReadMp4Chapters(source, &set));
    EXPECT_EQ(Flatten(set), kFixtureChapters);
    EXPECT_EQ(set.artist, "Fixture Artist");
    EXPECT_EQ(set.album, "Fixture Album");
  }
}

TEST(Mp4ChaptersTest, ChapterTrackWinsOverNeroList) {
  // ffmpeg's file with the Nero list's first title changed: the chapter track's title shows.
  const std::string bytes = ReadFixture("both-ffmpeg.m4a");
  const size_t chpl = bytes.find("chpl");
  ASSERT_NE(chpl, std::string::npos);
  const std::string changed = bytes.substr(0, chpl) + Replace(bytes.substr(chpl), "Intro", "Nero!");
  MemorySource source(changed);
  ChapterSet set;
  ASSERT_TRUE(ReadMp4Chapters(source, &set));
  EXPECT_EQ(set.chapters[0].name, "Intro");
}

TEST(Mp4ChaptersTest, LayoutsAndTexts) {
  const std::string ilst =
      FullBox("meta", FullBox("hdlr", Be(0, 4) + "mdir" + Be(0, 12)) +
                          Box("ilst", Box("\xA9"
                                          "alb",
                                          Box("data", Be(1, 4) + Be(0, 4) + "Album")) +
                                          Box("aART", Box("data", Be(2, 4) + Be(0, 4) + Be(0x00C5, 2)))));
  const std::string samples = Mp4TextSamples(kThree);
  // mdat with a 64-bit size ahead of the moov.
  const std::string wideHead = Ftyp() + Be(1, 4) + "mdat" + Be(16 + samples.size(), 8) + samples;
  // moov first, then an mdat of size 0 (to the end of the file).
  const std::string moovFirstHead = Ftyp();
  const std::string moovFirst = moovFirstHead + Mp4ChapterMoov(kThree, 0);
  const size_t samplesAt = moovFirst.size() + 8;
  const std::string sizeZero = moovFirstHead + Mp4ChapterMoov(kThree, samplesAt) + Be(0, 4) + "mdat" + samples;
  const std::vector<Mp4Chapter> utf16 = {{100, "\xFE\xFF" + Be(0x00E9, 2)}, {100, std::string("\xFF\xFE\x41\0", 4)}};
  const std::string utf16Samples = Mp4TextSamples(utf16);
  const std::string utf16Head = Ftyp() + Box("mdat", utf16Samples);
  const struct {
    const char* what;
    std::string file;
    Expected chapters;
    const char* album;
    const char* artist;
  } cases[] = {
      {"moov after mdat", MoovLast(), kThreeAt, "", ""},
      {"64-bit mdat size", wideHead + Mp4ChapterMoov(kThree, wideHead.size() - samples.size()), kThreeAt, "", ""},
      {"mdat of size 0 after moov", sizeZero, kThreeAt, "", ""},
      {"UTF-16 names",
       utf16Head + Mp4ChapterMoov(utf16, utf16Head.size() - utf16Samples.size()),
       {{0, "é"}, {100, "A"}},
       "",
       ""},
      {"album and album artist", MoovLast(ilst), kThreeAt, "Album", "Å"},
      {"Nero list only",
       Ftyp() + Box("moov", Box("udta", Mp4Chpl({{0, "A"}, {12345678, "B"}}))),
       {{0, "A"}, {1234, "B"}},
       "",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemorySource source(c.file);
    ChapterSet set;
    ASSERT_TRUE(ReadMp4Chapters(source, &set));
    EXPECT_EQ(Flatten(set), c.chapters);
    EXPECT_EQ(set.album, c.album);
    EXPECT_EQ(set.artist, c.artist);
  }
}

TEST(Mp4ChaptersTest, BrokenBoxesAndTables) {
  const std::string good = MoovLast();
  const std::string firstOffset = "stco" + Be(0, 4) + Be(1, 4) + Be(Ftyp().size() + 8, 4);
  const struct {
    const char* what;
    std::string file;
    size_t chapters;
  } cases[] = {
      {"mdat size past the end",
       Replace(good, Be(8 + Mp4TextSamples(kThree).size(), 4) + "mdat", Be(0x7FFFFFF0, 4) + "mdat"), 0},
      {"box smaller than its header",
       Replace(good, Be(8 + Mp4TextSamples(kThree).size(), 4) + "mdat", Be(4, 4) + "mdat"), 0},
      {"64-bit size of zero", Ftyp() + Be(1, 4) + "mdat" + Be(0, 8) + good.substr(good.find("moov") - 4), 0},
      {"moov cut short", good.substr(0, good.size() - 40), 0},
      {"stts counting 2^32 - 1 entries", Replace(good, "stts" + Be(0, 4) + Be(3, 4), "stts" + Be(0, 4) + Be(~0u, 4)),
       3},
      {"stsz counting 2^32 - 1 samples", Replace(good, "stsz" + Be(0, 8) + Be(3, 4), "stsz" + Be(0, 8) + Be(~0u, 4)),
       3},
      {"chunk offset past the end", Replace(good, firstOffset, "stco" + Be(0, 4) + Be(1, 4) + Be(~0u, 4)), 3},
      {"no samples per chunk",
       Replace(good, "stsc" + Be(0, 4) + Be(1, 4) + Be(1, 4) + Be(3, 4),
               "stsc" + Be(0, 4) + Be(1, 4) + Be(1, 4) + Be(0, 4)),
       0},
      {"time scale 0",
       Replace(good, Be(1000, 4) + Be(0, 8) + Be(32, 4) + "hdlr", Be(0, 4) + Be(0, 8) + Be(32, 4) + "hdlr"), 0},
      {"chapter track names itself only", Replace(good, "chap" + Be(2, 4), "chap" + Be(1, 4)), 0},
      {"Nero count beyond its entries",
       Ftyp() + Box("moov", Box("udta", Box("chpl", Be(0x01000000, 4) + Be(0, 4) + "\xFF" + Be(0, 8) +
                                                        "\x01"
                                                        "A"))),
       1},
      {"no moov", Ftyp() + Box("mdat", "x"), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemorySource source(c.file);
    ChapterSet set;
    EXPECT_EQ(ReadMp4Chapters(source, &set), c.chapters > 0);
    EXPECT_EQ(set.chapters.size(), c.chapters);
  }
}

}  // namespace
}  // namespace tarnix
