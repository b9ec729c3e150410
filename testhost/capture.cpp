#include "testhost/capture.h"

namespace tarnix::testhost {

namespace {

// Owns a window DC from GetWindowDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Owns a memory DC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// Owns a bitmap.
class Bitmap {
 public:
  explicit Bitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  ~Bitmap() {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  HBITMAP Get() const { return bitmap_; }

 private:
  HBITMAP bitmap_;
};

// Selects an object into a DC and puts the previous one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Copies width by height pixels at (x, y) of source into an image.
std::optional<RgbImage> CaptureDc(HDC source, int x, int y, int width, int height) {
  if (source == nullptr || width <= 0 || height <= 0) return std::nullopt;
  MemoryDc memory(source);
  Bitmap bitmap(CreateCompatibleBitmap(source, width, height));
  if (memory.Get() == nullptr || bitmap.Get() == nullptr) return std::nullopt;
  {
    Selection select(memory.Get(), bitmap.Get());
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
  WindowDc source(window);
  return CaptureDc(source.Get(), 0, 0, rect.right - rect.left, rect.bottom - rect.top);
}

std::optional<RgbImage> CaptureScreenImage(const RECT& area) {
  // The screen's DC is the desktop window's: what every window shows, composed as on screen.
  WindowDc source(nullptr);
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
