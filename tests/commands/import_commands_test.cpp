// "Paste tracklist", "Export cue sheet..." and "Export chapters...", with the clipboard filled by the test and the
// boxes and the save dialog answered from a helper thread.

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "commands/commands.h"
#include "commands_fixture.h"
#include "import/cue_sheet.h"
#include "import/recording_import.h"
#include "ui_responder.h"

namespace tarnix::test {
namespace {

bool PutOnClipboard(const wchar_t* text) {
  if (!OpenClipboard(ThePlugin().window())) return false;
  EmptyClipboard();
  const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool ok = memory != nullptr;
  if (ok) {
    std::memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!ok) GlobalFree(memory);
  }
  CloseClipboard();
  return ok;
}

class ImportCommandsTest : public CommandsTest {
 protected:
  std::vector<std::pair<int32_t, std::string>> Subtracks() {
    std::vector<std::pair<int32_t, std::string>> out;
    for (const Subtrack& s : List().tracks[0].subtracks) out.emplace_back(s.time, s.name.c_str());
    return out;
  }
};

TEST_F(ImportCommandsTest, PastedTracklistBecomesTheSubtracksAfterTheQuestion) {
  UseSingleTrack("Mix", {});
  ASSERT_TRUE(
      PutOnClipboard(L"Tracklist:\r\n1. Intro 0:00\r\n2. Caf\u00e9 Night \u2013 (3:15)\r\n[1:02:03] Last one\r\n"));
  CmdPasteTracklist(ThePlugin());
  using Rows = std::vector<std::pair<int32_t, std::string>>;
  EXPECT_EQ(Subtracks(), (Rows{{0, "Intro"}, {195000, "Caf\xC3\xA9 Night"}, {3723000, "Last one"}}));
  EXPECT_TRUE(List().modified);

  // A track with subtracks is replaced only when the user says so.
  ASSERT_TRUE(PutOnClipboard(L"00:00 A\n05:00 B\n"));
  UiResponder no({Answer::Box(IDNO)});
  CmdPasteTracklist(ThePlugin());
  no.Join();
  ASSERT_EQ(no.Boxes().size(), 1u);
  EXPECT_EQ(no.Boxes()[0].text, "Replace the subtracks of Intro with the pasted tracklist?");
  EXPECT_EQ(Subtracks().size(), 3u);
  UiResponder yes({Answer::Box(IDYES)});
  CmdPasteTracklist(ThePlugin());
  yes.Join();
  EXPECT_EQ(Subtracks(), (Rows{{0, "A"}, {300000, "B"}}));
}

TEST_F(ImportCommandsTest, TextWithoutATracklistIsAMessageAndNoChange) {
  UseSingleTrack("Mix", {60000});
  List().modified = false;
  ASSERT_TRUE(PutOnClipboard(L"Just one line at 1:00\r\nand some words"));
  UiResponder ui({Answer::Box(IDOK)});
  CmdPasteTracklist(ThePlugin());
  ui.Join();
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_NE(ui.Boxes()[0].text.find("two"), std::string::npos) << ui.Boxes()[0].text;
  EXPECT_EQ(Subtracks().size(), 2u);
  EXPECT_FALSE(List().modified);
}

TEST_F(ImportCommandsTest, ExportWritesASheetThatReadsBackAndRefusesACd) {
  UseSingleTrack("Concert", {61000, 6000987});
  List().tracks[0].subtracks[1].name = "Caf\xC3\xA9";
  ThePlugin().playback().currentPath = (bookmarks_.Path() + "\\Concert.flac").c_str();
  UiResponder ui({Answer::File(bookmarks_.Item("Concert.cue"))});
  CmdExportCueSheet(ThePlugin());
  ui.Join();
  ASSERT_EQ(ui.Failures(), 0);
  ASSERT_EQ(ui.FileDialogs().size(), 1u);
  const std::string sheet = TempDir::Read(bookmarks_.Item("Concert.cue"));
  EXPECT_NE(sheet.find("FILE \"Concert.flac\" WAVE\r\n"), std::string::npos) << sheet;
  ChapterSet back;
  ASSERT_TRUE(ParseCueSheet(sheet, "Concert.flac", false, &back));
  ASSERT_EQ(back.chapters.size(), 3u);
  EXPECT_EQ(back.chapters[1].name, "Caf\xC3\xA9");
  EXPECT_NEAR(static_cast<double>(back.chapters[2].timeMs), 6000987.0, 1000.0 / 75);  // to the frame
  EXPECT_FALSE(TempDir::Exists(bookmarks_.Item("Concert.cue.tmp")));

  UseCd(2, 1);
  UiResponder refused({Answer::Box(IDOK)});
  CmdExportCueSheet(ThePlugin());
  refused.Join();
  ASSERT_EQ(refused.Boxes().size(), 1u);
  EXPECT_TRUE(refused.FileDialogs().empty());
}

TEST_F(ImportCommandsTest, ExportedChaptersAreImportedBackAtTheNextPlay) {
  UseSingleTrack("Book", {61001, 3723500});
  List().tracks[0].subtracks[1].name = "Caf\xC3\xA9 \xE6\x84\x9B";
  const std::string media = bookmarks_.Item("Book.mka");
  ThePlugin().playback().currentPath = media.c_str();
  UiResponder ui({Answer::File(bookmarks_.Item("Book.chapters.txt"))});
  CmdExportChapters(ThePlugin());
  ui.Join();
  ASSERT_EQ(ui.Failures(), 0);
  ASSERT_EQ(ui.FileDialogs().size(), 1u);
  EXPECT_FALSE(TempDir::Exists(bookmarks_.Item("Book.chapters.txt.tmp")));
  const auto exported = Subtracks();
  TrackList imported;
  ASSERT_TRUE(ImportSubtracks(media.c_str(), "Book", &imported));
  std::vector<std::pair<int32_t, std::string>> back;
  for (const Subtrack& s : imported.tracks[0].subtracks) back.emplace_back(s.time, s.name.c_str());
  EXPECT_EQ(back, exported);

  UseCd(2, 1);
  UiResponder refused({Answer::Box(IDOK)});
  CmdExportChapters(ThePlugin());
  refused.Join();
  ASSERT_EQ(refused.Boxes().size(), 1u);
  EXPECT_NE(refused.Boxes()[0].text.find("single file"), std::string::npos) << refused.Boxes()[0].text;
  EXPECT_TRUE(refused.FileDialogs().empty());
}

}  // namespace
}  // namespace tarnix::test
