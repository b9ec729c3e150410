// Adopting the player's skin: the skin image, the playlist colours of "PLEdit.txt" reaching the
// list (read back from the window's pixels), change detection by "Main.bmp", F5, fallbacks.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "host/player_codes.h"
#include "testhost/capture.h"
#include "testhost/image_file.h"
#include "testhost/input.h"
#include "tests/plugin/plugin_test.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

// A point of the list below its only row, painted in the "NormalBG" colour.
constexpr int kListX = 150, kListY = 70;

std::string ReadSource(const std::string& relative) {
  std::ifstream in(std::string(TARNIX_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

uint32_t ListPixel(const PluginSession& h) {
  const auto image = testhost::CaptureWindowImage(h.Window());
  return image ? image->Pixel(kListX, kListY) : 0xFFFFFFFFu;
}

// Sets "Main.bmp"'s last-write time to a fixed day plus minutes.
void TouchMainBmp(PluginSession& h, int minutes) {
  const std::string path = h.Dir().Skin() + "\\Main.bmp";
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const SYSTEMTIME day{2021, 3, 0, 14, 12, 0, 0, 0};
  FILETIME time;
  SystemTimeToFileTime(&day, &time);
  ULARGE_INTEGER t{{time.dwLowDateTime, time.dwHighDateTime}};
  t.QuadPart += static_cast<ULONGLONG>(minutes) * 60 * 10000000ULL;
  time.dwLowDateTime = t.LowPart;
  time.dwHighDateTime = t.HighPart;
  SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
}

// A skin as users write them: comments, odd spacing, lower-case keys, with and without '#'.
void MakeSkin(PluginSession& h, const std::string& normalBg, bool withImage = true) {
  if (withImage) {
    ASSERT_TRUE(h.Dir().WriteFile("Skins\\Default\\Tarnix.bmp", ReadSource("resources/skin.bmp")));
  }
  ASSERT_TRUE(h.Dir().WriteFile("Skins\\Default\\Main.bmp", "BM not really"));
  ASSERT_TRUE(h.Dir().WriteFile("Skins\\Default\\PLEdit.txt",
                                "; playlist colours\r\n[Text]\r\nnormal = 00FF00\r\ncurrent=#FFFFFF   \r\n"
                                "NormalBG=" +
                                    normalBg +
                                    "\r\nSelectedBG=#0000FF\r\nfont=Arial\r\n"
                                    "this line is not a key\r\n"));
  h.Player().SetSkinDirectory(h.Dir().Skin());
}

TEST(SkinLook, PlEditColoursReachTheList) {
  PluginSession h;
  MakeSkin(h, "#123456");
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(h.PumpUntil([&] { return ListPixel(h) == 0x123456; }, 3000)) << std::hex << ListPixel(h);
  EXPECT_TRUE(h.Stop());
}

TEST(SkinLook, ChangeNoticedWithinATickAndF5Forces) {
  PluginSession h;
  MakeSkin(h, "102030");
  TouchMainBmp(h, 10);
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return ListPixel(h) == 0x102030; }, 3000)) << std::hex << ListPixel(h);
  // New colours, same Main.bmp time: not noticed.
  MakeSkin(h, "#405060");
  TouchMainBmp(h, 10);
  // The second look at the skin after the change began once the first had ended; a repaint that
  // look asked for is drawn before the picture.
  const int looks = h.Player().Log().CountCode(kCodeSkinDirectory);
  ASSERT_TRUE(h.PumpUntil([&] { return h.Player().Log().CountCode(kCodeSkinDirectory) >= looks + 2; }, 3000));
  UpdateWindow(h.Window());
  EXPECT_EQ(ListPixel(h), 0x102030u);
  // F5 in the player forces the reload.
  PostMessageA(h.Player().Window(), WM_KEYDOWN, VK_F5, testhost::KeyLParam(VK_F5, false, false));
  EXPECT_TRUE(h.PumpUntil([&] { return ListPixel(h) == 0x405060; }, 2000)) << std::hex << ListPixel(h);
  // Another skin with a newer Main.bmp: noticed by the next tick.
  MakeSkin(h, " 70 80 90");
  TouchMainBmp(h, 11);
  EXPECT_TRUE(h.PumpUntil([&] { return ListPixel(h) == 0x708090; }, 1500)) << std::hex << ListPixel(h);
  EXPECT_TRUE(h.Stop());
}

TEST(SkinLook, SkinWithoutImageGetsTheBuiltInLook) {
  PluginSession h;
  MakeSkin(h, "#123456", false);
  ASSERT_TRUE(h.Start());
  // The loop runs once the start-up, which adopts the skin, is over.
  ASSERT_TRUE(h.WaitForPostedMessages());
  UpdateWindow(h.Window());
  EXPECT_EQ(ListPixel(h), 0x000000u);  // default "NormalBG", whatever PLEdit.txt says
  EXPECT_TRUE(h.Stop());
}

TEST(SkinLook, ASkinImageTooSmallForThePiecesGetsTheBuiltInLook) {
  PluginSession h;
  MakeSkin(h, "#123456", false);
  testhost::RgbImage small;
  small.width = 40;
  small.height = 20;
  small.rgb.assign(size_t(40) * 20 * 3, 0x77);
  ASSERT_TRUE(h.Dir().WriteFile("Skins\\Default\\Tarnix.bmp", testhost::EncodeBmp(small)));
  const std::optional<testhost::RgbImage> builtIn = testhost::DecodeBmp(ReadSource("resources/skin.bmp"));
  ASSERT_TRUE(builtIn);
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.WaitForPostedMessages());
  UpdateWindow(h.Window());
  EXPECT_EQ(ListPixel(h), 0x000000u);
  // The bottom bar's left piece, 38 high at the window's foot, comes from the built-in image.
  const auto image = testhost::CaptureWindowImage(h.Window());
  ASSERT_TRUE(image);
  for (int x : {5, 60, 95}) EXPECT_EQ(image->Pixel(x, image->height - 33), builtIn->Pixel(x, 72 + 5)) << x;
  EXPECT_TRUE(h.Stop());
}

TEST(SkinLook, UnreadableSkinDirectoryLeavesThePluginWorking) {
  PluginSession h;
  h.Player().SetSkinDirectory(std::string("Q:\\no such skin\\"));
  h.Player().SetPlaylist({{"C:\\x\\a.mp3", "A", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 0); }, 3000));
  EXPECT_EQ(ListPixel(h), 0x000000u);
  EXPECT_TRUE(h.Stop());
}

TEST(SkinLook, PlayerThatIgnoresTheRequestKeepsTheWindowWorking) {
  PluginSession h;
  h.Player().SetSkinDirectory(std::nullopt);
  h.Player().SetPlaylist({{"C:\\x\\a.mp3", "A", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 0); }, 3000));
  EXPECT_TRUE(h.Stop());
}

// A picture of the window with a two-track list (kept beside the program as plugin_window.png):
// every row's text in the built-in colours, the playing row alone in "Current".
TEST(SkinLook, PictureShowsTheRowsAndOnlyThePlayingOneInCurrent) {
  PluginSession h;
  h.SetPluginIni("WindowHeight", "203");
  ASSERT_TRUE(h.WriteBookmark("show.trk", TrackFile("Evening Concert",
                                                    "01:00:00:00*Overture\r\n01:02:10:00 Allegro\r\n"
                                                    "01:07:30:40 Adagio\r\n02:00:00:00*Second half\r\n"
                                                    "02:04:00:00 Scherzo\r\n02:09:12:00 Finale\r\n")));
  h.Player().SetPlaylist({{"C:\\Music\\show.mp3", "Evening Concert", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(2, 2); }, 4000)) << *h.LastKey();
  ASSERT_TRUE(h.PumpUntil([&] { return h.CurrentKey().value_or(0) != 0; }, 3000));
  h.Pump(300);
  const auto image = testhost::CaptureWindowImage(h.Window());
  ASSERT_TRUE(image.has_value());
  testhost::WriteImage(*image, testhost::ProgramDirectory() + "\\plugin_window.png");
  ASSERT_EQ(image->width, 275);
  ASSERT_EQ(image->height, 203);
  // The list's area grows with the window below the 116-pixel minimum.
  int normal = 0, current = 0, currentTop = image->height, currentBottom = -1;
  for (int y = 20; y < 78 + 203 - 116; ++y) {
    for (int x = 12; x < 255; ++x) {
      const uint32_t pixel = image->Pixel(x, y);
      if (pixel == 0x00FF00) ++normal;
      if (pixel != 0xFFFFFF) continue;
      ++current;
      currentTop = std::min(currentTop, y);
      currentBottom = std::max(currentBottom, y);
    }
  }
  EXPECT_GT(normal, 60) << "the other rows' text";
  EXPECT_GT(current, 10) << "the playing row's text";
  EXPECT_LT(currentBottom - currentTop, 16) << "more than one row in \"Current\"";
  EXPECT_TRUE(h.Stop());
}

}  // namespace
}  // namespace tarnix::test
