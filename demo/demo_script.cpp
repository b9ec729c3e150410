#include "demo/demo_script.h"

#include "demo/row_text.h"
#include "demo/sample_media.h"
#include "demo/sample_setup.h"
#include "import/cue_sheet.h"
#include "import/imported_list.h"
#include "testhost/input.h"
#include "testhost/pump.h"
#include "testhost/request_log.h"
#include "testhost/wide_names.h"
#include "tracklist/msf.h"

#include <cstdio>
#include <cstdlib>

namespace tarnix::demo {

namespace {

constexpr int kWatchStepMs = 40;
constexpr int kBookmarkPollMs = 300;
constexpr DWORD kQueryTimeoutMs = 3000;
// A position that moved back more than this, or ahead of the clock by more, was a jump.
constexpr int kJumpToleranceMs = 600;

std::string Hex(ItemId key) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(key));
  return text;
}

int32_t At(int minutes, int seconds, int frames = 0) { return TimeFromMsf(minutes, seconds, frames); }

}  // namespace

DemoScript::DemoScript(PluginSession& session, DemoLog& log, Screenshots& shots)
    : session_(session), log_(log), shots_(shots), watch_(session.Dir().Bookmarks()) {}

bool DemoScript::Run() {
  log_.Line("Bookmarks\\ holds " + std::string(kConcertListFile) + " and " + kCdListFile +
            ", written by the track list library's Save");
  Shot("started");
  Concert();
  AudioCd();
  Subsongs();
  CueSheet();
  Resume();
  StopAfterSubtrack();
  SkipMarked();
  NamesInEveryScript();
  return ok_;
}

// ---------------------------------------------------------------------------------------------
// The concert: a 2 h 10 min file whose stored list has subtracks past 100 minutes.

void DemoScript::Concert() {
  log_.Plain("");
  log_.Plain("== 1. A long concert recording (2:10:00) with a stored list ==");
  testhost::StandInPlayer& player = session_.Player();
  UseList(kConcertListFile, false);
  PlayEntry(kConcertEntry, std::string("\"") + kConcertTitle + "\"");
  Watch(1500);
  const auto last = session_.LastKey();
  Expect(last && *last == MakeItemId(1, reference_.tracks[0].Count() - 1),
         "the plug-in shows the stored list (its last row is the last subtrack)");
  Shot("concert-found");

  Seek(At(19, 5, 30) - 2000, "2 s before \"Night Train\" (19:05:30)");
  Watch(3000);
  Seek(At(99, 58) - 1500, "1.5 s before \"Before the Encore\" (99:58)");
  Watch(2200);
  Seek(At(101, 15, 40) - 1500, "1.5 s before \"Encore: Old Hall Blues\" (101:15:40), past 100 minutes");
  Watch(2500);
  Expect(session_.CurrentKey() == MakeItemId(1, 9), "the row past 100 minutes is highlighted");
  Shot("past-100-minutes");

  Command(kCmdNextSubtrack, "next subtrack");
  Watch(1000);
  Command(kCmdNextSubtrack, "next subtrack");
  Watch(1000);
  Expect(session_.CurrentKey() == MakeItemId(1, 11), "two steps forward reach \"Applause\"");
  Command(kCmdPreviousSubtrack, "previous subtrack (menu: no restart rule)");
  Watch(2200);
  session_.Post(UM_PREV_ENTRY);
  commandPending_ = true;
  log_.Line("posted UM_PREV_ENTRY (Ctrl+Left): more than 1 s into the row, so it restarts the row");
  Watch(1200);
  Shot("next-and-previous");

  // Insert a subtrack at the playing time; it becomes the selected and the playing row.
  Seek(At(112, 32), "into \"Encore: Old Hall Blues\", 8 s before the next boundary");
  Watch(700);
  Command(kCmdInsertSubtrack, "insert subtrack at the playing time");
  // Saved at once, so that the new row's text can be read from the file the plug-in writes.
  testhost::PumpFor(150);
  Command(kCmdSave, "save (the list has its path: written without a dialog)");
  Watch(800);
  Expect(session_.LastKey() == MakeItemId(1, 12), "the list has one row more");
  Shot("inserted");

  EditSubtrackName("Guitar Solo");
  Command(kCmdSave, "save the edited name");
  Watch(1000);

  // Repeat holds playback in the new subtrack: at its end the plug-in jumps back to its start.
  Command(kCmdRepeat, "repeat on (the selected row is the playing one)");
  Watch(300);
  Seek(At(112, 37), "3 s before the repeated subtrack ends");
  const int before = player.PositionMs();
  Watch(4500);
  const int after = player.PositionMs();
  Expect(after >= 0 && after < At(112, 40) && after < before + 4000,
         "with repeat on, playback jumped back into the repeated subtrack");
  Shot("repeat");
  Command(kCmdRepeat, "repeat off");
  Watch(300);
  Seek(At(112, 38), "2 s before the boundary, repeat off");
  Watch(3000);
  Expect(session_.CurrentKey() == MakeItemId(1, 11), "without repeat playback runs on into the next row");
}

void DemoScript::EditSubtrackName(const std::string& name) {
  Command(kCmdEditSubtrack, "open \"Edit subtrack\" for the selected row");
  HWND dialog = nullptr;
  testhost::PumpUntil(
      [&] {
        dialog = FindThreadWindow(session_.UiThreadId(), kEditSubtrackCaption);
        return dialog != nullptr && IsWindowVisible(dialog);
      },
      5000);
  if (dialog == nullptr || !IsWindowVisible(dialog)) {
    Expect(false, "the \"Edit subtrack\" dialog opened");
    return;
  }
  HWND field = GetDlgItem(dialog, kEditSubtrackName);
  const auto shown = [field] {
    wchar_t text[256] = {};
    GetWindowTextW(field, text, 256);
    return testhost::Utf8Name(text);
  };
  log_.Line("\"Edit subtrack\" is open; its name field shows \"" + shown() + "\"");
  // Typed as a user would: the whole name selected, then one character message per key.
  PostMessageW(field, EM_SETSEL, 0, -1);
  for (wchar_t c : testhost::WideName(name)) PostMessageW(field, WM_CHAR, c, 1);
  Watch(600);
  log_.Line("typed \"" + name + "\"; the name field now shows \"" + shown() + "\"");
  Shot("edit-subtrack-dialog");
  testhost::PostKey(field, VK_ESCAPE);  // Esc closes the dialog and keeps the edits
  const bool closed = testhost::PumpUntil([&] { return !IsWindowVisible(dialog); }, 2000);
  Expect(closed, "Esc closed the dialog");
  Watch(300);
}

// ---------------------------------------------------------------------------------------------
// The audio CD: three ".CDA" track files; its list is found by the disc's identity.

void DemoScript::AudioCd() {
  log_.Plain("");
  log_.Plain("== 2. An audio CD of three tracks (.CDA files in a folder of their own) ==");
  char identity[128];
  std::snprintf(identity, sizeof identity, "the disc: volume serial %d, CDDB disc id %08X",
                static_cast<int>(kSampleDiscSerial), static_cast<unsigned>(SampleDiscId()));
  log_.Line(identity);
  testhost::StandInPlayer& player = session_.Player();
  UseList(kCdListFile, true);
  PlayEntry(kCdFirstEntry, "CD\\Track01.cda");
  Watch(1500);
  Expect(session_.LastKey() == MakeItemId(3, 2), "the CD's stored list was found by its identity");
  Shot("cd-found");

  Seek(At(1, 20) - 1500, "1.5 s before \"First light\" (1:20)");
  Watch(2500);
  Command(kCmdNextSubtrack, "next subtrack");
  Watch(1000);
  Command(kCmdNextSubtrack, "next subtrack: the start of CD track 2, another playlist entry");
  Watch(1800);
  Expect(player.PlaylistPosition() == kCdFirstEntry + 1, "the plug-in switched the player to Track02.cda");
  Expect(session_.CurrentKey() == MakeItemId(2, 0), "track 2's row is the playing row");
  Shot("cd-track-2");
  Seek(At(2, 0) - 1500, "1.5 s before \"Walk\" (2:00 in track 2)");
  Watch(2500);
  Command(kCmdPreviousSubtrack, "previous subtrack");
  Watch(800);
  Command(kCmdPreviousSubtrack, "previous subtrack: back into CD track 1");
  Watch(1800);
  Expect(player.PlaylistPosition() == kCdFirstEntry, "the plug-in switched the player back to Track01.cda");
  Shot("cd-back-to-track-1");
  Command(kCmdFirstSubtrack, "first subtrack");
  Watch(1200);
}

// ---------------------------------------------------------------------------------------------
// A file with subsongs, announced by the test host's subsong source.

void DemoScript::Subsongs() {
  log_.Plain("");
  log_.Plain("== 3. A file with subsongs, announced by a subsong source ==");
  source_ = std::make_unique<testhost::SubsongSource>(session_.Window());
  const auto& names = SubsongNames();
  reference_.Reset(kSubsongTitle, static_cast<int>(names.size()), 0xFFFFFFFFu);
  for (size_t i = 0; i < names.size(); ++i) reference_.tracks[i].RenameSubtrack(0, names[i].c_str());
  multiTrack_ = true;
  referenceFile_.clear();
  log_.Line("row texts from now on: the list the plug-in makes for the announced subsongs");

  PlayEntry(kSubsongEntry, std::string("\"") + kSubsongTitle + "\"");
  Expect(source_->Announce(static_cast<int>(names.size())), "UM_SUBSONG_INFO was taken");
  for (size_t i = 0; i < names.size(); ++i) source_->SetTrackName(static_cast<int>(i), names[i]);
  source_->SubsongChanged(0);
  log_.Line("source: announced 4 subsongs, sent their names and \"subsong 0 plays\"");
  Watch(1500);
  Expect(session_.LastKey() == MakeItemId(4, 0), "one row per subsong under the header");
  Shot("subsongs");

  for (int step = 0; step < 2; ++step) {
    Command(kCmdNextSubtrack, "next subtrack (the plug-in asks the source for the next subsong)");
    AnswerSubsongRequests();
    Watch(1000);
  }
  Expect(session_.CurrentKey() == MakeItemId(3, 0), "the third subsong plays");
  Command(kCmdPreviousSubtrack, "previous subtrack");
  AnswerSubsongRequests();
  Watch(1000);
  const auto sourceKey = source_->CurrentKey();
  log_.Line("source asks UM_GET_CURRENT_KEY: " + (sourceKey ? Hex(static_cast<ItemId>(*sourceKey)) : "(no answer)"));
  Shot("subsong-2");
}

// ---------------------------------------------------------------------------------------------
// A recording that carries its subtracks in a cue sheet beside it, with no stored list.

void DemoScript::CueSheet() {
  log_.Plain("");
  log_.Plain("== 4. A festival set with the cue sheet its ripper wrote, no stored list ==");
  source_.reset();
  ChapterSet sheet;
  if (!ParseCueSheet(FestivalCueSheet(), kFestivalFile, true, &sheet) ||
      !MakeImportedList(sheet, kFestivalTitle, &reference_)) {
    Expect(false, "the sample cue sheet reads");
    return;
  }
  multiTrack_ = false;
  referenceFile_.clear();
  log_.Line("row texts from now on: the list made from Music\\Festival Live Set.cue");

  PlayEntry(kFestivalEntry, std::string("\"") + kFestivalTitle + "\"");
  Watch(1500);
  const auto last = session_.LastKey();
  Expect(last && *last == MakeItemId(1, reference_.tracks[0].Count() - 1),
         "the plug-in shows the cue sheet's five tracks at the first play");
  Shot("cue-sheet");
  Seek(At(27, 45, 37) - 1500, "1.5 s before \"Guest Singer - Tide\" (27:45:37)");
  Watch(2500);
  Expect(session_.CurrentKey() == MakeItemId(1, 2), "the sheet's third track is highlighted at its INDEX 01");
  Expect(SnapshotDirectory(watch_.Directory()).count(std::string(kFestivalTitle) + ".trk") == 0,
         "nothing is written for an import the user did not edit");
}

// ---------------------------------------------------------------------------------------------
// Titles, names and a folder in scripts the code page cannot hold: each title finds its own
// list, and the cue sheet in the Cyrillic folder is read with its names whole.

void DemoScript::NamesInEveryScript() {
  log_.Plain("");
  log_.Plain("== 5. Names in every script: Japanese and Cyrillic titles, a Greek cue sheet ==");
  UseList(std::string(kJapaneseTitle) + ".trk", false);
  PlayEntry(kJapaneseEntry, std::string("\"") + kJapaneseTitle + "\"");
  Watch(1500);
  Expect(session_.LastKey() == MakeItemId(1, 2), "the Japanese title finds its own stored list");
  Shot("names-japanese");
  EditSubtrackName("春の雨 (ライブ)");
  Command(kCmdSave, "save: the list holds texts the code page cannot, so it is written as UTF-8 after the mark");
  Watch(1000);

  UseList(std::string(kCyrillicTitle) + ".trk", false);
  PlayEntry(kCyrillicEntry, std::string("\"") + kCyrillicTitle + "\"");
  Watch(1500);
  Expect(session_.LastKey() == MakeItemId(1, 2), "the Cyrillic title finds its own list, not the Japanese one");
  Shot("names-cyrillic");

  ChapterSet sheet;
  const std::string file = std::string(kGreekTitle) + ".flac";
  if (!ParseCueSheet(GreekCueSheet(), file, true, &sheet) || !MakeImportedList(sheet, kGreekTitle, &reference_)) {
    Expect(false, "the Greek cue sheet reads");
    return;
  }
  referenceFile_.clear();
  log_.Line(std::string("row texts from now on: the list made from Music\\") + kNamesFolder + "\\" + kGreekTitle +
            ".cue");
  PlayEntry(kGreekSheetEntry, std::string("\"") + kGreekTitle + "\" in Music\\" + kNamesFolder);
  Watch(1500);
  Expect(session_.LastKey() == MakeItemId(1, 3), "the sheet beside the file in the Cyrillic folder is imported");
  Seek(At(4, 0) - 1000, "1 s before \"Вальс\" (4:00)");
  Watch(2000);
  Expect(session_.CurrentKey() == MakeItemId(1, 2), "the Cyrillic row plays");
  Shot("names-cue-sheet");
}

void DemoScript::AnswerSubsongRequests() {
  if (!source_->WaitForPlayRequests(subsongRequests_ + 1, 3000)) {
    Expect(false, "the plug-in posted UM_PLAY_SUBSONG to the source");
    return;
  }
  const auto requests = source_->PlayRequests();
  for (; subsongRequests_ < requests.size(); ++subsongRequests_) {
    const int subsong = static_cast<int>(requests[subsongRequests_].subsong);
    log_.Line("source got UM_PLAY_SUBSONG " + std::to_string(subsong) + ": starts it and sends UM_SUBSONG_CHANGED");
    session_.Player().Seek(0);
    ForgetPosition();
    source_->SubsongChanged(subsong);
  }
}

// ---------------------------------------------------------------------------------------------

void DemoScript::Watch(int ms) {
  const std::int64_t end = testhost::SteadyMs() + ms;
  std::int64_t nextPoll = 0;
  testhost::StandInPlayer& player = session_.Player();
  while (testhost::SteadyMs() < end) {
    testhost::PumpFor(kWatchStepMs);
    LogPlayerRequests();
    const std::int64_t now = testhost::SteadyMs();
    if (now >= nextPoll) {
      PollBookmarks();
      nextPoll = now + kBookmarkPollMs;
    }
    const int position = player.PositionMs();
    if (lastPosition_ >= 0 && position >= 0) {
      const int expected = lastPosition_ + static_cast<int>(now - lastPositionAt_);
      if (position < lastPosition_ - kJumpToleranceMs || position > expected + kJumpToleranceMs) {
        log_.Line("position jumped " + FormatPosition(lastPosition_) + " -> " + FormatPosition(position) +
                  (commandPending_ ? " (the command's jump)" : " (the plug-in's own jump)"));
        commandPending_ = false;
      }
    }
    lastPosition_ = position;
    lastPositionAt_ = now;
    const auto key = session_.CurrentKey();
    if (key && *key != lastKey_) {
      lastKey_ = *key;
      log_.Line("highlight -> " + State(*key));
    }
  }
}

std::string DemoScript::State(ItemId key) {
  const std::string text = RowText(reference_, key, multiTrack_);
  return "pos " + FormatPosition(session_.Player().PositionMs()) + " | row " + Hex(key) + " (" + DescribeKey(key) +
         ") \"" + Printable(text) + "\"";
}

void DemoScript::Seek(int ms, const std::string& why) {
  session_.Player().Seek(ms);
  ForgetPosition();
  commandPending_ = false;
  log_.Line("player: seek to " + FormatPosition(ms) + " - " + why);
}

void DemoScript::Command(WORD id, const std::string& label) {
  const auto key = session_.CurrentKey();
  // Key only: the row's text may not be in a written file yet (an insert not saved so far).
  std::string before = "pos " + FormatPosition(session_.Player().PositionMs());
  if (key) before += " | row " + Hex(*key) + " (" + DescribeKey(*key) + ")";
  const bool posted = session_.Command(id);
  log_.Line("command " + std::to_string(id) + " (" + label + ")" + (posted ? "" : " could not be posted") + " at " +
            before);
  commandPending_ = true;
}

void DemoScript::PlayEntry(int index, const std::string& what) {
  session_.Player().SetPlaylistPosition(index);
  session_.Player().Play();
  ForgetPosition();
  log_.Line("player: play entry " + std::to_string(index) + ", " + what);
}

void DemoScript::ForgetPosition() {
  lastPosition_ = session_.Player().PositionMs();
  lastPositionAt_ = testhost::SteadyMs();
}

void DemoScript::LogPlayerRequests() {
  const auto requests = session_.Player().Log().Snapshot();
  for (; seenRequests_ < requests.size(); ++seenRequests_) {
    const testhost::PlayerRequest& r = requests[seenRequests_];
    std::string what;
    if (r.IsCommand(kCmdPlay)) {
      what = "WM_COMMAND 40045 (play)";
    } else if (r.IsCommand(kCmdStop)) {
      what = "WM_COMMAND 40047 (stop)";
    } else if (r.message == WM_COMMAND) {
      what = "WM_COMMAND " + std::to_string(LOWORD(r.wParam));
    } else if (r.IsCode(kCodeJumpToTime)) {
      what = "jump to " + FormatPosition(static_cast<int>(r.wParam)) + " (code 106)";
    } else if (r.IsCode(kCodeSetPlaylistPosition)) {
      what = "playlist position " + std::to_string(static_cast<long long>(r.wParam)) + " (code 121)";
    } else {
      continue;  // the plug-in's polling (position, entry, title, skin) is not news
    }
    log_.Line("plug-in -> player: " + what);
  }
}

void DemoScript::Shot(const std::string& name) {
  PollBookmarks();
  std::vector<HWND> others = {session_.Player().Window()};
  if (HWND dialog = FindThreadWindow(session_.UiThreadId(), kEditSubtrackCaption)) others.push_back(dialog);
  const std::string file = shots_.Take(name, session_.Window(), others);
  log_.Line(file.empty() ? "screenshot \"" + name + "\" could not be written" : "screenshot " + file);
}

void DemoScript::Expect(bool ok, const std::string& what) {
  if (!ok) ok_ = false;
  log_.Line(std::string(ok ? "ok: " : "NOT AS EXPECTED: ") + what);
}

void DemoScript::PollBookmarks() {
  for (const ChangedFile& file : watch_.Poll()) {
    const std::string path = watch_.Directory() + "\\" + file.name;
    log_.Line("Bookmarks\\" + file.name + " " + ChangeName(file.change) + " by the plug-in");
    if (file.change == FileChange::kRemoved) continue;
    if (const auto bytes = session_.Dir().ReadFile("Bookmarks\\" + file.name)) {
      size_t start = 0;
      while (start < bytes->size()) {
        size_t end = bytes->find('\n', start);
        if (end == std::string::npos) end = bytes->size();
        std::string line = bytes->substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        log_.Plain("            | " + line);
        start = end + 1;
      }
    }
    if (file.name == referenceFile_) {
      UseList(referenceFile_, multiTrack_);
      log_.Line("row texts now come from the rewritten " + file.name);
    }
  }
}

void DemoScript::UseList(const std::string& bookmarkFile, bool multiTrack) {
  const std::string path = watch_.Directory() + "\\" + bookmarkFile;
  TrackList list;
  if (list.Load(path.c_str(), "", 0, 0, true)) {
    reference_ = list;
  } else {
    log_.Line("could not read " + path + " for the row texts");
  }
  multiTrack_ = multiTrack;
  referenceFile_ = bookmarkFile;
}

}  // namespace tarnix::demo
