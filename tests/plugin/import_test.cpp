// Subtracks a recording already carries, through the real plug-in: which source a song change
// takes (a stored list, then a cue sheet beside the file, then a chapter file beside it, then
// chapters inside it), an imported list that was edited and saved being found again, and
// exported chapters imported back.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "tests/plugin/plugin_test.h"
#include "tests/support/ui_driver.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

// Four tracks, the first at the start: the list's last row is subtrack 3.
const char kConcertSheet[] =
    "PERFORMER \"The Examples\"\r\nTITLE \"Live\"\r\nFILE \"Concert.wav\" WAVE\r\n"
    "  TRACK 01 AUDIO\r\n    TITLE \"Opening\"\r\n    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n    TITLE \"Second\"\r\n    INDEX 00 04:58:00\r\n    INDEX 01 05:00:00\r\n"
    "  TRACK 03 AUDIO\r\n    TITLE \"Third\"\r\n    INDEX 01 10:00:00\r\n"
    "  TRACK 04 AUDIO\r\n    TITLE \"Encore\"\r\n    INDEX 01 101:15:40\r\n";
constexpr int32_t kConcertLastKey = MakeItemId(1, 3);
// The chapter fixtures carry three chapters, the first at the start.
constexpr int32_t kChaptersLastKey = MakeItemId(1, 2);
constexpr int32_t kDefaultLastKey = MakeItemId(1, 0);

std::string ReadSource(const std::string& relative) {
  std::ifstream in(SourcePath(relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ImportTest : public ::testing::Test {
 protected:
  std::string Media(const std::string& name) { return h.Dir().Root() + "\\Music\\" + name; }
  void WriteMedia(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(h.Dir().WriteFile("Music\\" + name, bytes));
  }
  void PlayEntry(int index) {
    h.Player().SetPlaylistPosition(index);
    h.Player().Play();
  }
  bool ShowsLastKey(int32_t key) {
    return h.PumpUntil([&] { return h.LastKey() == key; }, 4000);
  }

  PluginSession h;
};

TEST_F(ImportTest, SourcesInOrderAndAStoredListWins) {
  const std::string taggedMp3 = ReadSource("tests/import/fixtures/id3v24-ffmpeg.mp3");
  ASSERT_FALSE(taggedMp3.empty());
  WriteMedia("Concert.flac", "not really audio");
  WriteMedia("Concert.cue", kConcertSheet);  // names Concert.wav: found by its own name
  WriteMedia("Talk.mp3", taggedMp3);
  WriteMedia("Talk.cue", kConcertSheet);  // the sheet beside the file comes first
  WriteMedia("Podcast.mp3", taggedMp3);
  WriteMedia("Stored.mp3", taggedMp3);
  WriteMedia("Plain.mp3", "no tag at all");
  ASSERT_TRUE(h.WriteBookmark("Stored.trk", TrackFile("Stored one", "01:00:00:00*Mine\r\n01:00:30:00 Two\r\n")));
  h.Player().SetPlaylist({{Media("Concert.flac"), "Concert", 0},
                          {Media("Talk.mp3"), "Talk", 0},
                          {Media("Podcast.mp3"), "Podcast", 0},
                          {Media("Stored.mp3"), "Stored one", 0},
                          {Media("Plain.mp3"), "Plain", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(ShowsLastKey(kConcertLastKey)) << "cue sheet beside the file: " << *h.LastKey();
  PlayEntry(1);
  EXPECT_TRUE(ShowsLastKey(kConcertLastKey)) << "cue sheet before chapters: " << *h.LastKey();
  PlayEntry(2);
  EXPECT_TRUE(ShowsLastKey(kChaptersLastKey)) << "chapters inside: " << *h.LastKey();
  PlayEntry(3);
  EXPECT_TRUE(ShowsLastKey(MakeItemId(1, 1))) << "a stored list wins: " << *h.LastKey();
  PlayEntry(4);
  EXPECT_TRUE(ShowsLastKey(kDefaultLastKey)) << "nothing to import: " << *h.LastKey();
  EXPECT_TRUE(h.Stop());
  // Imports are not edits: nothing was written.
  EXPECT_FALSE(h.Dir().Exists("Bookmarks\\Concert.trk"));
  EXPECT_FALSE(h.Dir().Exists("Bookmarks\\Talk.trk"));
  EXPECT_FALSE(h.Dir().Exists("Bookmarks\\Podcast.trk"));
}

TEST_F(ImportTest, AnEditedImportIsSavedAndFoundAgainBeforeTheSheet) {
  WriteMedia("Concert.flac", "not really audio");
  WriteMedia("Concert.cue", kConcertSheet);
  WriteMedia("Other.mp3", "no tag at all");
  h.SetPluginIni("AutoSave", "1");
  h.Player().SetPlaylist({{Media("Concert.flac"), "Concert", 0}, {Media("Other.mp3"), "Other", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(kConcertLastKey));
  PostMessageA(h.Window(), WM_COMMAND, IDM_INSERT_SUBTRACK, 0);  // "New subsong" at the playing time
  EXPECT_TRUE(ShowsLastKey(kConcertLastKey + 1));
  PlayEntry(1);  // the changed list is saved on its way out
  ASSERT_TRUE(ShowsLastKey(kDefaultLastKey));
  EXPECT_TRUE(h.Dir().Exists("Bookmarks\\Concert.trk"));
  PlayEntry(0);
  EXPECT_TRUE(ShowsLastKey(kConcertLastKey + 1)) << "the saved list, not the sheet: " << *h.LastKey();
  EXPECT_TRUE(h.Stop());
}

// Chapter files of two, three and five chapters, each first at the start: last keys 1, 2, 4.
const char kTwoChaptersTxt[] = "00:00 Opening\r\n01:00 Middle\r\n";
const char kThreeChaptersJson[] =
    R"({"version": "1.2.0", "chapters": [{"startTime": 0, "title": "A"}, {"startTime": 30, "title": "B"},)"
    R"( {"startTime": 45, "title": "Sponsor", "toc": false}, {"startTime": 60.5, "title": "C"}]})";
const char kFiveChaptersFfmetadata[] =
    ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1\nSTART=0\ntitle=One\n[CHAPTER]\nTIMEBASE=1/1\nSTART=10\n"
    "[CHAPTER]\nTIMEBASE=1/1\nSTART=20\n[CHAPTER]\nTIMEBASE=1/1\nSTART=30\n[CHAPTER]\nTIMEBASE=1/1\nSTART=40\n";

TEST_F(ImportTest, MatroskaAndChapterFilesAtTheFirstPlayInTheirOrder) {
  const std::string film = ReadSource("tests/import/fixtures/editions-at-end.mka");  // three chapters
  const std::string webm = ReadSource("tests/import/fixtures/ffmpeg.webm");          // four
  ASSERT_FALSE(film.empty());
  ASSERT_FALSE(webm.empty());
  WriteMedia("Film.mka", film);
  WriteMedia("Clip.webm", webm);
  WriteMedia("Book.mp3", "no tag at all");
  WriteMedia("Book.chapters.txt", kTwoChaptersTxt);
  WriteMedia("Show.mp3", "no tag at all");
  WriteMedia("Show.ffmetadata", ReadSource("tests/import/fixtures/ffmpeg-export.ffmetadata"));  // four
  WriteMedia("Pod.mp3", "no tag at all");
  WriteMedia("Pod.chapters.json", kThreeChaptersJson);
  WriteMedia("Beside.mka", film);  // a file beside beats the chapters inside
  WriteMedia("Beside.ffmetadata", kFiveChaptersFfmetadata);
  WriteMedia("Sheet.mka", film);  // a cue sheet beats a file beside
  WriteMedia("Sheet.cue", kConcertSheet);
  WriteMedia("Sheet.chapters.txt", kTwoChaptersTxt);
  WriteMedia("All.mp3", "no tag at all");  // text, then ffmpeg's metadata, then JSON
  WriteMedia("All.chapters.json", kThreeChaptersJson);
  WriteMedia("All.ffmetadata", kFiveChaptersFfmetadata);
  WriteMedia("All.chapters.txt", kTwoChaptersTxt);
  WriteMedia("Two.mp3", "no tag at all");
  WriteMedia("Two.chapters.json", kThreeChaptersJson);
  WriteMedia("Two.ffmetadata", kFiveChaptersFfmetadata);
  const struct {
    const char* file;
    int32_t lastKey;
  } plays[] = {{"Film.mka", kChaptersLastKey}, {"Clip.webm", MakeItemId(1, 3)}, {"Book.mp3", MakeItemId(1, 1)},
               {"Show.mp3", MakeItemId(1, 3)}, {"Pod.mp3", MakeItemId(1, 2)},   {"Beside.mka", MakeItemId(1, 4)},
               {"Sheet.mka", kConcertLastKey}, {"All.mp3", MakeItemId(1, 1)},   {"Two.mp3", MakeItemId(1, 4)}};
  std::vector<testhost::PlaylistEntry> playlist;
  for (const auto& play : plays) playlist.push_back({Media(play.file), play.file, 0});
  h.Player().SetPlaylist(playlist);
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  for (int i = 0; i < static_cast<int>(std::size(plays)); ++i) {
    if (i > 0) PlayEntry(i);
    EXPECT_TRUE(ShowsLastKey(plays[i].lastKey)) << plays[i].file << ": " << *h.LastKey();
  }
  EXPECT_TRUE(h.Stop());
}

TEST_F(ImportTest, ExportedChaptersAreWhatTheToolsReadAndImportBack) {
  // mkvextract reads "First edition" at 0 and "A third in" at 333.333333 ms.
  WriteMedia("Film.mka", ReadSource("tests/import/fixtures/no-default-edition.mka"));
  WriteMedia("Plain.mp3", "no tag at all");
  WriteMedia("Other.mp3", "no tag at all");
  h.Player().SetPlaylist(
      {{Media("Film.mka"), "Film", 0}, {Media("Other.mp3"), "Other", 0}, {Media("Plain.mp3"), "Plain", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(ShowsLastKey(MakeItemId(1, 1)));
  std::string proposed;
  testsupport::WindowAnswerer save(h.UiThreadId(), "#32770", "", [&](HWND dialog) {
    HWND name = GetDlgItem(dialog, 0x47C);  // the explorer-style dialog's file name box
    if (!name) name = GetDlgItem(dialog, 0x480);
    char text[MAX_PATH] = {};
    GetWindowTextA(name, text, sizeof text);
    proposed = text;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  ASSERT_TRUE(h.Command(IDM_EXPORT_CHAPTERS));
  ASSERT_TRUE(h.PumpUntil([&] { return h.Dir().Exists("Music\\Film.chapters.txt") && save.Answered(); }, 8000));
  EXPECT_EQ(proposed, "Film.chapters.txt");
  std::ifstream in(Media("Film.chapters.txt"), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "00:00:00.000 First edition\n00:00:00.333 A third in\n");
  // Beside a file without chapters of its own, the export is imported back.
  PlayEntry(1);
  ASSERT_TRUE(ShowsLastKey(kDefaultLastKey));
  WriteMedia("Plain.chapters.txt", text);
  PlayEntry(2);
  EXPECT_TRUE(ShowsLastKey(MakeItemId(1, 1))) << *h.LastKey();
  EXPECT_TRUE(h.Stop());
}

}  // namespace
}  // namespace tarnix::test
