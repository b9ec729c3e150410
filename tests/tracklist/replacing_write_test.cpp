// Replacing a stored file under every fault the writers meet (the lists kept when a save could
// not be done are tested in unsaved_lists_test.cpp).

#include "tracklist/replacing_write.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tracklist/dir_index.h"
#include "tracklist/file_faults.h"
#include "tracklist/platform.h"
#include "tracklist/track_list.h"
#include "tracklist/unsaved_lists.h"

namespace tarnix {
namespace {

const std::string kOld = "old contents\r\n";
const std::string kNew = "new contents, longer than the old ones\r\n";

// Counts the waits instead of sleeping; gives up after `giveUpAfter` of them (-1: never).
int g_waits = 0;
int g_giveUpAfter = -1;
bool CountingWait(int) {
  if (g_giveUpAfter >= 0 && g_waits >= g_giveUpAfter) return false;
  ++g_waits;
  return true;
}

class ReplacingWriteTest : public ::testing::Test {
 protected:
  ReplacingWriteTest() : previous_(SetRetryWait(CountingWait)) {
    g_waits = 0;
    g_giveUpAfter = -1;
    target_ = dir_.Write("list.trk", kOld);
  }
  ~ReplacingWriteTest() override {
    ClearFileFault();
    SetRetryWait(previous_);
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    platform::EnumerateFiles((dir_.Item("*")).c_str(), [&](const TextString& name) {
      names.push_back(name.c_str());
      return true;
    });
    return names;
  }

  test::TempDir dir_;
  std::string target_;
  RetryWait previous_;
};

TEST_F(ReplacingWriteTest, EveryFaultLeavesTheOldFileAndNoTemporaryFile) {
  struct Case {
    FileFault fault;
    FileError expected;
    int waits;  // a held file is waited for, nothing else is
  } const cases[] = {
      {FileFault::kShortWrite, FileError::kDiskFull, 0},
      {FileFault::kFailedClose, FileError::kOther, 0},
      // The data must reach the disk before the old file is replaced: a power cut between a
      // replace and a late flush would leave an empty list where a whole one was.
      {FileFault::kFailedFlush, FileError::kOther, 0},
      {FileFault::kRefusedReplace, FileError::kHeld, kHeldFileBudgetMs / kHeldFileStepMs},
      {FileFault::kReadOnlyTarget, FileError::kReadOnly, 0},
      {FileFault::kMissingDirectory, FileError::kPathNotFound, 0},
  };
  for (const Case& c : cases) {
    g_waits = 0;
    ScopedFileFault fault(c.fault);
    const WriteResult result = WriteReplacing(target_.c_str(), kNew);
    EXPECT_EQ(result.error.kind, c.expected) << static_cast<int>(c.fault);
    EXPECT_FALSE(result.Reason().IsEmpty()) << static_cast<int>(c.fault);
    EXPECT_EQ(LastWriteResult().error.kind, c.expected);
    EXPECT_EQ(g_waits, c.waits) << static_cast<int>(c.fault);
    EXPECT_EQ(test::TempDir::Read(target_), kOld) << static_cast<int>(c.fault);
    EXPECT_EQ(Files(), std::vector<std::string>{"list.trk"}) << static_cast<int>(c.fault);
  }
  EXPECT_TRUE(WriteReplacing(target_.c_str(), kNew).Ok());
  EXPECT_EQ(test::TempDir::Read(target_), kNew);
}

// The portable writers on top: a list, the directory index and a kept edit.
TEST_F(ReplacingWriteTest, EveryPortableWriterAgainstEveryFault) {
  struct Writer {
    const char* name;
    std::function<bool(const TextString& path)> write;
  } const writers[] = {
      {"list",
       [](const TextString& path) {
         TrackList list;
         list.Reset("Concert", 1, 0);
         return list.Save(path);
       }},
      {"index",
       [](const TextString& path) {
         DirectoryIndex index;
         return index.SaveTo(path);
       }},
      {"kept edit",
       [](const TextString& path) {
         UnsavedLists unsaved;
         unsaved.Keep(path, kNew);
         return unsaved.SaveWaiting() == 1;
       }},
  };
  const FileFault faults[] = {FileFault::kShortWrite,     FileFault::kFailedClose,    FileFault::kFailedFlush,
                              FileFault::kRefusedReplace, FileFault::kReadOnlyTarget, FileFault::kMissingDirectory};
  for (const Writer& writer : writers) {
    for (const FileFault fault : faults) {
      SCOPED_TRACE(std::string(writer.name) + ", fault " + std::to_string(static_cast<int>(fault)));
      target_ = dir_.Write("list.trk", kOld);
      {
        ScopedFileFault injected(fault, -1, target_.c_str());
        EXPECT_FALSE(writer.write(target_.c_str()));
        EXPECT_FALSE(LastWriteResult().Ok());
        EXPECT_EQ(test::TempDir::Read(target_), kOld);
        EXPECT_FALSE(test::TempDir::Exists(target_ + ".tmp"));
      }
      EXPECT_TRUE(writer.write(target_.c_str()));  // and again once the fault is gone
      EXPECT_NE(test::TempDir::Read(target_), kOld);
      EXPECT_FALSE(test::TempDir::Exists(target_ + ".unsaved"));
    }
  }
}

TEST_F(ReplacingWriteTest, AShortHoldIsWaitedOutAndAnEndingProgramStopsTheWait) {
  {
    ScopedFileFault held(FileFault::kHeldTarget, 5, target_.c_str());
    const WriteResult result = WriteReplacing(target_.c_str(), kNew);
    EXPECT_TRUE(result.Ok());
    EXPECT_EQ(result.retries, 5);
    EXPECT_EQ(test::TempDir::Read(target_), kNew);
  }
  {
    g_waits = 0;
    g_giveUpAfter = 2;
    ScopedFileFault held(FileFault::kRefusedReplace);
    const WriteResult result = WriteReplacing(target_.c_str(), kOld);
    EXPECT_EQ(result.error.kind, FileError::kInterrupted);
    EXPECT_EQ(result.retries, 2);
    EXPECT_EQ(test::TempDir::Read(target_), kNew);
    EXPECT_EQ(Files(), std::vector<std::string>{"list.trk"});
  }
  // A budget of 0: one attempt only.
  ScopedFileFault held(FileFault::kHeldTarget, 1);
  EXPECT_EQ(WriteReplacing(target_.c_str(), kOld, 0).error.kind, FileError::kHeld);
}

#ifdef _WIN32
TEST_F(ReplacingWriteTest, AReadOnlyTargetIsNotWaitedFor) {
  ASSERT_TRUE(SetFileAttributesA(target_.c_str(), FILE_ATTRIBUTE_READONLY));
  const WriteResult result = WriteReplacing(target_.c_str(), kNew);
  SetFileAttributesA(target_.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(result.error.kind, FileError::kReadOnly);
  EXPECT_EQ(g_waits, 0);
  EXPECT_EQ(test::TempDir::Read(target_), kOld);
  EXPECT_EQ(Files(), std::vector<std::string>{"list.trk"});
}
#endif

TEST_F(ReplacingWriteTest, AFaultAimedAtOneFileSparesTheOthers) {
  ScopedFileFault held(FileFault::kRefusedReplace, -1, target_.c_str());
  EXPECT_TRUE(WriteReplacing(dir_.Item("other.trk").c_str(), kNew).Ok());
  EXPECT_FALSE(WriteReplacing(target_.c_str(), kNew, 0).Ok());
}

}  // namespace
}  // namespace tarnix
