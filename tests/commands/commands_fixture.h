#pragma once
// The plug-in's command side in the test's own process: the test's thread is the UI thread, with
// the plug-in started by the UI thread's own start-up and stopped by its shutdown, and a stand-in
// player on a thread of its own that records requests.

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/plugin.h"
#include "skin/skin_frame.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "testhost/player_thread.h"
#include "testhost/request_log.h"
#include "tests/support/temp_dir.h"
#include "tracklist/track_list.h"

namespace tarnix::test {

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest();
  ~CommandsTest() override;

  testhost::StandInPlayer& Player() { return player_.Player(); }
  testhost::RequestLog& Log() { return player_.Player().Log(); }
  TrackList& List() { return ThePlugin().trackList(); }
  TrackListView& View() { return *ThePlugin().list(); }

  // A one-track list titled `title` with subtracks at the given times (ms) after its start,
  // single-track layout, track 1 playing, rows rebuilt.
  void UseSingleTrack(const char* title, const std::vector<int32_t>& times);
  // A CD list of `tracks` tracks, multi-track layout, track `playing` current.
  void UseCd(int tracks, int playing);

  // The row texts and keys as the list view holds them.
  std::vector<std::string> RowTexts() const;
  std::vector<int32_t> RowKeys() const;

  // Requests of the player since the last ClearLog, as "code:wParam" / "cmd:id" strings, leaving
  // out the read-only queries (104, 105, 124, 125, 211 to 214).
  std::vector<std::string> Actions();
  void ClearLog() { player_.Player().Log().Clear(); }

  // Waits until the player's clock runs (its state is read across threads).
  void PlayFrom(int ms);

  // Handles the queued messages with the UI thread's loop; false when one ended the loop.
  bool Pump();

  TempDir bookmarks_;

 private:
  testhost::StandInPlayerThread player_;
};

std::string ScreenshotPath(const std::string& name);

}  // namespace tarnix::test
