#include "listening/resume_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "listening/resume_store_file.h"

#include "tests/support/temp_dir.h"

namespace tarnix::listening {
namespace {

TEST(ResumeStore, RoundTripKeepsOrderAndPathsInEveryScript) {
  ResumeStore store;
  const TextString greek("C:\\Βιβλία\\Μεγάλο βιβλίο.mp3");  // UTF-8 bytes
  ASSERT_TRUE(store.Remember("C:\\Books\\a.mp3", 120000));
  ASSERT_TRUE(store.Remember(greek, 2830000));
  ASSERT_TRUE(store.Remember("C:\\Books\\a.mp3", 130000));  // played again: first, new position
  EXPECT_EQ(store.Format(),
            "Tarnix resume positions 1\r\n130000 C:\\Books\\a.mp3\r\n2830000 C:\\Βιβλία\\Μεγάλο βιβλίο.mp3\r\n");
  ResumeStore read;
  ASSERT_TRUE(read.Parse(store.Format()));
  EXPECT_EQ(read.Find(greek), 2830000);
  EXPECT_EQ(read.Find("C:\\Books\\a.mp3"), 130000);
  EXPECT_EQ(read.Find("C:\\Books\\A.mp3"), -1);  // the whole path, byte for byte
  EXPECT_EQ(read.Format(), store.Format());
}

TEST(ResumeStore, RefusesPathsALineCannotHold) {
  ResumeStore store;
  EXPECT_FALSE(store.Remember("", 70000));
  EXPECT_FALSE(store.Remember("C:\\a\nb.mp3", 70000));
  EXPECT_FALSE(store.Remember("C:\\a.mp3", -1));
  EXPECT_EQ(store.Count(), 0u);
}

TEST(ResumeStore, HoldsAThousandAndDropsTheLeastRecentlyPlayed) {
  ResumeStore store;
  for (int i = 0; i <= 1000; ++i) store.Remember(("C:\\f" + std::to_string(i) + ".mp3").c_str(), 61000 + i);
  EXPECT_EQ(store.Count(), ResumeStore::kMaxEntries);
  EXPECT_EQ(store.Find("C:\\f0.mp3"), -1);
  EXPECT_EQ(store.Find("C:\\f1.mp3"), 61001);
  EXPECT_EQ(store.Find("C:\\f1000.mp3"), 62000);
  EXPECT_TRUE(store.Forget("C:\\f1.mp3"));
  EXPECT_FALSE(store.Forget("C:\\f1.mp3"));
}

TEST(ResumeStore, DamagedBytesAreRefusedWhole) {
  const std::string damaged[] = {
      "",
      "something else\r\n1000 C:\\a.mp3\r\n",
      "Tarnix resume positions 1\r\n1000C:\\a.mp3\r\n",
      "Tarnix resume positions 1\r\n1000 \r\n",
      "Tarnix resume positions 1\r\n-5 C:\\a.mp3\r\n",
      "Tarnix resume positions 1\r\n99999999999 C:\\a.mp3\r\n",
      "Tarnix resume positions 1\r\n1000 C:\\a.mp3\r\n\r\n",
      "Tarnix resume positions 2\r\n1000 C:\\a.mp3\r\n",
      std::string("Tarnix resume positions 1\r\n1000 C:\\a\0b.mp3\r\n", 44),  // no path holds a NUL
  };
  for (const std::string& bytes : damaged) {
    ResumeStore store;
    store.Remember("C:\\kept.mp3", 90000);
    EXPECT_FALSE(store.Parse(bytes)) << bytes;
    EXPECT_EQ(store.Count(), 0u) << bytes;
  }
  std::string tooMany = "Tarnix resume positions 1\n";
  for (int i = 0; i <= 1000; ++i) tooMany += "70000 C:\\f" + std::to_string(i) + ".mp3\n";
  ResumeStore store;
  EXPECT_FALSE(store.Parse(tooMany));
  ResumeStore empty;
  EXPECT_TRUE(empty.Parse("Tarnix resume positions 1\n"));
}

TEST(ResumeStore, FileIsReplacedAndADamagedOneIgnored) {
  test::TempDir dir;
  const TextString path(dir.Item("gen_tarnix.resume").c_str());
  ResumeStore store;
  EXPECT_EQ(store.Load(path), StoreRead::kMissing);
  store.Remember("C:\\a.mp3", 2830000);
  ASSERT_TRUE(store.Save(path));
  ResumeStore read;
  ASSERT_EQ(read.Load(path), StoreRead::kRead);
  EXPECT_EQ(read.Find("C:\\a.mp3"), 2830000);

  dir.Write("gen_tarnix.resume", std::string("\x00\xFF garbage", 10));
  EXPECT_EQ(read.Load(path), StoreRead::kDamaged);
  EXPECT_EQ(read.Count(), 0u);
  read.Remember("C:\\b.mp3", 70000);
  ASSERT_TRUE(read.Save(path));
  EXPECT_EQ(test::TempDir::Read(dir.Join("gen_tarnix.resume")), "Tarnix resume positions 1\r\n70000 C:\\b.mp3\r\n");
}

std::string Entries(int count) {
  std::string bytes = "Tarnix resume positions 1\r\n";
  for (int i = 0; i < count; ++i) bytes += std::to_string(70000 + i) + " C:\\f" + std::to_string(i) + ".mp3\r\n";
  return bytes;
}

// A file that cannot be read says nothing of the positions in it: nothing is written over it,
// and what was left meanwhile is added once it reads, however often another recording changed.
TEST(ResumeStoreFile, WritesOnlyAfterTheFileWasRead) {
  test::TempDir dir;
  const TextString path(dir.Item("gen_tarnix.resume").c_str());
  ResumeStoreFile store;
  store.SetPaths(path, TextString());
  ASSERT_TRUE(dir.MakeDir("gen_tarnix.resume"));  // a folder in its place: it cannot be read
  store.Remember("C:\\new.mp3", 90000);
  for (size_t i = 0; i < ResumeStore::kMaxEntries; ++i) store.Forget("C:\\ended.mp3");  // each look of a last minute
  EXPECT_FALSE(store.WriteIfChanged());
  EXPECT_FALSE(store.IsRead());
  EXPECT_EQ(store.Find("C:\\new.mp3"), 90000);

  std::filesystem::remove(dir.Join("gen_tarnix.resume"));
  dir.Write("gen_tarnix.resume", Entries(5));
  ASSERT_TRUE(store.WriteIfChanged());
  ResumeStore read;
  ASSERT_EQ(read.Load(path), StoreRead::kRead);
  EXPECT_EQ(read.Count(), 6u);
  EXPECT_EQ(read.Find("C:\\f4.mp3"), 70004);
  EXPECT_EQ(read.Format().find("Tarnix resume positions 1\r\n90000 C:\\new.mp3\r\n"), 0u);
}

// Missing, the store an earlier version left elsewhere is read and stays as it was.
TEST(ResumeStoreFile, TakesUpTheEarlierStoreWhileItsOwnIsMissing) {
  test::TempDir dir;
  dir.Write("earlier.resume", Entries(2));
  const TextString path(dir.Item("gen_tarnix.resume").c_str());
  ResumeStoreFile store;
  store.SetPaths(path, dir.Item("earlier.resume").c_str());
  ASSERT_TRUE(store.EnsureRead());
  EXPECT_EQ(store.Find("C:\\f1.mp3"), 70001);
  store.Forget("C:\\f0.mp3");
  ASSERT_TRUE(store.WriteIfChanged());
  EXPECT_EQ(test::TempDir::Read(dir.Join("gen_tarnix.resume")), "Tarnix resume positions 1\r\n70001 C:\\f1.mp3\r\n");
  EXPECT_EQ(test::TempDir::Read(dir.Join("earlier.resume")), Entries(2));
}

}  // namespace
}  // namespace tarnix::listening
