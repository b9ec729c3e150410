// Every path that writes a stored file, against every fault the file system can give: the old
// file stays, no temporary file is left, the failure is reported, an automatic save keeps the
// edit, and the same path works again once the fault is gone.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "commands/dialogs.h"
#include "commands_fixture.h"
#include "host/player_codes.h"
#include "host/settings.h"
#include "session/stored_lists.h"
#include "tests/support/file_faults.h"
#include "tracklist/replacing_write.h"
#include "ui_responder.h"

namespace tarnix::test {
namespace {

constexpr char kOld[] = "stored before the fault\r\n";

int g_waits = 0;
bool CountWait(int) {
  ++g_waits;
  return true;
}
RetryWait g_realWait = nullptr;
bool CountRealWait(int ms) {
  ++g_waits;
  return g_realWait(ms);
}

struct WritePath {
  const char* name;
  std::function<std::vector<Answer>(const std::string&)> answers;  // boxes and dialogs before the report
  std::function<void()> run;
  bool reports;  // shows "Couldn't save"; the index is a cache and is written again next time
  bool newFile;  // the save dialog would ask before replacing: these write a new file
  std::function<bool(const std::string&)> written;  // what the new file holds
};

class WriteFaultsTest : public CommandsTest {
 protected:
  WriteFaultsTest() { previous_ = SetRetryWait(CountWait); }
  ~WriteFaultsTest() override {
    ClearFileFault();
    SetRetryWait(previous_);
  }
  RetryWait previous_;
};

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool HasEdit(const std::string& path) { return TempDir::Read(path).find("Edit") != std::string::npos; }

TEST_F(WriteFaultsTest, EveryWritePathAgainstEveryFault) {
  const std::string index = (ModuleDirectory() + "\\gen_tarnix.idx").c_str();
  const std::vector<WritePath> paths = {
      {"save", [](const std::string&) { return std::vector<Answer>{}; }, [] { CmdSave(ThePlugin()); }, true, false,
       HasEdit},
      {"save as", [](const std::string& target) { return std::vector<Answer>{Answer::File(target)}; },
       [] { CmdSaveAs(ThePlugin()); }, true, true, HasEdit},
      {"automatic save", [](const std::string&) { return std::vector<Answer>{}; }, [] { SaveIfModified(ThePlugin()); },
       true, false, HasEdit},
      {"cue export", [](const std::string& target) { return std::vector<Answer>{Answer::File(target)}; },
       [] { CmdExportCueSheet(ThePlugin()); }, true, true,
       [](const std::string& path) { return TempDir::Read(path).find("TRACK 01 AUDIO") != std::string::npos; }},
      {"chapter export", [](const std::string& target) { return std::vector<Answer>{Answer::File(target)}; },
       [] { CmdExportChapters(ThePlugin()); }, true, true,
       [](const std::string& path) { return TempDir::Read(path).find("Part 1") != std::string::npos; }},
      {"settings", [](const std::string&) { return std::vector<Answer>{}; },
       [] {
         ShowOptionsDialog(ThePlugin());
         OptionsOk(ThePlugin());
         ShowWindow(ThePlugin().optionsDialog(), SW_HIDE);
       },
       true, false,
       [](const std::string& path) { return TempDir::Read(path).find("AutoSave=1") != std::string::npos; }},
      {"index", [](const std::string&) { return std::vector<Answer>{}; }, [] { SaveBookmarkIndex(ThePlugin()); }, false,
       false, [](const std::string& path) { return TempDir::Read(path) != kOld; }},
  };
  const FileFault faults[] = {FileFault::kShortWrite, FileFault::kFailedClose, FileFault::kRefusedReplace,
                              FileFault::kReadOnlyTarget, FileFault::kMissingDirectory};
  for (const WritePath& path : paths) {
    const std::string name = path.name;
    const std::string target = name == "index"            ? index
                               : name == "cue export"     ? bookmarks_.Item("Concert.cue")
                               : name == "save as"        ? bookmarks_.Item("Chosen.trk")
                               : name == "chapter export" ? bookmarks_.Item("Concert.chapters.txt")
                               : name == "settings"       ? std::string(PluginIniPath(ThePlugin().settings()).c_str())
                                                          : bookmarks_.Item("Concert.trk");
    for (const FileFault fault : faults) {
      SCOPED_TRACE(name + ", fault " + std::to_string(static_cast<int>(fault)));
      // A stored list with an edit not yet saved, and the file to be replaced.
      UseSingleTrack("Concert", {61000});
      List().path = bookmarks_.Item("Concert.trk").c_str();
      List().tracks[0].AddSubtrack("Edit", 5000);
      ThePlugin().settings().autoSave = true;
      ThePlugin().playback().currentPath = (bookmarks_.Path() + "\\Concert.flac").c_str();
      TrackList scratch;  // the search leaves the index changed, to be written
      ThePlugin().bookmarkIndex().Search(scratch, (bookmarks_.Path() + "\\*.trk").c_str(), "Concert", 0, 0);
      List().modified = true;
      bookmarks_.Write("Concert.trk", kOld);
      if (path.newFile)
        std::remove(target.c_str());
      else
        WriteFile(target, kOld);
      {
        ScopedFileFault injected(fault, -1, target.c_str());
        std::vector<Answer> answers = path.answers(target);
        if (path.reports) answers.push_back(Answer::Box(IDOK));
        UiResponder ui(answers);
        path.run();
        ui.Join();
        EXPECT_EQ(ui.Failures(), 0);
        if (path.reports) {
          ASSERT_EQ(ui.Boxes().size(), 1u);
          EXPECT_EQ(Squeezed(ui.Boxes()[0].text).rfind(Squeezed("Couldn't save " + target), 0), 0u)
              << "text \"" << ui.Boxes()[0].text << "\", caption \"" << ui.Boxes()[0].caption << "\", buttons "
              << ui.Boxes()[0].buttons.size();
        } else {
          EXPECT_TRUE(ui.Boxes().empty());
          EXPECT_TRUE(ThePlugin().bookmarkIndex().Modified());
        }
        if (path.newFile)
          EXPECT_FALSE(TempDir::Exists(target));
        else
          EXPECT_EQ(TempDir::Read(target), kOld);
        EXPECT_FALSE(TempDir::Exists(target + ".tmp"));
      }
      if (name == "automatic save") {
        // The edit given up by the save is kept and saved at the next tick.
        EXPECT_TRUE(HasEdit(target + ".unsaved"));
        EXPECT_FALSE(List().modified);
        ThePlugin().unsavedEdits().SaveWaiting();
        EXPECT_FALSE(TempDir::Exists(target + ".unsaved"));
      } else {
        // Still working: the same path succeeds once the fault is gone.
        List().modified = true;
        UiResponder ui(path.answers(target));
        path.run();
        ui.Join();
        EXPECT_TRUE(ui.Boxes().empty());
      }
      EXPECT_TRUE(path.written(target)) << TempDir::Read(target);
    }
  }
  std::remove(index.c_str());
}

TEST_F(WriteFaultsTest, AHeldFileIsWaitedForAndQuitEndsTheWait) {
  UseSingleTrack("Concert", {61000});
  List().path = bookmarks_.Item("Concert.trk").c_str();
  List().tracks[0].AddSubtrack("Edit", 5000);
  bookmarks_.Write("Concert.trk", kOld);
  {
    ScopedFileFault held(FileFault::kHeldTarget, 3);
    g_waits = 0;
    CmdSave(ThePlugin());  // no box: a box here would hang the test
    EXPECT_EQ(g_waits, 3);
    EXPECT_TRUE(HasEdit(bookmarks_.Item("Concert.trk")));
  }
  // The wait of the plug-in's own thread gives up when the quit message is queued.
  g_realWait = previous_;
  SetRetryWait(CountRealWait);
  g_waits = 0;
  List().tracks[0].AddSubtrack("Later", 6000);
  List().modified = true;
  ThePlugin().settings().autoSave = true;
  ScopedFileFault held(FileFault::kRefusedReplace, -1, bookmarks_.Item("Concert.trk").c_str());
  PostThreadMessageA(GetCurrentThreadId(), UM_QUIT, 0, 0);
  SaveIfModified(ThePlugin());
  EXPECT_EQ(g_waits, 1);
  EXPECT_EQ(TempDir::Read(bookmarks_.Item("Concert.trk")).find("Later"), std::string::npos);
  EXPECT_NE(TempDir::Read(bookmarks_.Item("Concert.trk.unsaved")).find("Later"), std::string::npos);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, UM_QUIT, UM_QUIT, PM_REMOVE)) {}
}

}  // namespace
}  // namespace tarnix::test
