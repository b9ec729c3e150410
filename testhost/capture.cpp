#include "testhost/capture.h"

#include "win32/handles.h"

namespace tarnix::testhost {

namespace {

// Copies width by height pixels at (x, y) of source into an image.
std::optional<RgbImage> CaptureDc(HDC source, int x, int y, int width, int height) {
  if (source == nullptr || width <= 0 || height <= 0) return std::nullopt;
  MemoryDc memory(source);
  BitmapHandle bitmap(CreateCompatibleBitmap(source, width, height));
  if (memory.Get() == nullptr || bitmap.Get() == nullptr) return std::nullopt;
  {
    SelectedObject select(memory.Get(), bitmap.Get());
    if (!BitBlt(memory.Get(), 0, 0, width, height, source, x, y, SRCCOPY)) {
      return std::nullopt;
    }
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  std::vector<std::uint8_t> bgr(stride * height);
  if (GetDIBits(memory.Get(), bitmap.Get(), 0, height, bgr.data(), &info, DIB_RGB_COLORS) != height) {
    return std::nullopt;
  }
  RgbImage image;
  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<size_t>(width) * height * 3);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const std::uint8_t* from = &bgr[row * stride + column * 3];
      std::uint8_t* to = &image.rgb[(static_cast<size_t>(row) * width + column) * 3];
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
    }
  }
  return image;
}

}  // namespace

std::optional<RgbImage> CaptureWindowImage(HWND window) {
  RECT rect;
  if (!IsWindow(window) || !GetWindowRect(window, &rect)) return std::nullopt;
  const WindowDc source = WindowDc::WholeWindow(window);
  return CaptureDc(source.Get(), 0, 0, rect.right - rect.left, rect.bottom - rect.top);
}

std::optional<RgbImage> CaptureScreenImage(const RECT& area) {
  // The screen's DC is the desktop window's: what every window shows, composed as on screen.
  const WindowDc source = WindowDc::WholeWindow(nullptr);
  return CaptureDc(source.Get(), area.left, area.top, area.right - area.left, area.bottom - area.top);
}

bool CaptureScreen(const RECT& area, const std::string& path) {
  const std::optional<RgbImage> image = CaptureScreenImage(area);
  return image && WriteImage(*image, path);
}

bool CaptureWindow(HWND window, const std::string& path) {
  const std::optional<RgbImage> image = CaptureWindowImage(window);
  return image && WriteImage(*image, path);
}

}  // namespace tarnix::testhost
