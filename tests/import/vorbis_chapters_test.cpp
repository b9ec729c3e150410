#include <gtest/gtest.h>

#include "import/flac_chapters.h"
#include "import/ogg_chapters.h"
#include "import/vorbis_comments.h"
#include "tests/import/byte_builders.h"
#include "tests/import/fixtures.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;

// An Ogg page of one stream carrying `body` cut into lacing values; `open` leaves the last
// packet to continue on the next page.
std::string OggPage(uint32_t serial, uint32_t sequence, const std::vector<std::string>& packets, bool open = false) {
  std::string lacing, body;
  for (size_t p = 0; p < packets.size(); ++p) {
    size_t left = packets[p].size();
    for (; left >= 255; left -= 255) lacing += '\xFF';
    if (!(open && p + 1 == packets.size())) lacing += static_cast<char>(left);
    body += packets[p];
  }
  return std::string("OggS\0\0", 6) + Be(0, 8) + Le32(serial) + Le32(sequence) + Le32(0) +
         static_cast<char>(lacing.size()) + lacing + body;
}

TEST(VorbisChaptersTest, ChapterTimes) {
  const struct {
    const char* text;
    int64_t ms;  // -1: not a time
  } cases[] = {
      {"00:00:00.000", 0},      {"01:02:03.456", 3723456},
      {"1:02:03.4", 3723400},   {"00:00:01.23456", 1234},
      {"02:03", 123000},        {" 00:00:05 ", 5000},
      {"100:00:00", 360000000}, {"00:60:00", -1},
      {"00:00:60", -1},         {"5", -1},
      {"1:2:3:4", -1},          {"00:00:01.", -1},
      {"aa:bb:cc", -1},         {"", -1},
      {"00:00:01.5x", -1},      {"9999999999:00:00", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto ms = ParseChapterTime(c.text);
    EXPECT_EQ(ms ? *ms : -1, c.ms);
  }
}

TEST(VorbisChaptersTest, CommentBlocks) {
  ChapterSet set;
  ASSERT_TRUE(ReadVorbisComments(
      VorbisComments({"chapter002=00:00:02.000", "Chapter002Name=Two", "CHAPTER001NAME=One", "CHAPTER001=00:00:01.000",
                      "CHAPTER003NAME=no time", "CHAPTER004=bad", "CHAPTER005URL=x", "CHAPTER0=00:00:00.500",
                      "albumartist=Band", "Album=Rec", "CUESHEET=FILE \"a.wav\" WAVE\r\n", "noequals"}),
      &set));
  EXPECT_EQ(Flatten(set), (Expected{{500, ""}, {1000, "One"}, {2000, "Two"}}));
  EXPECT_EQ(set.album, "Rec");
  EXPECT_EQ(set.artist, "Band");
  EXPECT_EQ(set.embeddedCueSheet, "FILE \"a.wav\" WAVE\r\n");

  // Cut inside the third comment: the first two still count.
  const std::string block = VorbisComments({"CHAPTER001=00:00:01", "CHAPTER002=00:00:02", "CHAPTER003=00:00:03"});
  ChapterSet cut;
  ASSERT_TRUE(ReadVorbisComments(std::string_view(block).substr(0, block.size() - 3), &cut));
  EXPECT_EQ(cut.chapters.size(), 2u);
  ChapterSet none;
  EXPECT_FALSE(ReadVorbisComments(Le32(1000) + "vendor", &none));
}

TEST(VorbisChaptersTest, FixturesFromFlacOggencOpusencAndFfmpeg) {
  for (const char* file :
       {"comments.flac", "id3-then-flac.flac", "vorbis-oggenc.ogg", "opus-opusenc.opus", "opus-ffmpeg.opus"}) {
    SCOPED_TRACE(file);
    const std::string bytes = ReadFixture(file);
    MemorySource source(bytes);
    ChapterSet set;
    const bool flac = std::string(file).find(".flac") != std::string::npos;
    ASSERT_TRUE(flac ? ReadFlacChapters(source, &set) : ReadOggChapters(source, &set));
    Expected chapters = kFixtureChapters;
    // ffmpeg 5.1 writes the chapter at 600 ms as "00:00:01.600"; the reader takes what is written.
    if (std::string(file) == "opus-ffmpeg.opus") chapters[2].first = 1600;
    EXPECT_EQ(Flatten(set), chapters);
    EXPECT_EQ(set.album, "Fixture Album");
    EXPECT_EQ(set.artist, "Fixture Artist");
  }
}

TEST(VorbisChaptersTest, FlacCueSheetBlockAndComment) {
  // flac wrote the sheet's INDEX 01 points 00:00:00, 00:00:19 and 00:00:45 as samples at 44.1 kHz.
  const std::string bytes = ReadFixture("cuesheet.flac");
  MemorySource source(bytes);
  ChapterSet set;
  ASSERT_TRUE(ReadFlacChapters(source, &set));
  EXPECT_EQ(Flatten(set), (Expected{{0, ""}, {253, ""}, {600, ""}}));
  EXPECT_NE(set.embeddedCueSheet.find("TRACK 02 AUDIO"), std::string::npos);
  EXPECT_NE(set.embeddedCueSheet.find("INDEX 01 00:00:19"), std::string::npos);
}

TEST(VorbisChaptersTest, OggCommentPacketAcrossPages) {
  std::vector<std::string> comments = {"CHAPTER001=00:00:01.000", "CHAPTER001NAME=Long"};
  comments.push_back("DESCRIPTION=" + std::string(700, 'x'));
  comments.push_back("CHAPTER002=00:00:02.000");
  const std::string packet = "OpusTags" + VorbisComments(comments);
  const std::string ident = "OpusHead" + std::string(11, '\1');
  const std::string other = OggPage(9, 0, {"\x01vorbis other stream"});
  const std::string file = OggPage(7, 0, {ident}) + other + OggPage(7, 1, {packet.substr(0, 510)}, true) +
                           OggPage(9, 1, {"\x03vorbis" + VorbisComments({"CHAPTER001=00:00:09"})}) +
                           OggPage(7, 2, {packet.substr(510)});
  MemorySource source(file);
  ChapterSet set;
  ASSERT_TRUE(ReadOggChapters(source, &set));
  EXPECT_EQ(Flatten(set), (Expected{{1000, "Long"}, {2000, ""}}));

  // The same stream without its last page: the comments before the cut still count.
  const std::string cut = file.substr(0, file.size() - packet.substr(510).size() - 30);
  MemorySource cutSource(cut);
  ChapterSet partial;
  ASSERT_TRUE(ReadOggChapters(cutSource, &partial));
  EXPECT_EQ(Flatten(partial), (Expected{{1000, "Long"}}));
}

}  // namespace
}  // namespace tarnix
