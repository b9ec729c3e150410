// Subtracks a recording already carries, through the real plug-in: which source a song change
// takes (a stored list, then a cue sheet beside the file, then chapters inside it), and an
// imported list that was edited and saved being found again.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "tests/plugin/plugin_test.h"

namespace tarnix::test {
namespace {

// Four tracks, the first at the start: the list's last row is subtrack 3.
const char kConcertSheet[] =
    "PERFORMER \"The Examples\"\r\nTITLE \"Live\"\r\nFILE \"Concert.wav\" WAVE\r\n"
    "  TRACK 01 AUDIO\r\n    TITLE \"Opening\"\r\n    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n    TITLE \"Second\"\r\n    INDEX 00 04:58:00\r\n    INDEX 01 05:00:00\r\n"
    "  TRACK 03 AUDIO\r\n    TITLE \"Third\"\r\n    INDEX 01 10:00:00\r\n"
    "  TRACK 04 AUDIO\r\n    TITLE \"Encore\"\r\n    INDEX 01 101:15:40\r\n";
constexpr int32_t kConcertLastKey = 0x10003;
// The chapter fixtures carry three chapters, the first at the start.
constexpr int32_t kChaptersLastKey = 0x10002;
constexpr int32_t kDefaultLastKey = 0x10000;

std::string ReadSource(const std::string& relative) {
  std::ifstream in(SourcePath(relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ImportTest : public ::testing::Test {
 protected:
  std::string Media(const std::string& name) { return h.Dir().Root() + "\\Music\\" + name; }
  void WriteMedia(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(h.Dir().WriteFile("Music\\" + name, bytes));
  }
  void PlayEntry(int index) {
    h.Player().SetPlaylistPosition(index);
    h.Player().Play();
  }
  bool ShowsLastKey(int32_t key) {
    return h.PumpUntil([&] { return h.LastKey() == key; }, 4000);
  }

  PluginSession h;
};

TEST_F(ImportTest, SourcesInOrderAndAStoredListWins) {
  const std::string taggedMp3 = ReadSource("tests/import/fixtures/id3v24-ffmpeg.mp3");
  ASSERT_FALSE(taggedMp3.empty());
  WriteMedia("Concert.flac", "not really audio");
  WriteMedia("Concert.cue", kConcertSheet);  // names Concert.wav: found by its own name
  WriteMedia("Talk.mp3", taggedMp3);
  WriteMedia("Talk.cue", kConcertSheet);  // the sheet beside the file comes first
  WriteMedia("Podcast.mp3", taggedMp3);
  WriteMedia("Stored.mp3", taggedMp3);
  WriteMedia("Plain.mp3", "no tag at all");
  ASSERT_TRUE(h.WriteBookmark("Stored.trk", TrackFile("Stored one", "01:00:00:00*Mine\r\n01:00:30:00 Two\r\n")));
  h.Player().SetPlaylist({{Media("Concert.flac"), "Concert", 0},
                          {Media("Talk.mp3"), "Talk", 0},
                          {Media("Podcast.mp3"), "Podcast", 0},
                          {Media("Stored.mp3"), "Stored one", 0},
                          {Media("Plain.mp3"), "Plain", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(ShowsLastKey(kConcertLastKey)) << "cue sheet beside the file: " << *h.LastKey();
  PlayEntry(1);
  EXPECT_TRUE(ShowsLastKey(kConcertLastKey)) << "cue sheet before chapters: " << *h.LastKey();
  PlayEntry(2);
  EXPECT_TRUE(ShowsLastKey(kChaptersLastKey)) << "chapters inside: " << *h.LastKey();
  PlayEntry(3);
  EXPECT_TRUE(ShowsLastKey(0x10001)) << "a stored list wins: " << *h.LastKey();
  PlayEntry(4);
  EXPECT_TRUE(ShowsLastKey(kDefaultLastKey)) << "nothing to import: " << *h.LastKey();
  EXPECT_TRUE(h.Stop());
  // Imports are not edits: nothing was written.
  EXPECT_FALSE(h.Dir().Exists("Bookmarks\\Concert.trk"));
  EXPECT_FALSE(h.Dir().Exists("Bookmarks\\Talk.trk"));
  EXPECT_FALSE(h.Dir().Exists("Bookmarks\\Podcast.trk"));
}

TEST_F(ImportTest, AnEditedImportIsSavedAndFoundAgainBeforeTheSheet) {
  WriteMedia("Concert.flac", "not really audio");
  WriteMedia("Concert.cue", kConcertSheet);
  WriteMedia("Other.mp3", "no tag at all");
  h.SetPluginIni("AutoSave", "1");
  h.Player().SetPlaylist({{Media("Concert.flac"), "Concert", 0}, {Media("Other.mp3"), "Other", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(kConcertLastKey));
  PostMessageA(h.Window(), WM_COMMAND, IDM_INSERT_SUBTRACK, 0);  // "New subsong" at the playing time
  EXPECT_TRUE(ShowsLastKey(kConcertLastKey + 1));
  PlayEntry(1);  // the changed list is saved on its way out
  ASSERT_TRUE(ShowsLastKey(kDefaultLastKey));
  EXPECT_TRUE(h.Dir().Exists("Bookmarks\\Concert.trk"));
  PlayEntry(0);
  EXPECT_TRUE(ShowsLastKey(kConcertLastKey + 1)) << "the saved list, not the sheet: " << *h.LastKey();
  EXPECT_TRUE(h.Stop());
}

}  // namespace
}  // namespace tarnix::test
