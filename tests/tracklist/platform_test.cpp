#include "tracklist/platform.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "tests/support/temp_dir.h"
#include "tracklist/long_path.h"

namespace tarnix {
namespace {

std::string S(const TextString& t) { return std::string(t.c_str(), static_cast<size_t>(t.Length())); }

// A path the core spells with "\\" as the test's own file calls take it.
std::string OnDisk(std::string path) {
#ifndef _WIN32
  for (char& c : path) c = c == '\\' ? '/' : c;
#endif
  return path;
}

TEST(PlatformTest, ProfileStringsOfAnyLength) {
  test::TempDir dir;
  std::string ini = "[Other]\r\nBookmarkPath=wrong\r\n[Tarnix Plugin]\r\nAutoPopup=1\r\n";
  const int lengths[] = {0, 1, 29, 30, 31, 32, 60, 61, 62, 63, 300, 1000, 5000};
  for (int n : lengths) ini += "Key" + std::to_string(n) + "=" + std::string(static_cast<size_t>(n), 'v') + "\r\n";
  dir.Write("plugin.ini", ini);
  const TextString file = dir.Item("plugin.ini").c_str();
  for (int n : lengths) {
    const TextString value = FromProfileString("Tarnix Plugin", ("Key" + std::to_string(n)).c_str(), "default", file);
    EXPECT_EQ(value.Length(), n);
    EXPECT_EQ(S(value), std::string(static_cast<size_t>(n), 'v'));
  }
  EXPECT_EQ(S(FromProfileString("Tarnix Plugin", "AutoPopup", "0", file)), "1");
  EXPECT_EQ(S(FromProfileString("Tarnix Plugin", "Missing", "fallback", file)), "fallback");
  EXPECT_EQ(S(FromProfileString("Tarnix Plugin", "BookmarkPath", "", file)), "");
  const std::string long_default(400, 'd');
  EXPECT_EQ(S(FromProfileString("Tarnix Plugin", "Missing", long_default.c_str(), file)), long_default);
  EXPECT_EQ(S(FromProfileString("Tarnix Plugin", "AutoPopup", "x", dir.Item("none.ini").c_str())), "x");
}

TEST(PlatformTest, ModuleFileNameOfThisProgram) {
  const TextString self = FromModuleFileName(nullptr);
  ASSERT_FALSE(self.IsEmpty());
  EXPECT_TRUE(test::TempDir::Exists(self.c_str()));
}

TEST(PlatformTest, ModuleFileNameFromADeepDirectory) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const std::string self = FromModuleFileName(nullptr).c_str();
  const std::string exe = fs::path(self).filename().string();
#ifdef _WIN32
  const size_t goal = 250;  // below MAX_PATH, which starting a program still needs
#else
  const size_t goal = 420;
#endif
  std::string deep = dir.Path();
  int level = 0;
  while (deep.size() + exe.size() + 40 < goal) {
    deep = (fs::path(deep) / ("level" + std::to_string(level++) + std::string(28, 'x'))).string();
  }
  const std::string tail = "y" + std::string(goal - deep.size() - exe.size() - 2, 'z');
  deep = (fs::path(deep) / tail).string();
  fs::create_directories(deep);
  const std::string copy = (fs::path(deep) / exe).string();
  fs::copy_file(self, copy);
  ASSERT_GE(copy.size(), goal - 2);
  const std::string out = dir.Join("module.txt");
  const std::string command = copy + " --print-module-name " + out;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::string reported = test::TempDir::Read(out);
  EXPECT_EQ(reported.size(), copy.size());
  EXPECT_EQ(fs::path(reported).filename().string(), exe);
  EXPECT_TRUE(fs::equivalent(reported, copy));
}

TEST(PlatformTest, WindowTextOfNoWindowIsEmpty) { EXPECT_TRUE(FromWindowText(nullptr).IsEmpty()); }

TEST(PlatformTest, EnumerateFilesSkipsDirectoriesAndMatchesCase) {
  test::TempDir dir;
  dir.Write("a.trk", "x");
  dir.Write("B.TRK", "x");
  dir.Write("c.txt", "x");
  ASSERT_TRUE(dir.MakeDir("d.trk"));
  std::set<std::string> seen;
  platform::EnumerateFiles(dir.Item("*.trk").c_str(), [&](const TextString& name) {
    seen.insert(S(name));
    return true;
  });
  EXPECT_EQ(seen, (std::set<std::string>{"a.trk", "B.TRK"}));
  int calls = 0;
  platform::EnumerateFiles(dir.Item("*.trk").c_str(), [&](const TextString&) {
    ++calls;
    return false;  // stop at the first
  });
  EXPECT_EQ(calls, 1);
  platform::EnumerateFiles(dir.Item("missing\\*.trk").c_str(), [&](const TextString&) {
    ADD_FAILURE() << "nothing to list";
    return true;
  });
}

TEST(PlatformTest, ReplaceFileKeepsTargetOnFailure) {
  test::TempDir dir;
  dir.Write("new", "fresh");
  dir.Write("old", "stale");
  EXPECT_TRUE(platform::ReplaceExisting(dir.Item("new").c_str(), dir.Item("old").c_str()));
  EXPECT_EQ(test::TempDir::Read(dir.Join("old")), "fresh");
  EXPECT_FALSE(test::TempDir::Exists(dir.Join("new")));
  EXPECT_FALSE(platform::ReplaceExisting(dir.Item("gone").c_str(), dir.Item("old").c_str()));
  EXPECT_EQ(test::TempDir::Read(dir.Join("old")), "fresh");
  EXPECT_TRUE(platform::RemoveFile(dir.Item("old").c_str()));
  EXPECT_FALSE(platform::RemoveFile(dir.Item("old").c_str()));
}

#ifdef _WIN32
// A rewrite changes what a file holds, not whether it is hidden. (Its creation time is kept as
// well on Windows; Wine keeps no creation time of its own to look at.)
TEST(PlatformTest, ReplaceKeepsTheOldFilesHiddenFlag) {
  test::TempDir dir;
  dir.Write("new", "fresh");
  dir.Write("old", "stale");
  const std::string old = dir.Join("old");
  ASSERT_TRUE(SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(platform::ReplaceExisting(dir.Item("new").c_str(), dir.Item("old").c_str()));
  EXPECT_EQ(test::TempDir::Read(old), "fresh");
  EXPECT_TRUE(GetFileAttributesA(old.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}
#endif

// Names in scripts no single code page holds go through every file call of the seam whole.
TEST(PlatformTest, FileCallsKeepNamesInAnyScript) {
  test::TempDir dir;
  const std::string folder = dir.Item("\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0");  // Cyrillic
  const std::string song = "\xE6\x84\x9B\xE3\x81\xAE\xE6\xAD\x8C \xCE\xA9 \xF0\x9F\x8E\xB5.trk";
  const std::string file = folder + "\\" + song;
  EXPECT_FALSE(platform::PathExists(folder.c_str()));
  ASSERT_TRUE(platform::CreateFolder(folder.c_str()));
  EXPECT_FALSE(platform::CreateFolder(folder.c_str()));
  EXPECT_TRUE(platform::PathExists(folder.c_str()));
  EXPECT_FALSE(platform::FileExists(folder.c_str()));
  {
    platform::File out(file.c_str(), "wb");
    ASSERT_TRUE(out);
    std::fputs("x", out.get());
  }
  EXPECT_TRUE(platform::FileExists(file.c_str()));
  std::set<std::string> seen;
  platform::EnumerateFiles((folder + "\\*.trk").c_str(), [&](const TextString& name) {
    seen.insert(S(name));
    return true;
  });
  EXPECT_EQ(seen, std::set<std::string>{song});
  const std::string moved = folder + "\\\xE6\xA1\x9C.trk";
  EXPECT_TRUE(platform::ReplaceExisting(file.c_str(), moved.c_str()));
  EXPECT_FALSE(platform::FileExists(file.c_str()));
  EXPECT_EQ(test::TempDir::Read(OnDisk(moved)), "x");
  EXPECT_TRUE(platform::RemoveFile(moved.c_str()));
  EXPECT_FALSE(platform::FileExists(moved.c_str()));
}

TEST(LongPathTest, OnlyFullPathsAtTheLimitTakeTheLongForm) {
  const std::wstring tail(kClassicPathLimit, L'x');
  const struct {
    std::wstring path, expected;
  } cases[] = {
      {L"C:\\short.trk", L"C:\\short.trk"},
      {L"C:\\" + tail, L"\\\\?\\C:\\" + tail},
      {L"c:/" + tail + L"/x", L"\\\\?\\c:\\" + tail + L"\\x"},
      {L"\\\\server\\share\\" + tail, L"\\\\?\\UNC\\server\\share\\" + tail},
      {L"\\\\?\\C:\\" + tail, L"\\\\?\\C:\\" + tail},
      {L"\\\\.\\pipe\\" + tail, L"\\\\.\\pipe\\" + tail},
      {L"relative\\" + tail, L"relative\\" + tail},
      {tail.substr(1), tail.substr(1)},
  };
  for (const auto& c : cases) EXPECT_EQ(LongPathForm(c.path), c.expected);
}

// plugin.ini stays in the code page; its values leave the seam as UTF-8, and a path in any
// script reaches it.
TEST(PlatformTest, ProfileStringsFromTheCodePage) {
  test::TempDir dir;
  ASSERT_TRUE(dir.MakeDir("\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1"));  // Greek
  const std::string ini = dir.Item("\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1\\plugin.ini");
  dir.Write(OnDisk("\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1\\plugin.ini"),
            "[Tarnix Plugin]\r\nBookmarkPath=C:\\Caf\xE9\r\n");
  EXPECT_EQ(S(FromProfileString("Tarnix Plugin", "BookmarkPath", "", ini.c_str())), "C:\\Caf\xC3\xA9");
}

}  // namespace
}  // namespace tarnix
