#pragma once
// What the plug-in suites share besides the session itself: the bytes of a stored list.

#include <string>

#include "testhost/plugin_session.h"

namespace tarnix::test {

using testhost::PluginSession;
using testhost::SourcePath;

// Bytes of a ".trk" file: header lines and then one line per entry.
inline std::string TrackFile(const std::string& album, const std::string& entries) {
  return "[Album ] " + album + "\r\n[Artist] Tester\r\n" + entries;
}

}  // namespace tarnix::test
