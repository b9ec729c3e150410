#include "import/mp4_chapters.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "import/bounded_source.h"
#include "import/chapter_text.h"

namespace tarnix {
namespace {

constexpr uint32_t Fourcc(const char (&s)[5]) {
  return uint32_t{static_cast<unsigned char>(s[0])} << 24 | uint32_t{static_cast<unsigned char>(s[1])} << 16 |
         uint32_t{static_cast<unsigned char>(s[2])} << 8 | static_cast<unsigned char>(s[3]);
}

// Boxes visited in one file, and tracks and table entries looked at: enough for any real
// file, small enough that a file of tiny boxes or absurd counts costs little.
constexpr int kMaxBoxes = 100000;
constexpr size_t kMaxTracks = 64;
constexpr uint32_t kMaxTableEntries = 4096;
// A chapter sample holds a 16-bit length, the text and perhaps trailing boxes; only the text
// matters, and only as much of it as a name can hold.
constexpr uint32_t kMaxSampleRead = 2 + 2 * kMaxImportedNameBytes + 2;

struct Box {
  uint32_t type = 0;
  uint64_t data = 0;  // first byte after the header
  uint64_t end = 0;
};

struct TrackInfo {
  uint32_t id = 0;
  uint32_t handler = 0;
  uint32_t timescale = 0;
  std::vector<uint32_t> chapterRefs;
  Box stts, stsc, stsz, stco;  // type 0 when absent; stco may be a co64
};

class Mp4Reader {
 public:
  explicit Mp4Reader(ByteSource& source) : in_(source, kMaxChapterReadBytes) {}

  bool Read(ChapterSet* out) {
    bool found = false;
    ForEachChild(0, in_.Size(), [&](const Box& box) {
      if (box.type != Fourcc("moov")) return true;
      found = true;
      ReadMoov(box);
      return false;
    });
    if (!found) return false;
    ChapterSet result;
    result.album = std::move(album_);
    result.artist = artist_.empty() ? std::move(albumArtist_) : std::move(artist_);
    if (!QuickTimeChapters(&result)) result.chapters = std::move(nero_);
    if (result.Empty()) return false;
    *out = std::move(result);
    return true;
  }

 private:
  // Reads the header of the box at `at` within a parent ending at `limit`.
  bool ReadBox(uint64_t at, uint64_t limit, Box* box) {
    if (at > limit || limit - at < 8) return false;
    unsigned char h[16];
    if (!in_.ReadAt(at, h, 8)) return false;
    uint64_t size = Be32(h);
    box->type = Be32(h + 4);
    box->data = at + 8;
    if (size == 1) {
      if (limit - at < 16 || !in_.ReadAt(at + 8, h + 8, 8)) return false;
      size = Be64(h + 8);
      box->data = at + 16;
    } else if (size == 0) {
      size = limit - at;  // to the end of the parent (at the top: of the file)
    }
    if (size < box->data - at || size > limit - at) return false;
    box->end = at + size;
    return true;
  }

  // Calls fn(box) for each child in [begin, end) while fn returns true. A box that does not fit
  // ends the walk: what follows a broken size cannot be trusted.
  template <typename Fn>
  void ForEachChild(uint64_t begin, uint64_t end, Fn fn) {
    Box box;
    for (uint64_t at = begin; boxes_ < kMaxBoxes && ReadBox(at, end, &box); at = box.end) {
      ++boxes_;
      if (!fn(box)) return;
    }
  }

  bool ReadAll(const Box& box, std::string* out) { return in_.ReadBytes(box.data, box.end - box.data, out); }

  void ReadMoov(const Box& moov) {
    ForEachChild(moov.data, moov.end, [&](const Box& box) {
      if (box.type == Fourcc("trak") && tracks_.size() < kMaxTracks) {
        tracks_.emplace_back();
        ReadTrak(box, &tracks_.back());
      } else if (box.type == Fourcc("udta")) {
        ReadUdta(box);
      }
      return true;
    });
  }

  void ReadTrak(const Box& trak, TrackInfo* track) {
    ForEachChild(trak.data, trak.end, [&](const Box& box) {
      std::string bytes;
      if (box.type == Fourcc("tkhd")) {
        // Version 1 has 64-bit times before the track id.
        if (in_.ReadBytes(box.data, std::min<uint64_t>(box.end - box.data, 24), &bytes) && bytes.size() >= 4) {
          const size_t idAt = bytes[0] == 1 ? 20 : 12;
          if (bytes.size() >= idAt + 4) track->id = Be32(bytes.data() + idAt);
        }
      } else if (box.type == Fourcc("tref")) {
        ForEachChild(box.data, box.end, [&](const Box& ref) {
          if (ref.type == Fourcc("chap") && ref.end - ref.data <= 4 * 64 && ReadAll(ref, &bytes)) {
            for (size_t i = 0; i + 4 <= bytes.size(); i += 4) track->chapterRefs.push_back(Be32(bytes.data() + i));
          }
          return true;
        });
      } else if (box.type == Fourcc("mdia")) {
        ReadMdia(box, track);
      }
      return true;
    });
  }

  void ReadMdia(const Box& mdia, TrackInfo* track) {
    ForEachChild(mdia.data, mdia.end, [&](const Box& box) {
      std::string bytes;
      if (box.type == Fourcc("mdhd")) {
        if (in_.ReadBytes(box.data, std::min<uint64_t>(box.end - box.data, 24), &bytes) && bytes.size() >= 4) {
          const size_t scaleAt = bytes[0] == 1 ? 20 : 12;
          if (bytes.size() >= scaleAt + 4) track->timescale = Be32(bytes.data() + scaleAt);
        }
      } else if (box.type == Fourcc("hdlr")) {
        if (in_.ReadBytes(box.data, std::min<uint64_t>(box.end - box.data, 12), &bytes) && bytes.size() == 12) {
          track->handler = Be32(bytes.data() + 8);
        }
      } else if (box.type == Fourcc("minf")) {
        ForEachChild(box.data, box.end, [&](const Box& child) {
          if (child.type == Fourcc("stbl")) ReadStbl(child, track);
          return true;
        });
      }
      return true;
    });
  }

  void ReadStbl(const Box& stbl, TrackInfo* track) {
    ForEachChild(stbl.data, stbl.end, [&](const Box& box) {
      if (box.type == Fourcc("stts")) track->stts = box;
      if (box.type == Fourcc("stsc")) track->stsc = box;
      if (box.type == Fourcc("stsz")) track->stsz = box;
      if (box.type == Fourcc("stco") || box.type == Fourcc("co64")) track->stco = box;
      return true;
    });
  }

  void ReadUdta(const Box& udta) {
    ForEachChild(udta.data, udta.end, [&](const Box& box) {
      if (box.type == Fourcc("chpl") && nero_.empty()) {
        ReadChpl(box);
      } else if (box.type == Fourcc("meta")) {
        // ISO meta is a full box (four bytes of version and flags); QuickTime's is not.
        unsigned char peek[8];
        uint64_t children = box.data + 4;
        if (in_.ReadAt(box.data, peek, 8) && Be32(peek + 4) == Fourcc("hdlr")) children = box.data;
        ForEachChild(children, box.end, [&](const Box& child) {
          if (child.type == Fourcc("ilst")) ReadIlst(child);
          return true;
        });
      }
      return true;
    });
  }

  void ReadIlst(const Box& ilst) {
    ForEachChild(ilst.data, ilst.end, [&](const Box& item) {
      std::string* target = item.type == Fourcc(
                                             "\xA9"
                                             "alb")
                                ? &album_
                            : item.type == Fourcc(
                                               "\xA9"
                                               "ART")
                                ? &artist_
                            : item.type == Fourcc("aART") ? &albumArtist_
                                                          : nullptr;
      if (!target || !target->empty()) return true;
      ForEachChild(item.data, item.end, [&](const Box& data) {
        std::string bytes;
        if (data.type != Fourcc("data") || data.end - data.data < 8) return true;
        if (!in_.ReadBytes(data.data, std::min<uint64_t>(data.end - data.data, 8 + kMaxImportedNameBytes * 2),
                           &bytes)) {
          return false;
        }
        // Well-known types: 1 is UTF-8, 2 is UTF-16 big-endian.
        const uint32_t kind = Be32(bytes.data()) & 0xFFFFFF;
        const std::string_view value = std::string_view(bytes).substr(8);
        if (kind == 1) *target = CleanName(value);
        if (kind == 2) *target = CleanName(Utf16ToUtf8(value, true));
        return false;
      });
      return true;
    });
  }

  // Nero chapters: version, flags, (version 1: four reserved bytes), a count, then per chapter
  // a 64-bit start in 100 ns units and a title of one length byte and UTF-8 text.
  void ReadChpl(const Box& box) {
    std::string bytes;
    if (!in_.ReadBytes(box.data, std::min<uint64_t>(box.end - box.data, 256 * (9 + 255) + 9), &bytes)) return;
    if (bytes.size() < 5) return;
    size_t at = bytes[0] != 0 ? 8 : 4;
    if (bytes.size() <= at) return;
    unsigned count = static_cast<unsigned char>(bytes[at++]);
    ChapterSet set;
    for (; count > 0 && bytes.size() - at >= 9; --count) {
      const uint64_t start = Be64(bytes.data() + at);
      const size_t length = static_cast<unsigned char>(bytes[at + 8]);
      at += 9;
      if (bytes.size() - at < length) break;
      AddChapter(&set, static_cast<int64_t>(start / 10000), std::string_view(bytes).substr(at, length));
      at += length;
    }
    nero_ = std::move(set.chapters);
  }

  // Reads a full-box table: its entry count and up to `maxEntries` entries of `entrySize` bytes.
  bool ReadTable(const Box& box, size_t headerExtra, size_t entrySize, uint32_t maxEntries, std::string* entries,
                 uint32_t* count, std::string* header = nullptr) {
    std::string h;
    const size_t headerSize = 8 + headerExtra;
    if (box.type == 0 || box.end - box.data < headerSize || !in_.ReadBytes(box.data, headerSize, &h)) return false;
    const uint32_t total = Be32(h.data() + 4 + headerExtra);
    const uint64_t fit = (box.end - box.data - headerSize) / entrySize;
    *count = static_cast<uint32_t>(std::min<uint64_t>({total, fit, maxEntries}));
    if (header) *header = h;
    return in_.ReadBytes(box.data + headerSize, uint64_t{*count} * entrySize, entries);
  }

  static int64_t TicksToMs(uint64_t ticks, uint32_t scale) {
    return static_cast<int64_t>(ticks / scale * 1000 + ticks % scale * 1000 / scale);
  }

  // The chapters of the QuickTime chapter track that a track (a sound track first) names.
  bool QuickTimeChapters(ChapterSet* out) {
    std::vector<uint32_t> refs;
    for (const auto& track : tracks_) {
      if (track.handler == Fourcc("soun")) refs.insert(refs.end(), track.chapterRefs.begin(), track.chapterRefs.end());
    }
    for (const auto& track : tracks_) {
      if (track.handler != Fourcc("soun")) refs.insert(refs.end(), track.chapterRefs.begin(), track.chapterRefs.end());
    }
    for (const uint32_t id : refs) {
      for (const auto& track : tracks_) {
        if (track.id == id && track.id != 0 && ChapterTrack(track, out)) return true;
      }
    }
    return false;
  }

  bool ChapterTrack(const TrackInfo& track, ChapterSet* out) {
    if (track.timescale == 0) return false;
    // Sample times: each stts entry is a count of samples of one duration.
    std::string stts;
    uint32_t entries = 0;
    if (!ReadTable(track.stts, 0, 8, kMaxTableEntries, &stts, &entries)) return false;
    std::vector<int64_t> times;
    uint64_t ticks = 0;
    for (uint32_t e = 0; e < entries && times.size() < kMaxImportedChapters; ++e) {
      const uint32_t samples = Be32(stts.data() + 8 * e);
      const uint32_t delta = Be32(stts.data() + 8 * e + 4);
      for (uint32_t s = 0; s < samples && times.size() < kMaxImportedChapters; ++s) {
        times.push_back(TicksToMs(ticks, track.timescale));
        ticks += delta;  // at most 2^32 samples of 2^32 ticks: no overflow
      }
    }

    // Sample sizes: one for all, or a table.
    std::string stszHeader, sizes;
    uint32_t sizeCount = 0;
    if (!ReadTable(track.stsz, 4, 4, 0, &sizes, &sizeCount, &stszHeader)) return false;
    const uint32_t uniform = Be32(stszHeader.data() + 4);
    const uint32_t sampleCount = Be32(stszHeader.data() + 8);
    if (uniform == 0 && !ReadTable(track.stsz, 4, 4, kMaxImportedChapters, &sizes, &sizeCount)) return false;
    const size_t usable = std::min<size_t>({times.size(), sampleCount, uniform ? times.size() : sizeCount});

    // Sample offsets: chunks from stco/co64, samples per chunk from stsc.
    std::string chunks, stsc;
    uint32_t chunkCount = 0, stscCount = 0;
    const bool wide = track.stco.type == Fourcc("co64");
    if (!ReadTable(track.stco, 0, wide ? 8 : 4, kMaxImportedChapters, &chunks, &chunkCount)) return false;
    if (!ReadTable(track.stsc, 0, 12, kMaxTableEntries, &stsc, &stscCount) || stscCount == 0) return false;

    ChapterSet found;
    size_t sample = 0;
    uint32_t entry = 0;
    for (uint32_t chunk = 1; chunk <= chunkCount && sample < usable; ++chunk) {
      while (entry + 1 < stscCount && Be32(stsc.data() + 12 * (entry + 1)) <= chunk) ++entry;
      const uint32_t perChunk = Be32(stsc.data() + 12 * entry + 4);
      uint64_t offset = wide ? Be64(chunks.data() + 8 * (chunk - 1)) : Be32(chunks.data() + 4 * (chunk - 1));
      for (uint32_t s = 0; s < perChunk && sample < usable; ++s, ++sample) {
        const uint32_t size = uniform ? uniform : Be32(sizes.data() + 4 * sample);
        AddChapter(&found, times[sample], SampleText(offset, size));
        offset += size;
      }
    }
    if (found.Empty()) return false;
    out->chapters = std::move(found.chapters);
    return true;
  }

  // A text sample: a 16-bit length, then UTF-8 or UTF-16 with a byte order mark.
  std::string SampleText(uint64_t offset, uint32_t size) {
    std::string bytes;
    if (size < 2 || !in_.ReadBytes(offset, std::min(size, kMaxSampleRead), &bytes)) return std::string();
    const std::string_view text = std::string_view(bytes).substr(2, Be16(bytes.data()));
    if (text.size() >= 2 && ((text[0] == '\xFE' && text[1] == '\xFF') || (text[0] == '\xFF' && text[1] == '\xFE'))) {
      return Utf16BomToUtf8(text, true);
    }
    return std::string(text);
  }

  BoundedSource in_;
  int boxes_ = 0;
  std::vector<TrackInfo> tracks_;
  std::vector<Chapter> nero_;
  std::string album_, artist_, albumArtist_;
};

}  // namespace

bool ReadMp4Chapters(ByteSource& source, ChapterSet* out) { return Mp4Reader(source).Read(out); }

}  // namespace tarnix
