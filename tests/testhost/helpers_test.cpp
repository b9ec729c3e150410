// The rest of the test host: player directory, images and capture, subsong source, input.

#include "host/player_codes.h"
#include "testhost/capture.h"
#include "testhost/image_file.h"
#include "testhost/input.h"
#include "testhost/player_directory.h"
#include "testhost/probe_window.h"
#include "testhost/pump.h"
#include "testhost/stand_in_player.h"
#include "testhost/subsong_source.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tarnix::testhost {
namespace {

TEST(PlayerDirectoryTest, LayoutFilesAndCleanUp) {
  std::string root;
  {
    PlayerDirectory dir;
    ASSERT_TRUE(dir.Ok());
    root = dir.Root();
    for (const char* part : {"Plugins", "Bookmarks", "Skins\\Default", "winamp.ini", "Plugins\\plugin.ini"}) {
      EXPECT_TRUE(dir.Exists(part)) << part;
    }
    EXPECT_TRUE(dir.WriteIni(dir.WinampIni(), "Winamp", "snaplen", "12"));
    EXPECT_EQ(dir.ReadIni(dir.WinampIni(), "Winamp", "snaplen"), "12");
    EXPECT_EQ(dir.ReadIni(dir.PluginIni(), "Tarnix Plugin", "Missing", "fallback"), "fallback");
    const std::string longValue(3000, 'v');
    EXPECT_TRUE(dir.WriteIni(dir.PluginIni(), "Tarnix Plugin", "BookmarkPath", longValue));
    EXPECT_EQ(dir.ReadIni(dir.PluginIni(), "Tarnix Plugin", "BookmarkPath"), longValue);
    const std::string bytes("line one\r\nline two\r\n\0end", 25);
    EXPECT_TRUE(dir.WriteFile("Bookmarks\\deep\\list.trk", bytes));
    EXPECT_EQ(dir.ReadFile("Bookmarks\\deep\\list.trk").value_or(""), bytes);
    EXPECT_FALSE(dir.ReadFile("Bookmarks\\none.trk").has_value());
    const std::string installed = dir.InstallPlugin(dir.WinampIni(), "copy.ini");
    EXPECT_EQ(installed, dir.Plugins() + "\\copy.ini");
    EXPECT_TRUE(dir.Exists("Plugins\\copy.ini"));
    EXPECT_TRUE(dir.InstallPlugin(dir.Root() + "\\missing.dll").empty());
    PlayerDirectory other;
    EXPECT_NE(other.Root(), dir.Root());
  }
  EXPECT_EQ(GetFileAttributesA(root.c_str()), INVALID_FILE_ATTRIBUTES) << "tree left behind";
}

TEST(ImageFileTest, ChecksumsOfKnownTexts) {
  const auto* text = reinterpret_cast<const std::uint8_t*>("123456789");
  EXPECT_EQ(Crc32(text, 9), 0xCBF43926u);
  EXPECT_EQ(Adler32(text, 9), 0x091E01DEu);
  EXPECT_EQ(Adler32(nullptr, 0), 1u);
}

RgbImage Pattern(int width, int height) {
  RgbImage image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.rgb.push_back(static_cast<std::uint8_t>(x * 7));
      image.rgb.push_back(static_cast<std::uint8_t>(y * 13));
      image.rgb.push_back(static_cast<std::uint8_t>(x ^ y));
    }
  }
  return image;
}

TEST(ImageFileTest, EncodingsRoundTrip) {
  // Odd widths exercise BMP row padding; 160x160 makes the PNG data span two stored blocks.
  const int sizes[][2] = {{1, 1}, {3, 2}, {5, 7}, {160, 160}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(size[0]);
    const RgbImage image = Pattern(size[0], size[1]);
    for (bool png : {false, true}) {
      const std::string bytes = png ? EncodePng(image) : EncodeBmp(image);
      const std::optional<RgbImage> back = png ? DecodePng(bytes) : DecodeBmp(bytes);
      ASSERT_TRUE(back.has_value()) << (png ? "png" : "bmp");
      EXPECT_EQ(back->width, image.width);
      EXPECT_EQ(back->height, image.height);
      EXPECT_EQ(back->rgb, image.rgb);
    }
  }
}

TEST(ImageFileTest, DamagedFilesAreRejected) {
  const RgbImage image = Pattern(4, 4);
  const std::string png = EncodePng(image);
  const std::string bmp = EncodeBmp(image);
  std::string flipped = png;
  flipped[40] ^= 1;  // inside the IDAT chunk: its CRC no longer matches
  const std::string inputs[] = {
      "", "BM", png.substr(0, png.size() - 5), flipped, bmp.substr(0, 60), std::string(png.size(), '\0')};
  for (const std::string& input : inputs) {
    EXPECT_FALSE(DecodePng(input).has_value());
    EXPECT_FALSE(DecodeBmp(input).has_value());
  }
  std::string huge = bmp;
  huge[18] = '\xff';
  huge[19] = '\xff';
  huge[20] = '\xff';
  huge[21] = '\x7f';
  EXPECT_FALSE(DecodeBmp(huge).has_value());
}

class CaptureTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CaptureTest, PlayerWindowPixelsComeBack) {
  PlayerDirectory dir;
  StandInPlayer player;
  ShowWindow(player.Window(), SW_SHOW);
  UpdateWindow(player.Window());
  PumpFor(100);
  const std::string path = dir.Root() + "\\shot" + GetParam();
  ASSERT_TRUE(CaptureWindow(player.Window(), path));
  const std::optional<RgbImage> image = ReadImage(path);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 275);
  EXPECT_EQ(image->height, 116);
  const std::uint32_t expected =
      GetRValue(kStandInPlayerColour) << 16 | GetGValue(kStandInPlayerColour) << 8 | GetBValue(kStandInPlayerColour);
  EXPECT_EQ(image->Pixel(137, 58), expected);
  EXPECT_EQ(image->Pixel(0, 0), expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, CaptureTest, ::testing::Values(".bmp", ".png"));

TEST(CaptureTest, NoWindowNoFile) {
  EXPECT_FALSE(CaptureWindowImage(nullptr).has_value());
  EXPECT_FALSE(CaptureWindow(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7ffe1234)), "nothing.bmp"));
}

// A tiny stand-in for the plug-in's window: copies the record, keeps names, answers the queries.
struct FakePluginWindow {
  std::vector<std::uint32_t> record;
  LPARAM infoLParam = 0;
  std::vector<std::string> names;
  int changed = -1;
  ProbeWindow window{[this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                       switch (message) {
                         case UM_SUBSONG_INFO: {
                           const auto* words = reinterpret_cast<const std::uint32_t*>(wParam);
                           record.assign(words, words + kSubsongRecordWords);
                           infoLParam = lParam;
                           result = 0;
                           return true;
                         }
                         case UM_SET_TRACK_NAME:
                           if (names.size() <= wParam) names.resize(wParam + 1);
                           names[wParam] = reinterpret_cast<const char*>(lParam);
                           result = 0;
                           return true;
                         case UM_SUBSONG_CHANGED:
                           changed = static_cast<int>(wParam);
                           result = 0;
                           return true;
                         case UM_GET_LAST_KEY:
                           result = static_cast<LRESULT>(names.size()) << 16;
                           return true;
                         case UM_GET_CURRENT_KEY:
                           result = static_cast<LRESULT>(changed + 1) << 16;
                           return true;
                         default:
                           return false;
                       }
                     },
                     kPluginWindowClass};
};

TEST(SubsongSourceTest, RoundTripWithAWindowOnTheTestThread) {
  FakePluginWindow plugin;
  SubsongSource source;  // finds the window by its class
  ASSERT_TRUE(source.Announce(4, 0x55));
  ASSERT_EQ(plugin.record.size(), static_cast<size_t>(kSubsongRecordWords));
  EXPECT_EQ(plugin.record[0], 4u);
  EXPECT_EQ(plugin.record[1], source.ThreadId());
  EXPECT_EQ(plugin.infoLParam, 0x55);
  EXPECT_EQ(source.LastRecord()[1], source.ThreadId());
  EXPECT_TRUE(source.SetTrackName(1, "Second song"));
  EXPECT_TRUE(source.SetTrackName(0, "First song"));
  ASSERT_EQ(plugin.names.size(), 2u);
  EXPECT_EQ(plugin.names[0], "First song");
  EXPECT_EQ(plugin.names[1], "Second song");
  EXPECT_TRUE(source.SubsongChanged(2));
  EXPECT_EQ(plugin.changed, 2);
  EXPECT_EQ(source.LastKey(), std::optional<LRESULT>(2 << 16));
  EXPECT_EQ(source.CurrentKey(), std::optional<LRESULT>(3 << 16));

  // The plug-in asks for another subsong by a thread message to the source.
  ASSERT_TRUE(PostThreadMessageA(source.ThreadId(), UM_PLAY_SUBSONG, 3, 0));
  ASSERT_TRUE(PostThreadMessageA(source.ThreadId(), UM_PLAY_SUBSONG, 0, 0));
  ASSERT_TRUE(source.WaitForPlayRequests(2, 5000));
  const auto requests = source.PlayRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].subsong, 3u);
  EXPECT_EQ(requests[1].subsong, 0u);
}

TEST(SubsongSourceTest, NoPluginWindowFailsCleanly) {
  SubsongSource source;
  EXPECT_FALSE(source.Announce(2));
  EXPECT_FALSE(source.CurrentKey().has_value());
  EXPECT_FALSE(source.WaitForPlayRequests(1, 50));
}

TEST(InputTest, PostedMessagesCarryPointsAndKeyBits) {
  std::vector<MSG> got;
  ProbeWindow window([&](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message < WM_KEYFIRST || (message > WM_KEYLAST && message < WM_MOUSEFIRST) || message > WM_MOUSELAST) {
      return false;
    }
    got.push_back(MSG{nullptr, message, wParam, lParam, 0, {}});
    result = 0;
    return true;
  });
  ASSERT_TRUE(PostClick(window.Window(), POINT{12, 34}, MouseButton::kRight));
  ASSERT_TRUE(PostDoubleClick(window.Window(), POINT{-5, 7}));
  ASSERT_TRUE(PostKey(window.Window(), VK_F4, true));
  ASSERT_TRUE(PostKey(window.Window(), VK_INSERT));
  PumpUntil([&] { return got.size() >= 10; }, 2000);
  ASSERT_EQ(got.size(), 10u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_RBUTTONDOWN));
  EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(MK_RBUTTON));
  EXPECT_EQ(static_cast<short>(LOWORD(got[0].lParam)), 12);
  EXPECT_EQ(static_cast<short>(HIWORD(got[0].lParam)), 34);
  EXPECT_EQ(got[1].message, static_cast<UINT>(WM_RBUTTONUP));
  EXPECT_EQ(got[4].message, static_cast<UINT>(WM_LBUTTONDBLCLK));
  EXPECT_EQ(static_cast<short>(LOWORD(got[4].lParam)), -5);
  EXPECT_EQ(got[6].message, static_cast<UINT>(WM_SYSKEYDOWN));
  EXPECT_EQ(got[6].wParam, static_cast<WPARAM>(VK_F4));
  EXPECT_NE(got[6].lParam & (1 << 29), 0);
  EXPECT_EQ(got[7].message, static_cast<UINT>(WM_SYSKEYUP));
  EXPECT_NE(static_cast<DWORD>(got[7].lParam) & 0xC0000000u, 0u);
  EXPECT_EQ(got[8].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(got[8].lParam & (1 << 29), 0);
  EXPECT_EQ(got[8].lParam & 0xffff, 1) << "repeat count";
}

}  // namespace
}  // namespace tarnix::testhost
