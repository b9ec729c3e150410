// PlayItem and the playback commands, judged by the requests the stand-in player records.

#include <gtest/gtest.h>

#include <string>

#include "commands/commands.h"
#include "commands/editing.h"
#include "commands_fixture.h"
#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "session/playback_tracking.h"
#include "testhost/pump.h"
#include "testhost/subsong_source.h"

namespace tarnix::test {
namespace {

using Strings = std::vector<std::string>;

class PlayItemTest : public CommandsTest {};

TEST_F(PlayItemTest, StoppedPlayerIsStartedAndSeeksOnlyPastTheStart) {
  UseSingleTrack("Concert", {90000});
  struct Case {
    ItemId item;
    Strings actions;
  } const cases[] = {
      {MakeItemId(1, 0), {"cmd40045"}},                   // time 0: play, no seek
      {MakeItemId(1, 1), {"cmd40045", "code106:90000"}},  // 1:30: play, then seek
      {MakeItemId(0, 1), {"cmd40045", "code106:90000"}},  // track part 0: the playing track
      {MakeItemId(1, 7), {}},                             // names nothing: nothing at all
      {MakeItemId(2, 0), {}},
  };
  for (const Case& c : cases) {
    Player().Stop();
    ClearLog();
    PlayItem(c.item);
    EXPECT_EQ(Actions(), c.actions) << std::hex << c.item;
  }
}

TEST_F(PlayItemTest, PlayingPlayerOnlySeeksAndTheRowBecomesCurrent) {
  UseSingleTrack("Concert", {90000, 120000});
  PlayFrom(0);
  ClearLog();
  PlayItem(MakeItemId(1, 2));
  EXPECT_EQ(Actions(), (Strings{"code106:120000"}));
  EXPECT_EQ(View().CurrentKey(), MakeItemId(1, 2));
  ClearLog();
  PlayItem(MakeItemId(1, 0));
  EXPECT_EQ(Actions(), (Strings{"code106:0"}));  // playing: the start is a seek to 0
}

TEST_F(PlayItemTest, CdTrackSwitchFindsTheEntryByItsDigits) {
  Player().SetPlaylist({{"D:\\Track01.cda", "Track 01", 0},
                        {"D:\\Track05.cda", "Track 05", 0},
                        {"D:\\Track07.cda", "Track 07", 0},
                        {"D:\\Track12.cda", "Track 12", 0}});
  Player().SetPlaylistPosition(1);
  UseCd(12, 5);
  PlayFrom(0);
  ClearLog();
  PlayItem(MakeItemId(12, 0));
  // Stop, move to the entry of track 12 (index 3), start; no seek at the track's start.
  EXPECT_EQ(Actions(), (Strings{"cmd40047", "code121:3", "cmd40045"}));
  EXPECT_EQ(ThePlugin().playback.currentTrack, 12);
  EXPECT_EQ(Player().PlaylistPosition(), 3);

  ThePlugin().playback.currentPath = "D:\\Track12.cda";
  ClearLog();
  PlayItem(MakeItemId(7, 0));
  EXPECT_EQ(Actions(), (Strings{"cmd40047", "code121:2", "cmd40045"}));
  EXPECT_EQ(ThePlugin().playback.currentTrack, 7);
}

TEST_F(PlayItemTest, CdTrackEntryIsFoundWhateverItsLetterCase) {
  Player().SetPlaylist({{"D:\\Track05.cda", "Track 05", 0}, {"d:\\TRACK07.CDA", "Track 07", 0}});
  Player().SetPlaylistPosition(0);
  UseCd(12, 5);
  PlayFrom(0);
  ClearLog();
  PlayItem(MakeItemId(7, 0));
  EXPECT_EQ(Actions(), (Strings{"cmd40047", "code121:1", "cmd40045"}));
  EXPECT_EQ(ThePlugin().playback.currentTrack, 7);
}

// The player may spell the playing entry's path and title in other letter case than when it
// started: still the same entry, whose list and edits stay.
TEST_F(PlayItemTest, TheSameEntryInOtherLetterCaseKeepsItsList) {
  UseSingleTrack("Concert", {1000});
  List().tracks[0].RenameSubtrack(1, "Edited");
  Player().SetPlaylist({{"c:\\MUSIC\\Concert.MP3", "CONCERT", 0}});
  PlayFrom(0);
  TimerTick();
  EXPECT_STREQ(ThePlugin().playback.currentPath.c_str(), "C:\\Music\\concert.mp3");
  EXPECT_STREQ(ThePlugin().playback.currentTitle.c_str(), "Concert");
  ASSERT_EQ(List().TrackCount(), 1);
  ASSERT_EQ(List().tracks[0].Count(), 2);
  EXPECT_STREQ(List().tracks[0].subtracks[1].name.c_str(), "Edited");
  EXPECT_TRUE(List().modified);
}

TEST_F(PlayItemTest, CdPathWithoutDigitsOrMissingEntryKeepsThePlayersEntry) {
  Player().SetPlaylist({{"D:\\first.cda", "a", 0}, {"D:\\second.cda", "b", 0}});
  UseCd(3, 1);
  ThePlugin().playback.currentPath = "D:\\first.cda";
  PlayFrom(0);
  ClearLog();
  EXPECT_FALSE(SelectCdTrack(2));
  PlayItem(MakeItemId(2, 0));
  // No entry was switched; the playing player gets the jump within what it plays.
  EXPECT_EQ(Actions(), (Strings{"code106:0"}));
  EXPECT_EQ(Player().PlaylistPosition(), 0);

  ThePlugin().playback.currentPath = "D:\\Track01.cda";  // digits, but no entry for track 3
  ClearLog();
  EXPECT_FALSE(SelectCdTrack(3));
  EXPECT_TRUE(Actions().empty());
}

TEST_F(PlayItemTest, CdWalkSurvivesAPlaylistThatChangesMeanwhile) {
  std::vector<testhost::PlaylistEntry> entries;
  for (int i = 0; i < 300; ++i) entries.push_back({"D:\\Other" + std::to_string(i) + ".mp3", "x", 0});
  entries.push_back({"D:\\Track02.cda", "Track 02", 0});
  Player().SetPlaylist(entries);
  ThePlugin().playback.currentPath = "D:\\Track01.cda";
  // The playlist shrinks to one entry when the walk asks for its first entry: the walk goes on
  // asking for entries far beyond it, matches none and touches nothing.
  Player().SetRequestHook([this](const testhost::PlayerRequest& request) {
    const bool askedForAPath = request.IsCode(kCodePlaylistFile) || request.IsCode(kCodePlaylistFileW);
    if (askedForAPath && Player().PlaylistLength() > 1) Player().SetPlaylist({{"D:\\Other0.mp3", "x", 0}});
  });
  ClearLog();
  EXPECT_FALSE(SelectCdTrack(2));
  Player().SetRequestHook(nullptr);
  EXPECT_TRUE(Actions().empty());
}

TEST_F(PlayItemTest, SubsongSourceIsToldTheSubsong) {
  testhost::SubsongSource source(ThePlugin().window.Get());
  TrackList& list = List();
  list.Reset("Tunes", 4, static_cast<uint32_t>(-1));
  ThePlugin().playback.multiTrack = 1;
  ThePlugin().playback.currentTrack = 1;
  ThePlugin().playback.subsongThreadId = source.ThreadId();
  RebuildRows();
  PlayFrom(0);
  ClearLog();
  PlayItem(MakeItemId(3, 0));
  ASSERT_TRUE(source.WaitForPlayRequests(1, 3000));
  EXPECT_EQ(source.PlayRequests()[0].subsong, 2u);
  EXPECT_EQ(ThePlugin().playback.currentTrack, 3);
  EXPECT_TRUE(Actions().empty());  // the source plays it from its start: no seek
}

TEST_F(PlayItemTest, EndedSubsongSourceCostsNothingButTheWait) {
  DWORD ended = 0;
  std::thread gone([&] { ended = GetCurrentThreadId(); });
  gone.join();
  TrackList& list = List();
  list.Reset("Tunes", 2, static_cast<uint32_t>(-1));
  ThePlugin().playback.multiTrack = 1;
  ThePlugin().playback.subsongThreadId = ended;
  RebuildRows();
  Player().Stop();
  ClearLog();
  const DWORD start = GetTickCount();
  PlayItem(MakeItemId(2, 0));
  // Started, waited for an announcement that never came, posted into the void; generous bound.
  EXPECT_LT(GetTickCount() - start, 8000u);
  EXPECT_EQ(Actions(), (Strings{"cmd40045"}));
  EXPECT_EQ(Player().PlaylistPosition(), 0);
}

TEST_F(PlayItemTest, RepeatFollowsTheJump) {
  UseSingleTrack("Concert", {10000, 20000});
  PlayFrom(0);
  g_shared.repeatItem = MakeItemId(1, 1);
  PlayItem(MakeItemId(0, 2));
  EXPECT_EQ(g_shared.repeatItem, MakeItemId(1, 2));
  g_shared.repeatItem = kNoItem;
  PlayItem(MakeItemId(1, 1));
  EXPECT_EQ(g_shared.repeatItem, kNoItem);
}

class StepTest : public CommandsTest {};

// What reaches the plug-in window goes through the UI thread's own loop: a menu command, a key,
// and the stop message that ends the loop.
TEST_F(StepTest, TheLoopRoutesCommandsKeysAndTheStopMessage) {
  UseSingleTrack("Concert", {10000, 60000});
  PlayFrom(0);
  PlayItem(MakeItemId(1, 0));
  ClearLog();
  HWND window = ThePlugin().window.Get();
  PostMessageA(window, WM_COMMAND, IDM_NEXT_SUBTRACK, 0);
  EXPECT_TRUE(Pump());
  EXPECT_EQ(Actions(), (Strings{"code106:10000"}));

  View().SelectByKey(MakeItemId(1, 2));
  ClearLog();
  PostMessageA(window, WM_KEYDOWN, 'R', 0);
  EXPECT_TRUE(Pump());
  EXPECT_EQ(Actions(), (Strings{"code106:60000"}));
  EXPECT_EQ(g_shared.repeatItem.load(), MakeItemId(1, 2));

  PostMessageA(window, UM_QUIT, 0, 0);
  EXPECT_FALSE(Pump());
}

TEST_F(StepTest, PreviousWithAndWithoutTheRestartRule) {
  UseSingleTrack("Concert", {10000, 60000});
  struct Case {
    int positionMs;
    RestartRule rule;
    ItemId playing;
    Strings actions;
  } const cases[] = {
      {62000, RestartRule::kAfterASecond, MakeItemId(1, 2), {"code106:60000"}},  // 2 s in: restart the row
      {60500, RestartRule::kAfterASecond, MakeItemId(1, 2), {"code106:10000"}},  // first second: previous row
      {62000, RestartRule::kNever, MakeItemId(1, 2), {"code106:10000"}},         // the menu: back a row
      {500, RestartRule::kAfterASecond, MakeItemId(1, 0), {}},                   // first row: nothing
  };
  for (const Case& c : cases) {
    PlayFrom(c.positionMs);
    View().SetCurrentByKey(c.playing);
    ClearLog();
    PlayPreviousSubtrack(c.rule);
    EXPECT_EQ(Actions(), c.actions) << c.positionMs << " " << static_cast<int>(c.rule);
  }
}

// Ctrl+Left and UM_PREV_ENTRY take the restart rule through the command table; a plain Left is
// the player's.
TEST_F(StepTest, CtrlLeftAndThePreviousEntryMessageRestartTheRow) {
  UseSingleTrack("Concert", {10000, 60000});
  for (const bool byKey : {true, false}) {
    PlayFrom(62000);
    View().SetCurrentByKey(MakeItemId(1, 2));
    ClearLog();
    if (byKey) {
      EXPECT_TRUE(RunKeyCommand(VK_LEFT, true));
    } else {
      PostMessageA(ThePlugin().window.Get(), UM_PREV_ENTRY, 0, 0);
      EXPECT_TRUE(Pump());
    }
    EXPECT_EQ(Actions(), (Strings{"code106:60000"})) << byKey;
  }
  EXPECT_FALSE(RunKeyCommand(VK_LEFT, false));
}

TEST_F(StepTest, NextStepsThroughRowsAndStopsAtTheLast) {
  UseSingleTrack("Concert", {10000, 60000});
  PlayFrom(0);
  View().SetCurrentRow(-1);
  ClearLog();
  CmdNextSubtrack();  // no playing row: the first row
  CmdNextSubtrack();
  CmdNextSubtrack();
  CmdNextSubtrack();  // on the last row: nothing
  EXPECT_EQ(Actions(), (Strings{"code106:0", "code106:10000", "code106:60000"}));
}

TEST_F(StepTest, StepsCrossTracksInAMultiTrackList) {
  Player().SetPlaylist({{"D:\\Track01.cda", "Track 01", 0}, {"D:\\Track02.cda", "Track 02", 0}});
  UseCd(2, 1);
  List().tracks[0].AddSubtrack("Late", 30000);
  RebuildRows();
  PlayFrom(31000);
  View().SetCurrentByKey(MakeItemId(1, 1));
  ClearLog();
  CmdNextSubtrack();
  EXPECT_EQ(Actions(), (Strings{"cmd40047", "code121:1", "cmd40045"}));
  EXPECT_EQ(View().CurrentKey(), MakeItemId(2, 0));
}

TEST_F(StepTest, FirstSubtrackAndPlayTrack) {
  Player().SetPlaylist({{"D:\\Track01.cda", "1", 0}, {"D:\\Track02.cda", "2", 0}, {"D:\\Track03.cda", "3", 0}});
  Player().SetPlaylistPosition(2);
  UseCd(3, 3);
  PlayFrom(5000);
  ClearLog();
  CmdPlayTrack();  // the start of track 3, which plays
  EXPECT_EQ(Actions(), (Strings{"code106:0"}));
  EXPECT_EQ(View().CurrentKey(), MakeItemId(3, 0));
  ClearLog();
  CmdFirstSubtrack();  // switches the CD to track 1
  EXPECT_EQ(Actions(), (Strings{"cmd40047", "code121:0", "cmd40045"}));
}

TEST_F(StepTest, RepeatTogglesAndPlaysTheSelectedRow) {
  UseSingleTrack("Concert", {10000, 20000});
  PlayFrom(0);
  View().SetCurrentByKey(MakeItemId(1, 0));
  View().SelectByKey(MakeItemId(1, 2));
  ClearLog();
  CmdRepeat();
  EXPECT_EQ(g_shared.repeatItem, MakeItemId(1, 2));
  EXPECT_EQ(Actions(), (Strings{"code106:20000"}));
  ClearLog();
  CmdRepeat();
  EXPECT_EQ(g_shared.repeatItem, kNoItem);
  EXPECT_TRUE(Actions().empty());
  // The selected row already plays: repeat holds it without a jump.
  View().SetCurrentByKey(MakeItemId(1, 2));
  CmdRepeat();
  EXPECT_EQ(g_shared.repeatItem, MakeItemId(1, 2));
  EXPECT_TRUE(Actions().empty());
}

TEST_F(StepTest, PlaySelectedFromTheMenuAndTheList) {
  UseSingleTrack("Concert", {10000});
  PlayFrom(0);
  View().SelectByKey(MakeItemId(1, 1));
  ClearLog();
  EXPECT_TRUE(RunCommand(MAKEWPARAM(IDM_CONTEXT_PLAY, 1)));
  EXPECT_TRUE(RunCommand(IDM_PLAY_SELECTED));
  EXPECT_FALSE(RunCommand(IDM_SAVE_AS + 1));  // not in the table
  EXPECT_FALSE(RunCommand(MAKEWPARAM(1, 0)));
  EXPECT_EQ(Actions(), (Strings{"code106:10000", "code106:10000"}));
}

}  // namespace
}  // namespace tarnix::test
