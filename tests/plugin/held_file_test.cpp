// A list file that another program holds open while the automatic save at a song change
// replaces it: a short hold is waited out without a word, a long one is reported and loses
// nothing, and quitting during the wait keeps the edit for the next start to save. A list whose
// edit is kept is shown as edited, and an edit kept while the list's directory was gone is
// saved at the next start.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

#include "resources/resource_ids.h"
#include "tests/plugin/plugin_test.h"
#include "tests/support/file_hold.h"
#include "tests/support/ui_driver.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

const std::string kFirst = TrackFile("First", "01:00:00:00*Opening\r\n01:00:01:00 Theme\r\n01:00:02:00 Close\r\n");
const std::string kSecond = TrackFile("Second", "01:00:00:00*Opening\r\n01:00:01:00 Theme\r\n");
constexpr char kEdited[] = " New subsong";  // the name the insert gives

HWND MessageBoxOf(const PluginSession& h) { return testsupport::FindThreadWindow(h.UiThreadId(), "MyMessageBox"); }

// Text without blanks and line breaks (the box wraps its text where it likes), in lower case
// (the list's name is spelt as the plug-in built it).
std::string Squeezed(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '\r' && c != '\n') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

// The texts of the box's static controls (its icon has none), squeezed.
std::string BoxText(HWND box) {
  std::string text;
  for (HWND child = FindWindowExA(box, nullptr, "STATIC", nullptr); child;
       child = FindWindowExA(box, child, "STATIC", nullptr)) {
    text += testsupport::WindowText(child);
  }
  return Squeezed(text);
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Recovery files anywhere in the player's tree (wherever the fallback directory is).
int RecoveryFilesUnder(const std::string& root) {
  int count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(std::filesystem::u8path(root))) {
    if (entry.path().extension() == ".unsaved") ++count;
  }
  return count;
}

// The plug-in with First's list edited, automatic saving on and Second next in the playlist.
class HeldFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h_.WriteBookmark("First.trk", kFirst));
    ASSERT_TRUE(h_.WriteBookmark("Second.trk", kSecond));
    h_.SetPluginIni("AutoSave", "1");
    h_.Player().SetPlaylist({{"C:\\x\\first.mp3", "First", 0}, {"C:\\x\\second.mp3", "Second", 0}});
    h_.Player().Play();
    ASSERT_TRUE(h_.Start());
    ASSERT_TRUE(h_.PumpUntil([&] { return h_.LastKey() == MakeItemId(1, 2); }, 4000));
    ASSERT_TRUE(h_.Command(IDM_INSERT_SUBTRACK));
    ASSERT_TRUE(h_.PumpUntil([&] { return h_.LastKey() == MakeItemId(1, 3); }, 4000));
  }

  std::string Stored() { return h_.Dir().ReadFile("Bookmarks\\First.trk").value_or(""); }
  bool Saved() { return Stored().find(kEdited) != std::string::npos; }
  bool SaveWaiting() { return h_.Dir().Exists("Bookmarks\\First.trk.tmp"); }
  std::string ListPath() { return h_.Dir().Bookmarks() + "\\First.trk"; }
  // Plays Second, whose start saves First's edit.
  void NextEntry() {
    h_.Player().SetPlaylistPosition(1);
    h_.Player().Play();
  }
  // Waits for the box that reports the failed save and closes it; returns its text.
  std::string CloseFailureBox() {
    if (!h_.PumpUntil([&] { return MessageBoxOf(h_) && !BoxText(MessageBoxOf(h_)).empty(); }, 8000)) return {};
    const std::string text = BoxText(MessageBoxOf(h_));
    PostMessageA(MessageBoxOf(h_), WM_COMMAND, IDOK, 0);
    return text;
  }

  PluginSession h_;
};

TEST_F(HeldFileTest, AShortHoldIsWaitedOutWithoutAMessage) {
  testsupport::FileHold hold(ListPath(), FILE_SHARE_READ);
  ASSERT_TRUE(hold.Holding());
  NextEntry();
  ASSERT_TRUE(h_.PumpUntil([&] { return SaveWaiting(); }, 5000));
  h_.Pump(800);
  EXPECT_EQ(Stored(), kFirst);
  hold.End();
  EXPECT_TRUE(h_.PumpUntil([&] { return Saved(); }, 5000)) << Stored();
  EXPECT_TRUE(h_.PumpUntil([&] { return h_.LastKey() == MakeItemId(1, 1); }, 5000));
  EXPECT_EQ(MessageBoxOf(h_), nullptr);
  EXPECT_FALSE(h_.Dir().Exists("Bookmarks\\First.trk.unsaved"));
  EXPECT_TRUE(h_.Stop());
}

TEST_F(HeldFileTest, ALongHoldIsReportedAndTheEditIsSavedWhenItEnds) {
  const DWORD start = GetTickCount();
  testsupport::FileHold hold(ListPath(), FILE_SHARE_READ);
  ASSERT_TRUE(hold.Holding());
  NextEntry();
  ASSERT_TRUE(h_.PumpUntil([&] { return SaveWaiting(); }, 5000));
  // The window keeps painting while the save waits.
  InvalidateRect(h_.Window(), nullptr, FALSE);
  ASSERT_TRUE(h_.PumpUntil([&] { return !GetUpdateRect(h_.Window(), nullptr, FALSE) || MessageBoxOf(h_); }, 5000));
  EXPECT_FALSE(GetUpdateRect(h_.Window(), nullptr, FALSE));
  EXPECT_TRUE(SaveWaiting()) << "the save gave up before the window was painted";

  // Found as soon as it is made: its text comes a moment later.
  ASSERT_TRUE(h_.PumpUntil([&] { return MessageBoxOf(h_) && !BoxText(MessageBoxOf(h_)).empty(); }, 8000));
  const std::string text = BoxText(MessageBoxOf(h_));
  EXPECT_NE(text.find(Squeezed("Couldn't save " + ListPath())), std::string::npos) << text;
  EXPECT_NE(text.find(Squeezed("First.trk.unsaved")), std::string::npos) << text;
  EXPECT_EQ(Stored(), kFirst);
  EXPECT_FALSE(SaveWaiting());
  const std::string recovered = h_.Dir().ReadFile("Bookmarks\\First.trk.unsaved").value_or("");
  EXPECT_NE(recovered.find(kEdited), std::string::npos) << recovered;
  PostMessageA(MessageBoxOf(h_), WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(h_.PumpUntil([&] { return h_.LastKey() == MakeItemId(1, 1); }, 5000));

  // Held for 12 s in all: the stored list stays as it was meanwhile.
  while (GetTickCount() - start < 12000) {
    h_.Pump(200);
    ASSERT_EQ(Stored(), kFirst);
  }
  hold.End();
  EXPECT_TRUE(h_.PumpUntil([&] { return Saved(); }, 5000)) << Stored();
  EXPECT_TRUE(h_.PumpUntil([&] { return !h_.Dir().Exists("Bookmarks\\First.trk.unsaved"); }, 5000));
  EXPECT_EQ(h_.Dir().ReadFile("Bookmarks\\Second.trk").value_or(""), kSecond);
  EXPECT_TRUE(h_.Stop());
}

TEST_F(HeldFileTest, QuittingWhileTheSaveWaitsQuitsAtOnceAndKeepsTheEdit) {
  testsupport::FileHold hold(ListPath(), FILE_SHARE_READ);
  ASSERT_TRUE(hold.Holding());
  NextEntry();
  ASSERT_TRUE(h_.PumpUntil([&] { return SaveWaiting(); }, 5000));
  EXPECT_TRUE(h_.Stop());
  EXPECT_EQ(Stored(), kFirst);
  const std::string recovered = h_.Dir().ReadFile("Bookmarks\\First.trk.unsaved").value_or("");
  EXPECT_NE(recovered.find(kEdited), std::string::npos) << recovered;
  EXPECT_FALSE(SaveWaiting());

  // The next start, the hold over, saves the kept edit into place.
  hold.End();
  ASSERT_TRUE(h_.Start());
  EXPECT_TRUE(h_.PumpUntil([&] { return Saved(); }, 5000)) << Stored();
  // The recovery file goes just after the list is written, on the plug-in's thread.
  EXPECT_TRUE(h_.PumpUntil([&] { return !h_.Dir().Exists("Bookmarks\\First.trk.unsaved"); }, 5000));
  EXPECT_TRUE(h_.Stop());
}

// Reproduction: edit E1 of First cannot be saved (the list is held) and is kept; First plays again
// and its list was shown from the disk, without E1; the hold ends and E1 is written; the listener
// adds E2 to the shown list and saves: the list held E2 without E1.
TEST_F(HeldFileTest, AListWhoseEditIsKeptIsShownAsEditedSoTheNextEditKeepsIt) {
  testsupport::FileHold hold(ListPath(), FILE_SHARE_READ);
  ASSERT_TRUE(hold.Holding());
  NextEntry();
  ASSERT_NE(CloseFailureBox().find("first.trk.unsaved"), std::string::npos);
  ASSERT_TRUE(h_.PumpUntil([&] { return h_.LastKey() == MakeItemId(1, 1); }, 5000));  // Second's list

  h_.Player().SetPlaylistPosition(0);
  h_.Player().Play();
  ASSERT_TRUE(h_.PumpUntil([&] { return h_.LastKey() != MakeItemId(1, 1); }, 5000));
  EXPECT_EQ(h_.LastKey(), MakeItemId(1, 3));  // the three rows and E1
  hold.End();
  ASSERT_TRUE(h_.PumpUntil([&] { return Saved(); }, 5000)) << Stored();

  const auto before = h_.LastKey();
  h_.Player().Seek(2500);
  ASSERT_TRUE(h_.Command(IDM_INSERT_SUBTRACK));
  ASSERT_TRUE(h_.PumpUntil([&] { return h_.LastKey() != before; }, 4000));
  ASSERT_TRUE(h_.Command(IDM_SAVE));
  EXPECT_TRUE(h_.PumpUntil([&] { return Occurrences(Stored(), kEdited) == 2; }, 5000)) << Stored();
  EXPECT_FALSE(h_.Dir().Exists("Bookmarks\\First.trk.unsaved"));
  EXPECT_TRUE(h_.Stop());
}

// Reproduction: the bookmark directory is gone (a drive taken away) when First's edit is saved, so
// the edit is kept in the fallback directory; the player quits, and at the next start, the
// directory back, the edit was never taken up from there.
TEST_F(HeldFileTest, AnEditKeptInTheFallbackDirectoryIsSavedToItsListAtTheNextStart) {
  const std::string away = h_.Dir().Root() + "\\Away";
  ASSERT_TRUE(MoveFileA(h_.Dir().Bookmarks().c_str(), away.c_str()));
  NextEntry();
  EXPECT_NE(CloseFailureBox().find("first.trk.unsaved"), std::string::npos);
  EXPECT_TRUE(h_.Stop());
  ASSERT_TRUE(MoveFileA(away.c_str(), h_.Dir().Bookmarks().c_str()));
  ASSERT_EQ(Stored(), kFirst);
  ASSERT_EQ(RecoveryFilesUnder(h_.Dir().Root()), 1);

  ASSERT_TRUE(h_.Start());
  EXPECT_TRUE(h_.PumpUntil([&] { return Saved(); }, 5000)) << Stored();
  EXPECT_TRUE(h_.PumpUntil([&] { return RecoveryFilesUnder(h_.Dir().Root()) == 0; }, 5000));
  EXPECT_TRUE(h_.Stop());
}

}  // namespace
}  // namespace tarnix::test
