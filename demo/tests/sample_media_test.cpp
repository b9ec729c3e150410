#include "demo/sample_media.h"
#include "demo/demo_script.h"
#include "demo/sample_setup.h"

#include "testhost/player_directory.h"
#include "tracklist/cd_identity.h"
#include "tracklist/text_string.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tarnix::demo {
namespace {

class SampleMediaTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(directory_.Ok()); }
  testhost::PlayerDirectory directory_;
};

TEST_F(SampleMediaTest, CdaFilesHaveTheTrackFileLayout) {
  for (const DiscTrack& track : SampleDisc()) {
    const std::string bytes = CdaFileBytes(track, kSampleDiscSerial);
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 8), "CDDAfmt ");
    EXPECT_EQ(static_cast<unsigned char>(bytes[16]), 24u);
    CdaInfo info{};
    ASSERT_TRUE(ParseCdaHeader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &info));
    EXPECT_EQ(info.trackNumber, track.number);
    EXPECT_EQ(info.volumeSerial, kSampleDiscSerial);
    EXPECT_EQ(info.startFrame, track.startFrame + kLeadInFrames);
    EXPECT_EQ(info.lengthFrames, track.lengthFrames);
    // The redundant minute/second/frame bytes agree with the frame counts.
    const int32_t start = track.startFrame + kLeadInFrames;
    EXPECT_EQ(static_cast<unsigned char>(bytes[36]), start % 75);
    EXPECT_EQ(static_cast<unsigned char>(bytes[37]), (start / 75) % 60);
    EXPECT_EQ(static_cast<unsigned char>(bytes[38]), start / 75 / 60);
  }
}

// The lists of the titles in other scripts are found under those titles, and the sheet sits
// beside its recording in the folder with the Cyrillic name.
TEST_F(SampleMediaTest, NamesInOtherScriptsAreLaidOutUnderTheirOwnNames) {
  std::vector<testhost::PlaylistEntry> playlist;
  std::string error;
  ASSERT_TRUE(LayOutSampleMedia(directory_, &playlist, &error)) << error;
  ASSERT_EQ(playlist.size(), 9u);
  for (const char* title : {kJapaneseTitle, kCyrillicTitle}) {
    TrackList list;
    EXPECT_TRUE(list.Load((directory_.Bookmarks() + "\\" + title + ".trk").c_str(), title, 0, 0, false)) << title;
    EXPECT_STREQ(list.album.c_str(), title);
  }
  EXPECT_EQ(playlist[kGreekSheetEntry].title, kGreekTitle);
  EXPECT_TRUE(directory_.Exists(std::string("Music\\") + kNamesFolder + "\\" + kGreekTitle + ".cue"));
}

TEST_F(SampleMediaTest, TheLaidOutDiscHasTheIdentityOfItsStoredList) {
  std::vector<testhost::PlaylistEntry> playlist;
  std::string error;
  ASSERT_TRUE(LayOutSampleMedia(directory_, &playlist, &error)) << error;
  ASSERT_EQ(playlist.size(), 9u);

  int count = 0;
  const uint32_t id = ComputeDiscId(playlist[2].path.c_str(), &count);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(id, SampleDiscId());
  EXPECT_NE(id, 0u);
  // The CD entries are the track files, each in playlist order and as long as the track.
  for (int i = 0; i < 3; ++i) {
    int number = 0;
    int32_t serial = 0;
    ASSERT_TRUE(ReadCdaFile(playlist[1 + i].path.c_str(), &number, &serial, nullptr, nullptr));
    EXPECT_EQ(number, i + 1);
    EXPECT_EQ(serial, kSampleDiscSerial);
    EXPECT_EQ(playlist[1 + i].lengthMs, SampleDisc()[i].lengthFrames * 1000 / 75);
  }

  // Found by identity, as the plug-in searches for a CD: empty title, serial and disc id.
  TrackList found;
  const std::string pattern = directory_.Bookmarks() + "\\*.trk";
  ASSERT_TRUE(found.Search(pattern.c_str(), "", kSampleDiscSerial, id));
  EXPECT_EQ(std::string(found.album.c_str()), kCdAlbum);
  EXPECT_EQ(found.TrackCount(), 3);
  // Another disc's id rejects the CD's list, and the concert's list has no album of ""
  TrackList other;
  EXPECT_FALSE(other.Search(pattern.c_str(), "", kSampleDiscSerial, id ^ 0x00010000u));
}

TEST_F(SampleMediaTest, ConcertListPast100MinutesReadsBackExactly) {
  const TrackList written = ConcertList();
  ASSERT_EQ(written.TrackCount(), 1);
  ASSERT_GT(written.tracks[0].subtracks.back().time, 100 * 60 * 1000);
  TrackList copy = written;
  const std::string path = directory_.Bookmarks() + "\\" + kConcertListFile;
  ASSERT_TRUE(copy.Save(path.c_str()));

  // Found the way a song change finds it: its file name, the playing title, no CD.
  TrackList read;
  ASSERT_TRUE(read.Load(path.c_str(), kConcertTitle, 0, 0, false));
  ASSERT_EQ(read.TrackCount(), 1);
  const auto& a = written.tracks[0].subtracks;
  const auto& b = read.tracks[0].subtracks;
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].time, b[i].time) << "entry " << i;
    EXPECT_STREQ(a[i].name.c_str(), b[i].name.c_str()) << "entry " << i;
  }

  // Every entry line keeps the reader's columns: number first, marker in column 11.
  const auto bytes = directory_.ReadFile(std::string("Bookmarks\\") + kConcertListFile);
  ASSERT_TRUE(bytes.has_value());
  int entries = 0;
  size_t start = 0;
  while (start < bytes->size()) {
    const size_t end = bytes->find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
    const std::string line = bytes->substr(start, end - start);
    start = end + 2;
    if (line[0] == '[') continue;
    ASSERT_GE(line.size(), 13u) << line;
    EXPECT_EQ(line.substr(0, 2), "01") << line;
    EXPECT_EQ(line[11] == '*', entries == 0) << line;
    ++entries;
  }
  EXPECT_EQ(entries, static_cast<int>(a.size()));
}

TEST_F(SampleMediaTest, SubsongNamesFitTheRecord) {
  EXPECT_GE(SubsongNames().size(), 3u);
  for (const std::string& name : SubsongNames()) EXPECT_FALSE(name.empty());
}

}  // namespace
}  // namespace tarnix::demo
