// A list whose path is just below the classic limit of 260 units: it always opened, but its
// temporary file and its recovery file passed the limit and every save of it failed. Wine takes
// paths of any length, so the plug-in's file calls meet Windows' limit through ClassicPathLimit.

#include <gtest/gtest.h>

#include <string>

#include "resources/resource_ids.h"
#include "testhost/path_limit.h"
#include "tests/plugin/plugin_test.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

std::wstring LongForm(const std::string& path) { return L"\\\\?\\" + std::wstring(path.begin(), path.end()); }

// The test's own file calls use the long form too, or they would fail as the plug-in did.
std::string ReadLong(const std::string& path) {
  HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes(4096, '\0');
  DWORD got = 0;
  ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

bool WriteLong(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) && wrote == bytes.size();
  CloseHandle(file);
  return ok;
}

TEST(LongPaths, AListWhosePathIsJustBelowTheLimitIsSaved) {
  PluginSession h;
  // Folders down to 200 units, then a title that makes the list's path 256 units long.
  std::string folder = h.Dir().Root() + "\\Deep";
  while (folder.size() < 200) {
    ASSERT_TRUE(CreateDirectoryW(LongForm(folder).c_str(), nullptr)) << folder;
    folder += "\\" + std::string(40, 'f');
  }
  ASSERT_TRUE(CreateDirectoryW(LongForm(folder).c_str(), nullptr));
  const std::string title(256 - folder.size() - 5, 't');
  const std::string list = folder + "\\" + title + ".trk";
  ASSERT_EQ(list.size(), 256u);
  ASSERT_TRUE(WriteLong(list, TrackFile("Deep", "01:00:00:00*" + title + "\r\n01:00:01:00 Theme\r\n")));
  h.SetPluginIni("BookmarkPath", folder);
  h.Player().SetPlaylist({{"C:\\x\\deep.mp3", title, 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  {
    testhost::ClassicPathLimit limit(h.Loader()->Module());
    ASSERT_GT(limit.Redirected(), 0u);
    ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 1); }, 4000));
    ASSERT_TRUE(h.Command(IDM_INSERT_SUBTRACK));
    ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 2); }, 4000));
    ASSERT_TRUE(h.Command(IDM_SAVE));
    EXPECT_TRUE(h.PumpUntil([&] { return ReadLong(list).find("New subsong") != std::string::npos; }, 5000))
        << ReadLong(list);
    EXPECT_TRUE(ReadLong(list + ".tmp").empty());
    EXPECT_EQ(testhost::ClassicPathLimit::Refusals(), 0);
  }
  EXPECT_TRUE(h.Stop());
}

}  // namespace
}  // namespace tarnix::test
