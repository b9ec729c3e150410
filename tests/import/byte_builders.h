#pragma once
// Small builders of tag and container bytes for the chapter reader tests and benchmarks: the
// shapes a tool writes, and broken ones a tool would not.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnix::testing {

inline std::string Be(uint64_t value, int bytes) {
  std::string s;
  for (int i = bytes - 1; i >= 0; --i) s += static_cast<char>(i >= 8 ? 0 : value >> (8 * i) & 0xFF);
  return s;
}
inline std::string Le32(uint32_t value) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>(value >> (8 * i) & 0xFF);
  return s;
}
inline std::string Synchsafe(uint32_t v) {
  std::string s;
  for (int i = 3; i >= 0; --i) s += static_cast<char>(v >> (7 * i) & 0x7F);
  return s;
}

// ID3v2: a frame with the size written as the version wants it (or plainly, as some 2.4
// writers do), and a tag around frames.
inline std::string Id3Frame(std::string_view id, std::string_view data, int version, unsigned format = 0,
                            bool plainSize = false) {
  const auto size = static_cast<uint32_t>(data.size());
  return std::string(id) + (version == 4 && !plainSize ? Synchsafe(size) : Be(size, 4)) + '\0' +
         static_cast<char>(format) + std::string(data);
}
inline std::string Id3Tag(int version, unsigned flags, std::string_view body) {
  return std::string("ID3") + static_cast<char>(version) + '\0' + static_cast<char>(flags) +
         Synchsafe(static_cast<uint32_t>(body.size())) + std::string(body);
}
inline std::string Id3Chap(std::string_view element, uint32_t startMs, std::string_view subframes) {
  return std::string(element) + '\0' + Be(startMs, 4) + Be(startMs + 1000, 4) + Be(0xFFFFFFFF, 4) + Be(0xFFFFFFFF, 4) +
         std::string(subframes);
}
inline std::string Id3Text(char encoding, std::string_view text) { return encoding + std::string(text); }

// MP4 boxes.
inline std::string Box(std::string_view type, std::string_view payload) {
  return Be(payload.size() + 8, 4) + std::string(type) + std::string(payload);
}
inline std::string FullBox(std::string_view type, std::string_view payload) {
  return Box(type, std::string(4, '\0') + std::string(payload));
}

struct Mp4Chapter {
  uint32_t durationMs;
  std::string name;
};

// The text samples of a chapter track, one after the other: a 16-bit length, then the text.
inline std::string Mp4TextSamples(const std::vector<Mp4Chapter>& chapters) {
  std::string s;
  for (const auto& c : chapters) s += Be(c.name.size(), 2) + c.name;
  return s;
}

// A movie with a sound track (id 1) whose "tref/chap" names a text track (id 2, 1000 ticks a
// second, all samples in one chunk at `samplesOffset`), plus `udtaExtra` in "moov/udta".
inline std::string Mp4ChapterMoov(const std::vector<Mp4Chapter>& chapters, uint64_t samplesOffset,
                                  std::string_view udtaExtra = {}) {
  const auto count = static_cast<uint32_t>(chapters.size());
  std::string stts = Be(count, 4), stsz = Be(0, 4) + Be(count, 4);
  for (const auto& c : chapters) {
    stts += Be(1, 4) + Be(c.durationMs, 4);
    stsz += Be(c.name.size() + 2, 4);
  }
  const bool wide = samplesOffset > 0xFFFFFFFFu;
  const std::string stbl = Box(
      "stbl",
      FullBox("stts", stts) + FullBox("stsc", Be(1, 4) + Be(1, 4) + Be(count, 4) + Be(1, 4)) + FullBox("stsz", stsz) +
          (wide ? FullBox("co64", Be(1, 4) + Be(samplesOffset, 8)) : FullBox("stco", Be(1, 4) + Be(samplesOffset, 4))));
  auto trak = [&](uint32_t id, std::string_view handler, uint32_t scale, std::string_view extra,
                  std::string_view table) {
    return Box("trak",
               FullBox("tkhd", Be(0, 8) + Be(id, 4) + Be(0, 8)) + std::string(extra) +
                   Box("mdia", FullBox("mdhd", Be(0, 8) + Be(scale, 4) + Be(0, 8)) +
                                   FullBox("hdlr", Be(0, 4) + std::string(handler) + Be(0, 12)) + Box("minf", table)));
  };
  return Box("moov", FullBox("mvhd", Be(0, 96)) + trak(1, "soun", 8000, Box("tref", Box("chap", Be(2, 4))), "") +
                         trak(2, "text", 1000, "", stbl) + Box("udta", udtaExtra));
}

// A Nero chapter list, version 1: starts in 100 ns units.
inline std::string Mp4Chpl(const std::vector<std::pair<uint64_t, std::string>>& chapters) {
  std::string s = Be(0x01000000, 4) + Be(0, 4) + static_cast<char>(chapters.size());
  for (const auto& [start, name] : chapters) s += Be(start, 8) + static_cast<char>(name.size()) + name;
  return Box("chpl", s);
}

// A Vorbis comment block.
inline std::string VorbisComments(const std::vector<std::string>& comments) {
  std::string s = Le32(6) + "vendor" + Le32(static_cast<uint32_t>(comments.size()));
  for (const auto& c : comments) s += Le32(static_cast<uint32_t>(c.size())) + c;
  return s;
}

// A Matroska element: its id as written, an eight-byte size (or the unknown size), the body.
inline std::string Ebml(uint32_t id, std::string_view body, bool unknownSize = false) {
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (id >> shift || !out.empty()) out += static_cast<char>(id >> shift & 0xFF);
  }
  out += unknownSize ? std::string("\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8) : "\x01" + Be(body.size(), 7);
  return out + std::string(body);
}
// A chapter atom starting at `ns`, named by one display, with `more` (flags, nested atoms) after.
inline std::string MkvAtom(uint64_t ns, std::string_view name, std::string_view more = "") {
  return Ebml(0xB6, Ebml(0x91, Be(ns, 8)) + Ebml(0x80, Ebml(0x85, name)) + std::string(more));
}
inline std::string MkvEdition(std::string_view atoms, bool isDefault = false) {
  return Ebml(0x45B9, (isDefault ? Ebml(0x45DB, "\x01") : "") + std::string(atoms));
}
inline std::string MkvChapters(std::string_view editions) { return Ebml(0x1043A770, editions); }
// The EBML header of a Matroska file, then a segment opening with `segmentBody`.
inline std::string MkvFile(std::string_view segmentBody, bool unknownSize = false) {
  return Ebml(0x1A45DFA3, Ebml(0x4282, "matroska")) + Ebml(0x18538067, segmentBody, unknownSize);
}
// A SeekHead entry naming an element at `position` (from the segment's first body byte).
inline std::string MkvSeek(uint32_t id, uint64_t position) {
  return Ebml(0x4DBB, Ebml(0x53AB, Be(id, 4)) + Ebml(0x53AC, Be(position, 8)));
}
// A SeekHead naming one element.
inline std::string MkvSeekHead(uint32_t id, uint64_t position) { return Ebml(0x114D9B74, MkvSeek(id, position)); }
// A SimpleTag; `more` (nested SimpleTags) after its name and string.
inline std::string MkvSimpleTag(std::string_view name, std::string_view value, std::string_view more = "") {
  return Ebml(0x67C8, Ebml(0x45A3, name) + Ebml(0x4487, value) + std::string(more));
}
// A Tag whose Targets hold `targets` (a TargetTypeValue, UIDs), then its SimpleTags.
inline std::string MkvTag(std::string_view targets, std::string_view simpleTags) {
  return Ebml(0x7373, Ebml(0x63C0, targets) + std::string(simpleTags));
}
inline std::string MkvLevel(uint8_t level) { return Ebml(0x68CA, std::string(1, static_cast<char>(level))); }
inline std::string MkvTags(std::string_view tags) { return Ebml(0x1254C367, tags); }

// A Matroska recording as a tool writes it, in pieces at their offsets; the bytes between them
// (the blocks of the clusters) are zeros, so a benchmark can write it as a sparse file. A
// SeekHead first names Info, Tracks, Cues and what follows them; `clusters` clusters of
// `clusterBytes` each come before the Cues, then Tags and Chapters when asked. A damaged one
// has a SeekHead naming Chapters in the middle of the media and is cut inside its last cluster.
struct MkvLayout {
  uint64_t clusters = 0;
  uint64_t clusterBytes = 4096;
  bool seekHead = true;
  bool tags = false;
  bool chapters = false;
  bool damaged = false;
};
struct MkvPiece {
  uint64_t at;
  std::string bytes;
};
struct MkvRecording {
  std::vector<MkvPiece> pieces;
  uint64_t size = 0;

  std::string Flat() const {
    std::string out(size, '\0');
    for (const MkvPiece& p : pieces) {
      if (p.at < size) out.replace(p.at, std::min<uint64_t>(p.bytes.size(), size - p.at), p.bytes);
    }
    return out;
  }
};
inline MkvRecording BuildMkvRecording(const MkvLayout& layout) {
  constexpr uint32_t kInfo = 0x1549A966, kTracks = 0x1654AE6B, kCues = 0x1C53BB6B, kTagsId = 0x1254C367,
                     kChaptersId = 0x1043A770;
  const std::string info = Ebml(kInfo, Ebml(0x2AD7B1, Be(1000000, 3)) + Ebml(0x4D80, "builder"));
  const std::string tracks = Ebml(kTracks, Ebml(0xAE, Ebml(0xD7, "\x01") + Ebml(0x86, "A_OPUS")));
  const std::string cues = Ebml(kCues, std::string(64, '\x55'));
  const std::string tags = MkvTags(MkvTag("", MkvSimpleTag("TITLE", "Album") + MkvSimpleTag("ARTIST", "Band")));
  const std::string chapters = MkvChapters(MkvEdition(MkvAtom(0, "Opening") + MkvAtom(60000000000, "Encore"), true));
  std::vector<uint32_t> named = {kInfo, kTracks, kCues};
  if (layout.tags) named.push_back(kTagsId);
  if (layout.chapters || layout.damaged) named.push_back(kChaptersId);
  const auto seekHead = [&](const std::vector<uint64_t>& at) {
    std::string seeks;
    for (size_t i = 0; i < named.size(); ++i) seeks += MkvSeek(named[i], at[i]);
    return Ebml(0x114D9B74, seeks);
  };
  const uint64_t headBytes = layout.seekHead ? seekHead(std::vector<uint64_t>(named.size())).size() : 0;
  const uint64_t clustersAt = headBytes + info.size() + tracks.size();
  const uint64_t cuesAt = clustersAt + layout.clusters * layout.clusterBytes;
  const uint64_t tagsAt = cuesAt + cues.size();
  const uint64_t chaptersAt = tagsAt + (layout.tags ? tags.size() : 0);
  const uint64_t segmentBytes = chaptersAt + (layout.chapters ? chapters.size() : 0);
  std::vector<uint64_t> at = {headBytes, headBytes + info.size(), cuesAt};
  if (layout.tags) at.push_back(tagsAt);
  if (layout.chapters || layout.damaged)
    at.push_back(layout.damaged ? clustersAt + layout.clusters / 2 * layout.clusterBytes + 100 : chaptersAt);
  const std::string fileHead = MkvFile("");
  const std::string segmentHead = fileHead.substr(0, fileHead.size() - 7) + Be(segmentBytes, 7);
  const uint64_t body = segmentHead.size();
  MkvRecording r;
  r.pieces.push_back({0, segmentHead + (layout.seekHead ? seekHead(at) : "") + info + tracks});
  const std::string clusterHeader = Ebml(0x1F43B675, "").substr(0, 5) + Be(layout.clusterBytes - 12, 7);
  for (uint64_t i = 0; i < layout.clusters; ++i)
    r.pieces.push_back({body + clustersAt + i * layout.clusterBytes, clusterHeader + Ebml(0xE7, Be(i, 4))});
  r.pieces.push_back({body + cuesAt, cues});
  if (layout.tags) r.pieces.push_back({body + tagsAt, tags});
  if (layout.chapters) r.pieces.push_back({body + chaptersAt, chapters});
  r.size = layout.damaged ? body + cuesAt - layout.clusterBytes / 2 : body + segmentBytes;
  return r;
}

}  // namespace tarnix::testing
