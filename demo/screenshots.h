#pragma once
// Screenshots: numbered PNG files in the demo's output folder, each of the plug-in's window on
// its own and of the scene around it (player, plug-in and any open dialog), cut from the
// desktop so that windows of different threads appear together as the user sees them.

#include "testhost/image_file.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tarnix::demo {

// The part of `image` inside `area` (clipped to the image); empty when they do not overlap.
testhost::RgbImage Crop(const testhost::RgbImage& image, RECT area);

// The smallest rectangle holding every visible window of `windows`, grown by `margin`.
RECT SceneRect(const std::vector<HWND>& windows, int margin);

class Screenshots {
 public:
  explicit Screenshots(std::string folder) : folder_(std::move(folder)) {}

  // Writes "NN-name.png" (the scene) and "NN-name-plugin.png"; returns the scene's file name,
  // empty when nothing could be written.
  std::string Take(const std::string& name, HWND plugin, const std::vector<HWND>& others);
  int Count() const { return written_; }

 private:
  std::string folder_;
  int next_ = 1;
  int written_ = 0;
};

}  // namespace tarnix::demo
