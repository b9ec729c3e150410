#include "import/id3v2_chapters.h"

#include <gtest/gtest.h>

#include "tests/import/byte_builders.h"
#include "tests/import/fixtures.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;

// Inserts a zero after every 0xFF: a valid unsynchronisation that the reader must undo.
std::string Unsync(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    out += c;
    if (static_cast<unsigned char>(c) == 0xFF) out += '\0';
  }
  return out;
}

std::string Chap3(uint32_t ms, std::string_view title, unsigned format = 0) {
  return Id3Frame("CHAP", Id3Chap("c", ms, Id3Frame("TIT2", Id3Text(0, title), 3)), 3, format);
}
std::string Chap4(uint32_t ms, std::string_view titleFrame, unsigned format = 0) {
  return Id3Frame("CHAP", Id3Chap("c", ms, titleFrame), 4, format);
}

TEST(Id3v2ChaptersTest, FixturesFromFfmpegAndKid3) {
  const struct {
    const char* file;
    const char* artist;
  } cases[] = {
      {"id3v23-ffmpeg.mp3", "Fixture Artist"},
      {"id3v24-ffmpeg.mp3", "Fixture Artist"},
      {"id3v23-kid3.mp3", "Künstler Ω"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string bytes = ReadFixture(c.file);
    MemorySource source(bytes);
    ChapterSet set;
    ASSERT_TRUE(ReadId3v2Chapters(source, &set));
    EXPECT_EQ(Flatten(set), kFixtureChapters);
    EXPECT_EQ(set.album, "Fixture Album");
    EXPECT_EQ(set.artist, c.artist);
  }
}

TEST(Id3v2ChaptersTest, EncodingsFlagsAndHeaderForms) {
  const std::string title4 = Id3Frame("TIT2", Id3Text(3, "Four"), 4);
  const std::string v4frameUnsynced = std::string("c\0", 2) + Be(0xFF00, 4) + Be(0, 12) + title4;
  const struct {
    const char* what;
    std::string tag;
    Expected chapters;
  } cases[] = {
      {"2.3 Latin-1", Id3Tag(3, 0, Chap3(1500, "Caf\xE9")), {{1500, "Café"}}},
      {"2.4 UTF-16BE",
       Id3Tag(4, 0, Chap4(7, Id3Frame("TIT2", Id3Text(2, Be(0x00E9, 2) + Be(0x4E2D, 2)), 4))),
       {{7, "é中"}}},
      {"2.4 UTF-16 without BOM read as little-endian",
       Id3Tag(4, 0, Chap4(7, Id3Frame("TIT2", Id3Text(1, std::string("A\0B\0", 4)), 4))),
       {{7, "AB"}}},
      {"2.3 UTF-16 surrogate pair and a second string",
       Id3Tag(
           3, 0,
           Id3Frame("CHAP",
                    Id3Chap("c", 9, Id3Frame("TIT2", Id3Text(1, std::string("\xFE\xFF\xD8\x3D\xDE\x00\0\0\0x", 9)), 3)),
                    3)),
       {{9, "\xF0\x9F\x98\x80"}}},
      {"2.3 whole-tag unsynchronisation", Id3Tag(3, 0x80, Unsync(Chap3(0xFF00, "\xFF"))), {{0xFF00, "ÿ"}}},
      {"2.3 extended header", Id3Tag(3, 0x40, Be(6, 4) + Be(0, 6) + Chap3(5, "X")), {{5, "X"}}},
      {"2.4 extended header", Id3Tag(4, 0x40, Synchsafe(6) + "\x01" + '\0' + Chap4(5, title4)), {{5, "Four"}}},
      {"2.4 frame unsynchronisation with a data length",
       Id3Tag(4, 0,
              Id3Frame("CHAP", Synchsafe(static_cast<uint32_t>(v4frameUnsynced.size())) + Unsync(v4frameUnsynced), 4,
                       0x03)),
       {{0xFF00, "Four"}}},
      {"2.4 tag-wide unsynchronisation",
       Id3Tag(4, 0x80, Id3Frame("CHAP", Unsync(Id3Chap("c", 0xFF, title4)), 4)),
       {{0xFF, "Four"}}},
      {"2.4 plain frame size that synchsafe would misread",
       Id3Tag(4, 0,
              Id3Frame("CHAP", Id3Chap("c", 3, title4 + std::string(256 - 18 - title4.size(), '\0')), 4, 0, true) +
                  Chap4(4, title4)),
       {{3, "Four"}, {4, "Four"}}},
      {"2.3 compressed and encrypted chapters skipped",
       Id3Tag(3, 0, Chap3(1, "zip", 0x80) + Chap3(2, "enc", 0x40) + Chap3(3, "ok")),
       {{3, "ok"}}},
      {"2.4 encrypted title leaves the chapter unnamed",
       Id3Tag(4, 0, Chap4(8, Id3Frame("TIT2", Id3Text(3, "secret"), 4, 0x04))),
       {{8, ""}}},
      {"2.3 grouped chapter", Id3Tag(3, 0, Id3Frame("CHAP", "\x07" + Id3Chap("c", 6, ""), 3, 0x20)), {{6, ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemorySource source(c.tag);
    ChapterSet set;
    ASSERT_TRUE(ReadId3v2Chapters(source, &set));
    EXPECT_EQ(Flatten(set), c.chapters);
  }
}

TEST(Id3v2ChaptersTest, BrokenTagsGiveWhatIsWholeOrNothing) {
  const std::string good = Chap3(10, "one") + Chap3(20, "two");
  std::string sizePastEnd = Id3Tag(3, 0, good);
  sizePastEnd.replace(6, 4, Synchsafe(100000));
  std::string framePastEnd = Id3Tag(3, 0, Chap3(10, "one") + Chap3(20, "two"));
  framePastEnd.replace(10 + 4 + (framePastEnd.size() - 10) / 2, 4, Be(0x7FFFFFFF, 4));
  const struct {
    const char* what;
    std::string tag;
    size_t chapters;
  } cases[] = {
      {"tag size past the end", sizePastEnd, 2},
      {"cut inside the second chapter", Id3Tag(3, 0, good).substr(0, 10 + good.size() - 3), 1},
      {"second frame size past the end", framePastEnd, 1},
      {"extended header larger than the tag", Id3Tag(3, 0x40, Be(0xFFFFFF00, 4) + good), 0},
      {"2.4 extended header smaller than itself", Id3Tag(4, 0x40, Synchsafe(2) + good), 0},
      {"chapter without its element terminator", Id3Tag(3, 0, Id3Frame("CHAP", "abcdefgh", 3)), 0},
      {"chapter frame too short for its times", Id3Tag(3, 0, Id3Frame("CHAP", std::string("c\0\1\2", 4), 3)), 0},
      {"empty tag", Id3Tag(3, 0, ""), 0},
      {"version 2.2", Id3Tag(2, 0, good), 0},
      {"size not synchsafe", "ID3\x03\0\0\x80\0\0\0" + good, 0},
      {"header only", "ID3\x03", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemorySource source(c.tag);
    ChapterSet set;
    EXPECT_EQ(ReadId3v2Chapters(source, &set), c.chapters > 0);
    EXPECT_EQ(set.chapters.size(), c.chapters);
  }
}

}  // namespace
}  // namespace tarnix
