#pragma once
// Where the stand-in player's main window sits in these suites, and where their pictures go.

#include <string>

#include "testhost/plugin_session.h"

namespace tarnix::integration {

using testhost::PluginSession;

constexpr int kPlayerX = 300;
constexpr int kPlayerY = 200;
constexpr int kPlayerWidth = 275;
constexpr int kPlayerHeight = 116;

inline testhost::StandInPlayerOptions PlayerPlace() {
  testhost::StandInPlayerOptions options;
  options.x = kPlayerX;
  options.y = kPlayerY;
  options.width = kPlayerWidth;
  options.height = kPlayerHeight;
  return options;
}

// Where a test's pictures go: a folder beside the test program, made as needed.
inline std::string ScreenshotPath(const std::string& fileName) {
  const std::string folder = testhost::ProgramDirectory() + "\\screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\" + fileName;
}

}  // namespace tarnix::integration
