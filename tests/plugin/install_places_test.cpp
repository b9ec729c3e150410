// Where the real plug-in keeps its files in a player that keeps its settings in a folder of its
// own (the listener's profile), with settings an earlier version left beside the DLL, in a
// player that does not tell (or tells nonsense); and a resume store that cannot be read for a
// while.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "testhost/request_log.h"
#include "tests/plugin/plugin_test.h"
#include "tests/support/file_hold.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

using testhost::PlayerIniPlaces;
using testhost::PlayerRequest;

const std::string kSection = "Tarnix Plugin";
const std::string kList = TrackFile("Earlier", "01:00:00:00*Earlier\r\n");
constexpr char kEdited[] = " New subsong";  // the name the insert gives

PlayerIniPlaces Places(const std::string& directory, const std::string& file, bool wide = true,
                       std::optional<LRESULT> bogus = std::nullopt) {
  PlayerIniPlaces places;
  places.directory = directory;
  places.file = file;
  places.wide = wide;
  places.bogus = bogus;
  return places;
}

// Waits until the player was asked for `code` with `wParam` after `since`.
bool WaitForRequest(PluginSession& h, std::int64_t since, LPARAM code, WPARAM wParam) {
  return h.PumpUntil([&] {
    return h.Player().Log().Count(
               [&](const PlayerRequest& r) { return r.timeMs >= since && r.IsCode(code) && r.wParam == wParam; }) > 0;
  });
}

// Song's list is edited (automatic saving on) and Other plays next, which saves it; the plug-in
// still runs.
void EditAndMoveOn(PluginSession& h) {
  h.Player().SetPlaylist({{"C:\\x\\song.mp3", "Song", 0}, {"C:\\x\\other.mp3", "Other", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 0); }));
  ASSERT_TRUE(h.Command(IDM_INSERT_SUBTRACK));
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 1); }));
  const std::int64_t since = testhost::SteadyMs();
  h.Player().SetPlaylistPosition(1);
  h.Player().Play();
  ASSERT_TRUE(WaitForRequest(h, since, kCodePlaylistTitleW, 1));
}

// The player keeps its settings in Profile (named in another script where the wide answers
// are tested) and its winamp.ini there has snapping on, the one beside it off.
TEST(InstallPlaces, FilesGoWhereThePlayerKeepsItsSettings) {
  for (const bool wide : {true, false}) {
    SCOPED_TRACE(wide ? "wide answers" : "narrow answers only");
    PluginSession h;
    const std::string profile = wide ? "Профиль" : "Profile";
    const std::string root = h.Dir().Root() + "\\" + profile;
    ASSERT_TRUE(h.Dir().WriteFile(profile + "\\winamp.ini", "[Winamp]\r\nsnap=1\r\n"));
    ASSERT_TRUE(h.Dir().WriteFile(profile + "\\Plugins\\plugin.ini",
                                  "[Tarnix Plugin]\r\nAutoSave=1\r\nDocked=1\r\nWindowPosX=0\r\nWindowPosY=116\r\n"));
    h.SetPlayerIni("snap", "0");
    h.Player().SetIniPlaces(Places(root, root + "\\winamp.ini", wide));
    EditAndMoveOn(h);
    EXPECT_EQ(h.Rect().left, 100);  // docked: snapping came from the player's own ini
    ASSERT_TRUE(h.Stop());
    EXPECT_NE(h.Dir().ReadFile(profile + "\\Bookmarks\\Song.trk").value_or("").find(kEdited), std::string::npos);
    EXPECT_TRUE(h.Dir().Exists(profile + "\\Plugins\\gen_tarnix.idx"));
    EXPECT_EQ(h.Dir().ReadIni(root + "\\Plugins\\plugin.ini", kSection, "Opened"), "1");  // written at quit
    EXPECT_EQ(h.Dir().ReadFile("Plugins\\plugin.ini"), std::string());                    // beside the DLL: untouched
    EXPECT_FALSE(h.Dir().Exists("Plugins\\gen_tarnix.idx"));
    EXPECT_FALSE(h.Dir().Exists("Bookmarks\\Song.trk"));
  }
}

// An earlier version's settings and lists beside the player are taken over, and stay.
TEST(InstallPlaces, EarlierSettingsAreCarriedOverOnce) {
  struct Case {
    const char* bookmarks;  // BookmarkPath the earlier version wrote, under the player's folder
    const char* savedIn;    // where Song's list is saved then
  };
  for (const Case& c : {Case{"Bookmarks", "Profile\\Bookmarks"}, Case{"My lists", "My lists"}}) {
    SCOPED_TRACE(c.bookmarks);
    PluginSession h;
    const std::string root = h.Dir().Root() + "\\Profile";
    ASSERT_TRUE(h.Dir().WriteFile("Profile\\winamp.ini", "[Winamp]\r\n"));
    h.SetPluginIni("AutoSave", "1");
    h.SetPluginIni("BookmarkPath", h.Dir().Root() + "\\" + c.bookmarks);
    ASSERT_TRUE(h.Dir().WriteFile("My lists\\Mine.trk", kList));
    ASSERT_TRUE(h.WriteBookmark("Old.trk", kList));
    const std::string earlierIni = h.Dir().ReadFile("Plugins\\plugin.ini").value_or("");
    h.Player().SetIniPlaces(Places(root, root + "\\winamp.ini"));
    EditAndMoveOn(h);
    ASSERT_TRUE(h.Stop());
    EXPECT_NE(h.Dir().ReadFile(std::string(c.savedIn) + "\\Song.trk").value_or("").find(kEdited), std::string::npos);
    EXPECT_EQ(h.Dir().ReadIni(root + "\\Plugins\\plugin.ini", kSection, "AutoSave"), "1");
    EXPECT_EQ(h.Dir().ReadIni(root + "\\Plugins\\plugin.ini", kSection, "BookmarkPath"),
              h.Dir().Root() + "\\" + c.savedIn);
    // The lists of the earlier default folder are copied to the new one; nothing is moved.
    EXPECT_EQ(h.Dir().ReadFile("Profile\\Bookmarks\\Old.trk").has_value(),
              c.savedIn == std::string("Profile\\Bookmarks"));
    EXPECT_EQ(h.Dir().ReadFile("Bookmarks\\Old.trk"), kList);
    EXPECT_EQ(h.Dir().ReadFile("Plugins\\plugin.ini"), earlierIni);
  }
}

// A player that does not tell, or answers what cannot be a folder, keeps the earlier places.
TEST(InstallPlaces, APlayerThatDoesNotTellKeepsTheEarlierPlaces) {
  // Addresses where no memory is: reserved and never committed, for as long as the test runs.
  void* page = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_NE(page, nullptr);
  const std::vector<std::optional<PlayerIniPlaces>> answers = {
      std::nullopt,
      Places("", ""),
      Places("x", "x", true, 1),
      Places("x", "x", true, 0x10),
      Places("x", "x", true, reinterpret_cast<LRESULT>(page)),
      Places("x", "x", true, reinterpret_cast<LRESULT>(page) + 1),  // wide, misaligned
      Places("Relative\\Profile", "winamp.ini"),                    // not a whole path
  };
  for (size_t i = 0; i < answers.size(); ++i) {
    SCOPED_TRACE(i);
    PluginSession h;
    h.SetPluginIni("AutoSave", "1");
    h.Player().SetIniPlaces(answers[i]);
    EditAndMoveOn(h);
    ASSERT_TRUE(h.Stop());
    EXPECT_NE(h.Dir().ReadFile("Bookmarks\\Song.trk").value_or("").find(kEdited), std::string::npos);
    EXPECT_EQ(h.PluginIni("BookmarkPath"), h.Dir().Bookmarks());
    EXPECT_TRUE(h.Dir().Exists("Plugins\\gen_tarnix.idx"));
  }
  VirtualFree(page, 0, MEM_RELEASE);
}

TEST(ResumeStoreHeld, AStoreThatCannotBeReadKeepsItsEntriesAndTakesTheNewOneLater) {
  PluginSession h;
  std::string five = "Tarnix resume positions 1\r\n";
  for (int i = 1; i <= 5; ++i)
    five += std::to_string(600000 * i) + " C:\\Books\\Book " + std::to_string(i) + ".mp3\r\n";
  ASSERT_TRUE(h.Dir().WriteFile("Plugins\\gen_tarnix.resume", five));
  testsupport::FileHold hold(h.Dir().Plugins() + "\\gen_tarnix.resume", 0);
  ASSERT_TRUE(hold.Holding());

  const std::string book = "C:\\Books\\Long book.mp3";
  h.Player().SetPlaylist({{book, "Long book", 120 * 60000}, {"C:\\Books\\Other.mp3", "Other", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  h.Player().Pause();
  h.Player().Seek(47 * 60000);
  std::int64_t since = testhost::SteadyMs();
  ASSERT_TRUE(h.PumpUntil([&] {
    return h.Player().Log().Count([&](const PlayerRequest& r) {
      return r.timeMs >= since && r.IsCode(kCodeOutputTime) && r.wParam == 0;
    }) >= 3;
  }));
  // Left at 47:00 for Other: the plug-in would write the store now, and again when it quits.
  since = testhost::SteadyMs();
  h.Player().SetPlaylistPosition(1);
  h.Player().Play();
  ASSERT_TRUE(WaitForRequest(h, since, kCodePlaylistTitleW, 1));
  hold.End();
  ASSERT_TRUE(h.Stop());
  EXPECT_EQ(h.Dir().ReadFile("Plugins\\gen_tarnix.resume"),
            "Tarnix resume positions 1\r\n2820000 " + book + "\r\n" + five.substr(five.find("\r\n") + 2));
}

}  // namespace
}  // namespace tarnix::test
