#include "import/matroska_chapter_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "import/ebml.h"
#include "import/file_chapters.h"
#include "import/matroska_chapters.h"
#include "tests/import/byte_builders.h"
#include "tests/import/failing_io.h"
#include "tests/import/fixtures.h"
#include "tests/import/tool_readings.h"
#include "tests/import/written_fixtures.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;

constexpr uint32_t kSegment = 0x18538067, kSeekHead = 0x114D9B74, kChapters = 0x1043A770, kCluster = 0x1F43B675,
                   kVoid = 0xEC;

ChaptersToEmbed List(const Expected& chapters) {
  ChaptersToEmbed list;
  for (const auto& [ms, name] : chapters) list.chapters.push_back({ms, name});
  list.lengthMs = 1000;
  return list;
}

const Expected kScripts = {
    {0, "Intro"}, {250, "Zweite Straße"}, {500, "Глава вторая"}, {700, "الفصل الأخير"}, {850, "終章"}};

Expected Many() {
  Expected many;
  char name[16];
  for (int i = 0; i < 300; ++i) many.emplace_back(i * 3, (std::snprintf(name, sizeof name, "Kapitel %03d", i), name));
  return many;
}

EmbedResult Write(const std::string& file, const Expected& chapters, std::string* out) {
  MemorySource source(file);
  MemorySink sink;
  const EmbedResult result = WriteMatroskaChapters(source, List(chapters), sink);
  *out = sink.Bytes();
  return result;
}

Expected ReadBack(const std::string& file) {
  MemorySource source(file);
  ChapterSet set;
  return ReadFileChapters(source, &set) ? Flatten(set) : Expected{};
}

struct TopLevel {
  uint32_t id;
  uint64_t at;
  std::string bytes;
};

// The Segment's elements, walked by their sizes here independently of the writer.
std::vector<TopLevel> Elements(const std::string& file) {
  std::vector<TopLevel> out;
  EbmlHeader header;
  size_t pos = 0;
  while (ParseEbmlHeader(std::string_view(file).substr(pos), &header)) {
    if (header.id == kSegment) {
      pos += header.length;
      continue;
    }
    if (header.unknownSize || header.size > file.size() - pos - header.length) break;
    out.push_back({header.id, pos, file.substr(pos, header.length + header.size)});
    pos += header.length + header.size;
  }
  return out;
}

// Every element other than a SeekHead, a Chapters or a Void is where it was, byte for byte:
// clusters, Cues, Info, Tracks, Tags, Attachments. So nothing before the first cluster changed size.
void ExpectUnmoved(const std::string& original, const std::string& written) {
  size_t clusters = 0;
  for (const TopLevel& e : Elements(original)) {
    if (e.id == kSeekHead || e.id == kChapters || e.id == kVoid) continue;
    clusters += e.id == kCluster;
    EXPECT_EQ(written.compare(e.at, e.bytes.size(), e.bytes), 0) << std::hex << e.id << " at " << std::dec << e.at;
  }
  EXPECT_GT(clusters, 0u);
}

// Checks every CRC-32 an element starts with against the rest of it (ffmpeg writes them; the
// writer computes the SeekHead's anew); gives how many there are.
size_t CheckedCrcs(const std::string& file) {
  size_t checked = 0;
  for (const TopLevel& e : Elements(file)) {
    EbmlHeader header, crc;
    ParseEbmlHeader(e.bytes, &header);
    const std::string body = e.bytes.substr(header.length);
    if (!ParseEbmlHeader(body, &crc) || crc.id != 0xBF || crc.size != 4) continue;
    EXPECT_EQ(body.substr(crc.length, 4), EbmlCrc32(body.substr(crc.length + 4))) << std::hex << e.id;
    ++checked;
  }
  return checked;
}

void ExpectSame(const Expected& found, const Expected& wanted) {
  ASSERT_EQ(found.size(), wanted.size());
  for (size_t i = 0; i < found.size(); ++i) {
    EXPECT_NEAR(found[i].first, wanted[i].first, 1) << wanted[i].second;
    EXPECT_EQ(found[i].second, wanted[i].second);
  }
}

// Each fixture a tool made, written with a list, as the tools read the result: the chapters
// (mkvextract, ffprobe), and everything else the same as in the original (tags, attachments,
// every frame, the audio packets and decoded samples). Writing the written file again changes
// nothing, so saving the same list twice does not pile up Voids.
TEST(MatroskaChapterWriterTest, FixturesReadByTheToolsAsWritten) {
  const struct {
    const char* original;
    const char* written;
    Expected list;
  } cases[] = {
      {"plain-ffmpeg.mka", "plain-ffmpeg.scripts.mka", kScripts},      // appended, SeekHead entry added
      {"plain-mkvmerge.mka", "plain-mkvmerge.scripts.mka", kScripts},  // into the Void after the SeekHead
      {"plain-mkvmerge.mka", "plain-mkvmerge.300.mka", Many()},        // appended
      {"editions-mkvmerge.mka", "editions-mkvmerge.scripts.mka", kScripts},
      {"simple-mkvmerge.mka", "simple-mkvmerge.scripts.mka", kScripts},
      {"many-mkvmerge.mka", "many-mkvmerge.scripts.mka", kScripts},  // in place, the rest a Void
      {"cover-tags-mkvmerge.mka", "cover-tags-mkvmerge.scripts.mka", kScripts},
      {"void-after-propedit.mka", "void-after-propedit.scripts.mka", kScripts},
      {"at-end-propedit.mka", "at-end-propedit.300.mka", Many()},  // the last element, grown
      {"chapters-ffmpeg.mka", "chapters-ffmpeg.scripts.mka", kScripts},
      {"chapters-ffmpeg.webm", "chapters-ffmpeg.scripts.webm", kScripts},
      {"piped-ffmpeg.mka", "piped-ffmpeg.scripts.mka", kScripts},  // at the end of a Segment of unknown size
      {"live-ffmpeg.webm", "live-ffmpeg.scripts.webm", kScripts},
  };
  const std::string dir = "written/matroska/";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    const std::string original = ReadFixture(dir + c.original);
    std::string written, again;
    const EmbedResult result = Write(original, c.list, &written);
    ASSERT_EQ(result.status, EmbedStatus::kWritten) << result.reason;
    EXPECT_EQ(result.note, "");
    KeepWrittenForTools(c.written, written);
    EXPECT_EQ(BytesHash(written) + "\n", ReadFixture(dir + c.written + ".hash"));
    ExpectSame(ReadBack(written), c.list);
    const std::string ffprobe = ReadFixture(dir + c.written + ".ffprobe.txt");
    ExpectSame(FfprobeChapters(ffprobe), c.list);
    // Each chapter ends where the next starts, the last at the end of the second of audio.
    std::vector<int64_t> ends;
    for (size_t at = 0; (at = ffprobe.find("end_time=", at)) != std::string::npos; at += 9)
      ends.push_back(static_cast<int64_t>(std::stod(ffprobe.substr(at + 9)) * 1000 + 0.5));
    ASSERT_EQ(ends.size(), c.list.size());
    for (size_t i = 0; i + 1 < ends.size(); ++i) EXPECT_NEAR(ends[i], c.list[i + 1].first, 1);
    EXPECT_NEAR(ends.back(), 1005, 5);
    const std::string xml = ReadFixture(dir + c.written + ".mkvextract.xml");
    const auto times = MkvextractTimes(xml);
    EXPECT_EQ(times.size(), c.list.size());
    for (const auto& [ms, name] : c.list) EXPECT_NEAR(times.count(name) ? times.at(name) : -9, ms, 1) << name;
    const bool webm = std::string(c.written).find(".webm") != std::string::npos;
    EXPECT_EQ(xml.find("<EditionFlagDefault>1<") == std::string::npos, webm);
    const std::string others = ReadFixture(dir + c.original + ".others.txt");
    EXPECT_NE(others.find("== samples\nMD5="), std::string::npos);
    EXPECT_EQ(ReadFixture(dir + c.written + ".others.txt"), others);
    ExpectUnmoved(original, written);
    EXPECT_EQ(CheckedCrcs(original) > 0, CheckedCrcs(written) > 0);
    ASSERT_EQ(Write(written, c.list, &again).status, EmbedStatus::kWritten);
    EXPECT_TRUE(again == written);
  }
}

// Where the new Chapters goes: in the old one's room, a single byte left over taken by a wider
// size field; else at the end of the segment, named by the SeekHead, the old one a Void.
TEST(MatroskaChapterWriterTest, PlacedInTheOldRoomOrAtTheEnd) {
  const std::string seekHead = Ebml(kSeekHead, MkvSeek(kChapters, 0) + Ebml(kVoid, std::string(40, '\0')));
  const std::string media =
      Ebml(kCluster, Ebml(0xE7, "\x00") + Ebml(0xA3, std::string(40, 'a'))) + Ebml(0x1C53BB6B, std::string(20, 'c'));
  const auto file = [&](const std::string& front) { return MkvFile(seekHead + front + media); };
  std::string appended;
  ASSERT_EQ(Write(file(""), kScripts, &appended).status, EmbedStatus::kWritten);
  const size_t need = appended.size() - file("").size();  // the new Chapters element
  const auto oldChapters = [](size_t total) { return Ebml(kChapters, std::string(total - 12, 'x')); };
  const struct {
    const char* what;
    std::string front;
    bool inPlace;
  } cases[] = {
      {"exactly the room", oldChapters(need), true},
      {"one byte more", oldChapters(need + 1), true},
      {"two bytes more: a Void", oldChapters(need + 2), true},
      {"with the Void after it", oldChapters(need - 20) + Ebml(kVoid, std::string(30, '\0')), true},
      {"a byte short", oldChapters(need - 1), false},
      {"a front Void, no old chapters", Ebml(kVoid, std::string(need, '\0')), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string written;
    const EmbedResult result = Write(file(c.front), kScripts, &written);
    ASSERT_EQ(result.status, EmbedStatus::kWritten) << result.reason;
    EXPECT_EQ(result.note, "");
    EXPECT_EQ(written.size(), file(c.front).size() + (c.inPlace ? 0 : need));
    ExpectSame(ReadBack(written), kScripts);
    ExpectUnmoved(file(c.front), written);
  }
  // An empty list takes the chapters out.
  std::string emptied;
  ASSERT_EQ(Write(file(oldChapters(need)), {}, &emptied).status, EmbedStatus::kWritten);
  EXPECT_EQ(ReadBack(emptied), Expected{});
  // No SeekHead to name them after the clusters: one of their own in a small Void before the
  // clusters; without that Void, refused: most players would not find them.
  std::string named, unnamed;
  EmbedResult result = Write(MkvFile(Ebml(kVoid, std::string(30, '\0')) + media), kScripts, &named);
  EXPECT_EQ(result.status, EmbedStatus::kWritten);
  EXPECT_EQ(result.note, "");
  ExpectSame(ReadBack(named), kScripts);
  result = Write(MkvFile(media), kScripts, &unnamed);
  EXPECT_EQ(result.status, EmbedStatus::kUnsupported);
  EXPECT_EQ(unnamed, "");
  // A segment and a cluster of unknown size: copied, the chapters after them.
  std::string open;
  ASSERT_EQ(Write(MkvFile(seekHead + Ebml(kCluster, std::string(30, '\0'), true), true), kScripts, &open).status,
            EmbedStatus::kWritten);
  ExpectSame(ReadBack(open), kScripts);
}

TEST(MatroskaChapterWriterTest, RefusesWhatItWillNotGuessAt) {
  const std::string body = MkvChapters(MkvEdition(MkvAtom(0, "Old"))) + Ebml(kCluster, std::string(30, 'a'));
  const std::string good = MkvFile(body);
  std::string narrow = good;
  narrow.replace(narrow.size() - body.size() - 8, 8, std::string(1, static_cast<char>(0x80 | body.size())));
  const struct {
    const char* what;
    std::string file;
    EmbedStatus status;
  } cases[] = {
      {"not EBML", "fLaC" + std::string(40, '\0'), EmbedStatus::kNotThisFormat},
      {"another DocType", Ebml(0x1A45DFA3, Ebml(0x4282, "other")) + Ebml(kSegment, body), EmbedStatus::kNotThisFormat},
      {"cut short", good.substr(0, good.size() - 10), EmbedStatus::kDamaged},
      {"a size past the segment", MkvFile(body + std::string("\xEC\x85\x00", 3)), EmbedStatus::kDamaged},
      {"two segments", good + Ebml(kSegment, body), EmbedStatus::kUnsupported},
      {"a segment size field too narrow", narrow, EmbedStatus::kUnsupported},
      {"Tags of unknown size", MkvFile(Ebml(0x1254C367, "", true) + body), EmbedStatus::kUnsupported},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string written;
    const EmbedResult result = Write(c.file, kScripts, &written);
    EXPECT_EQ(result.status, c.status);
    EXPECT_NE(result.reason, "");
  }
  for (size_t room : {size_t{0}, good.size() / 2}) {
    MemorySource source(good);
    FailingSink sink(room);
    EXPECT_EQ(WriteMatroskaChapters(source, List(kScripts), sink).status, EmbedStatus::kWriteFailed);
  }
  for (uint64_t from : {uint64_t{0}, uint64_t{good.size() - 5}}) {
    FailingSource source(good, from);
    MemorySink sink;
    EXPECT_EQ(WriteMatroskaChapters(source, List(kScripts), sink).status, EmbedStatus::kReadFailed);
  }
}

}  // namespace
}  // namespace tarnix
