// How lists are stored: in the code page when it holds every text, else UTF-8 after the mark;
// read back the same way, natively and through the system's conversions.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tracklist/platform.h"
#include "tracklist/track_file.h"
#include "tracklist/track_list.h"

namespace tarnix {
namespace {

std::string S(const TextString& t) { return std::string(t.c_str(), static_cast<size_t>(t.Length())); }

struct Case {
  const char* what;
  unsigned codePage;
  std::string onDisk;
  const char* title;  // the playing title the file is read for
  bool matches;
  std::string album, artist;
  std::vector<std::string> names;  // UTF-8, in file order
  std::string saved;               // what saving the list read writes
};

TEST(TrackFileEncodingTest, ReadAndWriteTable) {
  const std::string westernAnsi =
      "[Album ] Caf\xE9\r\n[Artist] \x80uro \x93q\x94\r\n01:00:00:00*\xC9t\xE9\r\n01:01:00:00 na\xEFve\r\n";
  const std::string utf8 =
      "\xEF\xBB\xBF[Album ] \xE6\x84\x9B\xE3\x81\xAE\xE6\xAD\x8C\r\n[Artist] \xCE\xA9mega \xE2\x86\x92 caf\xC3\xA9\r\n"
      "01:00:00:00*\xD0\x96\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C\r\n01:01:00:00 \xF0\x9F\x8E\xB5\r\n";
  const std::string shiftJis = "[Album ] \x95\x5C\r\n[Artist] \r\n01:00:00:00*\x83\x5C\x83\x74\x83\x67\r\n";
  const Case cases[] = {
      {"code page list, saved back byte for byte",
       1252,
       westernAnsi,
       "Ete \xC3\x89t\xC3\xA9",
       true,
       "Caf\xC3\xA9",
       "\xE2\x82\xACuro \xE2\x80\x9Cq\xE2\x80\x9D",
       {"\xC3\x89t\xC3\xA9", "na\xC3\xAFve"},
       westernAnsi},
      {"UTF-8 after the mark, kept as UTF-8",
       1252,
       utf8,
       "\xE6\x84\x9B\xE3\x81\xAE\xE6\xAD\x8C",
       true,
       "\xE6\x84\x9B\xE3\x81\xAE\xE6\xAD\x8C",
       "\xCE\xA9mega \xE2\x86\x92 caf\xC3\xA9",
       {"\xD0\x96\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C", "\xF0\x9F\x8E\xB5"},
       utf8},
      {"a title of other characters is another list",
       1252,
       utf8,
       "\xE6\xA1\x9C\xE3\x81\xAE\xE6\x9C\xA8",
       false,
       "\xE6\x84\x9B\xE3\x81\xAE\xE6\xAD\x8C",
       "\xCE\xA9mega \xE2\x86\x92 caf\xC3\xA9",
       {"\xD0\x96\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C", "\xF0\x9F\x8E\xB5"},
       utf8},
      {"stray bytes after the mark are the code page's characters",
       1252,
       "\xEF\xBB\xBF[Album ] Caf\xE9 \xCE\xA9\r\n[Artist] \xC3\r\n01:00:00:00*\xFF\xE2\x82\r\n",
       "",
       false,
       "Caf\xC3\xA9 \xCE\xA9",
       "\xC3\x83",
       {"\xC3\xBF\xC3\xA2\xE2\x80\x9A"},
       "\xEF\xBB\xBF[Album ] Caf\xC3\xA9 \xCE\xA9\r\n[Artist] "
       "\xC3\x83\r\n01:00:00:00*\xC3\xBF\xC3\xA2\xE2\x80\x9A\r\n"},
      {"stray bytes whose text the code page holds go back to it",
       1252,
       "\xEF\xBB\xBF[Album ] Caf\xE9\r\n[Artist] A\r\n01:00:00:00*x\r\n",
       "",
       false,
       "Caf\xC3\xA9",
       "A",
       {"x"},
       "[Album ] Caf\xE9\r\n[Artist] A\r\n01:00:00:00*x\r\n"},
      {"UTF-8 without the mark is read in the code page, never guessed",
       1252,
       "[Album ] \xC3\xA9\r\n[Artist] \r\n01:00:00:00*\xE2\x82\xAC\r\n",
       "",
       false,
       "\xC3\x83\xC2\xA9",
       "",
       {"\xC3\xA2\xE2\x80\x9A\xC2\xAC"},
       "[Album ] \xC3\xA9\r\n[Artist] \r\n01:00:00:00*\xE2\x82\xAC\r\n"},
      {"double-byte code page, trail bytes 0x5C kept",
       932,
       shiftJis,
       "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88",
       true,
       "\xE8\xA1\xA8",
       "",
       {"\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88"},
       shiftJis},
      {"a text the double-byte code page lacks keeps the list in UTF-8",
       932,
       "\xEF\xBB\xBF[Album ] Caf\xC3\xA9\r\n[Artist] \r\n01:00:00:00*\xE3\x82\xBD\r\n",
       "",
       false,
       "Caf\xC3\xA9",
       "",
       {"\xE3\x82\xBD"},
       "\xEF\xBB\xBF[Album ] Caf\xC3\xA9\r\n[Artist] \r\n01:00:00:00*\xE3\x82\xBD\r\n"},
      {"a single-byte character of the double-byte code page",
       932,
       "[Album ] \x95\x5C\r\n[Artist] \r\n01:00:00:00*\xC3\r\n",
       "",
       false,
       "\xE8\xA1\xA8",
       "",
       {"\xEF\xBE\x83"},
       "[Album ] \x95\x5C\r\n[Artist] \r\n01:00:00:00*\xC3\r\n"},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.Write("list.trk", c.onDisk);
    TrackList list;
    list.album = "before";
    const TextString title(c.title);
    trackfile::Reader reader(list, title, 0, 0, false);
    {
      platform::File file(path.c_str(), "rb");
      ASSERT_TRUE(file);
      ASSERT_TRUE(trackfile::ReadAll(file.get(), reader, c.codePage));
    }
    EXPECT_EQ(reader.Finish(), c.matches);
    EXPECT_EQ(S(list.album), c.album);
    EXPECT_EQ(S(list.artist), c.artist);
    std::vector<std::string> names;
    for (const Track& track : list.tracks) {
      for (const Subtrack& entry : track.subtracks) names.push_back(S(entry.name));
    }
    EXPECT_EQ(names, c.names);
    std::string saved;
    ASSERT_TRUE(trackfile::FormatFile(list, &saved, c.codePage));
    EXPECT_EQ(saved, c.saved);
  }
}

// Through Load and Save on the system's own code page: a list gains the mark only when one of
// its texts needs it, and every old line is then kept in UTF-8.
TEST(TrackFileEncodingTest, SaveChoosesTheEncodingByTheTexts) {
  test::TempDir dir;
  const std::string ansi = "[Album ] Caf\xE9\r\n[Artist] \r\n01:00:00:00*\xC9t\xE9\r\n";
  dir.Write("list.trk", ansi);
  TrackList list;
  ASSERT_TRUE(list.Load(dir.Item("list.trk").c_str(), "", 0, 0, true));
  ASSERT_TRUE(list.Save(TextString()));
  EXPECT_EQ(test::TempDir::Read(dir.Join("list.trk")), ansi);
  list.tracks[0].subtracks.push_back(Subtrack{"\xE6\x84\x9B", 60000});
  ASSERT_TRUE(list.Save(TextString()));
  EXPECT_EQ(test::TempDir::Read(dir.Join("list.trk")),
            "\xEF\xBB\xBF[Album ] Caf\xC3\xA9\r\n[Artist] \r\n01:00:00:00*\xC3\x89t\xC3\xA9\r\n"
            "01:01:00:00 \xE6\x84\x9B\r\n");
  TrackList back;
  ASSERT_TRUE(back.Load(dir.Item("list.trk").c_str(), "", 0, 0, true));
  ASSERT_EQ(back.tracks[0].Count(), 2);
  EXPECT_EQ(S(back.tracks[0].subtracks[1].name), "\xE6\x84\x9B");
  EXPECT_EQ(S(back.album), "Caf\xC3\xA9");
}

}  // namespace
}  // namespace tarnix
