// The subsong source's announcements in-process, as the window procedure takes them.

#include "session/subsong_messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "host/player_codes.h"
#include "host/settings.h"
#include "session/playback_tracking.h"
#include "tests/commands/commands_fixture.h"
#include "tests/support/test_clock.h"

namespace tarnix::test {
namespace {

using SubsongMessagesTest = CommandsTest;

// A source may name its subsongs in any order before the names are applied: a lower index
// arriving after a higher one keeps that one.
TEST_F(SubsongMessagesTest, TrackNamesArrivingInAnyOrderAreAllApplied) {
  UseCd(3, 1);
  TakeTrackName(ThePlugin(), 2, reinterpret_cast<LPARAM>("Third"));
  TakeTrackName(ThePlugin(), 0, reinterpret_cast<LPARAM>("First"));
  ApplyTrackNames(ThePlugin());
  EXPECT_STREQ(List().tracks[0].subtracks.front().name.c_str(), "First");
  EXPECT_STREQ(List().tracks[2].subtracks.front().name.c_str(), "Third");
}

// The changed list of the entry played before is saved under its own name when a source
// announces the next file, not under the new file's title over that file's stored list.
TEST_F(SubsongMessagesTest, AnAnnouncementSavesTheChangedListUnderItsOwnName) {
  TrackList stored;
  stored.Reset("Game music", 2, 0xFFFFFFFFu);
  ASSERT_TRUE(stored.Save(bookmarks_.Item("Game music.trk").c_str()));
  const std::string storedBytes = TempDir::Read(bookmarks_.Item("Game music.trk"));
  Player().SetPlaylist({{"C:\\Music\\game.nsf", "Game music", 0}});
  UseSingleTrack("Old book", {1000});
  List().modified = true;
  ThePlugin().settings().autoSave = true;

  uint32_t record[kSubsongRecordWords] = {2};
  TakeSubsongRecord(ThePlugin(), reinterpret_cast<WPARAM>(record), 0);
  OnSubsongInfo(ThePlugin(), ThePlugin().playback().subsongRecord);
  EXPECT_TRUE(TempDir::Exists(bookmarks_.Item("Old book.trk")));
  EXPECT_EQ(TempDir::Read(bookmarks_.Item("Game music.trk")), storedBytes);
  EXPECT_EQ(List().TrackCount(), 2);
}

// A source announcing the next file is a song change the tick does not see: the long recording
// played before is left there, and its place is remembered.
TEST_F(SubsongMessagesTest, AnAnnouncementRemembersWhereTheRecordingBeforeWasLeft) {
  SetListeningClock(1000000);
  const std::string store = std::string(StoreDirectory(ThePlugin().settings()).c_str()) + "\\gen_tarnix.resume";
  DeleteFileA(store.c_str());
  ThePlugin().settings().resume = true;
  Player().SetPlaylist({{"C:\\Books\\Long book.mp3", "Long book", 120 * 60000}, {"C:\\Music\\game.nsf", "Game", 0}});
  Player().Play();
  Player().Pause();
  Player().Seek(30 * 60000);
  TimerTick(ThePlugin());
  Player().SetPlaylistPosition(1);
  uint32_t record[kSubsongRecordWords] = {2};
  TakeSubsongRecord(ThePlugin(), reinterpret_cast<WPARAM>(record), 0);
  OnSubsongInfo(ThePlugin(), ThePlugin().playback().subsongRecord);
  EXPECT_NE(TempDir::Read(store).find("1800000 C:\\Books\\Long book.mp3"), std::string::npos);
  DeleteFileA(store.c_str());
  UseSystemClock();
}

// A pointer that does not lead to the whole record or name, as a post from another program
// carries, is refused; it is not read past what can be read.
TEST_F(SubsongMessagesTest, PointersThatCannotBeReadAreRefused) {
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const size_t page = system.dwPageSize;
  auto* const pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(pages, nullptr);
  DWORD was = 0;
  ASSERT_TRUE(VirtualProtect(pages + page, page, PAGE_NOACCESS, &was));
  std::memset(pages, 'x', page);  // a name running into the page that cannot be read
  char* const tail = pages + page - 8;
  const std::vector<uint32_t> before(std::begin(ThePlugin().playback().subsongRecord),
                                     std::end(ThePlugin().playback().subsongRecord));
  for (const LPARAM pointer : {LPARAM{0x10}, reinterpret_cast<LPARAM>(tail)}) {
    EXPECT_EQ(TakeSubsongRecord(ThePlugin(), static_cast<WPARAM>(pointer), 0), 0);
    EXPECT_EQ(TakeTrackName(ThePlugin(), 0, pointer), 0);
  }
  EXPECT_TRUE(std::equal(before.begin(), before.end(), ThePlugin().playback().subsongRecord));
  EXPECT_TRUE(ThePlugin().playback().pendingNames.empty());
  std::memcpy(tail, "Name", 5);  // ends before the page: taken
  TakeTrackName(ThePlugin(), 0, reinterpret_cast<LPARAM>(tail));
  ASSERT_EQ(ThePlugin().playback().pendingNames.size(), 1u);
  EXPECT_STREQ(ThePlugin().playback().pendingNames[0].c_str(), "Name");
  VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace
}  // namespace tarnix::test
