#include "demo/bookmark_watch.h"

#include "testhost/player_directory.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace tarnix::demo {
namespace {

TEST(BookmarkWatchTest, DiffFindsAddedChangedAndRemovedFiles) {
  const DirectorySnapshot before = {{"a.trk", {10, 1}}, {"b.trk", {20, 2}}, {"c.trk", {30, 3}}};
  const DirectorySnapshot after = {{"a.trk", {10, 1}}, {"b.trk", {20, 5}}, {"d.trk", {1, 1}}};
  const auto changes = DiffSnapshots(before, after);
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_EQ(changes[0].name, "b.trk");
  EXPECT_EQ(changes[0].change, FileChange::kChanged);
  EXPECT_EQ(changes[1].name, "d.trk");
  EXPECT_EQ(changes[1].change, FileChange::kAdded);
  EXPECT_EQ(changes[2].name, "c.trk");
  EXPECT_EQ(changes[2].change, FileChange::kRemoved);
  EXPECT_TRUE(DiffSnapshots(after, after).empty());
  // A size change alone counts, for writes within one file-time tick.
  EXPECT_EQ(DiffSnapshots({{"x", {1, 7}}}, {{"x", {2, 7}}}).size(), 1u);
}

TEST(BookmarkWatchTest, WatchReportsWritesOnce) {
  testhost::PlayerDirectory directory;
  ASSERT_TRUE(directory.Ok());
  ASSERT_TRUE(directory.WriteFile("Bookmarks\\old.trk", "[Album ] a\r\n[Artist] b\r\n"));
  BookmarkWatch watch(directory.Bookmarks());
  EXPECT_TRUE(watch.Poll().empty());

  ASSERT_TRUE(directory.WriteFile("Bookmarks\\new.trk", "x"));
  ASSERT_TRUE(directory.WriteFile("Bookmarks\\old.trk", "longer than before"));
  CreateDirectoryA((directory.Bookmarks() + "\\sub").c_str(), nullptr);  // not a file
  auto changes = watch.Poll();
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].name, "new.trk");
  EXPECT_EQ(changes[0].change, FileChange::kAdded);
  EXPECT_EQ(changes[1].name, "old.trk");
  EXPECT_EQ(changes[1].change, FileChange::kChanged);
  EXPECT_TRUE(watch.Poll().empty());

  ASSERT_TRUE(DeleteFileA((directory.Bookmarks() + "\\new.trk").c_str()));
  changes = watch.Poll();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].change, FileChange::kRemoved);
}

TEST(BookmarkWatchTest, MissingDirectoryIsEmpty) {
  EXPECT_TRUE(SnapshotDirectory("Z:\\no\\such\\directory\\anywhere").empty());
}

}  // namespace
}  // namespace tarnix::demo
