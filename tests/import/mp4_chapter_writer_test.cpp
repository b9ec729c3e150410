#include "import/mp4_chapter_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

#include "import/bounded_source.h"
#include "import/file_chapters.h"
#include "import/mp4_chapters.h"
#include "tests/import/byte_builders.h"
#include "tests/import/failing_io.h"
#include "tests/import/fixtures.h"
#include "tests/import/tool_readings.h"
#include "tests/import/written_fixtures.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;

struct TopBox {
  std::string type;
  uint64_t at, header, size;
};

// The boxes from `begin` to `end` (the top level: of the whole file, which may be longer than
// the bytes kept).
std::vector<TopBox> Boxes(const std::string& bytes, uint64_t begin, uint64_t end) {
  std::vector<TopBox> boxes;
  for (uint64_t at = begin; at + 8 <= std::min<uint64_t>(bytes.size(), end);) {
    uint64_t size = Be32(bytes.data() + at), header = 8;
    if (size == 1 && at + 16 <= bytes.size()) size = Be64(bytes.data() + at + 8), header = 16;
    if (size == 0) size = end - at;
    if (size < header) break;
    boxes.push_back({bytes.substr(at + 4, 4), at, header, size});
    at += size;
  }
  return boxes;
}
std::vector<TopBox> TopBoxes(const std::string& bytes, uint64_t fileSize = 0) {
  return Boxes(bytes, 0, fileSize == 0 ? bytes.size() : fileSize);
}

// Every box the writer has no reason to change, byte for byte somewhere in the new file: the
// top-level boxes but the movie box and free space, the movie box's but the tracks, and those
// of "moov/udta" (the iTunes tags, unknown boxes) but the Nero list.
void ExpectUnchangedBoxesKept(const std::string& original, const std::string& written) {
  const auto kept = [&](const TopBox& box) {
    EXPECT_NE(written.find(original.substr(box.at, box.size)), std::string::npos) << box.type;
  };
  for (const auto& top : TopBoxes(original)) {
    if (top.type == "free") continue;
    if (top.type != "moov") {
      kept(top);
      continue;
    }
    for (const auto& box : Boxes(original, top.at + top.header, top.at + top.size)) {
      if (box.type == "udta") {
        for (const auto& item : Boxes(original, box.at + box.header, box.at + box.size)) {
          if (item.type != "chpl") kept(item);
        }
      } else if (box.type != "trak" && box.type != "mvhd") {
        kept(box);
      }
    }
  }
}

// The payload of the largest "mdat": the audio.
std::string AudioPayload(const std::string& bytes) {
  TopBox largest{"", 0, 0, 0};
  for (const auto& box : TopBoxes(bytes)) {
    if (box.type == "mdat" && box.size > largest.size) largest = box;
  }
  return bytes.substr(largest.at + largest.header, largest.size - largest.header);
}

// The chunk offsets of the first track (the audio in every fixture).
std::vector<uint64_t> FirstTrackChunks(const std::string& bytes) {
  const size_t stco = bytes.find("stco"), co64 = bytes.find("co64");
  const bool wide = co64 < stco;
  const size_t at = std::min(stco, co64);
  std::vector<uint64_t> chunks;
  for (uint32_t i = 0; at != std::string::npos && i < Be32(bytes.data() + at + 8); ++i) {
    const char* entry = bytes.data() + at + 12 + i * (wide ? 8 : 4);
    chunks.push_back(wide ? Be64(entry) : Be32(entry));
  }
  return chunks;
}

// The sections of a readings file ("== name ==" lines), and its "hash=" line as "hash".
std::map<std::string, std::string> Sections(const std::string& text) {
  std::map<std::string, std::string> sections;
  std::istringstream in(text);
  std::string line, current;
  while (std::getline(in, line)) {
    if (line.rfind("hash=", 0) == 0) {
      sections["hash"] = line.substr(5);
    } else if (line.rfind("== ", 0) == 0) {
      current = line.substr(3, line.size() - 6);
    } else {
      sections[current] += line + "\n";
    }
  }
  return sections;
}

Expected Written(const ChaptersToEmbed& list) {
  Expected out;
  if (!list.chapters.empty() && list.chapters[0].timeMs > 0) out.emplace_back(0, list.trackName);
  for (const auto& c : list.chapters) out.emplace_back(c.timeMs, c.name);
  return out;
}

void ExpectNear(const Expected& got, const Expected& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].first, want[i].first, 1) << i;
    EXPECT_EQ(got[i].second, want[i].second) << i;
  }
}

Expected ChaptersOf(const std::string& bytes) {
  MemorySource source(bytes);
  ChapterSet set;
  return ReadFileChapters(source, &set) ? Flatten(set) : Expected();
}

// mutagen's reading of the Nero list: "<ms> <title>" lines.
Expected MutagenChapters(const std::string& text) {
  Expected out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const size_t space = line.find(' ');
    out.emplace_back(std::stoll(line.substr(0, space)), line.substr(space + 1));
  }
  return out;
}

ChaptersToEmbed Many(int count, int stepMs, const std::string& prefix) {
  ChaptersToEmbed list;
  for (int i = 0; i < count; ++i) list.chapters.push_back({int64_t{i} * stepMs, prefix + std::to_string(i + 1)});
  return list;
}

EmbedResult Write(const std::string& original, const ChaptersToEmbed& list, std::string* written) {
  MemorySource source(original);
  MemorySink sink;
  const EmbedResult result = WriteMp4Chapters(source, list, sink);
  *written = sink.Bytes();
  return result;
}

// Writes the list into a fixture and checks the new file, and what the tools read from it.
void CheckFixture(const char* file, const ChaptersToEmbed& list) {
  SCOPED_TRACE(file);
  const std::string original = ReadFixture(std::string("written/mp4/") + file);
  ASSERT_FALSE(original.empty());
  std::string written;
  const EmbedResult result = Write(original, list, &written);
  ASSERT_EQ(result.status, EmbedStatus::kWritten) << result.reason;
  EXPECT_EQ(!result.note.empty(), list.chapters.size() > 255) << result.note;
  KeepWrittenForTools(file, written);

  const Expected want = Written(list);
  ExpectNear(ChaptersOf(written), want);
  EXPECT_EQ(AudioPayload(written), AudioPayload(original));
  ExpectUnchangedBoxesKept(original, written);
  const auto chunks = FirstTrackChunks(original), moved = FirstTrackChunks(written);
  ASSERT_EQ(moved.size(), chunks.size());
  for (size_t i = 0; i < chunks.size(); ++i) EXPECT_EQ(written.substr(moved[i], 32), original.substr(chunks[i], 32));

  auto readings = Sections(ReadFixture(std::string("written/mp4/") + file + ".readings.txt"));
  ASSERT_EQ(readings["hash"], BytesHash(written)) << "the readings are of other bytes: run the fixture script";
  ExpectNear(FfprobeChapters(readings["chapters ffprobe"]), want);
  ExpectNear(MutagenChapters(readings["chapters mutagen"]), want.size() <= 255 ? want : Expected());
  EXPECT_EQ(readings["tags written"], readings["tags original"]);
  EXPECT_FALSE(readings["tags original"].empty());
  EXPECT_EQ(readings["audio written"], readings["audio original"]);
  EXPECT_NE(readings["audio original"].find("packets MD5="), std::string::npos);
}

TEST(Mp4ChapterWriterTest, Fixtures) {
  CheckFixture("bare.m4a", {{{0, "Anfang"}, {700, "Zweite Straße"}, {1400, "終章"}}, 0, ""});
  CheckFixture("bare-faststart.m4a", {{{300, "Глава первая"}, {1200, "الفصل الثاني"}}, 0, "Bare Track"});
  CheckFixture("ffmpeg-chapters.m4a", {{{0, "Eins"}, {500, "Zwei"}, {1500, "Drei"}}, 0, ""});
  CheckFixture("ffmpeg-chapters-faststart.m4b", {{{0, "Prologue"}, {900, "終章"}}, 0, ""});
  CheckFixture("mutagen-tags.m4a", {{{0, "A"}, {1000, "B"}}, 0, ""});
  CheckFixture("unknown-boxes.m4a", {{{250, "Mitte"}}, 0, "Unknown Boxes"});
  CheckFixture("many-chapters.m4b", Many(300, 6, "Kapitel "));
}

TEST(Mp4ChapterWriterTest, WritingAgainReusesTheSpaceBesideTheMovieBox) {
  for (const char* file : {"bare-faststart.m4a", "bare.m4a"}) {
    SCOPED_TRACE(file);
    const std::string original = ReadFixture(std::string("written/mp4/") + file);
    std::string once, twice;
    ASSERT_EQ(Write(original, Many(40, 40, "First "), &once).status, EmbedStatus::kWritten);
    ASSERT_EQ(Write(once, Many(30, 50, "Second "), &twice).status, EmbedStatus::kWritten);
    ExpectNear(ChaptersOf(twice), Written(Many(30, 50, "Second ")));
    EXPECT_EQ(AudioPayload(twice), AudioPayload(original));
    // Nothing but the audio is left of the first writing's chapters: the file does not grow.
    EXPECT_LE(twice.size(), once.size());
    const auto audioAt = [](const std::string& bytes) {
      uint64_t at = 0, size = 0;
      for (const auto& box : TopBoxes(bytes)) {
        if (box.type == "mdat" && box.size > size) at = box.at, size = box.size;
      }
      return at;
    };
    EXPECT_EQ(audioAt(twice), audioAt(once));
  }
}

TEST(Mp4ChapterWriterTest, AnEmptyListTakesTheChaptersAway) {
  for (const char* file : {"ffmpeg-chapters-faststart.m4b", "ffmpeg-chapters.m4a"}) {
    SCOPED_TRACE(file);
    const std::string original = ReadFixture(std::string("written/mp4/") + file);
    std::string written;
    ASSERT_EQ(Write(original, {}, &written).status, EmbedStatus::kWritten);
    EXPECT_EQ(ChaptersOf(written), Expected());
    EXPECT_EQ(written.find("chpl"), std::string::npos);
    const auto chunks = FirstTrackChunks(original), moved = FirstTrackChunks(written);
    ASSERT_EQ(moved.size(), chunks.size());
    for (size_t i = 0; i < chunks.size(); ++i) EXPECT_EQ(written.substr(moved[i], 32), original.substr(chunks[i], 32));
  }
  // A movie box that shrinks by less than a free box takes (a reference to a track that is not
  // there goes): the media moves.
  const std::string ftyp = Box("ftyp", "M4A " + Be(0, 4) + "M4A isom");
  auto movie = [](uint64_t mediaAt) {
    return Box("moov",
               FullBox("mvhd", Be(0, 96)) +
                   Box("trak",
                       FullBox("tkhd", Be(0, 8) + Be(1, 4) + Be(0, 8)) + Box("tref", Box("chap", Be(9, 4) + Be(1, 4))) +
                           Box("mdia", FullBox("hdlr", Be(0, 4) + "soun" + Be(0, 12)) +
                                           Box("minf", Box("stbl", FullBox("stco", Be(1, 4) + Be(mediaAt, 4)))))));
  };
  const std::string file = ftyp + movie(ftyp.size() + movie(0).size() + 8) + Box("mdat", "the audio");
  std::string written;
  ASSERT_EQ(Write(file, {}, &written).status, EmbedStatus::kWritten);
  const auto chunks = FirstTrackChunks(written);
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(written.substr(chunks[0], 9), "the audio");
}

// A data reference whose entry sizes are garbage: the entries are looked at within the box, and
// an entry that claims to run past it ends the look. Where sizes are 32 bits, the one at 8 once
// wrapped the walk back to the box's start and the next back again: the writer never returned.
TEST(Mp4ChapterWriterTest, DataReferenceEntriesPastTheirBoxEndTheWalk) {
  const std::string ftyp = Box("ftyp", "M4A " + Be(0, 4) + "M4A isom");
  // Flags 12, one entry: 0xFFFFFFF8 bytes long, its type bytes 0xFFFFFFF4, self-contained.
  const std::string dref =
      Box("dref", Be(12, 4) + Be(1, 4) + Be(0xFFFFFFF8u, 4) + Be(0xFFFFFFF4u, 4) + Be(1, 4) + Be(0, 4));
  auto movie = [&](uint64_t mediaAt) {
    return Box(
        "moov",
        FullBox("mvhd", Be(0, 96)) +
            Box("trak", FullBox("tkhd", Be(0, 8) + Be(1, 4) + Be(0, 8)) +
                            Box("mdia", FullBox("hdlr", Be(0, 4) + "soun" + Be(0, 12)) +
                                            Box("minf", Box("dinf", dref) +
                                                            Box("stbl", FullBox("stco", Be(1, 4) + Be(mediaAt, 4)))))));
  };
  const std::string file = ftyp + movie(ftyp.size() + movie(0).size() + 8) + Box("mdat", "the audio");
  std::string written;
  const EmbedResult result = Write(file, {{{0, "A"}}, 0, ""}, &written);
  ASSERT_EQ(result.status, EmbedStatus::kWritten) << result.reason;
  const auto chunks = FirstTrackChunks(written);
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(written.substr(chunks[0], 9), "the audio");
}

// Containers nested as deep as the box budget allows (8 bytes each): reading them must not take
// a stack frame per level, and the writer keeps them byte for byte.
TEST(Mp4ChapterWriterTest, DeeplyNestedBoxesAreCopiedWhole) {
  constexpr uint64_t kDepth = 150000;
  std::string nested;
  for (uint64_t i = 0; i < kDepth; ++i) nested += Be(8 * (kDepth - i), 4) + "minf";
  const std::string ftyp = Box("ftyp", "M4A " + Be(0, 4) + "M4A isom");
  auto movie = [&](uint64_t mediaAt) {
    const std::string stbl = Box("stbl", FullBox("stco", Be(1, 4) + Be(mediaAt, 4)));
    const std::string mdia = Box("mdia", FullBox("hdlr", Be(0, 4) + "soun" + Be(0, 12)) + Box("minf", stbl));
    const std::string trak = Box("trak", FullBox("tkhd", Be(0, 8) + Be(1, 4) + Be(0, 8)) + mdia);
    return Box("moov", FullBox("mvhd", Be(0, 96)) + trak + nested);
  };
  const std::string file = ftyp + movie(ftyp.size() + movie(0).size() + 8) + Box("mdat", "the audio");
  std::string written;
  const EmbedResult result = Write(file, {{{0, "A"}}, 0, ""}, &written);
  ASSERT_EQ(result.status, EmbedStatus::kWritten) << result.reason;
  EXPECT_NE(written.find(nested), std::string::npos);
  const auto chunks = FirstTrackChunks(written);
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(written.substr(chunks[0], 9), "the audio");
}

std::string Replace(std::string s, std::string_view from, std::string_view to) {
  const size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

TEST(Mp4ChapterWriterTest, Refusals) {
  const std::string bare = ReadFixture("written/mp4/bare.m4a");  // the movie box last
  const std::string ftyp = Box("ftyp", "M4A " + Be(0, 4) + "M4A isom");
  const std::string moov = bare.substr(bare.find("moov") - 4);
  const std::string built = Mp4ChapterMoov({{1000, "One"}}, 0);
  const size_t mdatAt = bare.find("mdat") - 4;
  const struct {
    const char* what;
    std::string file;
    EmbedStatus status;
  } cases[] = {
      {"not an MP4 file", "RIFF" + Be(4, 4) + "WAVE", EmbedStatus::kNotThisFormat},
      {"a box past the end", bare.substr(0, mdatAt) + Be(0x7FFFFFF0, 4) + bare.substr(mdatAt + 4),
       EmbedStatus::kDamaged},
      {"the movie box cut short", bare.substr(0, bare.size() - 100), EmbedStatus::kDamaged},
      {"no movie box", ftyp + Box("mdat", "x"), EmbedStatus::kDamaged},
      {"movie fragments", bare + Box("moof", Box("mfhd", Be(0, 8))), EmbedStatus::kUnsupported},
      {"fragments announced", ftyp + Replace(built, "udta", "mvex"), EmbedStatus::kUnsupported},
      {"a compressed movie box", ftyp + Box("moov", Box("cmov", Box("dcom", "zlib"))), EmbedStatus::kUnsupported},
      {"two movie boxes", bare + moov, EmbedStatus::kUnsupported},
      {"no audio track", ftyp + Replace(built, "soun", "vide"), EmbedStatus::kUnsupported},
      {"a chunk table longer than its box",
       bare.substr(0, bare.find("stco") + 8) + Be(~0u, 4) + bare.substr(bare.find("stco") + 12), EmbedStatus::kDamaged},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string written;
    const EmbedResult result = Write(c.file, {{{0, "A"}}, 0, ""}, &written);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.reason.empty(), c.status == EmbedStatus::kNotThisFormat);
  }

  std::string written;
  EXPECT_EQ(Write(bare, {{{500, "B"}, {100, "A"}}, 0, ""}, &written).status, EmbedStatus::kUnsupported);
  const ChaptersToEmbed list{{{0, "A"}}, 0, ""};
  for (const size_t room : {size_t{0}, size_t{40}, bare.size() - 10}) {
    MemorySource source(bare);
    FailingSink sink(room);
    EXPECT_EQ(WriteMp4Chapters(source, list, sink).status, EmbedStatus::kWriteFailed) << room;
  }
  for (const uint64_t failAt : {uint64_t{8}, uint64_t{mdatAt + 20}, uint64_t{bare.size() - 8}}) {
    FailingSource source(bare, failAt);
    MemorySink sink;
    EXPECT_EQ(WriteMp4Chapters(source, list, sink).status, EmbedStatus::kReadFailed) << failAt;
  }
}

// A file of more than 4 GB that exists only here: ftyp, moov (an audio track whose 32-bit
// chunk offsets reach near 4 GB) and an mdat of zeros with a 64-bit size.
class HugeSource : public ByteSource {
 public:
  HugeSource(std::string head, uint64_t size) : head_(std::move(head)), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* out, size_t count) override {
    if (offset > size_ || count > size_ - offset) return false;
    std::memset(out, 0, count);
    if (offset < head_.size()) head_.copy(static_cast<char*>(out), count, static_cast<size_t>(offset));
    return true;
  }

 private:
  std::string head_;
  uint64_t size_;
};

// Keeps the first bytes written (the boxes before the media) and counts the rest, checking
// that they are the zeros of the media.
class HeadSink : public ByteSink {
 public:
  bool Write(const void* bytes, size_t count) override {
    const auto* p = static_cast<const char*>(bytes);
    const size_t keep = std::min<uint64_t>(count, head.size() < kKeep ? kKeep - head.size() : 0);
    head.append(p, keep);
    static const std::string zeros(kCopyPieceBytes, '\0');
    zerosOnly = zerosOnly && count - keep <= zeros.size() && std::memcmp(p + keep, zeros.data(), count - keep) == 0;
    total += count;
    return true;
  }
  static constexpr size_t kKeep = 1 << 16;
  std::string head;
  uint64_t total = 0;
  bool zerosOnly = true;
};

TEST(Mp4ChapterWriterTest, FileOverFourGigabytes) {
  const uint64_t mediaBytes = uint64_t{5} << 30;
  const std::string ftyp = Box("ftyp", "M4A " + Be(0, 4) + "M4A isom");
  auto movie = [&](uint64_t mediaAt) {
    const std::vector<uint64_t> chunks = {mediaAt, mediaAt + 0x80000000u, 0xFFFFFF00u};
    std::string stco = Be(chunks.size(), 4);
    for (const uint64_t at : chunks) stco += Be(at, 4);
    const std::string stbl = Box("stbl", FullBox("stco", stco));
    return Box("moov",
               FullBox("mvhd", Be(0, 8) + Be(1000, 4) + Be(5000000, 4) + Be(0, 80)) +
                   Box("trak", FullBox("tkhd", Be(0, 8) + Be(1, 4) + Be(0, 8)) +
                                   Box("mdia", FullBox("hdlr", Be(0, 4) + "soun" + Be(0, 12)) + Box("minf", stbl))));
  };
  const uint64_t mediaAt = ftyp.size() + movie(0).size() + 16;
  const std::string head = ftyp + movie(mediaAt) + Be(1, 4) + "mdat" + Be(mediaBytes + 16, 8);
  HugeSource source(head, head.size() + mediaBytes);
  HeadSink sink;
  const ChaptersToEmbed list{{{0, "Start"}, {4000000, "Late"}}, 0, ""};
  const EmbedResult result = WriteMp4Chapters(source, list, sink);
  ASSERT_EQ(result.status, EmbedStatus::kWritten) << result.reason;
  EXPECT_TRUE(sink.zerosOnly);

  const auto boxes = TopBoxes(sink.head, sink.total);
  ASSERT_FALSE(boxes.empty());
  const TopBox& media = boxes.back();
  ASSERT_EQ(media.type, "mdat");
  EXPECT_EQ(media.header, 16u);
  EXPECT_EQ(media.size, mediaBytes + 16);
  EXPECT_EQ(sink.total, media.at + media.size);
  const uint64_t shift = media.at + 16 - mediaAt;
  const size_t co64 = sink.head.find("co64");
  ASSERT_NE(co64, std::string::npos);
  EXPECT_EQ(Be32(sink.head.data() + co64 + 8), 3u);
  EXPECT_EQ(Be64(sink.head.data() + co64 + 12), mediaAt + shift);
  EXPECT_EQ(Be64(sink.head.data() + co64 + 20), mediaAt + 0x80000000u + shift);
  EXPECT_EQ(Be64(sink.head.data() + co64 + 28), 0xFFFFFF00u + shift);

  HugeSource writtenFile(sink.head.substr(0, static_cast<size_t>(media.at + 16)), sink.total);
  ChapterSet set;
  ASSERT_TRUE(ReadMp4Chapters(writtenFile, &set));
  EXPECT_EQ(Flatten(set), Written(list));
}

}  // namespace
}  // namespace tarnix
