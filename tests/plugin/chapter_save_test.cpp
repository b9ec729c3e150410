// "Save chapters into the file" through the real plug-in: the playing track's subtracks become
// the chapters of the playing file in every format the writers know, read back by the readers;
// a file the player holds when the player quits is written at the next start.

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
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

// A file's size and last write, read without opening it; all zero when there is no file.
using Stamp = std::tuple<DWORD, DWORD, DWORD, DWORD>;
Stamp StampOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(fs::u8path(path).c_str(), GetFileExInfoStandard, &data)) return {};
  return {data.nFileSizeLow, data.nFileSizeHigh, data.ftLastWriteTime.dwLowDateTime,
          data.ftLastWriteTime.dwHighDateTime};
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
    copied_ = StampOf(media_);
    EXPECT_TRUE(h.WriteBookmark("Song.trk", kList));
    h.Player().SetPlaylist({{media_, "Song", 1000}, {"C:\\x\\other.mp3", "Other", 0}});
    h.Player().Play();
    EXPECT_TRUE(h.Start());
    EXPECT_TRUE(ShowsLastKey(MakeItemId(1, 2)));
    return ReadBytes(media_);
  }
  // The file was replaced: its size or last write differs from the copy's, nothing is left beside
  // it, and its bytes differ from `before`. The wait looks without opening the file: a file open
  // even for reading cannot be replaced (the save then waits for the next song), and a read in the
  // instant of the replacement can fail, which compared as a change.
  bool Replaced(const std::string& before) {
    return h.PumpUntil([&] { return StampOf(media_) != copied_ && StampOf(media_ + ".tarnix-new") == Stamp(); },
                       8000) &&
           ReadBytes(media_) != before;
  }
  // The stored list's "[File  ]" line ("" when it has none).
  std::string FileLine() {
    const std::string list = Bookmark("Song.trk");
    const size_t start = list.find("[File  ] ");
    return start == std::string::npos ? std::string() : list.substr(start, list.find('\n', start) - start);
  }
  static std::string Entries(const std::string& list) {
    const size_t start = list.find("01:00:00:00");
    return start == std::string::npos ? std::string() : list.substr(start);
  }
  std::string media_;
  Stamp copied_;
};

TEST_F(ChapterSaveTest, TheListBecomesTheChaptersOfEveryFormat) {
  for (const char* fixture : {"mp3/no-tag.mp3", "mp4/bare-faststart.m4a", "vorbis/flac-bare.flac",
                              "vorbis/opus-plain.opus", "matroska/chapters-ffmpeg.webm"}) {
    SCOPED_TRACE(fixture);
    const std::string before = PlayCopy(fixture);
    const std::string learned = FileLine();  // none yet, or the file of the round before
    ASSERT_TRUE(h.Command(IDM_SAVE_CHAPTERS_INTO_FILE));
    ASSERT_TRUE(Replaced(before));
    EXPECT_EQ(ChaptersOf(media_), kChapters);
    if (std::string(fixture).find("mp3") != std::string::npos) {
      // The tag goes in front: the audio after it is the original file, byte for byte.
      const std::string after = ReadBytes(media_);
      ASSERT_GT(after.size(), before.size());
      EXPECT_EQ(after.substr(after.size() - before.size()), before);
    }
    // The stored list keeps its rows and learns the file's new identity, so a later move finds it.
    // (A read that meets the list's own replacement gives nothing, which is not the new line.)
    ASSERT_TRUE(h.PumpUntil(
        [&] {
          const std::string now = FileLine();
          return !now.empty() && now != learned;
        },
        4000))
        << Bookmark("Song.trk");
    EXPECT_NE(FileLine().find(media_), std::string::npos) << FileLine();
    EXPECT_EQ(Entries(Bookmark("Song.trk")), Entries(kList));
    EXPECT_TRUE(h.Stop());
  }
}

TEST_F(ChapterSaveTest, AHeldFileAtQuitIsWrittenAtTheNextStart) {
  const std::string before = PlayCopy("vorbis/flac-bare.flac");
  {
    // The player reads the file it plays and lets nobody replace it.
    testsupport::FileHold hold(media_, FILE_SHARE_READ);
    ASSERT_TRUE(hold.Holding());
    ASSERT_TRUE(h.Command(IDM_SAVE_CHAPTERS_INTO_FILE));
    // A row inserted after it shows that the save was asked for before the player quits (the
    // command asks the player for the length, which a player inside its quit cannot answer).
    ASSERT_TRUE(h.Command(IDM_INSERT_SUBTRACK));
    ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 3)));
    // Whether the save has ended held or still runs when quit comes, it is kept.
    EXPECT_TRUE(h.Stop());
    EXPECT_EQ(PendingFilesUnder(h.Dir().Root()), 1);
  }
  EXPECT_EQ(ReadBytes(media_), before);
  h.Player().Stop();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(Replaced(before));
  EXPECT_EQ(ChaptersOf(media_), kChapters);
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(PendingFilesUnder(h.Dir().Root()), 0);
}

}  // namespace
}  // namespace tarnix::test
