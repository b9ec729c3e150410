// The edits kept when a save could not be done: their recovery files, what a full disk leaves of
// them, and which recovery files of an earlier run the next start takes up.

#include "tracklist/unsaved_lists.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/file_faults.h"
#include "tests/support/temp_dir.h"
#include "tracklist/platform.h"
#include "tracklist/track_file.h"
#include "tracklist/track_list.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

std::string ListBytes(const std::string& album) {
  return "[Album ] " + album + "\r\n[Artist] Tester\r\n01:00:00:00*Opening\r\n";
}

const std::string kOld = ListBytes("Old");
const std::string kEdit = ListBytes("Edit");
const std::string kLater = ListBytes("Later");

class UnsavedListsTest : public ::testing::Test {
 protected:
  TextString Item(const std::string& name) const { return dir_.Item(name).c_str(); }
  std::string Read(const std::string& name) const { return test::TempDir::Read(dir_.Join(name)); }
  bool Exists(const std::string& name) const { return test::TempDir::Exists(dir_.Join(name)); }
  std::vector<std::string> Lists() const {
    std::vector<std::string> names;
    platform::EnumerateFiles(Item("*.trk"), [&](const TextString& name) {
      names.push_back(name.c_str());
      return true;
    });
    return names;
  }

  test::TempDir dir_;
};

TEST_F(UnsavedListsTest, AKeptEditReadsAsItsListNamesItAndIsSavedOnceTheListIsFree) {
  const std::string name = "Caf\xC3\xA9 100% live.trk";
  dir_.Write(name, kOld);
  const TextString list = Item(name);
  const std::string edit = trackfile::kUtf8Mark + ListBytes("Caf\xC3\xA9 edited");
  UnsavedLists unsaved;
  {
    ScopedFileFault held(FileFault::kRefusedReplace, -1, list.c_str());
    const TextString recovery = unsaved.Keep(list, kEdit);
    EXPECT_STREQ(recovery.c_str(), RecoveryPathFor(list).c_str());
    EXPECT_EQ(unsaved.Keep(list, edit), recovery);  // the later edit replaces the earlier one
    EXPECT_EQ(unsaved.SaveWaiting(), 0);

    // Read as a list, the recovery file is the edit; it names its list and what the list was.
    TrackList asList;
    ASSERT_TRUE(asList.Load(recovery, "", 0, 0, true));
    EXPECT_STREQ(asList.album.c_str(), "Caf\xC3\xA9 edited");
    RecoveryFile file;
    ASSERT_TRUE(ParseRecoveryFile(Read(name + ".unsaved"), &file));
    EXPECT_STREQ(file.listPath.c_str(), list.c_str());
    EXPECT_EQ(file.bytes, edit);
    EXPECT_TRUE(file.was == ListFileStateOf(list));
    EXPECT_EQ(Lists(), std::vector<std::string>{name});

    // A list whose edit is kept is shown as edited.
    TrackList shown;
    EXPECT_TRUE(unsaved.LoadKept(shown, list, "", 0, 0, true));
    EXPECT_STREQ(shown.album.c_str(), "Caf\xC3\xA9 edited");
    EXPECT_STREQ(shown.path.c_str(), list.c_str());
  }
  EXPECT_EQ(unsaved.SaveWaiting(), 1);
  EXPECT_EQ(Read(name), edit);
  EXPECT_FALSE(Exists(name + ".unsaved"));

  // A newer save supersedes what was kept; the list is known by its path in any letter case.
  {
    ScopedFileFault held(FileFault::kRefusedReplace, -1, list.c_str());
    unsaved.Keep(list, kLater);
  }
  TextString shouted = list;
  shouted.ToUpper();
  EXPECT_TRUE(unsaved.Holds(shouted));
  unsaved.Forget(shouted);
  EXPECT_EQ(unsaved.Count(), 0u);
  EXPECT_EQ(unsaved.SaveWaiting(), 0);
  EXPECT_EQ(Read(name), edit);
  EXPECT_FALSE(Exists(name + ".unsaved"));
}

// Reproduction: edit A of a held list is kept in its recovery file; the disk fills up, so the
// recovery file of the later edit B cannot be written. The old code removed A's file anyway, and
// quitting then lost both edits.
TEST_F(UnsavedListsTest, ARecoveryFileStaysWholeUntilTheNextOneIsWritten) {
  ASSERT_TRUE(dir_.MakeDir("fallback"));
  dir_.Write("list.trk", kOld);
  const TextString list = Item("list.trk");
  UnsavedLists unsaved(Item("fallback"));
  ASSERT_FALSE(unsaved.Keep(list, kEdit).IsEmpty());
  const std::string kept = Read("list.trk.unsaved");
  {
    ScopedFileFault full(FileFault::kShortWrite);
    EXPECT_TRUE(unsaved.Keep(list, kLater).IsEmpty());
  }
  EXPECT_EQ(Read("list.trk.unsaved"), kept);
  EXPECT_FALSE(Exists("fallback/list.trk.unsaved"));
  EXPECT_EQ(unsaved.SaveWaiting(), 1);
  EXPECT_EQ(Read("list.trk"), kLater);
  EXPECT_FALSE(Exists("list.trk.unsaved"));
}

// What an earlier run and the time after it did, step by step, in lists<n> and fallback<n>.
enum class Step {
  kMakeLists,     // the list's directory is there
  kOld,           // the list is written as it was
  kKeep,          // the earlier run keeps kEdit for lists<n>/list.trk (in fallback<n> when lists<n> is missing)
  kLater,         // the list is saved again
  kTie,           // the list and the recovery file get the same time stamp (stamps may be 2 s coarse)
  kTouch,         // the list's time stamp moves an hour on, its bytes stay
  kOlder,         // the list's time stamp moves an hour back
  kDelete,        // the list is deleted
  kOldBeside,     // an earlier version's recovery file (the list's bytes alone) beside the list
  kOldElsewhere,  // the same in the fallback directory
  kBroken,        // a recovery file whose record cannot be read
  kNoList,        // an earlier version's recovery file that holds no list
};

TEST_F(UnsavedListsTest, ARecoveryFileIsTakenUpUnlessItsListHoldsALaterEdit) {
  using S = Step;
  struct Case {
    const char* what;
    std::vector<Step> steps;
    bool takenUp;
  } const cases[] = {
      {"the list is as it was, with the recovery file's time stamp", {S::kMakeLists, S::kOld, S::kKeep, S::kTie}, true},
      {"the list was saved again in the recovery file's tick",
       {S::kMakeLists, S::kOld, S::kKeep, S::kLater, S::kTie},
       false},
      {"the list was only touched since", {S::kMakeLists, S::kOld, S::kKeep, S::kTouch}, true},
      {"the list was deleted since", {S::kMakeLists, S::kOld, S::kKeep, S::kDelete}, true},
      {"no list when the edit was kept, one saved in its tick", {S::kMakeLists, S::kKeep, S::kLater, S::kTie}, false},
      {"the list's directory was gone (fallback) and is back as it was", {S::kKeep, S::kMakeLists, S::kOld}, true},
      {"an earlier version's file beside an older list", {S::kMakeLists, S::kOld, S::kOldBeside, S::kOlder}, true},
      {"an earlier version's file with its list's time stamp", {S::kMakeLists, S::kOld, S::kOldBeside, S::kTie}, false},
      {"an earlier version's file in the fallback directory names no list", {S::kMakeLists, S::kOldElsewhere}, false},
      {"a broken record", {S::kMakeLists, S::kBroken}, false},
      {"a recovery file that holds no list", {S::kMakeLists, S::kOld, S::kNoList, S::kOlder}, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string lists = "lists" + std::to_string(++n);
    const std::string fallback = "fallback" + std::to_string(n);
    const std::string list = lists + "/list.trk";
    ASSERT_TRUE(dir_.MakeDir(fallback));
    const auto recovery = [&] {
      return Exists(lists + "/list.trk.unsaved") ? lists + "/list.trk.unsaved" : fallback + "/list.trk.unsaved";
    };
    const auto fsPath = [&](const std::string& name) { return fs::u8path(dir_.Join(name)); };
    const auto recoveryTime = [&] { return fs::last_write_time(fsPath(recovery())); };
    for (const Step step : c.steps) {
      switch (step) {
        case S::kMakeLists:
          dir_.MakeDir(lists);
          break;
        case S::kOld:
          dir_.Write(list, kOld);
          break;
        case S::kKeep:
          UnsavedLists(Item(fallback)).Keep(Item(lists + "\\list.trk"), kEdit);
          break;
        case S::kLater:
          dir_.Write(list, kLater);
          break;
        case S::kTie: {
          // Both set: the stamps read back may be coarser than the files'.
          const fs::file_time_type time = recoveryTime();
          fs::last_write_time(fsPath(recovery()), time);
          fs::last_write_time(fsPath(list), time);
          break;
        }
        case S::kTouch:
          fs::last_write_time(fsPath(list), recoveryTime() + std::chrono::hours(1));
          break;
        case S::kOlder:
          fs::last_write_time(fsPath(list), recoveryTime() - std::chrono::hours(1));
          break;
        case S::kDelete:
          fs::remove(fsPath(list));
          break;
        case S::kOldBeside:
          dir_.Write(lists + "/list.trk.unsaved", kEdit);
          break;
        case S::kOldElsewhere:
          dir_.Write(fallback + "/list.trk.unsaved", kEdit);
          break;
        case S::kBroken:
          dir_.Write(lists + "/list.trk.unsaved", "[List  ] C:%ZZ\r\n[Was   ] unseen\r\n" + kEdit);
          break;
        case S::kNoList:
          dir_.Write(lists + "/list.trk.unsaved", "not a list\r\n");
          break;
      }
    }
    const std::string before = Read(list);
    const auto recoveryFiles = [&] {
      return Exists(lists + "/list.trk.unsaved") + Exists(fallback + "/list.trk.unsaved");
    };
    ASSERT_EQ(recoveryFiles(), 1);

    UnsavedLists next(Item(fallback));
    EXPECT_EQ(next.AdoptRecoveryFiles(Item(lists)), c.takenUp ? 1 : 0);
    EXPECT_EQ(next.AdoptRecoveryFiles(Item(lists)), 0);  // already held or still left
    EXPECT_EQ(next.SaveWaiting(), c.takenUp ? 1 : 0);
    EXPECT_EQ(Read(list), c.takenUp ? kEdit : before);
    EXPECT_EQ(recoveryFiles(), c.takenUp ? 0 : 1);
    EXPECT_FALSE(Exists(fallback + "/list.trk"));
  }
}

// Two lists of one name whose directories are both gone meet in the fallback directory: each
// edit keeps a file of its own there, the next start takes up both, and keeping one again
// rewrites its own file only.
TEST_F(UnsavedListsTest, ListsOfOneNameKeepTheirOwnFilesInTheFallbackDirectory) {
  ASSERT_TRUE(dir_.MakeDir("fallback"));
  const std::string editA = ListBytes("Edit A"), editB = ListBytes("Edit B"), againA = ListBytes("Again A");
  {
    UnsavedLists unsaved(Item("fallback"));
    EXPECT_FALSE(unsaved.Keep(Item("a\\list.trk"), editA).IsEmpty());
    EXPECT_FALSE(unsaved.Keep(Item("b\\list.trk"), editB).IsEmpty());
    EXPECT_FALSE(unsaved.Keep(Item("a\\list.trk"), againA).IsEmpty());
  }
  EXPECT_TRUE(Exists("fallback/list.trk.unsaved"));
  EXPECT_TRUE(Exists("fallback/list (2).trk.unsaved"));
  EXPECT_FALSE(Exists("fallback/list (3).trk.unsaved"));

  ASSERT_TRUE(dir_.MakeDir("a"));
  ASSERT_TRUE(dir_.MakeDir("b"));
  UnsavedLists next(Item("fallback"));
  EXPECT_EQ(next.AdoptRecoveryFiles(Item("a")), 2);
  EXPECT_EQ(next.SaveWaiting(), 2);
  EXPECT_EQ(Read("a/list.trk"), againA);
  EXPECT_EQ(Read("b/list.trk"), editB);
  EXPECT_FALSE(Exists("fallback/list.trk.unsaved"));
  EXPECT_FALSE(Exists("fallback/list (2).trk.unsaved"));
}

}  // namespace
}  // namespace tarnix
