#include "import/file_chapters.h"

#include <gtest/gtest.h>

#include <cstring>

#include "import/bounded_source.h"
#include "import/file_source.h"
#include "tests/import/byte_builders.h"
#include "tests/import/fixtures.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;

const char* const kFixtures[] = {"id3v23-ffmpeg.mp3",  "id3v24-ffmpeg.mp3", "id3v23-kid3.mp3",   "both-ffmpeg.m4a",
                                 "quicktime-only.m4b", "nero-only.m4a",     "comments.flac",     "id3-then-flac.flac",
                                 "cuesheet.flac",      "vorbis-oggenc.ogg", "opus-opusenc.opus", "opus-ffmpeg.opus"};

// A huge file of `pattern` repeated (after `head`), counting the bytes read from it.
class PatternSource : public ByteSource {
 public:
  PatternSource(std::string head, std::string pattern, uint64_t size)
      : head_(std::move(head)), pattern_(std::move(pattern)), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* out, size_t count) override {
    if (offset > size_ || count > size_ - offset) return false;
    read_ += count;
    auto* bytes = static_cast<char*>(out);
    for (size_t i = 0; i < count; ++i) {
      const uint64_t at = offset + i;
      bytes[i] = at < head_.size() ? head_[static_cast<size_t>(at)]
                                   : pattern_[static_cast<size_t>((at - head_.size()) % pattern_.size())];
    }
    return true;
  }
  uint64_t read_ = 0;

 private:
  std::string head_, pattern_;
  uint64_t size_;
};

void ExpectSane(const ChapterSet& set) {
  EXPECT_LE(set.chapters.size(), kMaxImportedChapters);
  for (const auto& c : set.chapters) {
    EXPECT_GE(c.timeMs, 0);
    EXPECT_LE(c.name.size(), kMaxImportedNameBytes);
  }
}

TEST(FileChaptersTest, EveryFixtureFromItsFileByItsFirstBytes) {
  for (const char* file : kFixtures) {
    SCOPED_TRACE(file);
    FileSource source(FixturePath(file).c_str());
    ASSERT_TRUE(source.IsOpen());
    ChapterSet set;
    ASSERT_TRUE(ReadFileChapters(source, &set));
    ASSERT_EQ(set.chapters.size(), 3u);
    EXPECT_EQ(set.chapters[1].timeMs, std::strcmp(file, "cuesheet.flac") == 0 ? 253 : 250);
  }
  for (const char* other : {"", "RIFF\0\0\0\0WAVE", "\xFF\xFB\x90\x00 plain MP3 frame"}) {
    MemorySource source(other);
    ChapterSet set;
    EXPECT_FALSE(ReadFileChapters(source, &set));
  }
}

// Every fixture cut at many lengths and with bytes changed: any outcome but a crash, a hang or
// an absurd set is fine.
// Taggers that do not look for an existing tag put a second one in front of it.
TEST(FileChaptersTest, FlacBehindTwoId3v2Tags) {
  const std::string flac = ReadFixture("comments.flac");
  const std::string tag = Id3Tag(3, 0, Id3Frame("TALB", Id3Text(0, "x"), 3));
  const std::string file = tag + tag + flac;
  MemorySource source(file);
  ChapterSet set;
  ASSERT_TRUE(ReadFileChapters(source, &set));
  EXPECT_EQ(set.chapters.size(), 3u);
}

TEST(FileChaptersTest, CutAndDamagedFixtures) {
  uint32_t seed = 12345;
  for (const char* file : kFixtures) {
    SCOPED_TRACE(file);
    const std::string bytes = ReadFixture(file);
    ASSERT_FALSE(bytes.empty());
    for (size_t length = 0; length < bytes.size(); length += 1 + length / 16) {
      MemorySource source(std::string_view(bytes).substr(0, length));
      ChapterSet set;
      ReadFileChapters(source, &set);
      ExpectSane(set);
    }
    for (int round = 0; round < 300; ++round) {
      std::string damaged = bytes;
      for (int k = 0; k < 4; ++k) {
        seed = seed * 1103515245 + 12345;
        damaged[(seed >> 8) % std::min<size_t>(damaged.size(), 4096)] = static_cast<char>(seed >> 24);
      }
      MemorySource source(damaged);
      ChapterSet set;
      ReadFileChapters(source, &set);
      ExpectSane(set);
    }
  }
}

TEST(FileChaptersTest, HugeClaimsCostBoundedReads) {
  const uint64_t huge = uint64_t{1} << 40;
  const struct {
    const char* what;
    std::string head, pattern;
  } cases[] = {
      {"ID3v2 tag of 256 MB", "ID3\x03" + std::string(2, '\0') + "\x7F\x7F\x7F\x7F", "TXXX\x7F\xFF\xFF\xFF\0\0"},
      {"MP4 of tiny boxes", Box("ftyp", "M4A "), Be(8, 4) + "free"},
      {"MP4 with a moov of nested tiny boxes", Box("ftyp", "M4A ") + Be(0, 4) + "moov", Be(8, 4) + "udta"},
      {"FLAC of empty metadata blocks", "fLaC", std::string("\x01\0\0\0", 4)},
      {"FLAC comment block of 16 MB", "fLaC", std::string("\x04\xFF\xFF\xFF", 4)},
      {"Ogg of empty pages", "", std::string("OggS\0\0", 6) + std::string(21, '\0')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PatternSource source(c.head, c.pattern, huge);
    ChapterSet set;
    EXPECT_FALSE(ReadFileChapters(source, &set));
    EXPECT_LE(source.read_, kMaxChapterReadBytes);
  }
}

TEST(FileChaptersTest, AtMostTheChapterBoundOfTinyChapters) {
  std::string frames;
  for (uint32_t i = 0; i < 1500; ++i) frames += Id3Frame("CHAP", Id3Chap("c", i, ""), 3);
  const std::string tag = Id3Tag(3, 0, frames);
  MemorySource source(tag);
  ChapterSet set;
  ASSERT_TRUE(ReadFileChapters(source, &set));
  EXPECT_EQ(set.chapters.size(), kMaxImportedChapters);
  EXPECT_EQ(set.chapters.back().timeMs, static_cast<int64_t>(kMaxImportedChapters - 1));
}

}  // namespace
}  // namespace tarnix
