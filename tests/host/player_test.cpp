// The typed player interface against a stand-in player on a thread of its own.

#include "host/player.h"
#include "host/player_codes.h"
#include "testhost/player_thread.h"

#include <gtest/gtest.h>

#include "testhost/probe_window.h"
#include "testhost/pump.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

namespace tarnix {
namespace {

using testhost::PlayState;
using testhost::StandInPlayerThread;

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.Player().SetPlaylist(
        {{"C:\\Music\\one.mp3", "Artist - One", 60000}, {"D:\\Track02.cda", "Track 02", 180000}, {"", "", 0}});
  }

  StandInPlayerThread host_;
  Player player_{host_.Window()};
};

TEST_F(PlayerTest, PlaylistQueries) {
  EXPECT_EQ(player_.PlaylistLength(), 3);
  EXPECT_EQ(player_.PlaylistPosition(), 0);
  player_.SetPlaylistPosition(1);
  EXPECT_EQ(player_.PlaylistPosition(), 1);
  EXPECT_EQ(host_.Player().PlaylistPosition(), 1);
  player_.SetPlaylistPosition(7);  // outside the playlist: the player ignores it
  EXPECT_EQ(player_.PlaylistPosition(), 1);
  host_.Player().SetPlaylist({});
  EXPECT_EQ(player_.PlaylistLength(), 0);
  EXPECT_LT(player_.PlaylistPosition(), 0);
}

TEST_F(PlayerTest, EntryTextsAreCopies) {
  struct Case {
    int index;
    const char* path;
    const char* title;
  };
  const Case cases[] = {
      {0, "C:\\Music\\one.mp3", "Artist - One"},
      {1, "D:\\Track02.cda", "Track 02"},
      {2, "", ""},
      {3, "", ""},  // past the end: the player answers a null pointer
      {-1, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    const TextString path = player_.PlaylistFile(c.index);
    const TextString title = player_.PlaylistTitle(c.index);
    EXPECT_STREQ(path.c_str(), c.path);
    EXPECT_STREQ(title.c_str(), c.title);
    EXPECT_NE(static_cast<const void*>(path.c_str()),
              reinterpret_cast<const void*>(
                  SendMessageA(host_.Window(), kPlayerRequest, static_cast<WPARAM>(c.index), kCodePlaylistFile)))
        << "the text was not copied";
  }
  // A copy outlives the player's own text.
  const TextString kept = player_.PlaylistTitle(0);
  host_.Player().SetPlaylist({{"E:\\other.ogg", "Other", 0}});
  EXPECT_STREQ(kept.c_str(), "Artist - One");
  EXPECT_STREQ(player_.PlaylistTitle(0).c_str(), "Other");
}

// Entries whose texts the code page cannot hold: a current player answers them whole through the
// wide requests, an older one only with its "?"; code-page letters arrive as UTF-8 either way.
TEST(PlayerWideTest, EntryTextsAreUtf8FromEitherRequest) {
  const char* const kTitle = "\xE6\x84\x9B\xE3\x81\xAE\xE6\xAD\x8C";          // 愛の歌
  const char* const kPath = "C:\\\xD0\x9C\xD1\x83\xD0\xB7\\Caf\xC3\xA9.mp3";  // C:\Муз\Café.mp3
  struct Case {
    bool wide;
    const char* title;
    const char* path;
  };
  const Case cases[] = {
      {true, kTitle, kPath},
      {false, "???", "C:\\???\\Caf\xC3\xA9.mp3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wide);
    StandInPlayerThread host;
    host.Player().SetPlaylist({{kPath, kTitle, 0}});
    host.Player().SetWideEntryTexts(c.wide);
    WideEntryTexts memo = WideEntryTexts::kUnknown;
    const Player player(host.Window(), &memo);
    EXPECT_STREQ(player.PlaylistFile(1).c_str(), "");  // no entry: tells nothing about the player
    EXPECT_EQ(memo, WideEntryTexts::kUnknown);
    EXPECT_STREQ(player.PlaylistTitle(0).c_str(), c.title);
    EXPECT_EQ(memo, c.wide ? WideEntryTexts::kAnswered : WideEntryTexts::kMissing);
    host.Player().Log().Clear();
    for (int tick = 0; tick < 3; ++tick) EXPECT_STREQ(player.PlaylistFile(0).c_str(), c.path);
    // Known to be an older player, it is asked only the narrow request from then on.
    EXPECT_EQ(host.Player().Log().CountCode(kCodePlaylistFileW), c.wide ? 3 : 0);
    EXPECT_EQ(host.Player().Log().CountCode(kCodePlaylistFile), c.wide ? 0 : 3);
  }
}

TEST_F(PlayerTest, PlaybackStateAndClock) {
  EXPECT_FALSE(player_.IsPlaying());
  EXPECT_LT(player_.OutputTimeMs(), 0);
  player_.SendCommand(kCmdPlay);
  EXPECT_TRUE(player_.IsPlaying());
  EXPECT_EQ(host_.Player().State(), PlayState::kPlaying);
  player_.JumpToTime(30000);
  const int at = player_.OutputTimeMs();
  EXPECT_GE(at, 30000);
  EXPECT_LT(at, 40000);
  player_.SendCommand(kCmdStop);
  EXPECT_FALSE(player_.IsPlaying());
  EXPECT_LT(player_.OutputTimeMs(), 0);
  EXPECT_EQ(host_.Player().Log().CountCommand(kCmdPlay), 1);
  EXPECT_EQ(host_.Player().Log().CountCommand(kCmdStop), 1);
  EXPECT_EQ(host_.Player().Log().CountCode(kCodeJumpToTime), 1);
}

TEST_F(PlayerTest, SkinDirectoryAnswers) {
  struct Case {
    const char* name;
    std::optional<std::string> written;
    std::optional<std::string> expected;
  };
  const std::string full(kSkinDirectoryBufferSize, 'x');  // fills the buffer, no terminator
  const Case cases[] = {
      {"a directory", std::string("C:\\Player\\Skins\\Blue"), std::string("C:\\Player\\Skins\\Blue")},
      {"no skin", std::string(), std::string()},
      {"untouched buffer", std::nullopt, std::nullopt},
      {"unterminated", full, std::string(kSkinDirectoryBufferSize - 1, 'x')},
      {"code page", std::string("C:\\Skins\\Caf\xE9"), std::string("C:\\Skins\\Caf\xC3\xA9")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host_.Player().SetSkinDirectory(c.written);
    const std::optional<TextString> answer = player_.SkinDirectory();
    ASSERT_EQ(answer.has_value(), c.expected.has_value());
    if (answer) {
      EXPECT_EQ(std::string(answer->c_str()), *c.expected);
    }
  }
}

TEST_F(PlayerTest, SkinDirectoryBufferOutlivesTheRequest) {
  // A timed-out send is still delivered when the player's thread gets to it, and the player
  // writes then: the buffer it is handed must not be the asking frame's.
  host_.Player().SetSkinDirectory(std::string("C:\\Skins\\Blue"));
  ASSERT_TRUE(player_.SkinDirectory().has_value());
  WPARAM handed = 0;
  for (const auto& r : host_.Player().Log().Snapshot())
    if (r.IsCode(kCodeSkinDirectory)) handed = r.wParam;
  MEMORY_BASIC_INFORMATION buffer{}, stack{};
  const int local = 0;
  ASSERT_NE(VirtualQuery(reinterpret_cast<const void*>(handed), &buffer, sizeof buffer), 0u);
  ASSERT_NE(VirtualQuery(&local, &stack, sizeof stack), 0u);
  EXPECT_NE(buffer.AllocationBase, stack.AllocationBase) << "handed a buffer on the caller's stack";
  EXPECT_EQ(buffer.AllocationBase, static_cast<void*>(GetModuleHandleA(nullptr))) << "not static storage";
}

TEST_F(PlayerTest, RequestsTravelAsTheirCodes) {
  player_.PlaylistLength();
  player_.PlaylistFile(1);
  player_.SendCommand(kCmdCycleWindows);
  const auto log = host_.Player().Log().Snapshot();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_TRUE(log[0].IsCode(kCodePlaylistLength));
  EXPECT_TRUE(log[1].IsCode(kCodePlaylistFileW));
  EXPECT_EQ(log[1].wParam, 1u);
  EXPECT_TRUE(log[2].IsCommand(kCmdCycleWindows));
  EXPECT_EQ(log[2].lParam, 0);
  for (const auto& r : log) EXPECT_TRUE(r.sent);
}

TEST_F(PlayerTest, OnlyARegisteredCodeAboveTheRegisterRequestIsTaken) {
  const LPARAM code = player_.RegisteredCode(kHotkeysRegistryName);
  EXPECT_GT(code, kCodeRegisterName);
  EXPECT_EQ(code, host_.Player().RegisteredCode(kHotkeysRegistryName));
  for (const LRESULT answer : {LRESULT{0}, LRESULT{1}, LRESULT{kCodeRegisterName}, LRESULT{-1},
                               static_cast<LRESULT>(static_cast<uint64_t>(0x80000000u))}) {
    host_.Player().SetRegisterAnswer(answer);
    EXPECT_EQ(player_.RegisteredCode(kHotkeysRegistryName), 0) << answer;
  }
  // Nothing goes out under a code that is none.
  const int before = host_.Player().Log().CountMessage(WM_USER);
  player_.SendRegistered(0, "record");
  EXPECT_EQ(host_.Player().Log().CountMessage(WM_USER), before);
}

TEST(PlayerPointerTest, TextAboveFourGigabytesIsReadWhole) {
  // A text the player keeps in high memory: a pointer result cut to 32 bits would miss it.
  char* text = static_cast<char*>(VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE));
  ASSERT_NE(text, nullptr);
  std::strcpy(text, "F:\\high\\memory.flac");
  if (sizeof(void*) == 8 && reinterpret_cast<ULONG_PTR>(text) <= 0xffffffffu) {
    VirtualFree(text, 0, MEM_RELEASE);
    GTEST_SKIP() << "no memory above 4 GB";
  }
  std::atomic<HWND> window{nullptr};
  std::atomic<bool> stop{false};
  std::thread owner([&] {
    testhost::ProbeWindow probe([&](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
      if (message != kPlayerRequest || lParam != kCodePlaylistFile) return false;
      result = reinterpret_cast<LRESULT>(text);
      return true;
    });
    window = probe.Window();
    testhost::PumpUntil([&] { return stop.load(); }, 30000);
  });
  while (window == nullptr) Sleep(1);
  const TextString path = Player(window).PlaylistFile(0);
  stop = true;
  owner.join();
  EXPECT_STREQ(path.c_str(), "F:\\high\\memory.flac");
  VirtualFree(text, 0, MEM_RELEASE);
}

}  // namespace
}  // namespace tarnix
