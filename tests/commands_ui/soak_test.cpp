// A month in the player, compressed: thousands of song changes across stored, imported, default,
// CD and subsong lists, the window hidden and shown, skins changed, dialogs and message boxes opened, lists edited and
// saved. After a warm-up neither the live handles nor the process's memory may grow.

#include <windows.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "commands/commands.h"
#include "commands/dialogs.h"
#include "commands/editing.h"
#include "commands_fixture.h"
#include "host/list_placement.h"
#include "host/player_codes.h"
#include "host/skin_adoption.h"
#include "host/user_messages.h"
#include "session/playback_tracking.h"
#include "session/player_following.h"
#include "tests/support/cda_bytes.h"
#include "tests/support/ui_driver.h"
#include "win32/handles.h"

namespace tarnix::test {
namespace {

constexpr int kSongChanges = 10000;
constexpr int kWarmUp = kSongChanges / 10;
constexpr int kShowEvery = kSongChanges / 500;  // 500 hides and shows
constexpr int kSkinEvery = kSongChanges / 100;  // 100 skin changes, dialog and box openings
constexpr int kEditEvery = kSongChanges / 200;  // 200 edits, each saved at the next song change
// What the heap may gain after the warm-up: caches settling, not a leak per song change.
constexpr long long kMemorySlackBytes = 2 << 20;

struct Figures {
  long live[static_cast<int>(LiveKind::kCount)];
  DWORD gdi, user, handles;
  long long memory;
};

Figures Measure() {
  Figures f{};
  for (int k = 0; k < static_cast<int>(LiveKind::kCount); ++k) f.live[k] = LiveObjects(static_cast<LiveKind>(k));
  f.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  f.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  GetProcessHandleCount(GetCurrentProcess(), &f.handles);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  // Wine leaves PrivateUsage at 0; the commit charge is the same figure on Windows.
  f.memory = static_cast<long long>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
  return f;
}

void Print(const char* when, const Figures& f) {
  std::printf(
      "soak %-8s gdi objects %ld, dcs %ld, windows %ld, menus %ld, hooks %ld, kernel %ld; system: gdi %lu, "
      "user %lu, handles %lu; private bytes %lld\n",
      when, f.live[0], f.live[1], f.live[2], f.live[3], f.live[4], f.live[5], f.gdi, f.user, f.handles, f.memory);
}

// Presses OK on every message box of one thread as soon as it shows, until destroyed.
class BoxPresser {
 public:
  explicit BoxPresser(DWORD thread)
      : thread_([this, thread] {
          while (!stop_) {
            if (HWND box = testsupport::FindThreadWindow(thread, "MyMessageBox")) {
              if (IsWindowVisible(box)) PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(2);
          }
        }) {}
  ~BoxPresser() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class SoakTest : public CommandsTest {};

TEST_F(SoakTest, AMonthOfUseLeaksNothing) {
  bookmarks_.Write("Evening.trk",
                   "[Album ] Evening\r\n[Artist] Tester\r\n01:00:00:00*Opening\r\n01:01:00:00 Theme\r\n");
  const std::string recording = bookmarks_.Write("recording.flac", "");
  bookmarks_.Write("recording.cue",
                   "FILE \"recording.flac\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n"
                   "    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    TITLE \"Two\"\r\n"
                   "    INDEX 01 01:00:00\r\n");
  const std::string cd = bookmarks_.Write("Track01.cda", testsupport::CdaHeaderBytes(1, 0x22D3A660, 0, 75 * 200));
  Player().SetPlaylist({{"C:\\Music\\evening.mp3", "Evening", 0},
                        {recording, "Recording", 0},
                        {"C:\\Music\\unknown.mp3", "Nothing stored for this", 0},
                        {cd, "Track 01", 0},
                        {"C:\\Music\\game.nsf", "Game music", 0}});
  ThePlugin().settings.autoSave = true;
  ThePlugin().settings.autoPopup = true;

  BoxPresser presser(GetCurrentThreadId());
  Figures warm{};
  DWORD songMs = 0, otherMs = 0, windowsMs = 0;  // where the time goes, for the log
  for (int i = 0; i < kSongChanges; ++i) {
    if (i == kWarmUp) warm = Measure();
    const DWORD songStart = GetTickCount();
    Player().SetPlaylistPosition(i % 5);
    Player().Play();
    TimerTick();
    if (i % 5 == 4) {
      // A subsong source announces the file's subsongs, as the window procedure hands them on.
      uint32_t* record = ThePlugin().playback.subsongRecord;
      record[kSubsongRecordCountWord] = 12;
      record[kSubsongRecordThreadWord] = GetCurrentThreadId();
      OnSubsongInfo(record);
    }
    if (i < 5) {
      // Each kind of list is what the entry gets.
      const bool expected[] = {List().album == "Evening", List().TrackCount() == 1 && List().tracks[0].Count() == 2,
                               List().TrackCount() == 1 && List().tracks[0].Count() == 1, List().cddbId != 0,
                               List().TrackCount() == 12};
      ASSERT_TRUE(expected[i]) << "entry " << i << ": " << List().TrackCount() << " tracks, album "
                               << List().album.c_str() << ", path " << ThePlugin().playback.currentPath.c_str()
                               << ", title " << ThePlugin().playback.currentTitle.c_str();
    }
    const DWORD otherStart = GetTickCount();
    songMs += otherStart - songStart;
    if (i % kShowEvery == 0) {
      HidePluginWindow();
      ShowBesidePlayer(SWP_NOACTIVATE);
    }
    if (i % kEditEvery == 0) {
      // An edit of whatever list plays, saved by the next song change; every second one takes
      // the previous one back, so the stored lists don't grow.
      if (List().TrackCount() > 0 && List().tracks[0].Count() > 1 && i % (2 * kEditEvery) != 0)
        List().tracks[0].subtracks.pop_back();
      else if (List().TrackCount() > 0)
        List().tracks[0].AddSubtrack("Edit", 600000);
      List().modified = true;
    }
    if (i % kSkinEvery == 0) {
      const DWORD windowsStart = GetTickCount();
      CheckSkin(true);
      OpenTrackDialog();
      CloseTrackDialog(false);
      OpenSubtrackDialog();
      CloseSubtrackDialog();
      ShowOptionsDialog();
      ShowWindow(ThePlugin().optionsDialog.Get(), SW_HIDE);
      // The box is made and ended (0: it could not be made); what ends it is not the point here,
      // and keys that other tests on the same desktop type may reach it first.
      EXPECT_NE(TellUser("A message", MB_OK), 0) << i;
      windowsMs += GetTickCount() - windowsStart;
    }
    ClearLog();  // the stand-in player's record of requests would grow
    ASSERT_TRUE(Pump()) << i;
    otherMs += GetTickCount() - otherStart;
  }
  std::printf("soak time: song changes %lu ms, the rest %lu ms (skins, dialogs and boxes %lu ms)\n", songMs, otherMs,
              windowsMs);
  const Figures end = Measure();
  Print("warm-up", warm);
  Print("end", end);
  for (int k = 0; k < static_cast<int>(LiveKind::kCount); ++k) EXPECT_EQ(end.live[k], warm.live[k]) << "kind " << k;
  EXPECT_LE(end.gdi, warm.gdi);
  EXPECT_LE(end.user, warm.user);
  EXPECT_LE(end.handles, warm.handles);
  EXPECT_LE(end.memory - warm.memory, kMemorySlackBytes);
}

}  // namespace
}  // namespace tarnix::test
