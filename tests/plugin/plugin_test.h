#pragma once
// What the plug-in suites share besides the session itself: the bytes of a stored list and a
// fixture that plays.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "testhost/plugin_session.h"

namespace tarnix::test {

using testhost::PluginSession;
using testhost::SourcePath;

// Bytes of a ".trk" file: header lines and then one line per entry.
inline std::string TrackFile(const std::string& album, const std::string& entries) {
  return "[Album ] " + album + "\r\n[Artist] Tester\r\n" + entries;
}

// The plug-in in the stand-in player, with the steps many tests take: play an entry of the
// playlist, wait for the list to show a row, read a stored list.
class PlayingPluginTest : public ::testing::Test {
 protected:
  bool ShowsLastKey(int32_t key) {
    return h.PumpUntil([&] { return h.LastKey() == key; }, 4000);
  }
  void PlayEntry(int index) {
    h.Player().SetPlaylistPosition(index);
    h.Player().Play();
  }
  std::string Bookmark(const std::string& name) { return h.Dir().ReadFile("Bookmarks\\" + name).value_or(""); }

  PluginSession h;
};

}  // namespace tarnix::test
