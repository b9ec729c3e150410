#include "import/id3v2_chapter_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "import/bounded_source.h"
#include "import/file_chapters.h"
#include "import/id3v2_chapters.h"
#include "tests/import/byte_builders.h"
#include "tests/import/failing_io.h"
#include "tests/import/fixtures.h"
#include "tests/import/tool_readings.h"
#include "tests/import/written_fixtures.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;

std::string Fixture(const std::string& name) { return ReadFixture("written/mp3/" + name); }

// The sections of a "<name>.readings.txt" that make-mp3-written-fixtures.sh keeps.
std::map<std::string, std::string> Readings(const std::string& name) {
  std::istringstream in(Fixture(name + ".readings.txt"));
  std::map<std::string, std::string> sections;
  std::string line, section;
  while (std::getline(in, line)) {
    if (line.rfind("== ", 0) == 0) {
      section = line.substr(3);
    } else {
      sections[section] += line + "\n";
    }
  }
  return sections;
}

// mutagen's listing without the chapter frames, which the writer replaces.
std::string OtherFrames(const std::string& listing) {
  std::istringstream in(listing);
  std::string line, out;
  while (std::getline(in, line)) {
    if (line.rfind("chapter=", 0) != 0 && line.rfind("toc=", 0) != 0) out += line + "\n";
  }
  return out;
}

ChaptersToEmbed List(std::vector<Chapter> chapters, int64_t lengthMs = 0) {
  ChaptersToEmbed list;
  list.chapters = std::move(chapters);
  list.lengthMs = lengthMs;
  return list;
}

Expected Listed(const ChaptersToEmbed& list) {
  Expected out;
  for (const Chapter& c : list.chapters) out.emplace_back(c.timeMs, c.name);
  return out;
}

struct Written {
  EmbedResult result;
  std::string bytes;
};
Written WriteInto(const std::string& original, const ChaptersToEmbed& list) {
  MemorySource source(original);
  MemorySink sink;
  Written w{WriteId3v2Chapters(source, list, sink), sink.Bytes()};
  return w;
}

// What follows the tag: the audio and the tags at the end, which must stay byte for byte.
std::string AfterTag(const std::string& file) {
  MemorySource source(file);
  return file.substr(static_cast<size_t>(Id3v2TagEnd(source, 0)));
}

ChaptersToEmbed ThreeHundred() {
  const char* names[] = {"Kapitel %d", "Глава %d", "第%d章", "الفصل %d"};
  ChaptersToEmbed list;
  for (int i = 0; i < 300; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, names[i % 4], i);
    list.chapters.push_back({i * 3, name});
  }
  return list;
}

TEST(Id3v2ChapterWriterTest, FixturesReadBackByIndependentTools) {
  const ChaptersToEmbed scripts =
      List({{0, "Anfang"}, {300, "Zweite Straße"}, {550, "終章"}, {800, "Глава четвёртая"}});
  const ChaptersToEmbed lateStart = List({{120, "الفصل الأول"}, {640, "Finale"}}, 1000);
  const struct {
    const char* file;
    ChaptersToEmbed list;
    bool audioStays;  // the old tag had room for the new frames
  } cases[] = {
      {"no-tag.mp3", scripts, false},          {"v23-ffmpeg.mp3", scripts, false},
      {"v24-ffmpeg-ape.mp3", lateStart, true}, {"v23-mutagen-cover.mp3", scripts, true},
      {"v24-eyed3-cover.mp3", scripts, true},  {"v24-mutagen-300.mp3", ThreeHundred(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string original = Fixture(c.file);
    ASSERT_FALSE(original.empty());
    const Written w = WriteInto(original, c.list);
    ASSERT_EQ(w.result.status, EmbedStatus::kWritten) << w.result.reason;
    KeepWrittenForTools(c.file, w.bytes);
    EXPECT_EQ(AfterTag(w.bytes), AfterTag(original));
    EXPECT_EQ(w.bytes.size() == original.size(), c.audioStays);
    MemorySource back(w.bytes);
    ChapterSet set;
    ASSERT_TRUE(ReadFileChapters(back, &set));
    EXPECT_EQ(Flatten(set), Listed(c.list));

    auto readings = Readings(c.file);
    if (readings["hash"] != BytesHash(w.bytes) + "\n") {
      ADD_FAILURE() << "the readings are of other bytes: run make-mp3-written-fixtures.sh readings";
      continue;
    }
    EXPECT_EQ(FfprobeChapters(readings["ffprobe chapters written"]), Listed(c.list));
    // The last chapter ends at the player's length, else at the duration ffprobe finds too.
    const std::string& chapters = readings["ffprobe chapters written"];
    const size_t lastEnd = chapters.rfind("end_time=") + 9;
    const double endMs = std::atof(chapters.c_str() + lastEnd) * 1000;
    const double durationMs = std::atof(readings["ffprobe duration original"].c_str() + 9) * 1000;
    EXPECT_NEAR(endMs, c.list.lengthMs > 0 ? c.list.lengthMs : durationMs, 1);
    EXPECT_EQ(readings["ffprobe tags written"], readings["ffprobe tags original"]);
    // Every other frame as it was; a file without a tag gets a 2.3 one.
    const std::string others = OtherFrames(readings["mutagen original"]);
    EXPECT_EQ(OtherFrames(readings["mutagen written"]), others == "no ID3v2 tag\n" ? "version=2.3\n" : others);
    std::string mutagenChapters;
    for (size_t i = 0; i < c.list.chapters.size(); ++i) {
      const Chapter& ch = c.list.chapters[i];
      const int64_t end = i + 1 < c.list.chapters.size() ? c.list.chapters[i + 1].timeMs : std::llround(endMs);
      mutagenChapters += "chapter=" + std::to_string(ch.timeMs) + " " + std::to_string(end) + " " + ch.name + "\n";
    }
    EXPECT_NE(readings["mutagen written"].find(mutagenChapters), std::string::npos);
    EXPECT_NE(readings["mutagen written"].find(c.list.chapters.size() > 255 ? "toc=toc flags=3 children=2"
                                                                            : "toc=toc flags=3 children="),
              std::string::npos);
    EXPECT_EQ(readings["audio written"], readings["audio original"]);
    EXPECT_NE(readings["audio written"].find("decoded="), std::string::npos);
  }
}

const ChaptersToEmbed kTwo = List({{0, "One"}, {500, "Zwei"}}, 1000);

TEST(Id3v2ChapterWriterTest, RefusesWhatItMustNotRewrite) {
  const std::string audio = Fixture("no-tag.mp3");
  const std::string title3 = Id3Frame("TIT2", Id3Text(0, "Title"), 3);
  const std::string title4 = Id3Frame("TIT2", Id3Text(0, "Title"), 4);
  const std::string big4 = Id3Frame("APIC", std::string(300, 'p'), 4, 0, true);
  const struct {
    const char* what;
    std::string file;
    EmbedStatus status;
  } cases[] = {
      {"2.2 tag", Id3Tag(2, 0, "TT2\0\0\x06\0Title") + audio, EmbedStatus::kUnsupported},
      {"2.5 tag", Id3Tag(5, 0, "") + audio, EmbedStatus::kUnsupported},
      {"unsynchronised tag", Id3Tag(3, 0x80, title3) + audio, EmbedStatus::kUnsupported},
      {"unknown tag flag", Id3Tag(3, 0x10, title3) + audio, EmbedStatus::kUnsupported},
      {"2.3 extended header with a CRC", Id3Tag(3, 0x40, Be(10, 4) + "\x80" + Be(0, 9) + title3) + audio,
       EmbedStatus::kUnsupported},
      {"2.4 extended header with restrictions", Id3Tag(4, 0x40, Synchsafe(7) + "\x01\x10\x01" + title4) + audio,
       EmbedStatus::kUnsupported},
      {"compressed frame", Id3Tag(3, 0, Id3Frame("TXXX", "x", 3, 0x80)) + audio, EmbedStatus::kUnsupported},
      {"encrypted 2.4 frame", Id3Tag(4, 0, Id3Frame("TXXX", "x", 4, 0x04)) + audio, EmbedStatus::kUnsupported},
      {"unsynchronised 2.4 frame", Id3Tag(4, 0, title4 + Id3Frame("TXXX", "x", 4, 0x02)) + audio,
       EmbedStatus::kUnsupported},
      {"2.4 sizes not synchsafe", Id3Tag(4, 0, big4 + title4) + audio, EmbedStatus::kUnsupported},
      {"seek index that would move", Id3Tag(4, 0, Id3Frame("ASPI", Be(0, 10), 4)) + audio, EmbedStatus::kUnsupported},
      {"two tags", Id3Tag(3, 0, title3) + Id3Tag(3, 0, title3) + audio, EmbedStatus::kUnsupported},
      {"frame past the tag", Id3Tag(3, 0, "TIT2" + Be(100, 4) + std::string(3, '\0')) + audio, EmbedStatus::kDamaged},
      {"bad frame id", Id3Tag(3, 0, "ti t" + Be(1, 4) + std::string(3, '\0')) + audio, EmbedStatus::kDamaged},
      {"data after the padding", Id3Tag(3, 0, title3 + std::string(20, '\0') + "junk" + std::string(9, '\0')) + audio,
       EmbedStatus::kDamaged},
      {"tag past the end", Id3Tag(3, 0, title3 + std::string(5000, '\0')).substr(0, 100), EmbedStatus::kDamaged},
      {"header cut short", "ID3\x03\0", EmbedStatus::kDamaged},
      {"ID3 then FLAC", ReadFixture("id3-then-flac.flac"), EmbedStatus::kNotThisFormat},
      {"ID3 then FLAC holding frame syncs", Id3Tag(3, 0, title3) + "fLaC" + audio, EmbedStatus::kNotThisFormat},
      {"FLAC", ReadFixture("comments.flac"), EmbedStatus::kNotThisFormat},
      {"Ogg", ReadFixture("vorbis-oggenc.ogg"), EmbedStatus::kNotThisFormat},
      {"MP4", ReadFixture("both-ffmpeg.m4a"), EmbedStatus::kNotThisFormat},
      {"ADTS frame sync", std::string("\xFF\xF1\x50\x80\x02\x1F\xFC", 7) + std::string(600, '\0'),
       EmbedStatus::kNotThisFormat},
      {"one lone frame header", audio.substr(0, 4) + std::string(600, 'x'), EmbedStatus::kNotThisFormat},
      {"empty", "", EmbedStatus::kNotThisFormat},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Written w = WriteInto(c.file, kTwo);
    EXPECT_EQ(w.result.status, c.status);
    EXPECT_EQ(w.result.reason.empty(), c.status == EmbedStatus::kNotThisFormat) << w.result.reason;
    EXPECT_TRUE(w.bytes.empty());
  }
}

TEST(Id3v2ChapterWriterTest, HeaderFormsAreKept) {
  const std::string audio = Fixture("no-tag.mp3");
  const std::string title4 = Id3Frame("TIT2", Id3Text(3, "Titel"), 4);
  const std::string oldChapter = Id3Frame("CHAP", Id3Chap("x", 7, ""), 4);
  std::string footed = Id3Tag(4, 0x10, oldChapter + title4);
  footed += "3DI" + footed.substr(3, 7);
  const struct {
    const char* what;
    std::string file;
    std::string kept;  // bytes that must stand in the new tag as they are
  } cases[] = {
      {"2.4 footer", footed + audio, title4},
      {"2.3 extended header", Id3Tag(3, 0x40, Be(6, 4) + Be(0, 2) + Be(40, 4) + std::string(40, '\0')) + audio,
       Be(6, 4) + Be(0, 2)},
      {"2.4 extended header",
       Id3Tag(4, 0x40, Synchsafe(7) + std::string("\x01\x40\x00", 3) + oldChapter + title4) + audio,
       Synchsafe(7) + std::string("\x01\x40\x00", 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Written w = WriteInto(c.file, kTwo);
    ASSERT_EQ(w.result.status, EmbedStatus::kWritten) << w.result.reason;
    EXPECT_EQ(AfterTag(w.bytes), audio);
    EXPECT_NE(w.bytes.find(c.kept), std::string::npos);
    MemorySource back(w.bytes);
    ChapterSet set;
    ASSERT_TRUE(ReadFileChapters(back, &set));
    EXPECT_EQ(Flatten(set), Listed(kTwo));
    const size_t tagEnd = w.bytes.size() - audio.size();
    if (c.file[5] & 0x10) {
      EXPECT_EQ(w.bytes.substr(tagEnd - 10), "3DI" + w.bytes.substr(3, 7) + audio);
    }
    if (c.file[3] == 3) {  // the 2.3 extended header counts the padding after the last frame
      EXPECT_EQ(Be32(w.bytes.data() + 16), tagEnd - w.bytes.find_last_not_of('\0', tagEnd - 1) - 1);
    }
  }
}

// Reads or writes fail from a given byte on.
TEST(Id3v2ChapterWriterTest, FailedReadsAndWritesAreTold) {
  const std::string file = Fixture("v23-mutagen-cover.mp3");
  for (const uint64_t failFrom : {uint64_t{5}, uint64_t{400}, uint64_t{file.size() - 200}}) {
    SCOPED_TRACE(failFrom);
    FailingSource source(file, failFrom);
    MemorySink sink;
    EXPECT_EQ(WriteId3v2Chapters(source, kTwo, sink).status, EmbedStatus::kReadFailed);
    MemorySource whole(file);
    FailingSink partial(failFrom);
    const EmbedResult result = WriteId3v2Chapters(whole, kTwo, partial);
    EXPECT_EQ(result.status, EmbedStatus::kWriteFailed);
    EXPECT_FALSE(result.reason.empty());
  }
}

}  // namespace
}  // namespace tarnix
