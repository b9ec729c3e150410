#include "import/matroska_chapters.h"

#include <gtest/gtest.h>

#include "import/file_chapters.h"
#include "import/file_source.h"
#include "tests/import/byte_builders.h"
#include "tests/import/fixtures.h"
#include "tests/import/tool_readings.h"
#include "tests/support/temp_dir.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;

constexpr uint32_t kCluster = 0x1F43B675;
constexpr uint32_t kChaptersId = 0x1043A770;
constexpr uint32_t kSeekHeadId = 0x114D9B74;
constexpr uint32_t kTagsId = 0x1254C367;

Expected Read(const std::string& bytes) {
  MemorySource source(bytes);
  ChapterSet set;
  if (!ReadMatroskaChapters(source, &set)) return {{-1, "nothing found"}};
  return Flatten(set);
}

// Which chapters a fixture shows is the reader's choice (the default edition, no hidden or
// disabled atoms); their times are what mkvextract reads for those names. Album and artist are
// strings of the fixture's tags as mkvextract reads them.
TEST(MatroskaChaptersTest, FixturesGiveTheChosenAtomsAtTheTimesTheToolsRead) {
  const std::vector<std::string> editions = {"Intro", "Zweite Straße", "終章"};
  const struct {
    const char* file;
    std::vector<std::string> names;
    std::string album, artist;
  } cases[] = {
      {"editions-mkvmerge.mka", editions, "", ""},  // chapters before the clusters
      {"editions-at-end.mka", editions, "", ""},    // after them, found through the SeekHead
      {"no-default-edition.mka", {"First edition", "A third in"}, "", ""},
      // ffmpeg's album and artist, at the level its tags leave to the default.
      {"ffmpeg.webm", {"Intro", "Zweite Straße", "A=B; #3 \\ C", "終章"}, "Fixture Album", "Fixture Artist"},
      // Tags after the clusters behind a second SeekHead: the album's TITLE, the only ARTIST a
      // track-level one; a chapter's own tags and the track's TITLE name no album.
      {"tags-at-end.mka", {"Opening", "Encore"}, "Live in Köln", "Das Quartett"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const auto times = MkvextractTimes(ReadFixture(std::string(c.file) + ".mkvextract.xml"));
    Expected expected;
    for (const std::string& name : c.names) {
      ASSERT_EQ(times.count(name), 1u) << name;
      expected.emplace_back(times.at(name), name);
    }
    for (const std::string& tag : {c.album, c.artist}) {
      if (tag.empty()) continue;
      EXPECT_NE(ReadFixture(std::string(c.file) + ".tags.xml").find("<String>" + tag + "</String>"), std::string::npos);
    }
    FileSource source(FixturePath(c.file).c_str());
    ChapterSet set;
    ASSERT_TRUE(ReadFileChapters(source, &set));
    EXPECT_EQ(Flatten(set), expected);
    EXPECT_EQ(set.album, c.album);
    EXPECT_EQ(set.artist, c.artist);
  }
  // ffprobe reads the single edition ffmpeg wrote the same way.
  EXPECT_EQ(Read(ReadFixture("ffmpeg.webm")), FfprobeChapters(ReadFixture("ffmpeg.webm.ffprobe.txt")));
}

// Which tags speak for the whole file, and where they are found: walked to, named by the
// SeekHead, or (after the clusters, named by none) not looked for once the chapters are found.
TEST(MatroskaChaptersTest, AlbumAndArtistFromTheTagsOfTheWholeFile) {
  const std::string chapters = MkvChapters(MkvEdition(MkvAtom(0, "A")));
  const auto withTags = [&](const std::string& tags) { return MkvFile(chapters + MkvTags(tags)); };
  const std::string chapterUid = Ebml(0x63C4, "\x05");
  const std::string trackUid = Ebml(0x63C5, "\x01");
  const std::string tags = MkvTags(MkvTag("", MkvSimpleTag("TITLE", "The Album") + MkvSimpleTag("ARTIST", "The Band")));
  const std::string cluster = Ebml(kCluster, Ebml(0xE7, "\x00") + Ebml(0xA3, std::string(40, 'a')));
  // A SeekHead naming the tags and the chapters behind a cluster only it leads past.
  const std::string brokenCluster = Ebml(kCluster, std::string(40, '\0'), true);
  const auto seekHead = [](uint64_t tagsAt, uint64_t chaptersAt) {
    return Ebml(kSeekHeadId, MkvSeek(kTagsId, tagsAt) + MkvSeek(kChaptersId, chaptersAt));
  };
  const uint64_t end = seekHead(0, 0).size() + brokenCluster.size();
  const struct {
    const char* what;
    std::string file;
    std::string album, artist;
  } cases[] = {
      {"no level: the album's, names cleaned",
       withTags(MkvTag("", MkvSimpleTag("TITLE", " The\tAlbum ") + MkvSimpleTag("ARTIST", "The Band"))), "The Album",
       "The Band"},
      {"the track level gives an artist before ALBUM_ARTIST, no album",
       withTags(MkvTag("", MkvSimpleTag("ALBUM_ARTIST", "Various")) +
                MkvTag(MkvLevel(30) + trackUid, MkvSimpleTag("TITLE", "Song") + MkvSimpleTag("ARTIST", "Singer"))),
       "", "Singer"},
      {"the album's ARTIST first, then the track's, then ALBUM_ARTIST; any letter case",
       withTags(MkvTag(MkvLevel(30), MkvSimpleTag("Artist", "Singer")) +
                MkvTag(MkvLevel(50), MkvSimpleTag("album_artist", "Various") + MkvSimpleTag("artist", "The Band") +
                                         MkvSimpleTag("title", "The Album"))),
       "The Album", "The Band"},
      {"ffmpeg's ALBUM and ALBUM_ARTIST, a TITLE first",
       withTags(MkvTag("", MkvSimpleTag("ALBUM", "Its Album") + MkvSimpleTag("ALBUM_ARTIST", "Various")) +
                MkvTag(MkvLevel(50), MkvSimpleTag("TITLE", "The Album"))),
       "The Album", "Various"},
      {"a chapter's tags, other levels, nested tags, empty strings say nothing",
       withTags(MkvTag(chapterUid, MkvSimpleTag("TITLE", "Chapter") + MkvSimpleTag("ARTIST", "Guest")) +
                MkvTag(MkvLevel(70), MkvSimpleTag("TITLE", "Collection") + MkvSimpleTag("ARTIST", "Label")) +
                MkvTag("", MkvSimpleTag("ARTIST", "", MkvSimpleTag("TITLE", "Nested"))) +
                MkvTag(MkvLevel(30), MkvSimpleTag("ARTIST", "Singer"))),
       "", "Singer"},
      {"tags before the chapters and the clusters", MkvFile(tags + chapters + cluster), "The Album", "The Band"},
      {"tags before the clusters, the chapters after them through the SeekHead",
       MkvFile(MkvSeekHead(kChaptersId, MkvSeekHead(kChaptersId, 0).size() + tags.size() + cluster.size()) + tags +
               cluster + chapters),
       "The Album", "The Band"},
      {"both after the clusters through the SeekHead",
       MkvFile(seekHead(end, end + tags.size()) + brokenCluster + tags + chapters), "The Album", "The Band"},
      {"tags after the clusters, named by no SeekHead", MkvFile(chapters + cluster + tags), "", ""},
      {"two Tags elements: the first, empty", MkvFile(chapters + MkvTags("") + tags), "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemorySource source(c.file);
    ChapterSet set;
    ASSERT_TRUE(ReadMatroskaChapters(source, &set));
    EXPECT_EQ(Flatten(set), Expected({{0, "A"}}));
    EXPECT_EQ(set.album, c.album);
    EXPECT_EQ(set.artist, c.artist);
  }
}

TEST(MatroskaChaptersTest, NestedAtomsInTimeOrderWhateverTheLayout) {
  const std::string atoms =
      MkvAtom(5000000000, "Five", MkvAtom(2000000000, "Two inside five")) + MkvAtom(1000000000, "One") +
      MkvAtom(3000000000, "Hidden", Ebml(0x98, "\x01") + MkvAtom(3500000000, "Inside hidden")) +
      MkvAtom(4000000000, "Off", Ebml(0x4598, std::string(1, '\0'))) + MkvAtom(1499999, "Rounds to 1 ms");
  const std::string chapters = MkvChapters(MkvEdition(MkvAtom(0, "Not default")) + MkvEdition(atoms, true));
  const Expected expected = {{1, "Rounds to 1 ms"}, {1000, "One"}, {2000, "Two inside five"}, {5000, "Five"}};
  const std::string cluster = Ebml(kCluster, Ebml(0xE7, "\x00") + Ebml(0xA3, std::string(40, 'a')));
  // Its blocks can't be walked through: only the SeekHead leads past it.
  const std::string brokenCluster = Ebml(kCluster, std::string(40, '\0'), true);
  const std::string seekToEnd = MkvSeekHead(kChaptersId, 64 + brokenCluster.size());
  const struct {
    const char* layout;
    std::string file;
  } layouts[] = {
      {"before the clusters", MkvFile(chapters + cluster)},
      // The SeekHead, padded to 64 bytes with a Void, names the chapters after the cluster.
      {"through the SeekHead",
       MkvFile(seekToEnd + Ebml(0xEC, std::string(64 - seekToEnd.size() - 9, '\0')) + brokenCluster + chapters)},
  };
  for (const auto& l : layouts) {
    SCOPED_TRACE(l.layout);
    EXPECT_EQ(Read(l.file), expected);
  }
}

TEST(MatroskaChaptersTest, DamagedFilesGiveWhatIsWholeOrNothing) {
  const Expected nothing = {{-1, "nothing found"}};
  const std::string chapters = MkvChapters(MkvEdition(MkvAtom(0, "A") + MkvAtom(1000000000, "B")));
  const std::string whole = MkvFile(chapters);
  const std::string tagged = MkvFile(chapters + MkvTags(MkvTag("", MkvSimpleTag("TITLE", "Album"))));
  std::string deep = MkvAtom(1000000, "deepest");
  for (int i = 0; i < 200; ++i) deep = MkvAtom(0, "level", deep);
  std::string voids;
  for (int i = 0; i < 70000; ++i) voids += Ebml(0xEC, "");
  std::string huge = MkvFile(Ebml(kCluster, ""), true);
  huge.replace(huge.size() - 7, 7, "\x7F\xFF\xFF\xFF\xFF\xFF\xFF");  // a cluster of 2^55 bytes
  const struct {
    const char* what;
    std::string file;
    Expected expected;
  } cases[] = {
      {"cut inside the chapters", whole.substr(0, whole.size() - 5), nothing},
      {"tags alone", MkvFile(MkvTags(MkvTag("", MkvSimpleTag("TITLE", "Album")))), nothing},
      {"cut inside the tags after the chapters", tagged.substr(0, tagged.size() - 5), {{0, "A"}, {1000, "B"}}},
      {"more elements after the chapters than are looked at", MkvFile(chapters + voids), {{0, "A"}, {1000, "B"}}},
      {"no segment", Ebml(0x1A45DFA3, "") + chapters, nothing},
      {"a cluster larger than the file", huge + chapters, nothing},
      {"a SeekHead that names itself, then the chapters",
       MkvFile(MkvSeekHead(kSeekHeadId, 0) + chapters),
       {{0, "A"}, {1000, "B"}}},
      {"a SeekHead past the end", MkvFile(MkvSeekHead(kChaptersId, 1u << 30) + chapters), {{0, "A"}, {1000, "B"}}},
      {"a SeekHead naming the wrong element", MkvFile(MkvSeekHead(kChaptersId, 0) + chapters), {{0, "A"}, {1000, "B"}}},
      {"atoms nested 200 deep: the outer ones", MkvFile(MkvChapters(MkvEdition(deep))), Expected(17, {0, "level"})},
      {"no atom", MkvFile(MkvChapters(MkvEdition(""))), nothing},
      {"more elements before the chapters than are looked at", MkvFile(voids + chapters), nothing},
      {"a size byte of zero", MkvFile(std::string("\x10\x43\xA7\x70\x00", 5) + chapters), nothing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Read(c.file), c.expected);
  }
}

// What a song change pays, in reads of the source and bytes, whatever the length of the media:
// the clusters are never walked, what lies after them is found through a SeekHead alone, and
// tags are read only for a file with chapters. A file source's read-ahead counts in full.
TEST(MatroskaChaptersTest, AFewReadsWhateverTheLengthOfTheMedia) {
  const auto recording = [](bool seekHead, bool tags, bool chapters, bool damaged) {
    return BuildMkvRecording({1000, 256, seekHead, tags, chapters, damaged}).Flat();
  };
  std::string blocks;
  for (int i = 0; i < 1000; ++i) blocks += Ebml(0xA3, std::string(200, 'a'));
  const struct {
    const char* what;
    std::string file;
    size_t chapters;
    std::string album;
  } cases[] = {
      {"no chapters", recording(true, false, false, false), 0, ""},
      {"no chapters, no SeekHead", recording(false, false, false, false), 0, ""},
      {"tags, no chapters", recording(true, true, false, false), 0, ""},
      {"chapters and tags after the clusters", recording(true, true, true, false), 2, "Album"},
      {"chapters after the clusters, named by no SeekHead", recording(false, false, true, false), 0, ""},
      {"chapters after an open cluster in an open segment",
       MkvFile(Ebml(kCluster, blocks, true) + MkvChapters(MkvEdition(MkvAtom(0, "A"))), true), 0, ""},
      {"a SeekHead naming chapters inside the media, cut short", recording(true, false, false, true), 0, ""},
  };
  test::TempDir dir;
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemorySource memory(c.file);
    FileSource file(dir.Write(std::to_string(++number) + ".mka", c.file).c_str());
    for (ByteSource* source : {static_cast<ByteSource*>(&memory), static_cast<ByteSource*>(&file)}) {
      ChapterSet set;
      EXPECT_EQ(ReadFileChapters(*source, &set) ? set.chapters.size() : 0, c.chapters);
      EXPECT_EQ(set.album, c.album);
    }
    EXPECT_LE(memory.Spent().reads, 16u);
    EXPECT_LE(memory.Spent().bytes, 1024u);
    EXPECT_LE(file.Spent().reads, 3u);
    EXPECT_LE(file.Spent().bytes, 3 * FileSource::kReadAhead);
  }
}

}  // namespace
}  // namespace tarnix
