#include "demo/screenshots.h"

#include "testhost/probe_window.h"

#include <gtest/gtest.h>

namespace tarnix::demo {
namespace {

testhost::RgbImage Gradient(int width, int height) {
  testhost::RgbImage image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.rgb.push_back(static_cast<uint8_t>(x));
      image.rgb.push_back(static_cast<uint8_t>(y));
      image.rgb.push_back(0x55);
    }
  }
  return image;
}

TEST(ScreenshotsTest, CropKeepsPixelsAndClipsToTheImage) {
  const testhost::RgbImage image = Gradient(40, 30);
  struct Case {
    RECT area;
    int width, height, firstX, firstY;
  };
  const Case cases[] = {
      {{5, 6, 15, 10}, 10, 4, 5, 6},     // inside
      {{-8, -8, 4, 3}, 4, 3, 0, 0},      // clipped at the top left
      {{35, 25, 60, 90}, 5, 5, 35, 25},  // clipped at the bottom right
      {{0, 0, 40, 30}, 40, 30, 0, 0},    // everything
  };
  for (const Case& c : cases) {
    const testhost::RgbImage part = Crop(image, c.area);
    ASSERT_EQ(part.width, c.width);
    ASSERT_EQ(part.height, c.height);
    ASSERT_EQ(part.rgb.size(), static_cast<size_t>(c.width) * c.height * 3);
    EXPECT_EQ(part.Pixel(0, 0), image.Pixel(c.firstX, c.firstY));
    EXPECT_EQ(part.Pixel(c.width - 1, c.height - 1), image.Pixel(c.firstX + c.width - 1, c.firstY + c.height - 1));
  }
}

TEST(ScreenshotsTest, CropOutsideTheImageIsEmpty) {
  const testhost::RgbImage image = Gradient(10, 10);
  const RECT outside[] = {{20, 20, 30, 30}, {-10, 0, 0, 5}, {5, 5, 5, 9}, {6, 6, 2, 2}};
  for (const RECT& area : outside) {
    const testhost::RgbImage part = Crop(image, area);
    EXPECT_EQ(part.width, 0);
    EXPECT_TRUE(part.rgb.empty());
  }
}

TEST(ScreenshotsTest, SceneCoversVisibleWindowsOnly) {
  auto ignore = [](UINT, WPARAM, LPARAM, LRESULT&) { return false; };
  testhost::ProbeWindow a(ignore, "TarnixDemoSceneProbe", "", WS_POPUP | WS_VISIBLE, 50, 40);
  testhost::ProbeWindow b(ignore, "TarnixDemoSceneProbe", "", WS_POPUP | WS_VISIBLE, 30, 20);
  testhost::ProbeWindow hidden(ignore, "TarnixDemoSceneProbe", "", WS_POPUP, 10, 10);
  ASSERT_TRUE(a.Window() && b.Window() && hidden.Window());
  SetWindowPos(a.Window(), nullptr, 100, 100, 50, 40, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(b.Window(), nullptr, 200, 150, 30, 20, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(hidden.Window(), nullptr, 500, 500, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);

  const RECT scene = SceneRect({a.Window(), nullptr, b.Window(), hidden.Window()}, 8);
  EXPECT_EQ(scene.left, 92);
  EXPECT_EQ(scene.top, 92);
  EXPECT_EQ(scene.right, 238);
  EXPECT_EQ(scene.bottom, 178);
  const RECT none = SceneRect({nullptr, hidden.Window()}, 8);
  EXPECT_TRUE(IsRectEmpty(&none));
}

}  // namespace
}  // namespace tarnix::demo
