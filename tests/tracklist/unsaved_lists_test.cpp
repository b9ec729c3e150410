// The edits kept when a save could not be done: their recovery files, what a full disk leaves of
// them, and which recovery files of an earlier run the next start takes up.

#include "tracklist/unsaved_lists.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tracklist/file_faults.h"
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

// An earlier run kept kEdit for lists<n>/list.trk (in fallback<n> when lists<n> was missing);
// the next start takes it up unless the list holds a later edit. Time stamps may be two seconds
// coarse, so a tie says nothing.
class Scene {
 public:
  Scene(const test::TempDir& dir, int n)
      : dir_(dir), lists_("lists" + std::to_string(n)), fallback_("fallback" + std::to_string(n)) {
    dir_.MakeDir(fallback_);
  }
  const std::string& Lists() const { return lists_; }
  const std::string& Fallback() const { return fallback_; }
  std::string List() const { return lists_ + "/list.trk"; }
  TextString Path(const std::string& name) const { return dir_.Item(name).c_str(); }
  fs::path Fs(const std::string& name) const { return fs::u8path(dir_.Join(name)); }

  void MakeLists() const { dir_.MakeDir(lists_); }
  void WriteList(const std::string& bytes) const { dir_.Write(List(), bytes); }
  // The earlier run's keeping of the edit, and where its recovery file went.
  void Keep() {
    UnsavedLists earlier(Path(fallback_));
    ASSERT_FALSE(earlier.Keep(Path(lists_ + "\\list.trk"), kEdit).IsEmpty());
  }
  // An earlier version's recovery file: the list's bytes alone.
  void WriteOldRecovery(const std::string& where, const std::string& bytes) const {
    dir_.Write(where + "/list.trk.unsaved", bytes);
  }
  std::string Recovery() const {
    const std::string beside = lists_ + "/list.trk.unsaved";
    return test::TempDir::Exists(dir_.Join(beside)) ? beside : fallback_ + "/list.trk.unsaved";
  }
  fs::file_time_type RecoveryTime() const { return fs::last_write_time(Fs(Recovery())); }
  // The list and the recovery file get the same time stamp (set both: the stamps read back may
  // be coarser than the files').
  void TieTimes() const {
    const fs::file_time_type time = RecoveryTime();
    fs::last_write_time(Fs(Recovery()), time);
    SetListTime(time);
  }
  void SetListTime(fs::file_time_type time) const { fs::last_write_time(Fs(List()), time); }
  int RecoveryFiles() const {
    return test::TempDir::Exists(dir_.Join(lists_ + "/list.trk.unsaved")) +
           test::TempDir::Exists(dir_.Join(fallback_ + "/list.trk.unsaved"));
  }

 private:
  const test::TempDir& dir_;
  std::string lists_;
  std::string fallback_;
};

TEST_F(UnsavedListsTest, ARecoveryFileIsTakenUpUnlessItsListHoldsALaterEdit) {
  const auto hours = [](int n) { return std::chrono::hours(n); };
  struct Case {
    const char* what;
    std::function<void(Scene&)> earlierRun;
    bool takenUp;
  } const cases[] = {
      {"the list is as it was, with the recovery file's time stamp",
       [](Scene& s) {
         s.MakeLists();
         s.WriteList(kOld);
         s.Keep();
         s.TieTimes();
       },
       true},
      {"the list was saved again in the same two-second tick as the recovery file",
       [](Scene& s) {
         s.MakeLists();
         s.WriteList(kOld);
         s.Keep();
         s.WriteList(kLater);
         s.TieTimes();
       },
       false},
      {"the list was only touched after the edit was kept",
       [&](Scene& s) {
         s.MakeLists();
         s.WriteList(kOld);
         s.Keep();
         s.SetListTime(s.RecoveryTime() + hours(1));
       },
       true},
      {"the list was deleted after the edit was kept",
       [](Scene& s) {
         s.MakeLists();
         s.WriteList(kOld);
         s.Keep();
         fs::remove(s.Fs(s.List()));
       },
       true},
      {"there was no list when the edit was kept, one was saved in the same tick",
       [](Scene& s) {
         s.MakeLists();
         s.Keep();
         s.WriteList(kLater);
         s.TieTimes();
       },
       false},
      {"the list's directory was gone (kept in the fallback directory) and is back as it was",
       [](Scene& s) {
         s.Keep();
         s.MakeLists();
         s.WriteList(kOld);
       },
       true},
      {"an earlier version's recovery file beside an older list",
       [&](Scene& s) {
         s.MakeLists();
         s.WriteList(kOld);
         s.WriteOldRecovery(s.Lists(), kEdit);
         s.SetListTime(s.RecoveryTime() - hours(1));
       },
       true},
      {"an earlier version's recovery file with its list's time stamp",
       [](Scene& s) {
         s.MakeLists();
         s.WriteList(kOld);
         s.WriteOldRecovery(s.Lists(), kEdit);
         s.TieTimes();
       },
       false},
      {"an earlier version's recovery file in the fallback directory names no list",
       [](Scene& s) {
         s.MakeLists();
         s.WriteOldRecovery(s.Fallback(), kEdit);
       },
       false},
      {"a recovery file whose record is broken",
       [](Scene& s) {
         s.MakeLists();
         s.WriteOldRecovery(s.Lists(), "[List  ] C:%ZZ\r\n[Was   ] unseen\r\n" + kEdit);
       },
       false},
      {"a recovery file that holds no list",
       [&](Scene& s) {
         s.MakeLists();
         s.WriteList(kOld);
         s.WriteOldRecovery(s.Lists(), "not a list\r\n");
         s.SetListTime(s.RecoveryTime() - hours(1));
       },
       false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene(dir_, ++n);
    c.earlierRun(scene);
    const std::string before = Read(scene.List());
    const int recoveryFiles = scene.RecoveryFiles();
    ASSERT_EQ(recoveryFiles, 1);

    UnsavedLists next(scene.Path(scene.Fallback()));
    EXPECT_EQ(next.AdoptRecoveryFiles(scene.Path(scene.Lists())), c.takenUp ? 1 : 0);
    EXPECT_EQ(next.AdoptRecoveryFiles(scene.Path(scene.Lists())), 0);  // already held or still left
    EXPECT_EQ(next.SaveWaiting(), c.takenUp ? 1 : 0);
    EXPECT_EQ(Read(scene.List()), c.takenUp ? kEdit : before);
    EXPECT_EQ(scene.RecoveryFiles(), c.takenUp ? 0 : 1);
    EXPECT_FALSE(Exists(scene.Fallback() + "/list.trk"));
  }
}

}  // namespace
}  // namespace tarnix
