// "Save chapters into the file" in-process: what is refused is told, naming the file and the
// reason, and leaves the file byte for byte; a fault at any step of the replacement does too; a
// file the player holds is kept waiting and written at the next song change; and a second save
// asked for while one runs is told to wait.

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "commands/commands.h"
#include "commands_fixture.h"
#include "host/plugin.h"
#include "session/chapter_saves.h"
#include "session/playback_tracking.h"
#include "tests/support/file_faults.h"
#include "tests/support/file_hold.h"
#include "ui_responder.h"

namespace tarnix::test {
namespace {

namespace fs = std::filesystem;

class ChapterSaveTest : public CommandsTest {
 protected:
  // Nothing is left waiting: at shutdown it would be kept for the next test's start.
  ~ChapterSaveTest() override {
    ClearFileFault();
    ThePlugin().recordingSave().CancelAndJoin();
    ThePlugin().recordingSave().pending().clear();
  }

  // A copy of a fixture as the playing file of a one-track list with subtracks.
  std::string PlayCopy(const std::string& fixture, const std::string& name) {
    const std::string media = bookmarks_.Item(name);
    // copy_file's overwrite option fails on an existing target with this runtime: remove it first.
    SetFileAttributesA(media.c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove(fs::u8path(media));
    fs::copy_file(fs::u8path(std::string(TARNIX_SOURCE_DIR) + "/tests/import/fixtures/written/" + fixture),
                  fs::u8path(media));
    UseSingleTrack("Song", {400, 800});
    ThePlugin().playback().currentPath = media.c_str();
    return media;
  }
  // Handles the window's messages until the save's thread ended and its end was handled.
  bool SaveEnded() {
    for (int i = 0; i < 400 && ThePlugin().recordingSave().Running(); ++i) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLPOSTMESSAGE);
      if (!Pump()) return false;
    }
    return !ThePlugin().recordingSave().Running();
  }
  // Runs the command; the one box it shows is answered and returned ("" when none).
  std::string SaveTelling(int boxes) {
    UiResponder ui(std::vector<Answer>(static_cast<size_t>(boxes), Answer::Box(IDOK)));
    CmdSaveChaptersIntoFile(ThePlugin());
    EXPECT_TRUE(SaveEnded());
    ui.Join();
    EXPECT_EQ(ui.Failures(), 0);
    return ui.Boxes().empty() ? std::string() : ui.Boxes()[0].text;
  }
};

TEST_F(ChapterSaveTest, WhatCannotBeWrittenIsToldAndLeftAsItWas) {
  struct Case {
    const char* name;
    const char* fixture;  // copied as `file`
    const char* file;
    const char* reason;  // a part of the message
    bool cd;
    bool readOnly;
    bool subsong;
  };
  const Case cases[] = {
      {"CD track", "mp3/no-tag.mp3", "song.mp3", "single file", true, false, false},
      {"subsong", "mp3/no-tag.mp3", "song.mp3", "single file", false, false, true},
      {"unknown format", "mp3/no-tag.mp3", "song.wav", "kind", false, false, false},
      {"read-only", "mp3/no-tag.mp3", "song.mp3", "read-only", false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string media = PlayCopy(c.fixture, c.file);
    if (std::string(c.file).find(".wav") != std::string::npos) {
      // A RIFF file: none of the writers knows it.
      std::string riff("RIFF\x24\x00\x00\x00WAVEfmt ", 16);
      riff.append(100, '\0');
      std::ofstream(fs::u8path(media), std::ios::binary) << riff;
    }
    if (c.readOnly) SetFileAttributesA(media.c_str(), FILE_ATTRIBUTE_READONLY);
    if (c.cd) UseCd(2, 1);
    List().subsongs = c.subsong;
    const std::string before = TempDir::Read(media);
    const std::string told = SaveTelling(1);
    EXPECT_NE(told.find("could not be saved"), std::string::npos) << told;
    EXPECT_NE(told.find(c.reason), std::string::npos) << told;
    if (!c.cd) {
      EXPECT_NE(told.find(c.file), std::string::npos) << told;
    }
    EXPECT_EQ(TempDir::Read(media), before);
    EXPECT_TRUE(ThePlugin().recordingSave().pending().empty());
    SetFileAttributesA(media.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST_F(ChapterSaveTest, AFaultAtAnyStepLeavesTheOriginalByteForByte) {
  const struct {
    FileFault fault;
    int boxes;     // told at once
    bool waiting;  // kept for the next song change instead
  } cases[] = {
      {FileFault::kShortWrite, 1, false},
      {FileFault::kFailedReadBack, 1, false},
      {FileFault::kRefusedReplace, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fault));
    ThePlugin().recordingSave().pending().clear();
    const std::string media = PlayCopy("vorbis/flac-bare.flac", "song.flac");
    const std::string before = TempDir::Read(media);
    {
      ScopedFileFault fault(c.fault);
      const std::string told = SaveTelling(c.boxes);
      if (c.boxes > 0) {
        EXPECT_NE(told.find("song.flac"), std::string::npos) << told;
      }
    }
    EXPECT_EQ(TempDir::Read(media), before);
    EXPECT_FALSE(TempDir::Exists(media + ".tarnix-new"));
    EXPECT_EQ(ThePlugin().recordingSave().pending().size(), c.waiting ? 1u : 0u);
  }
}

TEST_F(ChapterSaveTest, AHeldFileWaitsForTheSongChangeAndASecondSaveIsToldToWait) {
  const std::string media = PlayCopy("mp3/no-tag.mp3", "song.mp3");
  const std::string before = TempDir::Read(media);
  {
    testsupport::FileHold hold(media, 0);
    ASSERT_TRUE(hold.Holding());
    // The second request comes before the first one's end is handled.
    UiResponder ui({Answer::Box(IDOK)});
    CmdSaveChaptersIntoFile(ThePlugin());
    CmdSaveChaptersIntoFile(ThePlugin());
    ui.Join();
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_NE(ui.Boxes()[0].text.find("already"), std::string::npos) << ui.Boxes()[0].text;
    ASSERT_TRUE(SaveEnded());
  }
  ASSERT_EQ(ThePlugin().recordingSave().pending().size(), 1u);
  EXPECT_FALSE(WaitingChapterSaveMark(ThePlugin()).IsEmpty());
  EXPECT_EQ(TempDir::Read(media), before);

  // The player moves to another entry: it let go of the file.
  Player().SetPlaylist({{media, "Song", 1000}, {"C:\\x\\other.mp3", "Other", 0}});
  Player().SetPlaylistPosition(1);
  Player().Play();
  TimerTick(ThePlugin());
  ASSERT_TRUE(SaveEnded());
  EXPECT_TRUE(ThePlugin().recordingSave().pending().empty());
  const std::string after = TempDir::Read(media);
  ASSERT_GT(after.size(), before.size());
  EXPECT_EQ(after.substr(after.size() - before.size()), before);
}

}  // namespace
}  // namespace tarnix::test
