// The commands through the real DLL in the stand-in player: menu commands posted to the plug-in
// window reach the player, and the editing and options dialogs as the user sees them.

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "testhost/capture.h"
#include "testhost/input.h"
#include "testhost/player_directory.h"
#include "testhost/plugin_loader.h"
#include "testhost/pump.h"
#include "testhost/stand_in_player.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

using namespace testhost;

std::string Screenshot(const std::string& name) {
  const std::string dir = ProgramDirectory() + "\\screenshots";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir + "\\" + name;
}

struct FoundWindow {
  const char* className;
  const char* title;
  HWND window = nullptr;
};

BOOL CALLBACK FindOwn(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<FoundWindow*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  char name[64] = {}, title[128] = {};
  GetClassNameA(window, name, sizeof(name));
  GetWindowTextA(window, title, sizeof(title));
  if ((!found->className || std::string(name) == found->className) &&
      (!found->title || std::string(title) == found->title)) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindOwnWindow(const char* className, const char* title) {
  FoundWindow found{className, title};
  EnumWindows(FindOwn, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

class PluginCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.Ok());
    ASSERT_TRUE(dir_.WriteFile("Bookmarks\\Live set.trk",
                               "[Album ] Live set\r\n[Artist] The Examples\r\n01:00:00:00*Live set\r\n"
                               "01:01:30:00 Second theme\r\n01:02:15:40 Finale\r\n"));
    const std::string dll = dir_.InstallPlugin(ProgramDirectory() + "\\gen_tarnix.dll");
    ASSERT_FALSE(dll.empty());
    player_.SetPlaylist({{"C:\\Music\\Live set.mp3", "Live set", 0}});
    player_.Play();
    loader_ = std::make_unique<PluginLoader>(dll);
    ASSERT_TRUE(loader_->Ok()) << loader_->Error();
    loader_->Attach(player_.Window());
    loader_->Init();
    ASSERT_TRUE(PumpUntil([&] { return (window_ = FindOwnWindow(kPluginWindowClass, nullptr)) != nullptr; }, 10000));
    // The stored list was found: its last row is the finale.
    ASSERT_TRUE(PumpUntil([&] { return Key(UM_GET_LAST_KEY) == MakeItemId(1, 2); }, 10000));
  }

  void TearDown() override {
    if (loader_ && loader_->Ok()) {
      loader_->Quit();
    }
  }

  // The plug-in window's answer to a key query; 0 when it did not answer.
  ItemId Key(UINT query) const {
    DWORD_PTR key = 0;
    SendMessageTimeoutA(window_, query, 0, 0, SMTO_NORMAL, 200, &key);
    return static_cast<ItemId>(key);
  }

  // Selects the second row by a click and opens "Edit subtrack" on it; null when it doesn't show.
  HWND EditSecondRow() {
    PostClick(window_, POINT{60, 38});
    PumpFor(200);
    PostMessageA(window_, WM_COMMAND, IDM_EDIT_SUBTRACK, 0);
    HWND dialog = nullptr;
    const bool shown = PumpUntil(
        [&] {
          dialog = FindOwnWindow("#32770", "Edit subtrack");
          return dialog && IsWindowVisible(dialog);
        },
        5000);
    PumpFor(300);
    return shown ? dialog : nullptr;
  }

  bool WaitForSeek(int ms) {
    return PumpUntil(
        [&] {
          return player_.Log().Count([&](const PlayerRequest& r) {
            return r.IsCode(kCodeJumpToTime) && static_cast<int>(r.wParam) == ms;
          }) > 0;
        },
        5000);
  }

  PlayerDirectory dir_;
  StandInPlayer player_;
  std::unique_ptr<PluginLoader> loader_;
  HWND window_ = nullptr;
};

TEST_F(PluginCommandsTest, MenuCommandsReachThePlayer) {
  player_.Log().Clear();
  PostMessageA(window_, WM_COMMAND, IDM_FIRST_SUBTRACK, 0);  // the track's start
  ASSERT_TRUE(WaitForSeek(0));
  PostMessageA(window_, WM_COMMAND, IDM_NEXT_SUBTRACK, 0);
  ASSERT_TRUE(WaitForSeek(90000));
  PostMessageA(window_, WM_COMMAND, IDM_NEXT_SUBTRACK, 0);
  ASSERT_TRUE(WaitForSeek(135533));
  EXPECT_TRUE(PumpUntil([&] { return Key(UM_GET_CURRENT_KEY) == MakeItemId(1, 2); }, 3000));
}

TEST_F(PluginCommandsTest, EditSubtrackDialogBesideTheWindow) {
  PostMessageA(window_, WM_COMMAND, IDM_NEXT_SUBTRACK, 0);  // make the second theme the playing row
  ASSERT_TRUE(WaitForSeek(90000));
  // The second row: "Second theme".
  const HWND dialog = EditSecondRow();
  ASSERT_NE(dialog, nullptr);
  char name[64] = {};
  GetDlgItemTextA(dialog, IDC_SUBTRACK_NAME, name, sizeof(name));
  EXPECT_EQ(std::string(name), "Second theme");
  char minutes[16] = {};
  GetDlgItemTextA(dialog, IDC_MINUTES, minutes, sizeof(minutes));
  EXPECT_EQ(std::string(minutes), "01");
  EXPECT_TRUE(CaptureWindow(window_, Screenshot("plugin_window_with_edit_subtrack.png")));
  EXPECT_TRUE(CaptureWindow(dialog, Screenshot("edit_subtrack_dialog.png")));
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(dialog); }, 3000));
}

TEST_F(PluginCommandsTest, EditSubtrackShowsThreeDigitMinutesWhole) {
  // A concert recording past 100 minutes; the stored line spells 112:34:00 in the eight columns.
  ASSERT_TRUE(dir_.WriteFile("Bookmarks\\Long set.trk",
                             "[Album ] Long set\r\n[Artist] The Examples\r\n01:00:00:00*Long set\r\n"
                             "01:112:34:0 Encore\r\n"));
  player_.SetPlaylist({{"C:\\Music\\Long set.mp3", "Long set", 0}});
  player_.Play();
  ASSERT_TRUE(PumpUntil([&] { return Key(UM_GET_LAST_KEY) == MakeItemId(1, 1); }, 5000));
  // The second row: "Encore".
  const HWND dialog = EditSecondRow();
  ASSERT_NE(dialog, nullptr);
  HWND minutes = GetDlgItem(dialog, IDC_MINUTES);
  char text[16] = {};
  GetWindowTextA(minutes, text, sizeof(text));
  EXPECT_EQ(std::string(text), "112");
  // Legible: the field's formatting rectangle holds four digits in the field's own font (the
  // minutes of a stored line reach four digits), so three are never cut whatever the font.
  RECT format{};
  SendMessageA(minutes, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  HDC dc = GetDC(minutes);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(minutes, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32A(dc, "8888", 4, &extent);
  SelectObject(dc, old);
  ReleaseDC(minutes, dc);
  EXPECT_LE(extent.cx, format.right - format.left) << "the minutes field cuts four digits";
  EXPECT_TRUE(CaptureWindow(dialog, Screenshot("edit_subtrack_112_minutes.png")));
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(dialog); }, 3000));
}

TEST_F(PluginCommandsTest, OptionsDialogOpensWhileTheWindowShows) {
  PostMessageA(window_, WM_COMMAND, IDM_OPTIONS, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        dialog = FindOwnWindow("#32770", "Tarnix - Options");
        return dialog && IsWindowVisible(dialog);
      },
      5000));
  PumpFor(300);
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PRINT_TIME), BST_CHECKED);  // on by default
  EXPECT_TRUE(CaptureWindow(dialog, Screenshot("options_dialog_in_player.png")));
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(dialog); }, 3000));
}

}  // namespace
}  // namespace tarnix::test
