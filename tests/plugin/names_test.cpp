// Names in scripts the code page cannot hold, through the real plug-in in a stand-in player whose
// playlist holds them wide: stored lists found and saved under their own titles, a cue sheet
// beside a file in such a folder, typed and pasted names, code-page lists kept as they were,
// and a player that predates the wide requests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "testhost/wide_names.h"
#include "tests/plugin/plugin_test.h"
#include "tests/support/ui_driver.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

const std::string kMark = "\xEF\xBB\xBF";
const std::string kLove = "愛の歌";
const std::string kCherry = "桜の木";
const std::string kPrologue = "Пролог";
const std::string kOmega = "Ωmega → café";

bool StartsWithMark(const std::string& bytes) { return bytes.compare(0, kMark.size(), kMark) == 0; }

bool Holds(const std::string& bytes, const std::string& text) { return bytes.find(text) != std::string::npos; }

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  return lines;
}

bool PutOnClipboard(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool ok = memory != nullptr;
  if (ok) {
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!ok) GlobalFree(memory);
  }
  CloseClipboard();
  return ok;
}

class NamesTest : public PlayingPluginTest {
 protected:
  void InsertSubtrack() { PostMessageA(h.Window(), WM_COMMAND, IDM_INSERT_SUBTRACK, 0); }
};

// Both titles used to arrive as "???": one list file for two songs, each showing the other's.
TEST_F(NamesTest, TwoTitlesOfOtherScriptsKeepTheirOwnLists) {
  ASSERT_TRUE(h.WriteBookmark(kLove + ".trk", kMark + TrackFile(kLove, "01:00:00:00*始まり\r\n01:00:30:00 二番\r\n")));
  h.SetPluginIni("AutoSave", "1");
  h.Player().SetPlaylist({{"C:\\x\\one.mp3", kLove, 0}, {"C:\\x\\two.mp3", kCherry, 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 1))) << "the stored list of " << kLove;
  InsertSubtrack();
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 2)));
  PlayEntry(1);
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 0))) << "the other title has no list of its own yet";
  InsertSubtrack();
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 1)));
  PlayEntry(0);
  EXPECT_TRUE(ShowsLastKey(MakeItemId(1, 2))) << "its own list, as edited: " << *h.LastKey();
  EXPECT_TRUE(h.Stop());

  const std::string love = Bookmark(kLove + ".trk");
  const std::string cherry = Bookmark(kCherry + ".trk");
  EXPECT_TRUE(StartsWithMark(love));
  EXPECT_TRUE(Holds(love, "始まり") && Holds(love, "二番"));
  EXPECT_EQ(Lines(love).size(), 5u);
  EXPECT_TRUE(StartsWithMark(cherry));
  EXPECT_TRUE(Holds(cherry, kCherry));
  EXPECT_FALSE(Holds(cherry, "始まり"));
  EXPECT_FALSE(h.Dir().Exists("Bookmarks\\___.trk"));
}

// Narrow, both paths were "C:\\x\\?.mp3": the second song's start went unnoticed.
TEST_F(NamesTest, PathsThatDifferOnlyInOtherScriptsAreTwoSongs) {
  ASSERT_TRUE(h.WriteBookmark("One.trk", TrackFile("One", "01:00:00:00*A\r\n01:00:30:00 B\r\n")));
  ASSERT_TRUE(h.WriteBookmark("Two.trk", TrackFile("Two", "01:00:00:00*A\r\n01:00:30:00 B\r\n01:01:00:00 C\r\n")));
  h.Player().SetPlaylist({{"C:\\x\\愛.mp3", "One", 0}, {"C:\\x\\桜.mp3", "Two", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 1)));
  PlayEntry(1);
  EXPECT_TRUE(ShowsLastKey(MakeItemId(1, 2))) << *h.LastKey();
  EXPECT_TRUE(h.Stop());
}

// The player's own folder and the music folder are both named in Cyrillic; the sheet is UTF-8.
TEST(NamesInFolders, CueSheetBesideAFileInACyrillicFolderIsImportedWhole) {
  PluginSession h({}, testhost::PlayerSetup::ForTests, "Плеер");
  const std::string sheet = "TITLE \"" + kPrologue + "\"\r\nFILE \"Концерт.wav\" WAVE\r\n" +
                            "  TRACK 01 AUDIO\r\n    TITLE \"" + kPrologue + "\"\r\n    INDEX 01 00:00:00\r\n" +
                            "  TRACK 02 AUDIO\r\n    TITLE \"" + kOmega + "\"\r\n    INDEX 01 03:00:00\r\n" +
                            "  TRACK 03 AUDIO\r\n    TITLE \"" + kCherry + "\"\r\n    INDEX 01 06:00:00\r\n";
  ASSERT_TRUE(h.Dir().WriteFile("Музыка\\Концерт.flac", "not really audio"));
  ASSERT_TRUE(h.Dir().WriteFile("Музыка\\Концерт.cue", sheet));
  h.SetPluginIni("AutoSave", "1");
  h.Player().SetPlaylist({{h.Dir().Root() + "\\Музыка\\Концерт.flac", "Концерт", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 2); }, 4000)) << *h.LastKey();
  PostMessageA(h.Window(), WM_COMMAND, IDM_INSERT_SUBTRACK, 0);  // an edit, so that it is saved
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 3); }, 4000));
  EXPECT_TRUE(h.Stop());
  const std::string saved = h.Dir().ReadFile("Bookmarks\\Концерт.trk").value_or("");
  EXPECT_TRUE(StartsWithMark(saved));
  for (const std::string& name : {kPrologue, kOmega, kCherry}) EXPECT_TRUE(Holds(saved, name)) << name;
}

TEST_F(NamesTest, TypedAndPastedNamesAreSavedWhole) {
  ASSERT_TRUE(h.WriteBookmark("Song.trk", TrackFile("Song", "01:00:00:00*Song\r\n01:00:30:00 Two\r\n")));
  h.SetPluginIni("AutoSave", "1");
  h.Player().SetPlaylist({{"C:\\x\\song.mp3", "Song", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 1)));

  ASSERT_TRUE(PutOnClipboard(L"0:00 \u041F\u0440\u043E\u043B\u043E\u0433\r\n3:00 Beta\r\n6:00 \u685C\u306E\u6728\r\n"));
  {
    testsupport::MessageBoxAnswerer replace(h.UiThreadId(), IDYES);
    PostMessageA(h.Window(), WM_COMMAND, IDM_PASTE_TRACKLIST, 0);
    ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 2)));
  }

  // Typed over the name of the row the dialog opens on, the first: the pasted Cyrillic name.
  PostMessageA(h.Window(), WM_COMMAND, IDM_EDIT_SUBTRACK, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(h.PumpUntil(
      [&] {
        dialog = testsupport::FindThreadWindow(h.UiThreadId(), "#32770", "Edit subtrack");
        return dialog && IsWindowVisible(dialog);
      },
      4000));
  HWND name = GetDlgItem(dialog, IDC_SUBTRACK_NAME);
  ASSERT_NE(name, nullptr);
  const std::wstring typed = L"\u03A9mega \u2192 caf\u00E9";
  PostMessageW(name, EM_SETSEL, 0, -1);
  for (const wchar_t c : typed) PostMessageW(name, WM_CHAR, c, 1);
  EXPECT_TRUE(h.PumpUntil(
      [&] {
        wchar_t text[64] = {};
        GetWindowTextW(name, text, 64);
        return typed == text;
      },
      4000));
  EXPECT_TRUE(h.Stop());

  const std::string saved = Bookmark("Song.trk");
  EXPECT_TRUE(StartsWithMark(saved)) << saved;
  for (const std::string& text : {kOmega, std::string("Beta"), kCherry}) EXPECT_TRUE(Holds(saved, text)) << saved;
  EXPECT_FALSE(Holds(saved, kPrologue)) << saved;
}

// A list the code page holds stays a code-page list: the old lines come back byte for byte.
TEST_F(NamesTest, CodePageListIsRewrittenInTheCodePage) {
  const std::string stored = TrackFile("Caf\xE9 Noir", "01:00:00:00*D\xE9j\xE0 vu\r\n01:00:30:00 Na\xEFve\r\n");
  ASSERT_TRUE(h.WriteBookmark("Café Noir.trk", stored));
  h.SetPluginIni("AutoSave", "1");
  h.Player().SetPlaylist({{"C:\\x\\café.mp3", "Café Noir", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 1)));
  InsertSubtrack();
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 2)));
  EXPECT_TRUE(h.Stop());
  const std::string saved = Bookmark("Café Noir.trk");
  EXPECT_FALSE(StartsWithMark(saved));
  const std::vector<std::string> before = Lines(stored), after = Lines(saved);
  EXPECT_EQ(after.size(), before.size() + 1);
  for (const std::string& line : before) EXPECT_NE(std::find(after.begin(), after.end(), line), after.end()) << line;
}

// An older player answers only the narrow requests: lists are found as before, and the wide
// requests are not asked again on every tick.
TEST_F(NamesTest, OlderPlayerWithoutWideRequestsWorksAsBefore) {
  ASSERT_TRUE(h.WriteBookmark("Caf\xE9.trk", TrackFile("Caf\xE9", "01:00:00:00*One\r\n01:00:30:00 Two\r\n")));
  h.Player().SetWideEntryTexts(false);
  h.Player().SetPlaylist({{"C:\\x\\one.mp3", "Café", 0}, {"C:\\x\\two.mp3", "Second", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 1)));
  PlayEntry(1);
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 0)));
  const int wideAsked =
      h.Player().Log().CountCode(kCodePlaylistFileW) + h.Player().Log().CountCode(kCodePlaylistTitleW);
  const int narrowAsked = h.Player().Log().CountCode(kCodePlaylistFile);
  ASSERT_TRUE(h.WaitForCode(kCodePlaylistFile, narrowAsked + 3, 4000));  // three more ticks
  EXPECT_EQ(h.Player().Log().CountCode(kCodePlaylistFileW) + h.Player().Log().CountCode(kCodePlaylistTitleW),
            wideAsked);
  EXPECT_LE(wideAsked, 2);
  PlayEntry(0);
  EXPECT_TRUE(ShowsLastKey(MakeItemId(1, 1)));
  EXPECT_TRUE(h.Stop());
}

// plugin.ini stays in the code page: a bookmark directory it cannot hold is kept whole beside it
// and read back first, until an earlier version writes another directory.
TEST(NamesInSettings, BookmarkDirectoryTheCodePageCannotHoldIsKeptWhole) {
  PluginSession h;
  const std::string directory = h.Dir().Root() + "\\Закладки";
  ASSERT_TRUE(h.Dir().WriteFile("Закладки\\Song.trk", TrackFile("Song", "01:00:00:00*One\r\n01:00:30:00 Two\r\n")));
  h.Player().SetPlaylist({{"C:\\x\\song.mp3", "Song", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 0); }, 4000));

  PostMessageA(h.Window(), WM_COMMAND, IDM_OPTIONS, 0);
  HWND options = nullptr;
  ASSERT_TRUE(h.PumpUntil(
      [&] {
        options = testsupport::FindThreadWindow(h.UiThreadId(), "#32770", "Tarnix - Options");
        return options && IsWindowVisible(options);
      },
      4000));
  const std::wstring wide = testhost::WideName(directory);
  SendMessageTimeoutW(GetDlgItem(options, IDC_BOOKMARK_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                      SMTO_NORMAL, 4000, nullptr);
  PostMessageW(options, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 1); }, 4000)) << "the list in the new directory";
  const std::string whole = h.PluginIni("BookmarkPathUtf8");
  EXPECT_NE(whole, "<missing>");
  EXPECT_TRUE(std::all_of(whole.begin(), whole.end(), [](char c) { return c > 0x20 && c < 0x7F; })) << whole;
  EXPECT_TRUE(Holds(h.PluginIni("BookmarkPath"), "\\????????")) << "the code page's best try";
  EXPECT_TRUE(h.Stop());

  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 1); }, 4000)) << "read back whole";
  EXPECT_TRUE(h.Stop());

  // An earlier version knows only BookmarkPath: what it wrote there wins over the kept spelling.
  h.SetPluginIni("BookmarkPath", h.Dir().Bookmarks());
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 0); }, 4000));
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("BookmarkPathUtf8"), "") << "a directory the code page holds needs no whole spelling";
}

}  // namespace
}  // namespace tarnix::test
