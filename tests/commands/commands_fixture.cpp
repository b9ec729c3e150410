#include "commands_fixture.h"

#include <commctrl.h>

#include <cstdio>

#include "commands/commands.h"
#include "commands/editing.h"
#include "host/callback_guard.h"
#include "host/player_codes.h"
#include "host/timer_ids.h"
#include "plugin/message_loop.h"
#include "plugin/ui_thread.h"
#include "resources/resource_ids.h"
#include "testhost/player_directory.h"

namespace tarnix::test {

namespace {

std::string BesideProgram(const char* name) { return testhost::ProgramDirectory() + "\\" + name; }

// What the plug-in reads and writes beside its module (here the test program) at start-up and
// shutdown: the settings and the bookmark directory's index.
void RemovePluginFiles() {
  DeleteFileA(BesideProgram("plugin.ini").c_str());
  DeleteFileA(BesideProgram("gen_tarnix.idx").c_str());
}

void WriteSetting(const char* key, const std::string& value) {
  WritePrivateProfileStringA("Tarnix Plugin", key, value.c_str(), BesideProgram("plugin.ini").c_str());
}

// Takes the posted messages off the thread's queue without handling them; WM_PAINT is never
// removed by peeking and would keep the loop going.
void DropPostedMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) {}
}

}  // namespace

CommandsTest::CommandsTest() {
  player_.Player().SetPlaylist({{"C:\\Music\\concert.mp3", "Concert", 0}});

  // The test's thread is the UI thread: the real start-up, on a window of its own settings.
  Shared().instance = GetModuleHandleA(nullptr);
  Shared().playerWindow = player_.Window();
  Shared().uiThreadId.store(GetCurrentThreadId());
  Shared().repeatItem.store(kNoItem);
  ResetCallbackFailure();
  RemovePluginFiles();
  WriteSetting("WindowPosX", "40");
  WriteSetting("WindowPosY", "40");
  WriteSetting("WindowHeight", "174");
  WriteSetting("BookmarkPath", bookmarks_.Path());
  StartUp();
  StartTracking(ThePlugin());
  // The tests run the tick themselves.
  ThePlugin().StopTickTimer();

  PlaybackState& playback = ThePlugin().playback();
  playback.currentPath = "C:\\Music\\concert.mp3";
  playback.currentTitle = "Concert";
  playback.currentTrack = 1;
}

CommandsTest::~CommandsTest() {
  // Leftover posted messages (menu commands, UM_QUIT from a test) must not reach the next test.
  DropPostedMessages();
  ShutDown();
  DropPostedMessages();  // the window's WM_DESTROY posted WM_QUIT
  RemovePluginFiles();
}

void CommandsTest::UseSingleTrack(const char* title, const std::vector<int32_t>& times) {
  TrackList& list = ThePlugin().trackList();
  list.Reset(title, 1, 0);
  int i = 1;
  for (int32_t t : times) {
    char name[32];
    std::snprintf(name, sizeof(name), "Part %d", i++);
    list.tracks[0].AddSubtrack(name, t);
  }
  list.modified = false;
  ThePlugin().playback().currentTitle = title;
  ThePlugin().playback().currentTrack = 1;
  ThePlugin().playback().multiTrack = 0;
  RebuildRows(ThePlugin());
  View().Redraw();
}

void CommandsTest::UseCd(int tracks, int playing) {
  TrackList& list = ThePlugin().trackList();
  list.Reset("Track 01", tracks, 0x0E03C302);
  list.cdKey = 584277216;
  list.SetCurrentTrack(playing);
  list.modified = false;
  ThePlugin().playback().currentTrack = playing;
  ThePlugin().playback().multiTrack = 1;
  char path[64];
  std::snprintf(path, sizeof(path), "D:\\Track%02d.cda", playing);
  ThePlugin().playback().currentPath = path;
  RebuildRows(ThePlugin());
}

std::vector<std::string> CommandsTest::RowTexts() const {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < ThePlugin().list()->RowCount(); ++i) texts.push_back(ThePlugin().list()->TextAt(i)->c_str());
  return texts;
}

std::vector<int32_t> CommandsTest::RowKeys() const {
  std::vector<int32_t> keys;
  for (int32_t i = 0; i < ThePlugin().list()->RowCount(); ++i) keys.push_back(ThePlugin().list()->KeyAt(i));
  return keys;
}

std::vector<std::string> CommandsTest::Actions() {
  std::vector<std::string> actions;
  for (const testhost::PlayerRequest& r : player_.Player().Log().Snapshot()) {
    char text[64];
    if (r.message == WM_USER) {
      switch (r.lParam) {
        case kCodeIsPlaying:
        case kCodeOutputTime:
        case kCodePlaylistLength:
        case kCodePlaylistPosition:
        case kCodePlaylistFile:
        case kCodePlaylistTitle:
        case kCodePlaylistFileW:
        case kCodePlaylistTitleW:
        case kCodeSkinDirectory:
          continue;
        default:
          std::snprintf(text, sizeof(text), "code%ld:%lld", static_cast<long>(r.lParam),
                        static_cast<long long>(r.wParam));
      }
    } else if (r.message == WM_COMMAND) {
      std::snprintf(text, sizeof(text), "cmd%u", static_cast<unsigned>(LOWORD(r.wParam)));
    } else {
      continue;
    }
    actions.push_back(text);
  }
  return actions;
}

void CommandsTest::PlayFrom(int ms) {
  Player().Play();
  if (ms > 0) Player().Seek(ms);
}

bool CommandsTest::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!HandleLoopMessage(ThePlugin(), msg)) return false;
  }
  return true;
}

std::string ScreenshotPath(const std::string& name) {
  const std::string dir = testhost::ProgramDirectory() + "\\screenshots";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir + "\\" + name;
}

}  // namespace tarnix::test
