// "Save chapters into the file" through the real plug-in: the playing track's subtracks become
// the chapters of the playing file in every format the writers know, read back by the readers;
// a file the player holds when the player quits is written at the next start.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "import/file_chapters.h"
#include "import/file_source.h"
#include "resources/resource_ids.h"
#include "tests/plugin/plugin_test.h"
#include "tests/support/file_hold.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

namespace fs = std::filesystem;

// Times in frames of 1/75 s: 0, 400 and 800 ms, inside every fixture (about a second long).
const std::string kList = TrackFile("Song", "01:00:00:00*Opening\r\n01:00:00:30 Theme\r\n01:00:00:60 Close\r\n");
using Chapters = std::vector<std::pair<int64_t, std::string>>;
const Chapters kChapters = {{0, "Opening"}, {400, "Theme"}, {800, "Close"}};

std::string ReadBytes(const std::string& path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

Chapters ChaptersOf(const std::string& path) {
  FileSource source(path.c_str());
  ChapterSet set;
  if (!source.IsOpen() || !ReadFileChapters(source, &set)) return {};
  Chapters chapters;
  for (const Chapter& chapter : set.chapters) chapters.emplace_back(chapter.timeMs, chapter.name);
  return chapters;
}

int PendingFilesUnder(const std::string& root) {
  int count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(fs::u8path(root))) {
    if (entry.path().filename() == "chapter_saves.pending") ++count;
  }
  return count;
}

class ChapterSaveTest : public PlayingPluginTest {
 protected:
  // Copies the fixture into the player's tree and plays it as "Song", whose list has subtracks;
  // returns its bytes.
  std::string PlayCopy(const std::string& fixture) {
    const fs::path from = fs::u8path(SourcePath("tests/import/fixtures/written/" + fixture));
    media_ = h.Dir().Root() + "\\Media\\" + from.filename().u8string();
    fs::create_directories(fs::u8path(h.Dir().Root() + "\\Media"));
    fs::copy_file(from, fs::u8path(media_), fs::copy_options::overwrite_existing);
    EXPECT_TRUE(h.WriteBookmark("Song.trk", kList));
    h.Player().SetPlaylist({{media_, "Song", 1000}, {"C:\\x\\other.mp3", "Other", 0}});
    h.Player().Play();
    EXPECT_TRUE(h.Start());
    EXPECT_TRUE(ShowsLastKey(MakeItemId(1, 2)));
    return ReadBytes(media_);
  }
  // The file was replaced: its bytes differ from `before` and nothing is left beside it.
  bool Replaced(const std::string& before) {
    return h.PumpUntil([&] { return ReadBytes(media_) != before && !fs::exists(fs::u8path(media_ + ".tarnix-new")); },
                       8000);
  }
  std::string media_;
};

TEST_F(ChapterSaveTest, TheListBecomesTheChaptersOfEveryFormat) {
  for (const char* fixture : {"mp3/no-tag.mp3", "mp4/bare-faststart.m4a", "vorbis/flac-bare.flac",
                              "vorbis/opus-plain.opus", "matroska/chapters-ffmpeg.webm"}) {
    SCOPED_TRACE(fixture);
    const std::string before = PlayCopy(fixture);
    ASSERT_TRUE(h.Command(IDM_SAVE_CHAPTERS_INTO_FILE));
    ASSERT_TRUE(Replaced(before));
    EXPECT_EQ(ChaptersOf(media_), kChapters);
    if (std::string(fixture).find("mp3") != std::string::npos) {
      // The tag goes in front: the audio after it is the original file, byte for byte.
      const std::string after = ReadBytes(media_);
      ASSERT_GT(after.size(), before.size());
      EXPECT_EQ(after.substr(after.size() - before.size()), before);
    }
    EXPECT_EQ(Bookmark("Song.trk"), kList) << "the stored list stays as it was";
    EXPECT_TRUE(h.Stop());
  }
}

TEST_F(ChapterSaveTest, AHeldFileAtQuitIsWrittenAtTheNextStart) {
  const std::string before = PlayCopy("vorbis/flac-bare.flac");
  testsupport::FileHold hold(media_, 0);
  ASSERT_TRUE(hold.Holding());
  ASSERT_TRUE(h.Command(IDM_SAVE_CHAPTERS_INTO_FILE));
  // Whether the save has ended held or still runs when quit comes, it is kept.
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(ReadBytes(media_), before);
  EXPECT_EQ(PendingFilesUnder(h.Dir().Root()), 1);
  hold.End();
  h.Player().Stop();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(Replaced(before));
  EXPECT_EQ(ChaptersOf(media_), kChapters);
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(PendingFilesUnder(h.Dir().Root()), 0);
}

}  // namespace
}  // namespace tarnix::test
