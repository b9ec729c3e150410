#pragma once
// DemoScript: the headless tour of the plug-in. It plays the sample playlist in the stand-in
// player and drives the plug-in only through its own commands and messages, logging the player's
// position, the plug-in's playing row (asked with UM_GET_CURRENT_KEY) with the row's text taken
// from the list the plug-in read or wrote, and every file the plug-in writes into Bookmarks\,
// with screenshots at the interesting moments.

#include "demo/bookmark_watch.h"
#include "demo/demo_log.h"
#include "demo/plugin_settings.h"
#include "demo/screenshots.h"
#include "testhost/subsong_source.h"
#include "tracklist/track_list.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tarnix::demo {

// Where the sample playlist's entries are.
enum PlaylistIndex {
  kConcertEntry = 0,
  kCdFirstEntry = 1,
  kSubsongEntry = 4,
  kFestivalEntry = 5,
  kJapaneseEntry = 6,
  kCyrillicEntry = 7,
  kGreekSheetEntry = 8
};

class DemoScript {
 public:
  DemoScript(PluginSession& session, DemoLog& log, Screenshots& shots);
  DemoScript(const DemoScript&) = delete;
  DemoScript& operator=(const DemoScript&) = delete;

  // Runs the whole tour; false when a step did not get the answer it waits for (the log says
  // which). The tour goes on after a failed step where it can.
  bool Run();

 private:
  void Concert();
  void AudioCd();
  void Subsongs();
  void CueSheet();
  void NamesInEveryScript();

  // Pumps for ms while logging every change of the playing row, jumps of the position, and
  // files written into Bookmarks\.
  void Watch(int ms);
  void Seek(int ms, const std::string& why);
  void Command(WORD id, const std::string& label);
  void Shot(const std::string& name);
  void Expect(bool ok, const std::string& what);
  std::string State(ItemId key);
  void PollBookmarks();
  void UseList(const std::string& bookmarkFile, bool multiTrack);
  void EditSubtrackName(const std::string& name);
  void AnswerSubsongRequests();
  void PlayEntry(int index, const std::string& what);
  // The next position change is the demo's own doing, not a jump to report.
  void ForgetPosition();
  void LogPlayerRequests();

  PluginSession& session_;
  DemoLog& log_;
  Screenshots& shots_;
  BookmarkWatch watch_;
  std::unique_ptr<testhost::SubsongSource> source_;
  size_t subsongRequests_ = 0;

  // The list the row texts come from, and which Bookmarks file (if any) it was read from.
  TrackList reference_;
  bool multiTrack_ = false;
  std::string referenceFile_;

  ItemId lastKey_ = -1;
  int lastPosition_ = -1;
  std::int64_t lastPositionAt_ = 0;
  bool commandPending_ = false;  // a posted command's jump is still to come
  size_t seenRequests_ = 0;
  bool ok_ = true;
};

}  // namespace tarnix::demo
