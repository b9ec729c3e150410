// Putting a new recording in the old one's place: under every fault on the way, and when the
// writer refuses, lies or is stopped, the old file stays byte for byte and nothing is left beside it.

#include "import/recording_rewrite.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "import/file_chapters.h"
#include "import/file_source.h"
#include "import/recording_chapters.h"
#include "tests/import/byte_builders.h"
#include "tests/import/fixtures.h"
#include "tests/support/file_faults.h"
#include "tests/support/temp_dir.h"
#include "tracklist/platform.h"

namespace tarnix {
namespace {

using testing::Id3Chap;
using testing::Id3Frame;
using testing::Id3Tag;
using testing::Id3Text;

ChaptersToEmbed Chapters() {
  ChaptersToEmbed c;
  c.chapters = {{0, "Intro"}, {61250, "Zweite Straße"}, {3600000, "終章"}};
  return c;
}

// Writes an ID3v2.3 tag holding `chapters` before a copy of the whole original.
EmbedResult TagWriter(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out) {
  std::string frames;
  for (size_t i = 0; i < chapters.chapters.size(); ++i) {
    const Chapter& c = chapters.chapters[i];
    frames += Id3Frame(
        "CHAP",
        Id3Chap("ch" + std::to_string(i), static_cast<uint32_t>(c.timeMs), Id3Frame("TIT2", Id3Text(3, c.name), 3)), 3);
  }
  if (!out.Write(Id3Tag(3, 0, frames)) || !CopyRange(original, 0, original.Size(), out))
    return {EmbedStatus::kWriteFailed, {}, {}};
  return {EmbedStatus::kWritten, {}, "written"};
}

class RecordingRewriteTest : public ::testing::Test {
 protected:
  RecordingRewriteTest() {
    // Large enough that the progress is told at least once.
    original_ = std::string(9 << 20, '\x55');
    path_ = dir_.Write("Hörbuch.mp3", original_);
  }
  ~RecordingRewriteTest() override { ClearFileFault(); }

  RewriteResult Rewrite(const ChapterWriter& writer = TagWriter, const RewriteProgress& progress = nullptr) {
    return RewriteRecording(TextString(dir_.Item("Hörbuch.mp3").c_str()), Chapters(), writer, progress);
  }
  void ExpectOriginalAlone() const {
    EXPECT_TRUE(test::TempDir::Read(path_) == original_) << "the original changed";
    EXPECT_FALSE(test::TempDir::Exists(path_ + ".tarnix-new")) << "the new file was left behind";
  }

  test::TempDir dir_;
  std::string original_;
  std::string path_;
};

TEST_F(RecordingRewriteTest, ReplacesTheFileWithOneThatReadsBackAndTellsTheProgress) {
  uint64_t toldWritten = 0;
  const RewriteResult result = Rewrite(TagWriter, [&](uint64_t written, uint64_t size) {
    EXPECT_EQ(size, original_.size());
    toldWritten = written;
    return true;
  });
  ASSERT_EQ(result.outcome, RewriteOutcome::kReplaced) << result.reason;
  EXPECT_EQ(result.note, "written");
  EXPECT_GT(toldWritten, 0u);
  const std::string now = test::TempDir::Read(path_);
  EXPECT_EQ(now.substr(now.size() - original_.size()), original_);
  EXPECT_FALSE(test::TempDir::Exists(path_ + ".tarnix-new"));
}

TEST_F(RecordingRewriteTest, EveryFaultOnTheWayLeavesTheOriginal) {
  const struct {
    FileFault fault;
    RewriteOutcome outcome;
  } cases[] = {
      {FileFault::kMissingDirectory, RewriteOutcome::kFailed}, {FileFault::kShortWrite, RewriteOutcome::kNoRoom},
      {FileFault::kFailedFlush, RewriteOutcome::kFailed},      {FileFault::kFailedClose, RewriteOutcome::kFailed},
      {FileFault::kFailedReadBack, RewriteOutcome::kFailed},   {FileFault::kRefusedReplace, RewriteOutcome::kHeld},
      {FileFault::kReadOnlyTarget, RewriteOutcome::kReadOnly},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fault));
    ScopedFileFault fault(c.fault);
    const RewriteResult result = Rewrite();
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_FALSE(result.reason.empty());
    ExpectOriginalAlone();
  }
}

TEST_F(RecordingRewriteTest, ARefusingALyingOrAStoppedWriterLeavesTheOriginal) {
  const auto refusing = [](ByteSource&, const ChaptersToEmbed&, ByteSink& out) {
    out.Write("partial");
    return EmbedResult{EmbedStatus::kUnsupported, "the ID3v2 tag is unsynchronised", {}};
  };
  RewriteResult result = Rewrite(refusing);
  EXPECT_EQ(result.outcome, RewriteOutcome::kRefused);
  EXPECT_EQ(result.reason, "the ID3v2 tag is unsynchronised");
  ExpectOriginalAlone();

  // Claims success but writes the chapters a minute late.
  const auto lying = [](ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out) {
    ChaptersToEmbed late = chapters;
    for (auto& c : late.chapters) c.timeMs += 60000;
    return TagWriter(original, late, out);
  };
  EXPECT_EQ(Rewrite(lying).outcome, RewriteOutcome::kFailed);
  ExpectOriginalAlone();

  EXPECT_EQ(Rewrite(TagWriter, [](uint64_t, uint64_t) { return false; }).outcome, RewriteOutcome::kCancelled);
  ExpectOriginalAlone();

  // Runs out of memory halfway: the partial new file goes too.
  const auto starved = [](ByteSource& original, const ChaptersToEmbed&, ByteSink& out) -> EmbedResult {
    CopyRange(original, 0, original.Size() / 2, out);
    throw std::bad_alloc();
  };
  result = Rewrite(starved);
  EXPECT_EQ(result.outcome, RewriteOutcome::kFailed);
  ExpectOriginalAlone();
  // Any other exception halfway, the same.
  const auto faulty = [](ByteSource& original, const ChaptersToEmbed&, ByteSink& out) -> EmbedResult {
    CopyRange(original, 0, original.Size() / 2, out);
    throw std::out_of_range("index");
  };
  EXPECT_EQ(Rewrite(faulty).outcome, RewriteOutcome::kFailed);
  ExpectOriginalAlone();

  // More chapters than the readers give back: refused as such before anything is written, not
  // reported as a new file that failed its check.
  ChaptersToEmbed many;
  for (int64_t ms = 0; ms <= 999; ++ms) many.chapters.push_back({ms * 1000, "Part"});
  result = RewriteRecording(TextString(path_.c_str()), many, TagWriter);
  EXPECT_EQ(result.outcome, RewriteOutcome::kRefused);
  EXPECT_NE(result.reason.find("999"), std::string::npos) << result.reason;
  ExpectOriginalAlone();
}

// Names as a list may hold them (a chapters file keeps blanks and tabs after its dash) but as
// every chapter reader gives them back, blanks trimmed, tabs and control characters as spaces,
// 255 characters at most: the file is written, and the check of the new one reads them so.
TEST(RecordingRewrite, NamesTheReadersCleanAreWritten) {
  ChaptersToEmbed chapters;
  chapters.chapters = {{0, " Intro "},
                       {250,
                        "Zweite\tStra\xC3\x9F"
                        "e"},
                       {500, "Bell\x07"},
                       {750, std::string(300, 'x')}};
  for (const char* fixture : {"written/mp3/v23-ffmpeg.mp3", "written/vorbis/flac-ffmpeg.flac"}) {
    SCOPED_TRACE(fixture);
    test::TempDir dir;
    dir.Write("Book", testing::ReadFixture(fixture));
    const TextString path(dir.Item("Book").c_str());
    const RewriteResult result = RewriteRecording(path, chapters, WriteRecordingChapters);
    ASSERT_EQ(result.outcome, RewriteOutcome::kReplaced) << result.reason;
    FileSource written(path);
    ChapterSet set;
    ASSERT_TRUE(ReadFileChapters(written, &set));
    ASSERT_EQ(set.chapters.size(), 4u);
    EXPECT_EQ(set.chapters[0].name, "Intro");
    EXPECT_EQ(set.chapters[1].name,
              "Zweite Stra\xC3\x9F"
              "e");
    EXPECT_EQ(set.chapters[2].name, "Bell");
    EXPECT_EQ(set.chapters[3].name, std::string(255, 'x'));
  }
}

// A FLAC file's CD cue sheet is kept by the writer: taking the chapters away cannot empty it, and
// the listener is told so rather than that the write went wrong.
TEST(RecordingRewrite, ChaptersThatCannotBeTakenAwayAreNamed) {
  test::TempDir dir;
  const std::string original = testing::ReadFixture("cuesheet.flac");
  dir.Write("Disc.flac", original);
  const RewriteResult result =
      RewriteRecording(TextString(dir.Item("Disc.flac").c_str()), ChaptersToEmbed{}, WriteRecordingChapters);
  EXPECT_EQ(result.outcome, RewriteOutcome::kFailed);
  EXPECT_NE(result.reason.find("cue sheet"), std::string::npos) << result.reason;
  EXPECT_EQ(test::TempDir::Read(dir.Join("Disc.flac")), original);
  EXPECT_FALSE(test::TempDir::Exists(dir.Join("Disc.flac.tarnix-new")));
}

TEST(SameChapters, AllowsOnlyAChapterAtZeroBeforeALaterFirstOne) {
  ChaptersToEmbed want;
  want.chapters = {{5000, "A"}, {9000, "B"}};
  const auto read = [](std::vector<Chapter> chapters) {
    ChapterSet set;
    set.chapters = std::move(chapters);
    return set;
  };
  EXPECT_TRUE(SameChapters(want, read({{5001, "A"}, {8999, "B"}})));
  EXPECT_TRUE(SameChapters(want, read({{0, "Book"}, {5000, "A"}, {9000, "B"}})));
  EXPECT_FALSE(SameChapters(want, read({{5002, "A"}, {9000, "B"}})));
  EXPECT_FALSE(SameChapters(want, read({{5000, "A"}, {9000, "b"}})));
  EXPECT_FALSE(SameChapters(want, read({{5000, "A"}})));
  EXPECT_FALSE(SameChapters(want, read({{5000, "A"}, {9000, "B"}, {9500, "C"}})));

  // A list that starts a millisecond in: the MP4 writer puts the track's name at 0 before it.
  test::TempDir dir;
  dir.Write("Book.m4a", testing::ReadFixture("written/mp4/bare.m4a"));
  want.chapters = {{1, "A"}, {9000, "B"}};
  want.trackName = "A";
  const RewriteResult result = RewriteRecording(TextString(dir.Item("Book.m4a").c_str()), want, WriteRecordingChapters);
  EXPECT_EQ(result.outcome, RewriteOutcome::kReplaced) << result.reason;
}

}  // namespace
}  // namespace tarnix
