// The demo's scenes for listeners of long recordings: resuming where they left off, stopping at
// the end of a subtrack, and skipping marked subtracks.

#include "demo/demo_script.h"
#include "demo/sample_media.h"
#include "demo/sample_setup.h"
#include "testhost/input.h"
#include "testhost/pump.h"
#include "tracklist/msf.h"

namespace tarnix::demo {

namespace {

constexpr WORD kCmdStopAfterSubtrack = 40103;
constexpr WORD kCmdSkipSubtrack = 40104;
constexpr WPARAM kPlayerStop = 40047;

int32_t At(int minutes, int seconds, int frames = 0) { return TimeFromMsf(minutes, seconds, frames); }

// The last jump the plug-in asked the player for since request `from`, or -1.
int LastJumpSince(testhost::StandInPlayer& player, size_t from) {
  const auto requests = player.Log().Snapshot();
  int jump = -1;
  for (size_t i = from; i < requests.size(); ++i) {
    if (requests[i].IsCode(kCodeJumpToTime)) jump = static_cast<int>(requests[i].wParam);
  }
  return jump;
}

}  // namespace

void DemoScript::Resume() {
  log_.Plain("");
  log_.Plain("== 5. Resuming a long recording where it was left ==");
  testhost::StandInPlayer& player = session_.Player();
  UseList(kConcertListFile, false);
  log_.Line("the concert (2:10:00) was left in scene 1; it starts again from its beginning");
  size_t from = player.Log().Snapshot().size();
  PlayEntry(kConcertEntry, std::string("\"") + kConcertTitle + "\" from its start");
  Watch(1500);
  Expect(LastJumpSince(player, from) > At(100, 0), "the plug-in jumped back to where scene 1 left the concert");

  Seek(At(47, 10), "47:10, into \"The Long Road\"");
  player.Pause();
  log_.Line("player: pause at 47:10");
  Watch(1200);
  PlayEntry(kFestivalEntry, "another recording");
  Watch(1500);
  from = player.Log().Snapshot().size();
  PlayEntry(kConcertEntry, "the concert again, from its start");
  Watch(2500);
  Expect(LastJumpSince(player, from) == At(47, 5), "it resumed at 47:05, five seconds before where it was left");
  Shot("resumed");
}

void DemoScript::StopAfterSubtrack() {
  log_.Plain("");
  log_.Plain("== 6. Stop at the end of this subtrack ==");
  testhost::StandInPlayer& player = session_.Player();
  Seek(At(48, 10) - 6000, "6 s before \"Interlude\" (48:10)");
  Watch(600);
  const int stopsBefore = player.Log().CountCommand(kPlayerStop);
  Command(kCmdStopAfterSubtrack, "stop after this subtrack (T)");
  Watch(1200);
  Shot("stop-pending");
  Watch(5500);
  Expect(player.State() == testhost::PlayState::kStopped && player.Log().CountCommand(kPlayerStop) == stopsBefore + 1,
         "the player was stopped as \"The Long Road\" ended");
  Shot("stopped");
}

void DemoScript::SkipMarked() {
  log_.Plain("");
  log_.Plain("== 7. Skipping marked subtracks ==");
  testhost::StandInPlayer& player = session_.Player();
  // Select "Drum Solo" (row 6) and "Harbour Lights" (row 7) with the keys and mark them.
  testhost::PostKey(session_.Window(), VK_HOME);
  for (int i = 0; i < 6; ++i) testhost::PostKey(session_.Window(), VK_DOWN);
  testhost::PostKey(session_.Window(), 'K');
  testhost::PostKey(session_.Window(), VK_DOWN);
  testhost::PostKey(session_.Window(), 'K');
  log_.Line("keys: Home, Down x6, K (mark \"Drum Solo\"), Down, K (mark \"Harbour Lights\")");
  testhost::PumpFor(300);
  Command(kCmdSave, "save: the marks are kept in the list file");
  Watch(800);
  const auto saved = session_.Dir().ReadFile(std::string("Bookmarks\\") + kConcertListFile);
  Expect(saved && saved->find("[Skip  ] 01:77:30:00\r\n[Skip  ] 01:93:50:00\r\n") != std::string::npos,
         "the list file holds one header line per mark");

  const size_t from = player.Log().Snapshot().size();
  PlayEntry(kConcertEntry, "the concert");
  Watch(1000);
  Seek(At(77, 30) - 2000, "2 s before the marked \"Drum Solo\" (77:30)");
  Watch(3000);
  Expect(LastJumpSince(player, from) == At(99, 58), "both marked subtracks were jumped over to \"Before the Encore\"");
  Expect(session_.CurrentKey() == MakeItemId(1, 8), "\"Before the Encore\" plays");
  Shot("skipped");

  // The picture at the top of the README: marks, a pending stop and the progress at once.
  Command(kCmdStopAfterSubtrack, "stop after this subtrack (T)");
  Watch(1200);
  Shot("listening");
  Command(kCmdStopAfterSubtrack, "stop after this subtrack again: cancelled");
  Watch(600);
}

}  // namespace tarnix::demo
