// The Options dialog taking effect at once, Cancel changing nothing, and the About dialog.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "commands/commands.h"
#include "commands/dialogs.h"
#include "commands/editing.h"
#include "commands_fixture.h"
#include "host/settings.h"
#include "resources/resource_ids.h"
#include "testhost/capture.h"
#include "testhost/player_directory.h"
#include "testhost/probe_window.h"
#include "tests/support/file_hold.h"
#include "tracklist/replacing_write.h"
#include "tracklist/write_steps.h"
#include "ui_responder.h"

namespace tarnix::test {
namespace {

HWND Options() { return ThePlugin().optionsDialog(); }

void Check(int id, bool on) { CheckDlgButton(Options(), id, on ? BST_CHECKED : BST_UNCHECKED); }

void Press(int id) { SendMessageA(Options(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

std::string PluginIni() { return testhost::ProgramDirectory() + "\\plugin.ini"; }

class OptionsTest : public CommandsTest {};

TEST_F(OptionsTest, ShowsTheSettings) {
  ThePlugin().settings().autoSave = true;
  ThePlugin().settings().topTrack = true;
  ThePlugin().settings().markEarlier = 20;
  Shared().hotKey.store(0x400 | 'T');
  CmdOptions(ThePlugin());
  EXPECT_TRUE(IsWindowVisible(Options()));
  EXPECT_EQ(IsDlgButtonChecked(Options(), IDC_AUTO_SAVE), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(Options(), IDC_AUTO_POPUP), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(Options(), IDC_TOP_TRACK), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(Options(), IDC_SHOW_TRACK), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(Options(), IDC_RESUME), BST_CHECKED);
  EXPECT_EQ(SendDlgItemMessageA(Options(), IDC_HOTKEY, HKM_GETHOTKEY, 0, 0) & 0xFFFF, 0x400 | 'T');
  char text[MAX_PATH] = {};
  GetDlgItemTextA(Options(), IDC_BOOKMARK_PATH, text, MAX_PATH);
  EXPECT_EQ(std::string(text), bookmarks_.Path());
  const HWND markEarlier = GetDlgItem(Options(), IDC_MARK_EARLIER);
  GetWindowTextA(markEarlier, text, MAX_PATH);
  EXPECT_STREQ(text, "20");
  // A screen reader names a field after the label just before it.
  GetWindowTextA(GetWindow(markEarlier, GW_HWNDPREV), text, MAX_PATH);
  EXPECT_STREQ(text, "&Mark earlier by (seconds, 0 to 60):");
  EXPECT_TRUE(testhost::CaptureWindow(Options(), ScreenshotPath("options_dialog.png")));
}

// The loop hands another window's messages to that window: its command is not the plug-in's.
TEST_F(OptionsTest, TheLoopLeavesAnotherWindowsCommandToIt) {
  int taken = 0;
  testhost::ProbeWindow other([&](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    if (message == WM_COMMAND && wParam == IDM_OPTIONS) ++taken;
    return false;
  });
  ASSERT_NE(other.Window(), nullptr);
  PostMessageA(other.Window(), WM_COMMAND, IDM_OPTIONS, 0);
  ASSERT_TRUE(Pump());
  EXPECT_EQ(taken, 1);
  EXPECT_FALSE(IsWindowVisible(Options()));
}

TEST_F(OptionsTest, OkTakesEffectAtOnce) {
  UseSingleTrack("Concert", {83456});
  View().SetCurrentRow(1);
  const int32_t playing = View().CurrentKey();
  CmdOptions(ThePlugin());
  Check(IDC_PRINT_TIME, false);
  Check(IDC_TOP_TRACK, true);
  Check(IDC_AUTO_SAVE, true);
  Check(IDC_RESUME, false);
  SendDlgItemMessageA(Options(), IDC_HOTKEY, HKM_SETHOTKEY, 0x400 | 'F', 0);
  SetDlgItemTextA(Options(), IDC_MARK_EARLIER, "75");  // past the range: 60
  Press(IDOK);
  EXPECT_FALSE(IsWindowVisible(Options()));
  EXPECT_EQ(View().TimeColumnMode(), TrackListView::kNoTimeColumn);
  EXPECT_TRUE(ThePlugin().settings().topTrack);
  EXPECT_TRUE(ThePlugin().settings().autoSave);
  EXPECT_EQ(Shared().hotKey, 0x400 | 'F');
  // The track name left the list for the title line, and the list starts below it.
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"     Part 1\t 1:23"}));
  EXPECT_EQ(View().CurrentRow(), 0);  // the playing row moved up with its row
  EXPECT_EQ(View().CurrentKey(), playing);
  EXPECT_STREQ(ThePlugin().title()->Text().c_str(), "Concert");
  EXPECT_TRUE(ThePlugin().title()->Visible());
  EXPECT_GE(View().GetRect().top, ThePlugin().title()->GetRect().bottom);
  EXPECT_EQ(GetPrivateProfileIntA("Tarnix Plugin", "TopTrack", -1, PluginIni().c_str()), 1);
  EXPECT_FALSE(ThePlugin().settings().resume);
  EXPECT_EQ(GetPrivateProfileIntA("Tarnix Plugin", "Resume", -1, PluginIni().c_str()), 0);
  EXPECT_EQ(GetPrivateProfileIntA("Tarnix Plugin", "HotKey", -1, PluginIni().c_str()), 0x400 | 'F');
  EXPECT_EQ(ThePlugin().settings().markEarlier, 60);
  EXPECT_EQ(GetPrivateProfileIntA("Tarnix Plugin", "MarkEarlier", -1, PluginIni().c_str()), 60);

  // Track names off as well: no track name anywhere, the title line hidden.
  CmdOptions(ThePlugin());
  Check(IDC_SHOW_TRACK, false);
  Press(IDOK);
  EXPECT_FALSE(ThePlugin().title()->Visible());
  EXPECT_EQ(View().GetRect().top, 20);
}

TEST_F(OptionsTest, CancelChangesNothingAndOkWithoutChangesStillSaves) {
  UseSingleTrack("Concert", {1000});
  const std::string before = bookmarks_.Path();
  ThePlugin().playback().currentPath = "C:\\Music\\concert.mp3";
  CmdOptions(ThePlugin());
  Check(IDC_PRINT_TIME, false);
  SetDlgItemTextA(Options(), IDC_BOOKMARK_PATH, "C:\\elsewhere");
  Press(IDCANCEL);
  EXPECT_FALSE(IsWindowVisible(Options()));
  EXPECT_TRUE(ThePlugin().settings().printTime);
  EXPECT_STREQ(ThePlugin().settings().bookmarkPath.c_str(), before.c_str());
  // The fixture's plugin.ini holds only the window and the bookmark directory: nothing saved.
  EXPECT_EQ(GetPrivateProfileIntA("Tarnix Plugin", "PrintTime", -1, PluginIni().c_str()), -1);

  CmdOptions(ThePlugin());  // filled anew from the settings
  EXPECT_EQ(IsDlgButtonChecked(Options(), IDC_PRINT_TIME), BST_CHECKED);
  Press(IDOK);
  EXPECT_EQ(GetPrivateProfileIntA("Tarnix Plugin", "PrintTime", -1, PluginIni().c_str()), 1);
  EXPECT_STREQ(ThePlugin().playback().currentPath.c_str(), "C:\\Music\\concert.mp3");  // same directory
}

TEST_F(OptionsTest, NewBookmarkDirectoryCreatedOrDeclined) {
  ThePlugin().playback().currentPath = "C:\\Music\\concert.mp3";
  const std::string fresh = bookmarks_.Item("fresh");
  CmdOptions(ThePlugin());
  SetDlgItemTextA(Options(), IDC_BOOKMARK_PATH, fresh.c_str());
  {
    UiResponder ui({Answer::Box(IDYES)});
    Press(IDOK);
    ui.Join();
    EXPECT_EQ(ui.Boxes().size(), 1u);
  }
  EXPECT_TRUE(TempDir::Exists(bookmarks_.Item("fresh")));
  EXPECT_STREQ(ThePlugin().settings().bookmarkPath.c_str(), fresh.c_str());
  EXPECT_TRUE(ThePlugin().playback().currentPath.IsEmpty());  // the next check searches the new directory

  ThePlugin().playback().currentPath = "C:\\Music\\concert.mp3";
  CmdOptions(ThePlugin());
  SetDlgItemTextA(Options(), IDC_BOOKMARK_PATH, bookmarks_.Item("declined").c_str());
  {
    UiResponder ui({Answer::Box(IDNO)});
    Press(IDOK);
    ui.Join();
    EXPECT_EQ(ui.Boxes().size(), 1u);  // declined: no warning from the options
  }
  EXPECT_FALSE(TempDir::Exists(bookmarks_.Item("declined")));
  EXPECT_STREQ(ThePlugin().settings().bookmarkPath.c_str(), fresh.c_str());
  EXPECT_FALSE(ThePlugin().playback().currentPath.IsEmpty());
}

TEST_F(OptionsTest, KeyWithoutModifierBecomesAlt) {
  CmdOptions(ThePlugin());
  HWND hotKey = GetDlgItem(Options(), IDC_HOTKEY);
  SendMessageA(hotKey, WM_KEYDOWN, 'F', 0x00210001);
  SendMessageA(hotKey, WM_KEYUP, 'F', static_cast<LPARAM>(0xC0210001u));
  Press(IDOK);
  EXPECT_EQ(Shared().hotKey, (HOTKEYF_ALT << 8) | 'F');
}

TEST_F(OptionsTest, HiddenWindowIsShownInsteadOfTheDialog) {
  ShowWindow(ThePlugin().window(), SW_HIDE);
  ThePlugin().frame()->shown = false;
  CmdOptions(ThePlugin());
  EXPECT_TRUE(ThePlugin().frame()->shown);
  EXPECT_FALSE(IsWindowVisible(Options()));
}

// Another program holds plugin.ini, sharing nothing, and lets go once the write has begun.
testsupport::FileHold* g_iniHold = nullptr;

FileError EndIniHold(WriteStep, const char*) {
  if (g_iniHold) g_iniHold->End();
  return FileError::kNone;
}

TEST_F(OptionsTest, APluginIniThatCannotBeReadKeepsTheOtherPluginsSettings) {
  WritePrivateProfileStringA("Other Plugin", "Volume", "7", PluginIni().c_str());
  {
    testsupport::FileHold hold(PluginIni(), 0);
    ASSERT_TRUE(hold.Holding());
    g_iniHold = &hold;
    const WriteStepProbe previous = SetWriteStepProbe(EndIniHold);
    EXPECT_FALSE(SaveSettings(ThePlugin()));
    SetWriteStepProbe(previous);
    g_iniHold = nullptr;
  }
  EXPECT_EQ(GetPrivateProfileIntA("Other Plugin", "Volume", -1, PluginIni().c_str()), 7);
  EXPECT_TRUE(SaveSettings(ThePlugin()));
  EXPECT_EQ(GetPrivateProfileIntA("Other Plugin", "Volume", -1, PluginIni().c_str()), 7);
}

// A free window saved on a screen that is gone (here: right of and above the one screen of 1024
// by 768) opens on the nearest screen, whole; one saved on the screen stays.
TEST_F(OptionsTest, APlaceOffEveryScreenIsReadAsOnTheNearest) {
  const struct {
    const char *x, *y;
    int32_t posX, posY;
  } cases[] = {{"3000", "-2000", 1024 - 275, 0}, {"-2147483648", "500", 0, 500}, {"40", "30", 40, 30}};
  for (const auto& c : cases) {
    WritePrivateProfileStringA("Tarnix Plugin", "WindowPosX", c.x, PluginIni().c_str());
    WritePrivateProfileStringA("Tarnix Plugin", "WindowPosY", c.y, PluginIni().c_str());
    LoadSettings(ThePlugin());
    EXPECT_EQ(ThePlugin().frame()->posX, c.posX) << c.x;
    EXPECT_EQ(ThePlugin().frame()->posY, c.posY) << c.y;
  }
}

// plugin.ini held for a moment as the plug-in starts: the hold is waited out (here it ends at the
// first wait) and the run has the listener's settings, not the defaults.
bool EndIniHoldAndGoOn(int) {
  if (g_iniHold) g_iniHold->End();
  return true;
}

TEST_F(OptionsTest, APluginIniHeldForAMomentAtStartIsWaitedFor) {
  WritePrivateProfileStringA("Tarnix Plugin", "WindowPosX", "40", PluginIni().c_str());
  {
    testsupport::FileHold hold(PluginIni(), 0);
    ASSERT_TRUE(hold.Holding());
    g_iniHold = &hold;
    const RetryWait previous = SetRetryWait(EndIniHoldAndGoOn);
    LoadSettings(ThePlugin());
    SetRetryWait(previous);
    g_iniHold = nullptr;
  }
  EXPECT_FALSE(ThePlugin().settings().unreadAtStart);
  EXPECT_EQ(ThePlugin().frame()->posX, 40);
}

TEST_F(OptionsTest, AboutShowsAndOkOrCloseHides) {
  CmdAbout(ThePlugin());
  EXPECT_TRUE(IsWindowVisible(ThePlugin().aboutDialog()));
  SendMessageA(ThePlugin().aboutDialog(), WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
  EXPECT_FALSE(IsWindowVisible(ThePlugin().aboutDialog()));
  CmdAbout(ThePlugin());
  SendMessageA(ThePlugin().aboutDialog(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(ThePlugin().aboutDialog()));
}

}  // namespace
}  // namespace tarnix::test
