// The writer of a recording is chosen by its first bytes, and a track's subtracks become its
// chapters; the writers themselves are tested file by file beside this.

#include "import/recording_chapters.h"

#include <gtest/gtest.h>

#include "import/file_chapters.h"
#include "tests/import/fixtures.h"

namespace tarnix {
namespace {

ChaptersToEmbed Scripts() {
  ChaptersToEmbed c;
  c.chapters = {{0, "Intro"}, {250, "Zweite Straße"}, {600, "終章"}};
  c.lengthMs = 1000;
  c.trackName = "Intro";
  return c;
}

TEST(RecordingChapters, EachFormatGoesToItsWriterAndReadsBack) {
  for (const char* name : {"written/mp3/no-tag.mp3", "written/mp4/bare-faststart.m4a", "written/vorbis/flac-id3.flac",
                           "written/vorbis/opus-plain.opus", "written/matroska/chapters-ffmpeg.webm"}) {
    SCOPED_TRACE(name);
    const std::string bytes = testing::ReadFixture(name);
    ASSERT_FALSE(bytes.empty());
    MemorySource source(bytes);
    MemorySink sink;
    const EmbedResult result = WriteRecordingChapters(source, Scripts(), sink);
    ASSERT_EQ(result.status, EmbedStatus::kWritten) << result.reason;
    MemorySource written(sink.Bytes());
    ChapterSet back;
    ASSERT_TRUE(ReadFileChapters(written, &back));
    EXPECT_EQ(testing::Flatten(back), testing::kFixtureChapters);
  }
  // A WAVE file, and a cue sheet: no writer takes them, and nothing is written.
  for (const std::string& bytes : {std::string("RIFF\x24\0\0\0WAVEfmt ", 16), std::string("FILE \"a.wav\" WAVE\r\n")}) {
    MemorySource source(bytes);
    MemorySink sink;
    EXPECT_EQ(WriteRecordingChapters(source, Scripts(), sink).status, EmbedStatus::kNotThisFormat);
    EXPECT_TRUE(sink.Bytes().empty());
  }
}

TEST(RecordingChapters, OnlyTheListOfOnePlainFileBecomesChapters) {
  TrackList list;
  list.Reset(TextString("Book"), 1, 0);
  list.tracks[0].subtracks.push_back({TextString("Part two"), 90000, false});
  ChaptersToEmbed chapters;
  std::string reason;
  ASSERT_TRUE(MakeChaptersToEmbed(list, 0, 3600000, &chapters, &reason));
  ASSERT_EQ(chapters.chapters.size(), list.tracks[0].subtracks.size());
  EXPECT_EQ(chapters.chapters.back().timeMs, 90000);
  EXPECT_EQ(chapters.chapters.back().name, "Part two");
  EXPECT_EQ(chapters.lengthMs, 3600000);
  EXPECT_FALSE(MakeChaptersToEmbed(list, 1, 0, &chapters, &reason));
  list.subsongs = true;
  EXPECT_FALSE(MakeChaptersToEmbed(list, 0, 0, &chapters, &reason));
  EXPECT_FALSE(reason.empty());
  list.subsongs = false;
  list.cdKey = 5;
  EXPECT_FALSE(MakeChaptersToEmbed(list, 0, 0, &chapters, &reason));
}

}  // namespace
}  // namespace tarnix
