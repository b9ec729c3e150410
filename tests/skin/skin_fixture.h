#pragma once
// Test harness for the skinned window: a real window with a frame attached the way the UI
// thread attaches it, a synthetic skin image whose every pixel names its own coordinates, and
// readers of what the window shows.

#include <windows.h>

#include <string>
#include <vector>

#include "skin/skin_frame.h"
#include "skin/window_widgets.h"
#include "win32/handles.h"

namespace tarnix::test {

// The colour of skin pixel (x, y) in the synthetic image: red = low byte of x, green = y,
// blue = 0x40 | high bits of x. No two pixels share a colour.
constexpr COLORREF SkinPixel(int x, int y) { return RGB(x & 0xFF, y & 0xFF, 0x40 | ((x >> 8) & 0x3)); }

// List colours, far from every skin pixel (blue 0x40..0x43).
constexpr COLORREF kNormalBgColour = RGB(10, 20, 200);
constexpr COLORREF kNormalColour = RGB(0, 250, 210);
constexpr COLORREF kCurrentColour = RGB(250, 250, 220);
constexpr COLORREF kSelectedBgColour = RGB(200, 10, 230);
extern const COLORREF kTestColours[kColourSlots];

// A 280 x 132 skin image, which the frame selects only while it paints.
class SkinImage {
 public:
  // Synthetic image, or the built-in one from resources/skin.bmp when `fromFile` is set
  // (falls back to the synthetic one when the file is missing).
  explicit SkinImage(bool fromFile = false);
  SkinImage(const SkinImage&) = delete;
  SkinImage& operator=(const SkinImage&) = delete;
  HBITMAP Bitmap() const { return bitmap_.Get(); }
  bool FromFile() const { return fromFile_; }

 private:
  BitmapHandle bitmap_;
  bool fromFile_ = false;
};

// Records calls of the handlers given to the widgets.
struct CallLog {
  int count = 0;
  int x = 0, y = 0;
  void Record(int px, int py) {
    ++count;
    x = px;
    y = py;
  }
};
extern CallLog g_buttonClicks[kButtonCount];
extern CallLog g_buttonRightClicks[kButtonCount];
extern CallLog g_backgroundClicks;
extern CallLog g_activations;
extern CallLog g_contextMenus;
extern int g_selectionChanges;
void ResetCallLogs();

// A top-level window (owned by `owner` when given) whose procedure hands every message to
// the frame first, like the plug-in window.
HWND CreateTestWindow(SkinFrame* frame, int x, int y, int width, int height, HWND owner, bool visible = true);

// The frame on a window with all twelve widgets, skin and colours applied, painted.
class SkinHarness {
 public:
  struct Options {
    int width = 275, height = 116;
    int x = 100, y = 100;
    HWND host = nullptr;
    bool skinFromFile = false;
    bool titleVisible = false;
    const char* fontFace = "Arial";
    int fontHeight = 11;
  };
  SkinHarness() : SkinHarness(Options{}) {}
  explicit SkinHarness(const Options& options);
  SkinHarness(const SkinHarness&) = delete;
  SkinHarness& operator=(const SkinHarness&) = delete;
  ~SkinHarness();

  // What the window shows once the paint it asked for is done, row by row (COLORREF values).
  std::vector<COLORREF> Capture() const;
  COLORREF At(const std::vector<COLORREF>& image, int x, int y) const { return image[size_t(y) * width() + x]; }
  int width() const { return frame.width; }
  int height() const { return frame.height; }
  // Sends a mouse message through the frame as the UI thread's loop would.
  bool Mouse(UINT message, int x, int y);
  bool Key(WPARAM virtualKey);
  // Handles the messages waiting for the window the way the UI thread does.
  void Pump();
  bool SaveBmp(const std::string& name) const;

  SkinImage skin;
  SkinFrame frame;
  HWND window = nullptr;
  WindowWidgets widgets;
};

// The width and height of `text` in the frame's font.
SIZE TextExtent(const SkinFrame& frame, const char* text);

// Fills the list with `count` rows "Row n" keyed n + 1 and redraws it.
void FillRows(TrackListView& list, int count);
// Gives the list a layout that shows exactly `rows` lines.
void ShowLines(SkinFrame& frame, TrackListView& list, int rows);

std::string ScreenshotDir();

}  // namespace tarnix::test
