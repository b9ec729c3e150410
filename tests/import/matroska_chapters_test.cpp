#include "import/matroska_chapters.h"

#include <gtest/gtest.h>

#include "import/file_chapters.h"
#include "import/file_source.h"
#include "tests/import/byte_builders.h"
#include "tests/import/fixtures.h"
#include "tests/import/tool_readings.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;

constexpr uint32_t kCluster = 0x1F43B675;
constexpr uint32_t kChaptersId = 0x1043A770;
constexpr uint32_t kSeekHeadId = 0x114D9B74;

Expected Read(const std::string& bytes) {
  MemorySource source(bytes);
  ChapterSet set;
  if (!ReadMatroskaChapters(source, &set)) return {{-1, "nothing found"}};
  return Flatten(set);
}

// Which chapters a fixture shows is the reader's choice (the default edition, no hidden or
// disabled atoms); their times are what mkvextract reads for those names.
TEST(MatroskaChaptersTest, FixturesGiveTheChosenAtomsAtTheTimesTheToolsRead) {
  const std::vector<std::string> editions = {"Intro", "Zweite Straße", "終章"};
  const struct {
    const char* file;
    std::vector<std::string> names;
  } cases[] = {
      {"editions-mkvmerge.mka", editions},  // chapters before the clusters
      {"editions-at-end.mka", editions},    // after them, found through the SeekHead
      {"no-default-edition.mka", {"First edition", "A third in"}},
      {"ffmpeg.webm", {"Intro", "Zweite Straße", "A=B; #3 \\ C", "終章"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const auto times = MkvextractTimes(ReadFixture(std::string(c.file) + ".mkvextract.xml"));
    Expected expected;
    for (const std::string& name : c.names) {
      ASSERT_EQ(times.count(name), 1u) << name;
      expected.emplace_back(times.at(name), name);
    }
    FileSource source(FixturePath(c.file).c_str());
    ChapterSet set;
    ASSERT_TRUE(ReadFileChapters(source, &set));
    EXPECT_EQ(Flatten(set), expected);
  }
  // ffprobe reads the single edition ffmpeg wrote the same way.
  EXPECT_EQ(Read(ReadFixture("ffmpeg.webm")), FfprobeChapters(ReadFixture("ffmpeg.webm.ffprobe.txt")));
}

TEST(MatroskaChaptersTest, NestedAtomsInTimeOrderWhateverTheLayout) {
  const std::string atoms =
      MkvAtom(5000000000, "Five", MkvAtom(2000000000, "Two inside five")) + MkvAtom(1000000000, "One") +
      MkvAtom(3000000000, "Hidden", Ebml(0x98, "\x01") + MkvAtom(3500000000, "Inside hidden")) +
      MkvAtom(4000000000, "Off", Ebml(0x4598, std::string(1, '\0'))) + MkvAtom(1499999, "Rounds to 1 ms");
  const std::string chapters = MkvChapters(MkvEdition(MkvAtom(0, "Not default")) + MkvEdition(atoms, true));
  const Expected expected = {{1, "Rounds to 1 ms"}, {1000, "One"}, {2000, "Two inside five"}, {5000, "Five"}};
  const std::string cluster = Ebml(kCluster, Ebml(0xE7, "\x00") + Ebml(0xA3, std::string(40, 'a')));
  const std::string openCluster = Ebml(kCluster, Ebml(0xE7, "\x00") + Ebml(0xA3, std::string(40, 'a')), true);
  // Its blocks can't be walked through: only the SeekHead leads past it.
  const std::string brokenCluster = Ebml(kCluster, std::string(40, '\0'), true);
  const std::string seekToEnd = MkvSeekHead(kChaptersId, 64 + brokenCluster.size());
  const struct {
    const char* layout;
    std::string file;
  } layouts[] = {
      {"before the clusters", MkvFile(chapters + cluster)},
      {"after a cluster, walked to", MkvFile(cluster + chapters)},
      {"after an open cluster in an open segment", MkvFile(openCluster + chapters, true)},
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

}  // namespace
}  // namespace tarnix
