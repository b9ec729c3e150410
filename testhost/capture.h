#pragma once
// Captures what a window shows (its whole window rectangle, frame included), or an area of the
// screen, into an image file: PNG when the path ends in ".png", else a 24-bit BMP.

#include "testhost/image_file.h"

#include <windows.h>

#include <optional>
#include <string>

namespace tarnix::testhost {

std::optional<RgbImage> CaptureWindowImage(HWND window);
bool CaptureWindow(HWND window, const std::string& path);

// A rectangle of the screen, in screen coordinates, as the windows there show it.
std::optional<RgbImage> CaptureScreenImage(const RECT& area);
bool CaptureScreen(const RECT& area, const std::string& path);

}  // namespace tarnix::testhost
