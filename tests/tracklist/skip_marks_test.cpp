// Skip marks in ".trk" files: stored, read back, and invisible to a reader that knows no marks.

#include "tracklist/skip_marks.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"
#include "tracklist/track_file.h"
#include "tracklist/track_list.h"

namespace tarnix {
namespace {

const char kList[] =
    "[Album ] Podcast\r\n"
    "[Artist] Host\r\n"
    "01:00:00:00*Intro\r\n"
    "01:01:30:00 Sponsor\r\n"
    "01:03:00:00 Talk\r\n"
    "02:00:00:00*Second\r\n"
    "02:00:00:00 Same time\r\n";

TrackList Read(const std::string& bytes) {
  test::TempDir dir;
  dir.Write("l.trk", bytes);
  TrackList list;
  EXPECT_TRUE(list.Load(dir.Item("l.trk").c_str(), "", 0, 0, true));
  return list;
}

std::string Rows(const TrackList& list) {
  std::string rows;
  for (const Track& track : list.tracks) {
    for (const Subtrack& s : track.subtracks) {
      rows += std::to_string(track.number) + "/" + std::to_string(s.time) + "/" + s.name.c_str() +
              (s.skip ? "/skip" : "") + "\n";
    }
  }
  return rows;
}

// What a reader without marks does with the file: header lines with a tag it does not know are
// passed over, so it reads what remains.
std::string AsReaderWithoutMarks(const std::string& bytes) {
  std::string kept;
  bool header = true;
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t end = bytes.find('\n', at);
    const std::string line = bytes.substr(at, end - at + 1);
    at = end + 1;
    if (header && line[0] != '[') header = false;
    const bool known = line.rfind("[Album ] ", 0) == 0 || line.rfind("[Artist] ", 0) == 0 ||
                       line.rfind("[CD key] ", 0) == 0 || line.rfind("[CDDBID] ", 0) == 0 ||
                       line.rfind("[Mode  ] ", 0) == 0;
    if (header && !known) continue;
    kept += line;
  }
  return kept;
}

TEST(SkipMarks, StoredAsHeaderLinesAndReadBack) {
  TrackList list = Read(kList);
  std::string unmarked;
  ASSERT_TRUE(trackfile::FormatFile(list, &unmarked));
  EXPECT_EQ(unmarked, kList);  // no marks: byte for byte as before

  list.tracks[0].subtracks[1].skip = true;
  list.tracks[1].subtracks[1].skip = true;  // shares its time with the start entry
  std::string marked;
  ASSERT_TRUE(trackfile::FormatFile(list, &marked));
  EXPECT_EQ(marked.substr(0, marked.find("01:00:00:00*")),
            "[Album ] Podcast\r\n[Artist] Host\r\n[Skip  ] 01:01:30:00\r\n[Skip  ] 02:00:00:00 #2\r\n");
  const TrackList back = Read(marked);
  EXPECT_EQ(Rows(back), Rows(list));

  // A reader without marks gets the same rows, unmarked.
  const std::string withoutMarks = AsReaderWithoutMarks(marked);
  EXPECT_EQ(withoutMarks, kList);
  EXPECT_EQ(Rows(Read(withoutMarks)), Rows(Read(kList)));
}

// A long recording cut into many short pieces, most of them marked: every mark is read back,
// also past the first few thousand, and so are marks of subtracks that share one frame.
TEST(SkipMarks, ManyMarksAllReadBack) {
  TrackList list;
  list.Reset("Lectures", 1, 0);
  Track& track = list.tracks[0];
  for (int i = 1; i <= 6000; ++i) track.subtracks.push_back({"Piece", i * 1000, true});
  for (int i = 0; i < 3; ++i) track.subtracks.push_back({"Same frame", 6001 * 1000, true});
  std::string bytes;
  ASSERT_TRUE(trackfile::FormatFile(list, &bytes));
  TrackList back;
  trackfile::Reader reader(back, TextString(), 0, 0, true);
  ASSERT_TRUE(trackfile::ReadAll(bytes, reader));
  ASSERT_EQ(back.TrackCount(), 1);
  ASSERT_EQ(back.tracks[0].Count(), track.Count());
  int marked = 0;
  for (const Subtrack& s : back.tracks[0].subtracks) marked += s.skip ? 1 : 0;
  EXPECT_EQ(marked, track.Count() - 1);
  EXPECT_FALSE(back.tracks[0].subtracks[0].skip);
  EXPECT_TRUE(back.tracks[0].subtracks.back().skip);
}

TEST(SkipMarks, LongTimesAndOddMarkLines) {
  std::string line;
  ASSERT_TRUE(skipmarks::FormatLine(3, 130 * 60000 + 5000, 1, &line));
  EXPECT_EQ(line, "[Skip  ] 03:130:05:00");
  ASSERT_TRUE(skipmarks::FormatLine(3, 5000, 2, &line));
  EXPECT_EQ(line, "[Skip  ] 03:00:05:00 #2");
  EXPECT_FALSE(skipmarks::FormatLine(0, 5000, 1, &line));

  // Mark lines that name nothing, or do not read, are passed over and the list stays whole.
  const std::string odd =
      "[Album ] Podcast\r\n[Artist] Host\r\n"
      "[skip  ] 01:01:30:00\r\n"  // tags are compared ignoring case
      "[Skip  ] 01:09:00:00\r\n"  // no such subtrack
      "[Skip  ] 1:03:00:00 extra\r\n"
      "[Skip  ] x\r\n"
      "[Skip  ] 02:00:00:00 #0\r\n"
      "[Skip  ] 02:00:00:00 #\r\n"
      "[Skip  ]\r\n"
      "[Skip  ] 00:00:00:00\r\n" +
      std::string(kList).substr(std::string(kList).find("01:00:00:00*"));
  const TrackList read = Read(odd);
  EXPECT_EQ(Rows(read), "1/0/Intro\n1/90000/Sponsor/skip\n1/180000/Talk\n2/0/Second\n2/0/Same time\n");
}

}  // namespace
}  // namespace tarnix
