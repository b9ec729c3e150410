#pragma once
// Draws the plug-in's icon (a dark tile with a list whose middle row plays) and packs it
// as an .ico file with 16x16 and 32x32 images.

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace tarnix::skin {

// One icon image: colours and a coverage mask (true = opaque).
struct IconImage {
  Canvas colours;
  std::vector<bool> opaque;
};

IconImage DrawIcon(int size);
std::vector<std::uint8_t> BuildIconFile();

}  // namespace tarnix::skin
