// The plug-in's look in the stand-in player: the built-in skin, a skin of the player's with its
// own image, list colours and font, back to the built-in look, and pictures of the window
// docked below the player's main window (written beside the test program, in screenshots\).

#include <gtest/gtest.h>

#include <string>

#include "host/player_codes.h"
#include "testhost/capture.h"
#include "testhost/image_file.h"
#include "testhost/input.h"
#include "tests/plugin/player_place.h"
#include "tests/plugin/skin_files.h"

namespace tarnix::integration {
namespace {

using testhost::RgbImage;

// The list's area in a 275 by 116 window, and a point of it below the only row.
constexpr RECT kListArea{12, 20, 255, 78};
constexpr POINT kListBackground{230, 72};

bool InList(int x, int y) {
  return x >= kListArea.left && x < kListArea.right && y >= kListArea.top && y < kListArea.bottom;
}

void PlayOneFile(PluginSession& s) {
  s.Player().SetPlaylist({{"C:\\Music\\Evening Concert.mp3", "Evening Concert", 3600000}});
  s.Player().Play();
}

// Waits for the playing row, then pauses the player: the row's progress then stands still, so
// two pictures differ only by what the test changes. The pause lets the once-a-second progress
// redraw show the paused time before the test looks.
bool WaitForPlayingRow(PluginSession& s) {
  if (!s.PumpUntil([&] { return s.Query(UM_GET_CURRENT_KEY).value_or(0) != 0; }, 5000)) return false;
  s.Player().Pause();
  s.Pump(1200);
  return true;
}

RgbImage Capture(const PluginSession& s) { return testhost::CaptureWindowImage(s.Window()).value_or(RgbImage{}); }

bool SameImage(const RgbImage& a, const RgbImage& b) {
  return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

// Waits until the window shows something other than before.
bool WaitForNewLook(PluginSession& s, const RgbImage& before, RgbImage& after) {
  return s.PumpUntil(
      [&] {
        after = Capture(s);
        return after.width > 0 && !SameImage(after, before);
      },
      3000);
}

int CountInList(const RgbImage& image, std::uint32_t colour) {
  int count = 0;
  for (int y = kListArea.top; y < kListArea.bottom; ++y)
    for (int x = kListArea.left; x < kListArea.right; ++x)
      if (image.Pixel(x, y) == colour) ++count;
  return count;
}

std::string SkinDirectory(PluginSession& s) { return s.Dir().Root() + "\\Skins\\Dusk"; }

TEST(SkinLook, ThePlayersSkinGivesImageColoursAndTheBuiltInLookComesBack) {
  PluginSession s(PlayerPlace());
  ASSERT_TRUE(WriteDuskSkin(SkinDirectory(s)));
  PlayOneFile(s);
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(WaitForPlayingRow(s));
  s.Pump(100);
  const RgbImage builtIn = Capture(s);
  ASSERT_EQ(builtIn.width, 275);
  ASSERT_EQ(builtIn.height, 116);
  EXPECT_EQ(builtIn.Pixel(kListBackground.x, kListBackground.y), kBuiltInNormalBG);
  EXPECT_GT(CountInList(builtIn, kBuiltInCurrent) + CountInList(builtIn, kBuiltInNormal), 10) << "row text";

  // The player switches to the skin: the plug-in notices it at its next tick.
  s.Player().SetSkinDirectory(SkinDirectory(s));
  RgbImage skinned;
  ASSERT_TRUE(WaitForNewLook(s, builtIn, skinned)) << "the skin was not adopted";
  s.Pump(100);
  skinned = Capture(s);
  testhost::WriteImage(builtIn, ScreenshotPath("window_builtin.png"));
  testhost::WriteImage(skinned, ScreenshotPath("window_dusk.png"));

  // Outside the list the window is drawn from the skin's image: each pixel the Dusk colour of
  // the built-in one.
  int frame = 0, moved = 0;
  for (int y = 0; y < builtIn.height; ++y) {
    for (int x = 0; x < builtIn.width; ++x) {
      if (InList(x, y)) continue;
      ++frame;
      if (skinned.Pixel(x, y) == DuskColour(builtIn.Pixel(x, y))) ++moved;
    }
  }
  EXPECT_GE(moved * 100, frame * 95) << moved << " of " << frame << " frame pixels in the skin's colours";
  // The list in the colours of PLEdit.txt.
  EXPECT_EQ(skinned.Pixel(kListBackground.x, kListBackground.y), kDuskNormalBG);
  EXPECT_GT(CountInList(skinned, kDuskCurrent) + CountInList(skinned, kDuskNormal), 10) << "row text";
  EXPECT_EQ(CountInList(skinned, kBuiltInCurrent) + CountInList(skinned, kBuiltInNormal), 0);
  EXPECT_EQ(CountInList(skinned, 0xFF0000), 0) << "a colour of another section";

  // Back to the player's built-in skin: the built-in look, pixel for pixel.
  s.Player().SetSkinDirectory(std::string());
  RgbImage back;
  ASSERT_TRUE(WaitForNewLook(s, skinned, back));
  s.Pump(100);
  back = Capture(s);
  EXPECT_TRUE(SameImage(back, builtIn)) << "not the built-in look again";
  ASSERT_TRUE(s.Stop());
}

TEST(SkinLook, ASkinWithoutItsImageKeepsTheBuiltInLook) {
  PluginSession s(PlayerPlace());
  const std::string directory = SkinDirectory(s);
  ASSERT_TRUE(WriteDuskSkin(directory));
  ASSERT_TRUE(DeleteFileA((directory + "\\Tarnix.bmp").c_str()));
  PlayOneFile(s);
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(WaitForPlayingRow(s));
  s.Pump(100);
  const RgbImage builtIn = Capture(s);
  s.Player().SetSkinDirectory(directory);
  // The change of Main.bmp's time is noticed, and the adoption falls back to the built-in
  // image and colours although PLEdit.txt is there.
  const int requests = s.Player().Log().CountCode(kCodeSkinDirectory);
  ASSERT_TRUE(s.PumpUntil([&] { return s.Player().Log().CountCode(kCodeSkinDirectory) >= requests + 2; }, 3000));
  s.Pump(100);
  EXPECT_TRUE(SameImage(Capture(s), builtIn));
  ASSERT_TRUE(s.Stop());
}

// Copies the last-write time of one file to another.
bool SameWriteTime(const std::string& from, const std::string& to) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(from.c_str(), GetFileExInfoStandard, &data)) return false;
  HANDLE file = CreateFileA(to.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = SetFileTime(file, nullptr, nullptr, &data.ftLastWriteTime) != FALSE;
  CloseHandle(file);
  return ok;
}

TEST(SkinLook, F5InThePlayerReadsASkinWhoseMainImageHasTheSameTime) {
  PluginSession s(PlayerPlace());
  const std::string dusk = SkinDirectory(s);
  const std::string plain = s.Dir().Root() + "\\Skins\\Plain";
  ASSERT_TRUE(WriteDuskSkin(dusk));
  ASSERT_TRUE(WriteDuskSkin(plain));
  ASSERT_TRUE(DeleteFileA((plain + "\\Tarnix.bmp").c_str()));
  ASSERT_TRUE(SameWriteTime(dusk + "\\Main.bmp", plain + "\\Main.bmp"));
  s.Player().SetSkinDirectory(dusk);
  PlayOneFile(s);
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(WaitForPlayingRow(s));
  s.Pump(100);
  const RgbImage skinned = Capture(s);
  EXPECT_EQ(skinned.Pixel(kListBackground.x, kListBackground.y), kDuskNormalBG) << "adopted at start";

  // The same time stamp: the switch goes unnoticed by the timer.
  s.Player().SetSkinDirectory(plain);
  const int requests = s.Player().Log().CountCode(kCodeSkinDirectory);
  ASSERT_TRUE(s.PumpUntil([&] { return s.Player().Log().CountCode(kCodeSkinDirectory) >= requests + 2; }, 3000));
  s.Pump(100);
  EXPECT_TRUE(SameImage(Capture(s), skinned));

  // F5 in the player's main window, seen by the plug-in's hook on the player's thread.
  ASSERT_TRUE(testhost::PostKey(s.PlayerWindow(), VK_F5));
  RgbImage reloaded;
  ASSERT_TRUE(WaitForNewLook(s, skinned, reloaded));
  s.Pump(100);
  EXPECT_EQ(Capture(s).Pixel(kListBackground.x, kListBackground.y), kBuiltInNormalBG)
      << "a skin without its image has the built-in look";
  ASSERT_TRUE(s.Stop());
}

// What the user sees: the player's main window and the plug-in window docked below it.
TEST(Screenshots, DockedBelowThePlayerInTheBuiltInLookAndWithTheSkin) {
  PluginSession s(PlayerPlace());
  ASSERT_TRUE(WriteDuskSkin(SkinDirectory(s)));
  s.SetPluginIni("Docked", "1");
  s.SetPluginIni("WindowPosX", "0");
  s.SetPluginIni("WindowPosY", std::to_string(kPlayerHeight));
  PlayOneFile(s);
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(WaitForPlayingRow(s));
  ASSERT_EQ(s.TopLeft().x, kPlayerX);
  ASSERT_EQ(s.TopLeft().y, kPlayerY + kPlayerHeight);
  s.Pump(200);
  const RECT area{kPlayerX - 10, kPlayerY - 10, kPlayerX + kPlayerWidth + 10, kPlayerY + 2 * kPlayerHeight + 10};

  const auto check = [&](const char* file) {
    const std::optional<RgbImage> screen = testhost::CaptureScreenImage(area);
    ASSERT_TRUE(screen.has_value());
    ASSERT_TRUE(testhost::WriteImage(*screen, ScreenshotPath(file)));
    // The screen shows the player's window above and the plug-in's own pixels below.
    const RgbImage window = Capture(s);
    const std::uint32_t player = GetRValue(testhost::kStandInPlayerColour) << 16 |
                                 GetGValue(testhost::kStandInPlayerColour) << 8 |
                                 GetBValue(testhost::kStandInPlayerColour);
    EXPECT_EQ(screen->Pixel(10 + 137, 10 + 58), player) << file;
    int same = 0;
    for (int y = 0; y < window.height; ++y)
      for (int x = 0; x < window.width; ++x)
        if (screen->Pixel(10 + x, 10 + kPlayerHeight + y) == window.Pixel(x, y)) ++same;
    EXPECT_EQ(same, window.width * window.height) << file;
  };
  check("docked_builtin.png");

  const RgbImage before = Capture(s);
  s.Player().SetSkinDirectory(SkinDirectory(s));
  RgbImage after;
  ASSERT_TRUE(WaitForNewLook(s, before, after));
  s.Pump(200);
  check("docked_dusk.png");

  // The options dialog opens beside the window when the player asks for the configuration.
  s.Config();
  HWND options = nullptr;
  ASSERT_TRUE(s.PumpUntil([&] {
    options = FindWindowA(nullptr, "Tarnix - Options");
    return options && IsWindowVisible(options) && GetWindowThreadProcessId(options, nullptr) == s.UiThreadId();
  }));
  s.Pump(200);
  RECT dialog{};
  GetWindowRect(options, &dialog);
  RECT all{std::min(area.left, dialog.left - 10), area.top, std::max(area.right, dialog.right + 10),
           std::max(area.bottom, dialog.bottom + 10)};
  EXPECT_TRUE(testhost::CaptureScreen(all, ScreenshotPath("options_dialog.png")));
  PostMessageA(options, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(s.PumpUntil([&] { return !IsWindowVisible(options); }));
  ASSERT_TRUE(s.Stop());
}

}  // namespace
}  // namespace tarnix::integration
