#pragma once
// A skin of the tests' own making, "Dusk": the built-in skin image with every colour moved
// (so that no pixel keeps its value), a hand-written "PLEdit.txt" with other list colours and
// font, and a "Main.bmp" whose write time tells the plug-in the skin changed.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "testhost/image_file.h"

namespace tarnix::integration {

// The Dusk colour of a built-in pixel (0xRRGGBB): red from 255 - blue, green from red, blue
// from green. It has no fixed point, greys included.
std::uint32_t DuskColour(std::uint32_t rgb);

// The list colours "PLEdit.txt" gives, as 0xRRGGBB.
constexpr std::uint32_t kDuskNormalBG = 0x182838;
constexpr std::uint32_t kDuskNormal = 0xE0C040;
constexpr std::uint32_t kDuskCurrent = 0x40E0FF;
constexpr std::uint32_t kDuskSelectedBG = 0x804020;
constexpr const char* kDuskFont = "Courier New";

// The built-in list colours, for comparison.
constexpr std::uint32_t kBuiltInNormalBG = 0x000000;
constexpr std::uint32_t kBuiltInNormal = 0x00FF00;
constexpr std::uint32_t kBuiltInCurrent = 0xFFFFFF;

// The built-in skin image of the source tree, recoloured.
std::optional<testhost::RgbImage> DuskImage();

// Writes the skin's three files into directory (made as needed); false on any failure.
bool WriteDuskSkin(const std::string& directory);

}  // namespace tarnix::integration
