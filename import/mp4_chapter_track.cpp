#include "import/mp4_chapter_track.h"

#include <numeric>
#include <string_view>
#include <utility>

namespace tarnix {
namespace {

constexpr uint64_t kMax32 = 0xFFFFFFFFu;
constexpr uint32_t kChapterTimescale = 1000;        // chapter times are whole milliseconds
constexpr uint16_t kLanguageUndetermined = 0x55C4;  // "und", packed as three 5-bit letters

// The longest start of `text` of at most `maxBytes` bytes that ends between UTF-8 characters.
std::string_view CutBetweenCharacters(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  size_t end = maxBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::string FullBoxHead(int version, uint32_t flags) {
  std::string s;
  AppendBe(&s, uint64_t{static_cast<uint32_t>(version)} << 24 | flags, 4);
  return s;
}

void AppendIdentityMatrix(std::string* s) {
  for (const uint32_t value : {0x00010000u, 0u, 0u, 0u, 0x00010000u, 0u, 0u, 0u, 0x40000000u}) AppendBe(s, value, 4);
}

Mp4Node TrackHeader(const Mp4ChapterTrackPlace& place, uint64_t durationMs) {
  const uint64_t duration = durationMs * place.movieTimescale / kChapterTimescale;
  const bool wide = duration > kMax32 || place.created > kMax32 || place.modified > kMax32;
  // Flags: in the movie, but not enabled: the chapter track is never presented as a track.
  std::string s = FullBoxHead(wide ? 1 : 0, 0x000002);
  const int timeBytes = wide ? 8 : 4;
  AppendBe(&s, place.created, timeBytes);
  AppendBe(&s, place.modified, timeBytes);
  AppendBe(&s, place.trackId, 4);
  AppendBe(&s, 0, 4);
  AppendBe(&s, duration, timeBytes);
  AppendBe(&s, 0, 8);  // reserved
  AppendBe(&s, 0, 8);  // layer, alternate group, volume, reserved
  AppendIdentityMatrix(&s);
  AppendBe(&s, 0, 8);  // width, height
  return Mp4Node::Bytes(Mp4Type("tkhd"), std::move(s));
}

Mp4Node MediaHeader(const Mp4ChapterTrackPlace& place, uint64_t durationMs) {
  const bool wide = durationMs > kMax32 || place.created > kMax32 || place.modified > kMax32;
  std::string s = FullBoxHead(wide ? 1 : 0, 0);
  const int timeBytes = wide ? 8 : 4;
  AppendBe(&s, place.created, timeBytes);
  AppendBe(&s, place.modified, timeBytes);
  AppendBe(&s, kChapterTimescale, 4);
  AppendBe(&s, durationMs, timeBytes);
  AppendBe(&s, kLanguageUndetermined, 2);
  AppendBe(&s, 0, 2);
  return Mp4Node::Bytes(Mp4Type("mdhd"), std::move(s));
}

Mp4Node Handler() {
  std::string s = FullBoxHead(0, 0);
  AppendBe(&s, 0, 4);
  AppendBe(&s, Mp4Type("text"), 4);
  AppendBe(&s, 0, 12);
  s += std::string("Chapters", 9);  // with its terminating NUL
  return Mp4Node::Bytes(Mp4Type("hdlr"), std::move(s));
}

// QuickTime's media header of a text track: the base header (graphics mode "dither copy", grey
// op colour) and the text media information (a matrix).
Mp4Node TextMediaHeader() {
  std::string gmin = FullBoxHead(0, 0);
  AppendBe(&gmin, 0x0040, 2);
  for (int i = 0; i < 3; ++i) AppendBe(&gmin, 0x8000, 2);
  AppendBe(&gmin, 0, 4);  // balance, reserved
  std::string text;
  AppendIdentityMatrix(&text);
  std::vector<Mp4Node> children;
  children.push_back(Mp4Node::Bytes(Mp4Type("gmin"), std::move(gmin)));
  children.push_back(Mp4Node::Bytes(Mp4Type("text"), std::move(text)));
  return Mp4Node::Container(Mp4Type("gmhd"), std::move(children));
}

// The samples are in this file: one "url " entry with the self-contained flag.
Mp4Node DataInformation() {
  std::string dref = FullBoxHead(0, 0);
  AppendBe(&dref, 1, 4);
  AppendBe(&dref, 12, 4);
  AppendBe(&dref, Mp4Type("url "), 4);
  AppendBe(&dref, 1, 4);
  std::vector<Mp4Node> children;
  children.push_back(Mp4Node::Bytes(Mp4Type("dref"), std::move(dref)));
  return Mp4Node::Container(Mp4Type("dinf"), std::move(children));
}

// QuickTime's text sample description: display flags, centred text, black background, an empty
// text box, font 1 (named in the font table that follows), white text.
Mp4Node TextSampleDescription() {
  std::string entry;
  AppendBe(&entry, 0, 6);                                   // reserved
  AppendBe(&entry, 1, 2);                                   // data reference index
  AppendBe(&entry, 0, 4);                                   // display flags
  AppendBe(&entry, 1, 4);                                   // justification: centred
  AppendBe(&entry, 0, 6);                                   // background colour
  AppendBe(&entry, 0, 8);                                   // default text box
  AppendBe(&entry, 0, 8);                                   // reserved
  AppendBe(&entry, 1, 2);                                   // font number
  AppendBe(&entry, 0, 2);                                   // font face
  AppendBe(&entry, 0, 3);                                   // reserved
  for (int i = 0; i < 3; ++i) AppendBe(&entry, 0xFFFF, 2);  // foreground colour
  AppendBe(&entry, 0, 1);                                   // text name: empty
  const std::string_view font = "Sans-Serif";
  std::string ftab;
  AppendBe(&ftab, 1, 2);
  AppendBe(&ftab, 1, 2);
  AppendBe(&ftab, font.size(), 1);
  ftab += font;
  AppendBe(&entry, ftab.size() + 8, 4);
  AppendBe(&entry, Mp4Type("ftab"), 4);
  entry += ftab;

  std::string stsd = FullBoxHead(0, 0);
  AppendBe(&stsd, 1, 4);
  AppendBe(&stsd, entry.size() + 8, 4);
  AppendBe(&stsd, Mp4Type("text"), 4);
  stsd += entry;
  return Mp4Node::Bytes(Mp4Type("stsd"), std::move(stsd));
}

Mp4Node SampleTable(const Mp4ChapterTiming& timing, const std::vector<uint32_t>& sampleSizes, uint64_t samplesAt) {
  const auto count = static_cast<uint32_t>(timing.chapters.size());
  // One timing entry per chapter, even where durations repeat: AVFoundation reads one each.
  std::string stts = FullBoxHead(0, 0);
  AppendBe(&stts, count, 4);
  for (const uint32_t duration : timing.durationsMs) {
    AppendBe(&stts, 1, 4);
    AppendBe(&stts, duration, 4);
  }
  std::string stsc = FullBoxHead(0, 0);
  for (const uint32_t value : {1u, 1u, count, 1u}) AppendBe(&stsc, value, 4);
  std::string stsz = FullBoxHead(0, 0);
  AppendBe(&stsz, 0, 4);
  AppendBe(&stsz, count, 4);
  for (const uint32_t size : sampleSizes) AppendBe(&stsz, size, 4);
  const bool wide = samplesAt > kMax32;
  std::string offsets = FullBoxHead(0, 0);
  AppendBe(&offsets, 1, 4);
  AppendBe(&offsets, samplesAt, wide ? 8 : 4);

  std::vector<Mp4Node> children;
  children.push_back(TextSampleDescription());
  children.push_back(Mp4Node::Bytes(Mp4Type("stts"), std::move(stts)));
  children.push_back(Mp4Node::Bytes(Mp4Type("stsc"), std::move(stsc)));
  children.push_back(Mp4Node::Bytes(Mp4Type("stsz"), std::move(stsz)));
  children.push_back(Mp4Node::Bytes(wide ? Mp4Type("co64") : Mp4Type("stco"), std::move(offsets)));
  return Mp4Node::Container(Mp4Type("stbl"), std::move(children));
}

}  // namespace

std::string Mp4ChapterSamples(const std::vector<Chapter>& chapters, std::vector<uint32_t>* sizes) {
  std::string samples;
  sizes->clear();
  for (const auto& chapter : chapters) {
    const std::string_view name = CutBetweenCharacters(chapter.name, 0xFFFF);
    const size_t before = samples.size();
    AppendBe(&samples, name.size(), 2);
    samples += name;
    AppendBe(&samples, 12, 4);
    AppendBe(&samples, Mp4Type("encd"), 4);
    AppendBe(&samples, 0x00000100, 4);
    sizes->push_back(static_cast<uint32_t>(samples.size() - before));
  }
  return samples;
}

Mp4Node Mp4ChapterTrak(const Mp4ChapterTiming& timing, const std::vector<uint32_t>& sampleSizes,
                       const Mp4ChapterTrackPlace& place) {
  const uint64_t durationMs = std::accumulate(timing.durationsMs.begin(), timing.durationsMs.end(), uint64_t{0});
  std::vector<Mp4Node> minf;
  minf.push_back(TextMediaHeader());
  minf.push_back(DataInformation());
  minf.push_back(SampleTable(timing, sampleSizes, place.samplesAt));
  std::vector<Mp4Node> mdia;
  mdia.push_back(MediaHeader(place, durationMs));
  mdia.push_back(Handler());
  mdia.push_back(Mp4Node::Container(Mp4Type("minf"), std::move(minf)));
  std::vector<Mp4Node> trak;
  trak.push_back(TrackHeader(place, durationMs));
  trak.push_back(Mp4Node::Container(Mp4Type("mdia"), std::move(mdia)));
  return Mp4Node::Container(Mp4Type("trak"), std::move(trak));
}

Mp4Node Mp4NeroChapters(const std::vector<Chapter>& chapters) {
  std::string s = FullBoxHead(1, 0);
  AppendBe(&s, 0, 4);  // reserved
  const size_t count = std::min(chapters.size(), kMaxNeroChapters);
  AppendBe(&s, count, 1);
  for (size_t i = 0; i < count; ++i) {
    const std::string_view name = CutBetweenCharacters(chapters[i].name, 255);
    AppendBe(&s, static_cast<uint64_t>(chapters[i].timeMs) * 10000, 8);
    AppendBe(&s, name.size(), 1);
    s += name;
  }
  return Mp4Node::Bytes(Mp4Type("chpl"), std::move(s));
}

}  // namespace tarnix
