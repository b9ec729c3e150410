// Lists follow their recordings: a list made for a file is found again by the file's content
// identity after the file was moved and renamed (and taken over by the new path and name), a
// copy beside the original is shown the original's list without taking it, files that only
// resemble the recording get the default list, and a list of an earlier version learns the
// identity the first time its file is played.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "resources/resource_ids.h"
#include "tests/plugin/plugin_test.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

constexpr size_t kBlock = 64 * 1024;
constexpr char kEdited[] = " New subsong";  // the name the insert gives
const std::string kSongList = TrackFile("Song", "01:00:00:00*Song\r\n01:00:30:00 Chorus\r\n");

// A recording larger than both of its hashed ends, each byte depending on its place.
std::string Recording(size_t size, char salt) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 997) ^ static_cast<size_t>(salt));
  return bytes;
}

bool Holds(const std::string& bytes, const std::string& text) { return bytes.find(text) != std::string::npos; }

// The list's entry lines, the rows it reads.
std::string Entries(const std::string& list) {
  const size_t start = list.find("01:00:00:00");
  return start == std::string::npos ? std::string() : list.substr(start);
}

class FollowTest : public PlayingPluginTest {
 protected:
  std::string At(const std::string& relative) { return h.Dir().Root() + "\\" + relative; }
  bool Move(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::u8path(At(to)).parent_path(), error);
    std::filesystem::rename(std::filesystem::u8path(At(from)), std::filesystem::u8path(At(to)), error);
    return !error;
  }
  // Plays the entry and waits for the list to end on `key`.
  bool Shows(int entry, int32_t key) {
    PlayEntry(entry);
    return ShowsLastKey(key);
  }
};

// The list of an earlier version (no "[File  ]" line) learns the recording at once, is edited
// and saved at the song change; the file moved to another folder, renamed and retitled is shown
// its list, which is then stored under the new name, naming the new path, with the same rows.
TEST_F(FollowTest, MovedRenamedAndRetitledFileKeepsItsEditedList) {
  const std::string recording = Recording(3 * kBlock + 123, 1);
  ASSERT_TRUE(h.Dir().WriteFile("Music\\song.mp3", recording));
  ASSERT_TRUE(h.Dir().WriteFile("Music\\other.mp3", Recording(kBlock, 2)));
  ASSERT_TRUE(h.WriteBookmark("Song.trk", kSongList));
  h.SetPluginIni("AutoSave", "1");
  h.Player().SetPlaylist({{At("Music\\song.mp3"), "Song", 0},
                          {At("Music\\other.mp3"), "Other", 0},
                          {At("Moved\\renamed.mp3"), "Another title", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 1)));
  ASSERT_TRUE(h.PumpUntil([&] { return Holds(Bookmark("Song.trk"), "[File  ] "); }, 4000)) << Bookmark("Song.trk");
  EXPECT_TRUE(Holds(Bookmark("Song.trk"), At("Music\\song.mp3")));
  EXPECT_EQ(Entries(Bookmark("Song.trk")), Entries(kSongList));  // unchanged but for the line

  PostMessageA(h.Window(), WM_COMMAND, IDM_INSERT_SUBTRACK, 0);
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 2)));
  ASSERT_TRUE(Shows(1, MakeItemId(1, 0)));
  const std::string edited = Bookmark("Song.trk");
  ASSERT_TRUE(Holds(edited, kEdited)) << edited;

  ASSERT_TRUE(Move("Music\\song.mp3", "Moved\\renamed.mp3"));
  ASSERT_TRUE(Shows(2, MakeItemId(1, 2)));
  ASSERT_TRUE(h.PumpUntil([&] { return !h.Dir().Exists("Bookmarks\\Song.trk"); }, 4000));
  const std::string followed = Bookmark("renamed.trk");
  EXPECT_TRUE(Holds(followed, At("Moved\\renamed.mp3"))) << followed;
  EXPECT_FALSE(Holds(followed, At("Music\\song.mp3"))) << followed;
  EXPECT_EQ(Entries(followed), Entries(edited));
  // Found by its path again: the list of the new name shows.
  ASSERT_TRUE(Shows(1, MakeItemId(1, 0)));
  EXPECT_TRUE(Shows(2, MakeItemId(1, 2)));
  EXPECT_TRUE(h.Stop());
}

// Files that only resemble the recording get the default list; a copy beside the original is
// shown the list, which stays the original's (its name and the path it names).
TEST_F(FollowTest, OnlyTheSameRecordingFindsTheList) {
  const std::string recording = Recording(3 * kBlock, 3);
  std::string sameSize = recording;
  sameSize[sameSize.size() - 1] ^= 1;  // the last byte differs
  std::string sameEnds = recording.substr(0, kBlock) + "more middle" + recording.substr(kBlock);
  ASSERT_TRUE(h.Dir().WriteFile("Music\\song.mp3", recording));
  ASSERT_TRUE(h.Dir().WriteFile("Music\\song - copy.mp3", recording));
  ASSERT_TRUE(h.Dir().WriteFile("Music\\same size.mp3", sameSize));
  ASSERT_TRUE(h.Dir().WriteFile("Music\\same ends.mp3", sameEnds));
  ASSERT_TRUE(h.WriteBookmark("Song.trk", kSongList));
  h.Player().SetPlaylist({{At("Music\\song.mp3"), "Song", 0},
                          {At("Music\\same size.mp3"), "Alpha", 0},
                          {At("Music\\song - copy.mp3"), "Copy", 0},
                          {At("Music\\same ends.mp3"), "Beta", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 1)));
  ASSERT_TRUE(h.PumpUntil([&] { return Holds(Bookmark("Song.trk"), "[File  ] "); }, 4000));
  const std::string stored = Bookmark("Song.trk");

  struct Case {
    int entry;
    int32_t key;
  } const cases[] = {{1, MakeItemId(1, 0)}, {2, MakeItemId(1, 1)}, {3, MakeItemId(1, 0)}};
  for (const Case& c : cases) EXPECT_TRUE(Shows(c.entry, c.key)) << c.entry;
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(Bookmark("Song.trk"), stored);
  for (const char* name : {"song - copy.trk", "same size.trk", "same ends.trk"})
    EXPECT_FALSE(h.Dir().Exists(std::string("Bookmarks\\") + name)) << name;
}

}  // namespace
}  // namespace tarnix::test
