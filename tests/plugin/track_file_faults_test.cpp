// Control characters in names, through the real plug-in in the stand-in player. A Ctrl-Z byte
// (0x1A) in a name used to be written as it was and read as the end of the file: the subtracks
// "Intro", "Part \x1A two", "Part three" loaded as "Intro", "Part " and said they had loaded, and
// the next save made the loss permanent; a title holding one never found its list again.

#include <gtest/gtest.h>

#include <string>

#include "resources/resource_ids.h"
#include "tests/plugin/plugin_test.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

bool HoldsControlCharacters(const std::string& bytes) {
  for (const char c : bytes) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\r' && c != '\n') || u == 0x7F) return true;
  }
  return false;
}

using TrackFileFaultsTest = PlayingPluginTest;

// A list an earlier version wrote with a Ctrl-Z inside a subtrack's name.
TEST_F(TrackFileFaultsTest, StoredListWithCtrlZInANameLoadsWholeAndIsSavedWhole) {
  ASSERT_TRUE(h.WriteBookmark(
      "Song.trk", TrackFile("Song", "01:00:00:00*Intro\r\n01:00:30:00 Part \x1A two\r\n01:01:00:00 Part three\r\n")));
  h.SetPluginIni("AutoSave", "1");
  h.Player().SetPlaylist({{"C:\\x\\song.mp3", "Song", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 2))) << "every row of the stored list: " << *h.LastKey();
  ASSERT_TRUE(h.Command(IDM_INSERT_SUBTRACK));
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 3)));
  EXPECT_TRUE(h.Stop());
  const std::string saved = Bookmark("Song.trk");
  EXPECT_NE(saved.find(" Part   two\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find(" Part three\r\n"), std::string::npos) << saved;
  EXPECT_FALSE(HoldsControlCharacters(saved)) << saved;
}

// The player's title holds a Ctrl-Z: the list saved for it is found again when it plays again.
TEST_F(TrackFileFaultsTest, TitleWithCtrlZFindsTheListSavedForIt) {
  const std::string title = "Live\x1ASet";
  h.SetPluginIni("AutoSave", "1");
  h.Player().SetPlaylist({{"C:\\x\\live.mp3", title, 0}, {"C:\\x\\other.mp3", "Other", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 0)));
  ASSERT_TRUE(h.Command(IDM_INSERT_SUBTRACK));
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 1)));
  PlayEntry(1);
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 0)));
  PlayEntry(0);
  EXPECT_TRUE(ShowsLastKey(MakeItemId(1, 1))) << "the edited list of the title: " << *h.LastKey();
  EXPECT_TRUE(h.Stop());
  const std::string saved = Bookmark("Live_Set.trk");
  EXPECT_NE(saved.find("*Live Set\r\n"), std::string::npos) << saved;
  EXPECT_FALSE(HoldsControlCharacters(saved)) << saved;
}

}  // namespace
}  // namespace tarnix::test
