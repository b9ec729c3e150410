#include "import/vorbis_comment_chapter_writer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "import/bounded_source.h"
#include "import/file_chapters.h"
#include "import/id3v2_chapters.h"
#include "import/ogg_page.h"
#include "tests/import/byte_builders.h"
#include "tests/import/failing_io.h"
#include "tests/import/fixtures.h"
#include "tests/import/written_fixtures.h"

namespace tarnix {
namespace {

using namespace tarnix::testing;

const Expected kScripts = {
    {0, "Intro"}, {250, "Zweite Straße"}, {600, "終章"}, {800, "Глава вторая"}, {900, "الفصل الأخير"}};

Expected Numbered(int count, int stepMs) {
  Expected out;
  for (int i = 0; i < count; ++i) out.emplace_back(i * stepMs, "Nr. " + std::to_string(i + 1) + " 終");
  return out;
}

ChaptersToEmbed ToEmbed(const Expected& list) {
  ChaptersToEmbed embed;
  for (const auto& [ms, name] : list) embed.chapters.push_back({ms, name});
  return embed;
}

std::string Written(const std::string& original, const Expected& list, EmbedStatus expected = EmbedStatus::kWritten) {
  MemorySource source(original);
  MemorySink sink;
  const EmbedResult result = WriteVorbisCommentChapters(source, ToEmbed(list), sink);
  EXPECT_EQ(result.status, expected) << result.reason;
  EXPECT_EQ(result.reason.empty(), expected == EmbedStatus::kWritten) << result.reason;
  return sink.Bytes();
}

// "## <what>" sections of a readings file.
std::map<std::string, std::string> Sections(const std::string& text) {
  std::map<std::string, std::string> out;
  std::istringstream in(text);
  std::string line, name;
  while (std::getline(in, line)) {
    if (line.rfind("## ", 0) == 0) {
      name = line.substr(3);
      out[name];
    } else {
      out[name] += line + "\n";
    }
  }
  return out;
}

// ffprobe's chapters: each "start_time" begins one, a "TAG:title" names it.
Expected FfprobeList(const std::string& text) {
  Expected out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("start_time=", 0) == 0) out.emplace_back(std::llround(std::stod(line.substr(11)) * 1000), "");
    if (line.rfind("TAG:title=", 0) == 0 && !out.empty()) out.back().second = line.substr(10);
  }
  return out;
}

// A tool's comment listing split into chapter comments (as a list) and the others in order.
void SplitComments(const std::string& text, Expected* chapters, std::string* others) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::string key = line.substr(0, line.find('='));
    for (char& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const bool chapter = key.rfind("CHAPTER", 0) == 0 && key.size() >= 10;
    const bool name = chapter && key.size() == 14 && key.substr(10) == "NAME";
    long long h, m, sec, ms;
    if (chapter && key.size() == 10 && std::sscanf(line.c_str() + 11, "%lld:%lld:%lld.%lld", &h, &m, &sec, &ms) == 4) {
      chapters->emplace_back(((h * 60 + m) * 60 + sec) * 1000 + ms, "");
    } else if (name && !chapters->empty()) {
      chapters->back().second = line.substr(15);
    } else if (!line.empty()) {  // an empty vendor string: a block the writer made
      *others += line + "\n";
    }
  }
}

// FLAC: each metadata block's bytes but the comments and padding, and where the audio begins.
struct FlacLayout {
  std::string head;  // any ID3v2 tag, then "fLaC"
  std::vector<std::string> blocks;
  size_t audioAt = 0;
  uint32_t padding = 0;
};
FlacLayout LayoutOf(const std::string& bytes) {
  MemorySource source(bytes);
  FlacLayout layout;
  size_t at = static_cast<size_t>(Id3v2TagEnd(source, 0)) + 4;
  layout.head = bytes.substr(0, at);
  for (bool last = false; !last && at + 4 <= bytes.size();) {
    last = bytes[at] & 0x80;
    const int type = bytes[at] & 0x7F;
    const size_t length = Be24(bytes.data() + at + 1);
    if (type == 1) layout.padding += static_cast<uint32_t>(length);
    if (type != 1 && type != 4) {
      layout.blocks.push_back(std::string(1, static_cast<char>(type)) + bytes.substr(at + 1, 3 + length));
    }
    at += 4 + length;
  }
  layout.audioAt = at;
  return layout;
}

// Ogg: the pages after the `headers` header packets, each checked and then with its sequence
// number and checksum cleared, and whatever follows the last page; their numbers in `sequences`.
std::vector<std::string> AudioPages(const std::string& bytes, int headers, std::vector<uint32_t>* sequences) {
  std::vector<std::string> pages;
  size_t at = 0;
  OggPageHeader h;
  while (ParseOggPageStart(std::string_view(bytes).substr(at), &h)) {
    h.lacing = bytes.substr(at + kOggPageHeader, OggSegmentCount(bytes.substr(at)));
    std::string page = bytes.substr(at, h.PageSize());
    at += page.size();
    if (headers > 0) {
      for (const char c : h.lacing) headers -= static_cast<unsigned char>(c) < 255;
      continue;
    }
    EXPECT_EQ(OggPageChecksum(page), h.checksum);
    sequences->push_back(h.sequence);
    page.replace(18, 8, 8, '\0');
    pages.push_back(page);
  }
  pages.push_back(bytes.substr(at));
  return pages;
}

TEST(VorbisCommentWriterTest, FixturesAsIndependentToolsReadThem) {
  const struct {
    const char* name;
    const char* ext;
    Expected chapters;
    bool audioMoves;  // FLAC: the audio's offset; Ogg: the audio pages' sequence numbers
  } cases[] = {
      {"flac-bare", "flac", kScripts, true},
      {"flac-metaflac", "flac", {{0, "Erstes"}, {300, "Zweite Straße"}, {700, "終章"}}, false},
      {"flac-ffmpeg", "flac", {{0, ""}, {500, "Zweite"}}, false},
      {"flac-id3", "flac", kScripts, false},
      {"flac-padding", "flac", Numbered(300, 3), true},
      {"vorbis-oggenc", "ogg", kScripts, false},
      {"vorbis-ffmpeg", "ogg", {{0, "A"}, {100, ""}, {200, "C"}, {3723456, "Spät"}}, false},
      {"vorbis-full-page", "ogg", Numbered(300, 3), true},
      {"opus-picture", "opus", kScripts, false},
      {"opus-plain", "opus", {{0, "Alles"}}, false},
      {"opus-ffmpeg-300", "opus", {{0, "Anfang"}, {450, "النهاية"}}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string base = std::string("written/vorbis/") + c.name;
    const std::string original = ReadFixture(base + "." + c.ext);
    ASSERT_FALSE(original.empty());
    const std::string written = Written(original, c.chapters);
    KeepWrittenForTools(std::string(c.name) + ".written." + c.ext, written);
    EXPECT_EQ(Written(written, c.chapters), written) << "writing again changes nothing";
    MemorySource back(written);
    ChapterSet set;
    ASSERT_TRUE(ReadFileChapters(back, &set));
    EXPECT_EQ(Flatten(set), c.chapters);

    const bool flac = std::string(c.ext) == "flac";
    if (flac) {
      const FlacLayout before = LayoutOf(original), after = LayoutOf(written);
      EXPECT_EQ(before.blocks, after.blocks);
      EXPECT_EQ(original.substr(before.audioAt), written.substr(after.audioAt));
      EXPECT_EQ(before.head, after.head);
      // Only where the new comments did not fit does the audio move, after 8 KB of new padding.
      EXPECT_EQ(after.audioAt != before.audioAt, c.audioMoves);
      if (c.audioMoves) {
        EXPECT_EQ(after.padding, 8192u);
      }
    } else {
      const int headers = std::string(c.ext) == "ogg" ? 3 : 2;
      std::vector<uint32_t> before, after;
      EXPECT_EQ(AudioPages(original, headers, &before), AudioPages(written, headers, &after));
      ASSERT_EQ(before.size(), after.size());
      for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i] - before[i], after[0] - before[0]);
      EXPECT_EQ(after[0] != before[0], c.audioMoves);
    }

    auto readings = Sections(ReadFixture(base + ".readings.txt"));
    if (readings.empty()) {
      ADD_FAILURE() << "no readings: run make-vorbis-written-fixtures.sh readings";
      continue;
    }
    EXPECT_EQ(readings["written-hash"], BytesHash(written) + "\n") << "the readings are of other bytes";
    // ffmpeg takes the tracks of a CUESHEET block for chapters too, numbered as the comments
    // number theirs, and merges the two: there metaflac's reading of the comments tells.
    const Expected probed = FfprobeList(readings["written ffprobe-chapters"]);
    if (std::string(c.name) != "flac-metaflac") {
      ASSERT_EQ(probed.size(), c.chapters.size());
      for (size_t i = 0; i < probed.size(); ++i) {
        EXPECT_NEAR(probed[i].first, c.chapters[i].first, 1);
        EXPECT_EQ(probed[i].second, c.chapters[i].second);
      }
    }
    EXPECT_EQ(readings["original ffprobe-tags"], readings["written ffprobe-tags"]);
    EXPECT_EQ(readings["original audio-md5"], readings["written audio-md5"]);
    EXPECT_EQ(readings["written audio-md5"].rfind("MD5=", 0), 0u);
    EXPECT_EQ(readings["original metaflac-blocks"], readings["written metaflac-blocks"]);
    Expected oldChapters, newChapters;
    std::string oldOthers, newOthers;
    SplitComments(readings["original comments"], &oldChapters, &oldOthers);
    SplitComments(readings["written comments"], &newChapters, &newOthers);
    EXPECT_EQ(oldOthers, newOthers);
    EXPECT_EQ(newChapters, c.chapters);
    EXPECT_EQ(readings["written check"], flac                          ? "flac -t: ok\n"
                                         : std::string(c.ext) == "ogg" ? "Vorbis stream 1:\nLogical stream 1 ended\n"
                                                                       : "Opus stream 1:\nLogical stream 1 ended\n");
  }
}

std::string Joined(const std::vector<std::string>& pages) {
  std::string out;
  for (const std::string& page : pages) out += page;
  return out;
}

// A stream laid out in pages: the identification header alone on the first, then the other
// headers, then the audio.
std::string OggStream(std::string_view identification, const std::vector<std::string_view>& headers,
                      std::string_view audio) {
  return Joined(PaginateOggPackets({identification}, 7, 0, kOggFirstPage)) +
         Joined(PaginateOggPackets(headers, 7, 1, 0)) + Joined(PaginateOggPackets({audio}, 7, 9, kOggLastPage));
}

size_t PageEnd(const std::string& bytes, size_t at) {
  const size_t segments = static_cast<unsigned char>(bytes[at + 26]);
  size_t end = at + kOggPageHeader + segments;
  for (size_t i = 0; i < segments; ++i) end += static_cast<unsigned char>(bytes[at + kOggPageHeader + i]);
  return end;
}

TEST(VorbisCommentWriterTest, DamagedAndUnsupportedFilesAreRefused) {
  const std::string ogg = ReadFixture("written/vorbis/vorbis-oggenc.ogg");
  const std::string flac = ReadFixture("written/vorbis/flac-metaflac.flac");
  const std::string bare = ReadFixture("written/vorbis/flac-bare.flac");
  const size_t page1 = PageEnd(ogg, 0), page2 = PageEnd(ogg, page1);
  std::string badChecksum = ogg, badCount = flac, noFrame = bare;
  badChecksum[page1 + 60] ^= 1;
  const size_t comments = flac.find("reference libFLAC") - 4;
  badCount.replace(comments + 4 + Le32(flac.data() + comments), 4, "\xFF\xFF\xFF\x7F");
  noFrame[LayoutOf(bare).audioAt] = 'x';
  const std::string streamInfo = flac.substr(4, 38);
  const std::string comment = Be(4, 1) + Be(14, 3) + VorbisComments({});
  const std::string oggFlac = std::string("\x7F") + "FLAC\x01";
  const std::string noFramingBit = std::string("\x03vorbis", 7) + VorbisComments({});
  const std::string vorbisId = std::string("\x01vorbis", 7) + std::string(23, '\0');
  const std::string setup = std::string("\x05vorbis", 7) + "books";
  const std::string opusTags = "OpusTags" + VorbisComments({"TITLE=x"});
  const std::string other = Joined(PaginateOggPackets({std::string_view("\x01vorbis other", 13)}, 9, 0, kOggFirstPage));
  const struct {
    const char* what;
    std::string bytes;
    EmbedStatus status;
  } cases[] = {
      {"an Ogg header page with a wrong checksum", badChecksum, EmbedStatus::kDamaged},
      {"Ogg cut inside its headers", ogg.substr(0, page2 - 10), EmbedStatus::kDamaged},
      {"another stream multiplexed", ogg.substr(0, page1) + other + ogg.substr(page1), EmbedStatus::kUnsupported},
      {"a chained stream", ogg + ogg, EmbedStatus::kUnsupported},
      {"Ogg FLAC", OggStream(oggFlac, {"x"}, "audio"), EmbedStatus::kUnsupported},
      {"a Vorbis comment header without its framing bit", OggStream(vorbisId, {noFramingBit, setup}, "audio"),
       EmbedStatus::kDamaged},
      {"audio on the last header page",
       Joined(PaginateOggPackets({std::string_view("OpusHead\x01\x01", 10)}, 7, 0, kOggFirstPage)) +
           Joined(PaginateOggPackets({opusTags, "audio"}, 7, 1, kOggLastPage)),
       EmbedStatus::kUnsupported},
      {"something else between audio pages", ogg.substr(0, page2) + "garbage" + ogg.substr(page2),
       EmbedStatus::kDamaged},
      {"FLAC cut inside its metadata", flac.substr(0, 300), EmbedStatus::kDamaged},
      {"a comment count past the block", badCount, EmbedStatus::kDamaged},
      {"no audio frame after the metadata", noFrame, EmbedStatus::kDamaged},
      {"two comment blocks", "fLaC" + streamInfo + comment + "\x84" + comment.substr(1) + "\xFF\xF8",
       EmbedStatus::kUnsupported},
      {"an ID3v2 tag with chapters before FLAC", Id3Tag(3, 0, Id3Frame("CHAP", Id3Chap("c1", 0, ""), 3)) + flac,
       EmbedStatus::kUnsupported},
      {"an MP3 file", Id3Tag(3, 0, Id3Frame("TIT2", Id3Text(0, "x"), 3)) + "\xFF\xFB\x90\x00",
       EmbedStatus::kNotThisFormat},
      {"a WAVE file", "RIFF\x24\0\0\0WAVEfmt ", EmbedStatus::kNotThisFormat},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Written(c.bytes, kScripts, c.status);
  }
  Written(ogg, Numbered(1000, 1), EmbedStatus::kUnsupported);
  // Bytes after the stream, and a last page cut short, are kept as they are.
  const std::string tag = "TAG" + std::string(125, 'x');
  EXPECT_EQ(Written(ogg + tag, kScripts), Written(ogg, kScripts) + tag);
  const std::string cut = Written(ogg.substr(0, ogg.size() - 5), kScripts);
  EXPECT_EQ(cut, Written(ogg, kScripts).substr(0, cut.size()));
  // A renumbered audio page keeps exactly the checksum error it had.
  std::string damaged = ReadFixture("written/vorbis/vorbis-full-page.ogg");
  damaged[damaged.size() - 3] ^= 0x20;
  const std::string renumbered = Written(damaged, Numbered(300, 3));
  const auto lastPage = [](const std::string& file) { return std::string_view(file).substr(file.rfind("OggS")); };
  const auto error = [](std::string_view page) { return Le32(page.data() + 22) ^ OggPageChecksum(page); };
  EXPECT_NE(error(lastPage(damaged)), 0u);
  EXPECT_EQ(error(lastPage(renumbered)), error(lastPage(damaged)));
  EXPECT_EQ(Le32(lastPage(renumbered).data() + 18), Le32(lastPage(damaged).data() + 18) + 1);
}

TEST(VorbisCommentWriterTest, FailingSinksAndSourcesAreReported) {
  for (const char* file : {"flac-padding.flac", "flac-id3.flac", "vorbis-full-page.ogg", "opus-ffmpeg-300.opus"}) {
    SCOPED_TRACE(file);
    const std::string bytes = ReadFixture(std::string("written/vorbis/") + file);
    const ChaptersToEmbed chapters = ToEmbed(Numbered(300, 3));
    const size_t written = Written(bytes, Numbered(300, 3)).size();
    for (const size_t part : {size_t{0}, size_t{1}, size_t{2}, size_t{3}}) {
      SCOPED_TRACE(part);
      MemorySource source(bytes);
      FailingSink sink(part == 0 ? 0 : written * part / 3 - 1);
      EXPECT_EQ(WriteVorbisCommentChapters(source, chapters, sink).status, EmbedStatus::kWriteFailed);
      FailingSource failing(bytes, part == 0 ? 0 : bytes.size() * part / 3 - 1);
      MemorySink out;
      EXPECT_EQ(WriteVorbisCommentChapters(failing, chapters, out).status, EmbedStatus::kReadFailed);
    }
  }
}

}  // namespace
}  // namespace tarnix
