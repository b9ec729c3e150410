#include "demo/screenshots.h"

#include "testhost/capture.h"

#include <algorithm>
#include <cstdio>

namespace tarnix::demo {

testhost::RgbImage Crop(const testhost::RgbImage& image, RECT area) {
  testhost::RgbImage out;
  const int left = std::max<int>(0, area.left);
  const int top = std::max<int>(0, area.top);
  const int right = std::min<int>(image.width, area.right);
  const int bottom = std::min<int>(image.height, area.bottom);
  if (right <= left || bottom <= top) return out;
  out.width = right - left;
  out.height = bottom - top;
  out.rgb.reserve(static_cast<size_t>(out.width) * out.height * 3);
  for (int y = top; y < bottom; ++y) {
    const auto row = image.rgb.begin() + (static_cast<size_t>(y) * image.width + left) * 3;
    out.rgb.insert(out.rgb.end(), row, row + static_cast<size_t>(out.width) * 3);
  }
  return out;
}

RECT SceneRect(const std::vector<HWND>& windows, int margin) {
  RECT scene{0, 0, 0, 0};
  bool any = false;
  for (HWND window : windows) {
    RECT r;
    if (window == nullptr || !IsWindowVisible(window) || !GetWindowRect(window, &r)) continue;
    if (!any) {
      scene = r;
      any = true;
    } else {
      UnionRect(&scene, &scene, &r);
    }
  }
  if (any) InflateRect(&scene, margin, margin);
  return scene;
}

std::string Screenshots::Take(const std::string& name, HWND plugin, const std::vector<HWND>& others) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%02d-", next_++);
  const std::string base = prefix + name;
  std::vector<HWND> scene = others;
  scene.push_back(plugin);
  std::string written;
  if (const auto desktop = testhost::CaptureWindowImage(GetDesktopWindow())) {
    const testhost::RgbImage part = Crop(*desktop, SceneRect(scene, 8));
    if (part.width > 0 && testhost::WriteImage(part, folder_ + "\\" + base + ".png")) {
      written = base + ".png";
      ++written_;
    }
  }
  if (plugin != nullptr && testhost::CaptureWindow(plugin, folder_ + "\\" + base + "-plugin.png")) {
    ++written_;
    if (written.empty()) written = base + "-plugin.png";
  }
  return written;
}

}  // namespace tarnix::demo
