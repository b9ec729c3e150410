// Following playback: which list a newly played entry gets, when the highlight moves, repeat,
// and the pop-up, seen through the plug-in window's key queries and the player's request log.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "testhost/request_log.h"
#include "tests/plugin/plugin_test.h"
#include "tests/plugin/timer_watch.h"
#include "tests/support/cda_bytes.h"
#include "tests/support/ui_driver.h"
#include "tracklist/cd_identity.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

using testhost::PlayerRequest;

const std::string kThreeSubtracks = "01:00:00:00*Opening\r\n01:00:01:00 Theme\r\n01:00:01:01 Close\r\n";

struct FindCase {
  const char* name;
  const char* fileName;  // of the stored list
  const char* album;
  const char* path;  // played entry
  const char* title;
  int32_t lastKey;
};

void ExpectListFor(const FindCase& c) {
  PluginSession h;
  ASSERT_TRUE(h.WriteBookmark(c.fileName, TrackFile(c.album, kThreeSubtracks)));
  h.Player().SetPlaylist({{c.path, c.title, 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == c.lastKey; }, 4000)) << c.name << ": " << *h.LastKey();
  EXPECT_TRUE(h.Stop());
}

// One process per case (each loads the DLL).
TEST(FindList, ByFileName) {
  ExpectListFor({"by file name", "live set.trk", "Live Set", "C:\\Music\\live set.mp3", "Live Set", MakeItemId(1, 2)});
}
TEST(FindList, ByTitle) {
  ExpectListFor(
      {"by title", "Evening Concert.trk", "Evening Concert", "C:\\x\\a.mp3", "Evening Concert", MakeItemId(1, 2)});
}
TEST(FindList, ByDirectorySearch) {
  ExpectListFor(
      {"by directory search", "zz.trk", "Evening Concert", "C:\\x\\b.mp3", "Evening Concert", MakeItemId(1, 2)});
}
TEST(FindList, GenericTrackTitleIsNotSearched) {
  ExpectListFor({"generic title", "zz.trk", "Track 07", "C:\\x\\c.mp3", "Track 07", MakeItemId(1, 0)});
}
TEST(FindList, TrackTitleEndingOtherwiseIsSearched) {
  ExpectListFor({"track 7 live", "zz.trk", "track 7 live", "C:\\x\\c.mp3", "track 7 live", MakeItemId(1, 2)});
}
TEST(FindList, DefaultListWhenNothingIsStored) {
  ExpectListFor({"nothing stored", "zz.trk", "Else", "C:\\x\\d.mp3", "Unknown thing", MakeItemId(1, 0)});
}

// A changed list is saved under its own entry's name on the way to the next entry, never over
// the stored list of the entry that starts.
TEST(FindList, ChangedListIsSavedUnderItsOwnNameAndTheNextListSurvives) {
  PluginSession h;
  const std::string stored = TrackFile("Second", kThreeSubtracks);
  ASSERT_TRUE(h.WriteBookmark("Second.trk", stored));
  h.SetPluginIni("AutoSave", "1");
  h.Player().SetPlaylist({{"C:\\x\\first.mp3", "First", 0}, {"C:\\x\\second.mp3", "Second", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 0); }, 4000));
  PostMessageA(h.Window(), WM_COMMAND, IDM_INSERT_SUBTRACK, 0);
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 1); }, 4000));
  h.Player().SetPlaylistPosition(1);
  h.Player().Play();
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 2); }, 4000)) << *h.LastKey();
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(h.Dir().ReadFile("Bookmarks\\Second.trk").value_or(""), stored);
  EXPECT_TRUE(h.Dir().Exists("Bookmarks\\First.trk"));
}

TEST(Tracking, CdGetsDefaultTrackListAndKeepsItOnTrackChange) {
  PluginSession h;
  for (int t = 1; t <= 3; ++t) {
    char name[32];
    std::snprintf(name, sizeof name, "CD\\Track%02d.cda", t);
    ASSERT_TRUE(h.Dir().WriteFile(name, testsupport::CdaHeaderBytes(t, 0x1234, (t - 1) * 20000, 20000)));
  }
  const std::string cd = h.Dir().Root() + "\\CD\\";
  h.Player().SetPlaylist({{cd + "Track01.cda", "Track 01", 0}, {cd + "Track02.cda", "Track 02", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  // Three tracks listed: the last row is track 3's start.
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(3, 0); }, 4000)) << *h.LastKey();
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 0); }, 3000));
  h.Player().SetPlaylistPosition(1);
  h.Player().Play();
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(2, 0); }, 3000)) << *h.CurrentKey();
  EXPECT_EQ(h.LastKey(), MakeItemId(3, 0));
  EXPECT_TRUE(h.Stop());
}

TEST(Tracking, CdIdentityFindsItsStoredList) {
  PluginSession h;
  for (int t = 1; t <= 2; ++t) {
    char name[32];
    std::snprintf(name, sizeof name, "CD\\Track%02d.cda", t);
    ASSERT_TRUE(h.Dir().WriteFile(name, testsupport::CdaHeaderBytes(t, 0x1234, (t - 1) * 20000, 20000)));
  }
  const std::string first = h.Dir().Root() + "\\CD\\Track01.cda";
  int count = 0;
  const uint32_t discId = ComputeDiscId(TextString(first.c_str()), &count);
  ASSERT_EQ(count, 2);
  char header[96];
  std::snprintf(header, sizeof header, "[CD key] %d\r\n[CDDBID] %08X\r\n", 0x1234, static_cast<unsigned>(discId));
  // Stored under a name that neither the title nor the file suggests: only the identity finds it.
  ASSERT_TRUE(h.WriteBookmark("my cd.trk", std::string(header) + TrackFile("Some Album",
                                                                           "01:00:00:00*One\r\n02:00:00:00*Two\r\n"
                                                                           "02:00:05:00 Two b\r\n")));
  h.Player().SetPlaylist({{first, "Track 01", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(2, 1); }, 4000)) << *h.LastKey();
  EXPECT_TRUE(h.Stop());
}

TEST(Tracking, TwoBoundariesTenMsApartAndTheNextTickLandsOnTheBoundary) {
  PluginSession h;
  ASSERT_TRUE(h.WriteBookmark("b.trk", TrackFile("Bounds", kThreeSubtracks)));  // 0, 1000 ms, 1013 ms
  h.Player().SetPlaylist({{"C:\\x\\b.mp3", "Bounds", 0}});
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 2); }, 4000)) << *h.LastKey();
  h.Player().Play();
  bool sawMiddle = false;
  ASSERT_TRUE(h.PumpUntil(
      [&] {
        const auto key = h.CurrentKey();
        if (key == MakeItemId(1, 1)) sawMiddle = true;
        return key == MakeItemId(1, 2);
      },
      4000));
  EXPECT_FALSE(sawMiddle) << "a subtrack 13 ms long is skipped";
  // When the timer lands on the boundary is the tick arithmetic's business, checked from tables
  // without a clock; here only the outcome counts.
  EXPECT_TRUE(h.Stop());
}

// Far from any boundary the ticks keep coming, and never sooner than half a second apart: a
// busy machine only makes them later, so only a timer set too short fails this.
TEST(Tracking, TicksKeepComingAndNeverSoonerThanHalfASecondWithoutNearBoundaries) {
  PluginSession h;
  ASSERT_TRUE(h.WriteBookmark("f.trk", TrackFile("Far", "01:00:00:00*Start\r\n01:10:00:00 Later\r\n")));
  h.Player().SetPlaylist({{"C:\\x\\f.mp3", "Far", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  auto positionRequests = [&] {
    std::vector<int64_t> times;
    for (const PlayerRequest& r : h.Player().Log().Snapshot())
      if (r.IsCode(kCodeOutputTime) && r.wParam == 0) times.push_back(r.timeMs);  // positions, not lengths
    return times;
  };
  ASSERT_TRUE(h.PumpUntil([&] { return positionRequests().size() >= 4; }, 20000));
  const std::vector<int64_t> times = positionRequests();
  // Timer messages are not queued twice, so a late tick is never followed by an early one; the
  // margin allows for the timer's granularity.
  for (size_t i = 1; i < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], 450) << i;
  EXPECT_TRUE(h.Stop());
}

TEST(Tracking, RepeatJumpsBackWhenPlaybackLeavesTheHeldRow) {
  PluginSession h;
  ASSERT_TRUE(h.WriteBookmark("r.trk", TrackFile("Rep", "01:00:00:00*Start\r\n01:00:01:00 Second\r\n")));
  h.Player().SetPlaylist({{"C:\\x\\r.mp3", "Rep", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 0); }, 3000));
  const int jumps = h.Player().Log().CountCode(kCodeJumpToTime);
  PostMessageA(h.Window(), WM_KEYDOWN, 'R', 0);  // hold playback in the playing row
  // Each time the position passes 1 s it leaves the held row and goes back to 0.
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountCode(kCodeJumpToTime) >= jumps + 2; }, 5000));
  EXPECT_LT(h.Player().PositionMs(), 1100);
  EXPECT_EQ(h.CurrentKey(), MakeItemId(1, 0));
  EXPECT_TRUE(h.Stop());
}

TEST(Tracking, RepeatRestartsTheHeldRowAtTheEndOfTheFile) {
  PluginSession h;
  h.Player().SetPlaylist({{"C:\\x\\long.mp3", "Long", 600000}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 0); }, 3000));
  PostMessageA(h.Window(), WM_KEYDOWN, 'R', 0);
  // The row is held before the file ends, however long starting took.
  ASSERT_TRUE(h.WaitForPostedMessages());
  ASSERT_EQ(h.Player().EndOfFileCount(), 0);
  h.Player().Seek(600000 - 300);
  // The file ends: the player is stopped (40047) and started again (40045).
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().EndOfFileCount() >= 1; }, 4000));
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountCommand(kCmdPlay) >= 1; }, 4000));
  EXPECT_GE(h.Player().Log().CountCommand(kCmdStop), 1);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().State() == testhost::PlayState::kPlaying; }, 2000));
  EXPECT_TRUE(h.Stop());
}

TEST(Tracking, AutoPopupShowsTheHiddenWindowWhenAListIsFound) {
  PluginSession h;
  h.SetPluginIni("Opened", "0");
  ASSERT_TRUE(h.WriteBookmark("p.trk", TrackFile("Pop", kThreeSubtracks)));
  h.Player().SetPlaylist({{"C:\\x\\other.mp3", "Other", 0}, {"C:\\x\\p.mp3", "Pop", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  // A tick looked for the playing file's list; it shows the window in the same step, before the
  // plug-in takes the next posted message.
  ASSERT_TRUE(h.PumpUntil([&] {
    return h.Player().Log().Count(
               [](const PlayerRequest& r) { return r.IsCode(kCodePlaylistFile) || r.IsCode(kCodePlaylistFileW); }) > 0;
  }));
  ASSERT_TRUE(h.WaitForPostedMessages());
  EXPECT_FALSE(h.Visible());
  h.Player().SetPlaylistPosition(1);
  h.Player().Play();
  EXPECT_TRUE(h.PumpUntil([&] { return h.Visible(); }, 3000));
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("Opened"), "1");
}

TEST(Tracking, WithoutAutoPopupAHiddenWindowStopsAsking) {
  PluginSession h;
  h.SetPluginIni("Opened", "0");
  h.SetPluginIni("AutoPopup", "0");
  h.Player().SetPlaylist({{"C:\\x\\other.mp3", "Other", 0}});
  ASSERT_TRUE(h.Start());
  h.Pump(700);
  const int asked = h.Player().Log().CountCode(kCodePlaylistPosition);
  h.Pump(1200);
  EXPECT_EQ(h.Player().Log().CountCode(kCodePlaylistPosition), asked);
  PostMessageA(h.Window(), UM_SHOW_WINDOW, 0, 0);  // showing runs a tick at once
  EXPECT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountCode(kCodePlaylistPosition) > asked; }, 3000));
  EXPECT_TRUE(h.Stop());
}

// Switches the player to entry `index` while it answers the next position request (code 105),
// the last request of a tick, so that no tick is under way after the switch.
class SwitchAtTickEnd {
 public:
  SwitchAtTickEnd(testhost::StandInPlayer& player, int index) : player_(player), index_(index) {
    active_ = this;
    original_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(player.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~SwitchAtTickEnd() {
    SetWindowLongPtrA(player_.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    active_ = nullptr;
  }
  SwitchAtTickEnd(const SwitchAtTickEnd&) = delete;
  SwitchAtTickEnd& operator=(const SwitchAtTickEnd&) = delete;

  // Requests logged before the switch; 0 until it happened.
  size_t SwitchedAt() const { return switchedAt_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SwitchAtTickEnd* self = active_;
    if (message == kPlayerRequest && lParam == kCodeOutputTime && self->switchedAt_ == 0) {
      self->switchedAt_ = LogSize(self->player_.Log());
      self->player_.SetPlaylistPosition(self->index_);
      self->player_.Play();  // on the player's thread: the notices are sent right here
    }
    return CallWindowProcA(self->original_, window, message, wParam, lParam);
  }

  static inline SwitchAtTickEnd* active_ = nullptr;
  testhost::StandInPlayer& player_;
  int index_;
  WNDPROC original_ = nullptr;
  size_t switchedAt_ = 0;
};

// Entry 0 has a stored list (last key MakeItemId(1, 2)), entry 1 none (default list, last key MakeItemId(1, 0)).
void StartOnTheListedEntry(PluginSession& h, bool notices) {
  ASSERT_TRUE(h.WriteBookmark("first.trk", TrackFile("First", kThreeSubtracks)));
  h.Player().SetPlaylist({{"C:\\x\\first.mp3", "First", 0}, {"C:\\x\\second.mp3", "Second", 0}});
  h.Player().SetPlayingNotices(notices);
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 2); }, 4000));
}

// With the player's playing-file notices the new list is asked for before any timer tick could
// run; without them the timer still finds it.
void ExpectSongChangeFollowed(bool notices) {
  PluginSession h;
  StartOnTheListedEntry(h, notices);
  TimerWatch timers(h.UiThreadId(), h.Player().Log());
  ASSERT_TRUE(timers.Ok());
  SwitchAtTickEnd switcher(h.Player(), 1);
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 0); }, 4000));
  const auto log = h.Player().Log().Snapshot();
  size_t asked = log.size();  // the plug-in's first request for the new entry's path
  for (size_t i = switcher.SwitchedAt(); i < log.size() && asked == log.size(); ++i)
    if (log[i].IsCode(kCodePlaylistFileW) && log[i].wParam == 1) asked = i;
  ASSERT_LT(asked, log.size());
  EXPECT_EQ(timers.TimerBetween(switcher.SwitchedAt(), asked), !notices);
  EXPECT_EQ(h.Player().PlayingNoticeCount() > 0, notices);
  EXPECT_TRUE(h.Stop());
}

TEST(Tracking, PlayingFileNoticeShowsTheNewListBeforeAnyTimerTick) { ExpectSongChangeFollowed(true); }

TEST(Tracking, WithoutNoticesTheTimerFollowsTheSongChange) { ExpectSongChangeFollowed(false); }

// Without "Popup if bookmarks are found" the tick stops while the window is hidden: showing it
// again, by each path, must check the player at once and start the timer again.
void ExpectShowingResumesTracking(const std::function<void(PluginSession&)>& hide,
                                  const std::function<void(PluginSession&)>& show) {
  PluginSession h;
  h.SetPluginIni("AutoPopup", "0");
  StartOnTheListedEntry(h, false);  // only the timer follows the player here
  TimerWatch timers(h.UiThreadId(), h.Player().Log());
  ASSERT_TRUE(timers.Ok());
  hide(h);
  ASSERT_TRUE(h.PumpUntil([&] { return !h.Visible(); }, 3000));
  const int beforePause = timers.Count();
  ASSERT_TRUE(h.PumpUntil([&] { return timers.Count() > beforePause; }, 3000)) << "no tick while hidden";
  h.Player().SetPlaylistPosition(1);  // a song change while hidden
  h.Player().Play();
  show(h);
  EXPECT_TRUE(h.PumpUntil([&] { return h.Visible(); }, 3000));
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 0); }, 3000)) << "the song change was missed";
  const int resumed = timers.Count();
  EXPECT_TRUE(h.PumpUntil([&] { return timers.Count() > resumed; }, 3000)) << "the timer stays stopped";
  EXPECT_TRUE(h.Stop());
}

void HideByMessage(PluginSession& h) { PostMessageA(h.Window(), UM_HIDE_WINDOW, 0, 0); }

TEST(Tracking, ShowingThroughConfigResumesTracking) {
  ExpectShowingResumesTracking(HideByMessage, [](PluginSession& h) { h.Loader()->Config(); });
}

TEST(Tracking, ShowingThroughTheOptionsCommandResumesTracking) {
  ExpectShowingResumesTracking(HideByMessage,
                               [](PluginSession& h) { PostMessageA(h.Window(), WM_COMMAND, IDM_OPTIONS, 0); });
}

TEST(Tracking, ShowingWithThePlayerWindowResumesTracking) {
  ExpectShowingResumesTracking(HideByMessage, [](PluginSession& h) {
    ShowWindow(h.Player().Window(), SW_HIDE);
    ShowWindow(h.Player().Window(), SW_SHOW);  // the hook shows the plug-in window
  });
}

// Windows hides and shows a minimised and restored window's owned windows the way
// ShowOwnedPopups does (WM_SHOWWINDOW with SW_PARENTCLOSING, SW_PARENTOPENING); Wine leaves them.
TEST(Tracking, RestoringTheMinimisedPlayerResumesTracking) {
  ExpectShowingResumesTracking(
      [](PluginSession& h) {
        h.Player().Minimise();
        ShowOwnedPopups(h.Player().Window(), FALSE);
      },
      [](PluginSession& h) {
        h.Player().Restore();
        ShowOwnedPopups(h.Player().Window(), TRUE);
      });
}

TEST(Tracking, QuittingWhileThePlayerIsMinimisedKeepsTheWindowOpenForTheNextStart) {
  PluginSession h;
  h.SetPluginIni("Opened", "1");
  StartOnTheListedEntry(h, false);
  ASSERT_TRUE(h.PumpUntil([&] { return h.Visible(); }, 3000));
  h.Player().Minimise();
  ShowOwnedPopups(h.Player().Window(), FALSE);
  ASSERT_TRUE(h.PumpUntil([&] { return !h.Visible(); }, 3000));
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("Opened"), "1");
}

TEST(Tracking, HotKeyToggleResumesTracking) {
  ExpectShowingResumesTracking([](PluginSession& h) { PostMessageA(h.Window(), UM_TOGGLE_WINDOW, 0, 0); },
                               [](PluginSession& h) { PostMessageA(h.Window(), UM_TOGGLE_WINDOW, 0, 0); });
}

}  // namespace
}  // namespace tarnix::test
