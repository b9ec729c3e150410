// The file commands, the save question and the bookmark search, with the message boxes and
// the file dialogs answered from a helper thread.

#include <gtest/gtest.h>

#include <cstdio>

#include "commands/commands.h"
#include "commands_fixture.h"
#include "host/settings.h"
#include "session/stored_lists.h"
#include "session/unsaved_edits.h"
#include "tests/support/file_faults.h"
#include "ui_responder.h"

namespace tarnix::test {
namespace {

const char kTwoTracks[] =
    "[CD key] 584277216\r\n[CDDBID] 0E03C302\r\n[Album ] Live Recordings\r\n[Artist] The Examples\r\n"
    "01:00:00:00*Opening\r\n01:02:15:40 Second theme\r\n02:00:00:00*Closing\r\n02:01:05:12 Solo\r\n";

class FileCommandsTest : public CommandsTest {
 protected:
  void Edit() { List().tracks[0].AddSubtrack("Edit", 5000); }
};

TEST_F(FileCommandsTest, QuestionNamesTheFileAndYesSavesIntoTheBookmarks) {
  UseSingleTrack("Live set", {});
  Edit();
  UiResponder ui({Answer::Box(IDYES)});
  CmdNew(ThePlugin());
  ui.Join();
  ASSERT_EQ(ui.Failures(), 0);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  const SeenBox& box = ui.Boxes()[0];
  EXPECT_EQ(box.text, "Save changes to Live set.trk?");
  EXPECT_EQ(box.caption, "Tarnix Plugin");
  EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_TRUE(box.icon);
  EXPECT_EQ(box.owner, ThePlugin().window());
  EXPECT_NE(TempDir::Read(bookmarks_.Item("Live set.trk")).find("01:00:05:00 Edit"), std::string::npos);
  // New: one track named by the title, unmodified.
  EXPECT_EQ(List().TrackCount(), 1);
  EXPECT_EQ(List().tracks[0].Count(), 1);
  EXPECT_FALSE(List().modified);
}

// The dialog proposes the title's whole name and takes a path in another script.
TEST_F(FileCommandsTest, SaveAsProposesAndTakesNamesInOtherScripts) {
  UseSingleTrack("愛の歌", {});
  Edit();
  UiResponder ui({Answer::File(bookmarks_.Item("Звёзды.trk"))});
  CmdSaveAs(ThePlugin());
  ui.Join();
  ASSERT_EQ(ui.Failures(), 0);
  ASSERT_EQ(ui.ProposedNames().size(), 1u);
  EXPECT_EQ(ui.ProposedNames()[0], "愛の歌.trk");
  const std::string saved = TempDir::Read(bookmarks_.Item("Звёзды.trk"));
  EXPECT_EQ(saved.compare(0, 3, "\xEF\xBB\xBF"), 0) << saved;
  EXPECT_NE(saved.find("*愛の歌"), std::string::npos) << saved;
}

TEST_F(FileCommandsTest, NoGivesTheChangesUpAndIsNotAskedAgain) {
  UseSingleTrack("Live set", {});
  Edit();
  UiResponder ui({Answer::Box(IDNO)});
  CmdNew(ThePlugin());
  ui.Join();
  EXPECT_EQ(ui.Done(), 1);
  EXPECT_FALSE(TempDir::Exists(bookmarks_.Item("Live set.trk")));
  CmdNew(ThePlugin());  // nothing to ask: a box here would hang the test
  EXPECT_FALSE(List().modified);
}

TEST_F(FileCommandsTest, AQuestionClosedUnansweredKeepsTheChangesForTheNextStart) {
  UseSingleTrack("Live set", {});
  Edit();
  UiResponder ui({Answer::Box(IDCANCEL)});  // Esc, or the close box
  CmdNew(ThePlugin());
  ui.Join();
  EXPECT_EQ(ui.Done(), 1);
  EXPECT_FALSE(TempDir::Exists(bookmarks_.Item("Live set.trk")));
  EXPECT_NE(TempDir::Read(bookmarks_.Item("Live set.trk.unsaved")).find("Edit"), std::string::npos);
  EXPECT_FALSE(List().modified);
}

TEST_F(FileCommandsTest, AutoSaveSavesWithoutAskingAndAFailedSaveIsReported) {
  UseSingleTrack("Live set", {});
  Edit();
  ThePlugin().settings().autoSave = true;
  SaveIfModified(ThePlugin());
  EXPECT_TRUE(TempDir::Exists(bookmarks_.Item("Live set.trk")));

  Edit();
  List().path = (bookmarks_.Path() + "\\missing\\a.trk").c_str();
  UiResponder ui({Answer::Box(IDOK)});
  SaveIfModified(ThePlugin());
  ui.Join();
  ASSERT_EQ(ui.Boxes().size(), 1u);
  // The reason follows, and where the changes were kept: its directory gone, not beside the list.
  const std::string text = Squeezed(ui.Boxes()[0].text);
  EXPECT_EQ(text.rfind(Squeezed("Couldn't save " + bookmarks_.Path() + "\\missing\\a.trk"), 0), 0u) << text;
  const std::string kept = (ModuleDirectory() + "\\a.trk.unsaved").c_str();
  EXPECT_NE(text.find(Squeezed(kept)), std::string::npos) << text;
  EXPECT_NE(TempDir::Read(kept).find("Edit"), std::string::npos);
  std::remove(kept.c_str());
  EXPECT_EQ(ui.Boxes()[0].buttons, (std::vector<int>{IDOK}));
  EXPECT_FALSE(List().modified);
}

TEST_F(FileCommandsTest, AnOpenedListIsWrittenBackWhereItCameFrom) {
  bookmarks_.Write("a.trk", kTwoTracks);
  UseCd(2, 1);
  UiResponder open({Answer::File(bookmarks_.Item("a.trk"))});
  CmdOpen(ThePlugin());
  open.Join();
  ASSERT_EQ(open.Failures(), 0);
  EXPECT_STREQ(List().album.c_str(), "Live Recordings");
  EXPECT_EQ(RowTexts().size(), 5u);
  Edit();
  UiResponder ui({Answer::Box(IDYES), Answer::CancelFile()});
  CmdOpen(ThePlugin());  // asks first, then shows the dialog, which is cancelled
  ui.Join();
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "Save changes to a.trk?");
  EXPECT_EQ(ui.FileDialogs().size(), 1u);
  EXPECT_NE(TempDir::Read(bookmarks_.Item("a.trk")).find("01:00:05:00 Edit"), std::string::npos);
}

// Open showed the file on disk while an edit of it was kept for a later save (the file was
// held), so the next edit, saved, lost the kept one.
TEST_F(FileCommandsTest, OpenShowsTheEditKeptForAHeldList) {
  const std::string path = bookmarks_.Write("a.trk", kTwoTracks);
  UseCd(2, 1);
  UiResponder first({Answer::File(path)});
  CmdOpen(ThePlugin());
  first.Join();
  ASSERT_EQ(RowTexts().size(), 5u);
  Edit();
  {
    ScopedFileFault held(FileFault::kRefusedReplace, -1, path.c_str());
    UiResponder ui({Answer::Box(IDOK)});
    EXPECT_FALSE(SaveListOrKeep(ThePlugin(), List(), path.c_str()));
    ui.Join();
  }
  List().modified = false;
  UiResponder open({Answer::File(path)});
  CmdOpen(ThePlugin());
  open.Join();
  ASSERT_EQ(open.Failures(), 0);
  EXPECT_EQ(RowTexts().size(), 6u);
}

TEST_F(FileCommandsTest, OpenFailures) {
  bookmarks_.Write("bad.trk", "not a track list\r\n01:00:00:00*x\r\n");
  bookmarks_.Write("a.trk", kTwoTracks);
  UseCd(3, 3);
  const std::string kept = RowTexts()[1];
  struct Case {
    const char* file;
    const char* prefix;
  } const cases[] = {
      {"bad.trk", "Couldn't open "}, {"a.trk", "No matching track info found in "},  // two tracks while track 3 plays
  };
  for (const Case& c : cases) {
    UiResponder ui({Answer::File(bookmarks_.Item(c.file)), Answer::Box(IDOK)});
    CmdOpen(ThePlugin());
    ui.Join();
    ASSERT_EQ(ui.Boxes().size(), 1u) << c.file;
    EXPECT_EQ(Squeezed(ui.Boxes()[0].text), Squeezed(c.prefix + bookmarks_.Item(c.file))) << c.file;
    EXPECT_EQ(ui.Boxes()[0].buttons, (std::vector<int>{IDOK}));
    EXPECT_EQ(List().TrackCount(), 3);
    EXPECT_EQ(RowTexts()[1], kept);
  }
}

TEST_F(FileCommandsTest, SaveAndSaveAs) {
  UseSingleTrack("Concert", {1000});
  ThePlugin().playback().currentTitle = "";
  CmdSave(ThePlugin());  // no title: nothing at all
  ThePlugin().playback().currentTitle = "Concert";
  UiResponder ui({Answer::File(bookmarks_.Item("chosen.trk"))});
  CmdSave(ThePlugin());  // no path yet: Save As, proposing Concert.trk
  ui.Join();
  ASSERT_EQ(ui.Failures(), 0);
  EXPECT_TRUE(TempDir::Exists(bookmarks_.Item("chosen.trk")));
  EXPECT_STREQ(List().path.c_str(), bookmarks_.Item("chosen.trk").c_str());
  Edit();
  CmdSave(ThePlugin());  // to the stored path, no dialog
  EXPECT_NE(TempDir::Read(bookmarks_.Item("chosen.trk")).find("Edit"), std::string::npos);
  EXPECT_FALSE(List().modified);

  ThePlugin().playback().currentTitle = "";
  UiResponder as({Answer::File(bookmarks_.Item("other"))});
  CmdSaveAs(ThePlugin());  // works without a title; the default extension is added
  as.Join();
  EXPECT_TRUE(TempDir::Exists(bookmarks_.Item("other.trk")));
}

TEST_F(FileCommandsTest, UnsafeTitlesAreSavedAndFoundAsPlainFiles) {
  for (const char* title : {"AC/DC", "What?", "Live: Tokyo", "..\\..\\x", "CON"}) {
    UseSingleTrack(title, {});
    Edit();
    ThePlugin().settings().autoSave = true;
    SaveIfModified(ThePlugin());
    List().Reset("other", 1, 0);
    EXPECT_TRUE(SaveAndLoadStoredList(ThePlugin(), title, "")) << title;
    EXPECT_EQ(List().tracks[0].Count(), 2) << title;
  }
  EXPECT_TRUE(TempDir::Exists(bookmarks_.Item("AC_DC.trk")));
  EXPECT_TRUE(TempDir::Exists(bookmarks_.Item("What_.trk")));
  EXPECT_TRUE(TempDir::Exists(bookmarks_.Item("Live_ Tokyo.trk")));
  EXPECT_TRUE(TempDir::Exists(bookmarks_.Item(".._.._x.trk")));
  EXPECT_TRUE(TempDir::Exists(bookmarks_.Item("_CON.trk")));
}

TEST_F(FileCommandsTest, CdListsAreNamedByArtistAndAlbum) {
  UseCd(2, 1);
  List().artist = "A";
  List().album = "B";
  EXPECT_STREQ(DefaultFileName(ThePlugin()).c_str(), "A - B.trk");
  EXPECT_STREQ(SavePath(ThePlugin()).c_str(), bookmarks_.Item("A - B.trk").c_str());
  List().artist = "";
  EXPECT_STREQ(DefaultFileName(ThePlugin()).c_str(), "B.trk");
  List().path = "C:\\x\\a.trk";
  EXPECT_STREQ(SavePath(ThePlugin()).c_str(), "C:\\x\\a.trk");
}

TEST_F(FileCommandsTest, LoadingTheStoredListTriesFileThenTitleThenTheDirectory) {
  bookmarks_.Write("song.trk", "[Album ] By file\r\n[Artist] \r\n01:00:00:00*Song\r\n");
  bookmarks_.Write("zzz.trk", "[Album ] My Title\r\n[Artist] \r\n01:00:00:00*Other\r\n");
  EXPECT_TRUE(SaveAndLoadStoredList(ThePlugin(), "Some Song", "song.mp3"));  // by the file's name
  EXPECT_STREQ(List().album.c_str(), "By file");
  EXPECT_TRUE(SaveAndLoadStoredList(ThePlugin(), "my title", ""));  // by the directory search: the album matches
  EXPECT_STREQ(List().album.c_str(), "My Title");
  EXPECT_FALSE(SaveAndLoadStoredList(ThePlugin(), "Nothing", "none.mp3"));

  bookmarks_.Write("cd.trk", kTwoTracks);
  EXPECT_TRUE(SaveAndLoadStoredCdList(ThePlugin(), 584277216, 0x0E03C302));
  EXPECT_STREQ(List().album.c_str(), "Live Recordings");
  EXPECT_FALSE(SaveAndLoadStoredCdList(ThePlugin(), 1, 0x11111111));
}

TEST_F(FileCommandsTest, BookmarkDirectoryCheck) {
  EXPECT_TRUE(EnsureBookmarkDirectory(ThePlugin(), true));
  bookmarks_.Write("plain", "x");
  ThePlugin().settings().bookmarkPath = bookmarks_.Item("plain").c_str();
  EXPECT_TRUE(EnsureBookmarkDirectory(ThePlugin(), true));  // any existing file will do

  ThePlugin().settings().bookmarkPath = bookmarks_.Item("new").c_str();
  {
    UiResponder ui({Answer::Box(IDYES)});
    EXPECT_TRUE(EnsureBookmarkDirectory(ThePlugin(), true));
    ui.Join();
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "The bookmark directory does not exist. Do you want to create it?");
    EXPECT_EQ(ui.Boxes()[0].buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_TRUE(TempDir::Exists(bookmarks_.Item("new")));
  }
  ThePlugin().settings().bookmarkPath = bookmarks_.Item("gone\\deeper").c_str();
  {
    UiResponder ui({Answer::Box(IDYES), Answer::Box(IDOK)});
    EXPECT_FALSE(EnsureBookmarkDirectory(ThePlugin(), true));
    ui.Join();
    ASSERT_EQ(ui.Boxes().size(), 2u);
    EXPECT_EQ(Squeezed(ui.Boxes()[1].text), Squeezed("Couldn't create " + bookmarks_.Item("gone\\deeper") + "!"));
  }
  {
    UiResponder ui({Answer::Box(IDNO), Answer::Box(IDOK)});
    EXPECT_FALSE(EnsureBookmarkDirectory(ThePlugin(), true));
    ui.Join();
    ASSERT_EQ(ui.Boxes().size(), 2u);
    EXPECT_EQ(ui.Boxes()[1].text, "You'd better go to the options dialog and set the bookmark directory...");
  }
  {
    UiResponder ui({Answer::Box(IDNO)});
    EXPECT_FALSE(EnsureBookmarkDirectory(ThePlugin(), false));  // no warning without the flag
    ui.Join();
    EXPECT_EQ(ui.Boxes().size(), 1u);
  }
}

}  // namespace
}  // namespace tarnix::test
