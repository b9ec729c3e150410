#include "import/matroska_chapters.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/bounded_source.h"
#include "import/chapter_text.h"

namespace tarnix {
namespace {

// Element ids as they are written, length marker bits included.
constexpr uint32_t kEbmlHeader = 0x1A45DFA3;
constexpr uint32_t kSegment = 0x18538067;
constexpr uint32_t kSeekHead = 0x114D9B74;
constexpr uint32_t kSeek = 0x4DBB;
constexpr uint32_t kSeekId = 0x53AB;
constexpr uint32_t kSeekPosition = 0x53AC;
constexpr uint32_t kCluster = 0x1F43B675;
constexpr uint32_t kChapters = 0x1043A770;
constexpr uint32_t kEditionEntry = 0x45B9;
constexpr uint32_t kEditionFlagDefault = 0x45DB;
constexpr uint32_t kChapterAtom = 0xB6;
constexpr uint32_t kChapterTimeStart = 0x91;
constexpr uint32_t kChapterFlagHidden = 0x98;
constexpr uint32_t kChapterFlagEnabled = 0x4598;
constexpr uint32_t kChapterDisplay = 0x80;
constexpr uint32_t kChapString = 0x85;
constexpr uint32_t kTags = 0x1254C367;
constexpr uint32_t kTag = 0x7373;
constexpr uint32_t kTargets = 0x63C0;
constexpr uint32_t kTargetTypeValue = 0x68CA;
constexpr uint32_t kTagChapterUid = 0x63C4;
constexpr uint32_t kTagEditionUid = 0x63C9;
constexpr uint32_t kTagAttachmentUid = 0x63C6;
constexpr uint32_t kSimpleTag = 0x67C8;
constexpr uint32_t kTagName = 0x45A3;
constexpr uint32_t kTagString = 0x4487;
constexpr uint64_t kAlbumLevel = 50;
constexpr uint64_t kTrackLevel = 30;

// Element headers read in one file: the top-level elements before the clusters, and what the
// SeekHeads name. A tool writes a dozen; more is damage or padding not worth a read each.
constexpr int kMaxHeaders = 1024;
constexpr size_t kMaxSeekHeads = 8;
constexpr size_t kMaxNamed = 64;
constexpr int kMaxElementsBeforeSegment = 16;
constexpr size_t kMaxTagsCandidates = 8;
constexpr uint64_t kMaxSeekHeadBytes = 256 * 1024;
constexpr uint64_t kMaxChaptersBytes = 4 * 1024 * 1024;
constexpr uint64_t kMaxTagsBytes = 1024 * 1024;
constexpr int kMaxAtomDepth = 16;
constexpr size_t kMaxAtoms = 16 * kMaxImportedChapters;

struct Header {
  uint32_t id = 0;
  size_t length = 0;  // of the id and the size
  uint64_t size = 0;
  bool unknownSize = false;
};

size_t VintLength(unsigned char first) {
  for (size_t length = 1; length <= 8; ++length) {
    if (first & (0x80u >> (length - 1))) return length;
  }
  return 0;
}

// An element header at the start of `bytes`; false when they don't hold a well-formed one.
bool ParseHeader(std::string_view bytes, Header* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.empty()) return false;
  const size_t idLength = VintLength(p[0]);
  if (idLength == 0 || idLength > 4 || idLength >= bytes.size()) return false;
  uint32_t id = 0;
  for (size_t i = 0; i < idLength; ++i) id = id << 8 | p[i];
  const size_t sizeLength = VintLength(p[idLength]);
  if (sizeLength == 0 || idLength + sizeLength > bytes.size()) return false;
  const unsigned char valueBits = static_cast<unsigned char>(0xFFu >> sizeLength);
  uint64_t size = p[idLength] & valueBits;
  bool allOnes = (p[idLength] & valueBits) == valueBits;
  for (size_t i = 1; i < sizeLength; ++i) {
    size = size << 8 | p[idLength + i];
    allOnes = allOnes && p[idLength + i] == 0xFF;
  }
  *out = Header{id, idLength + sizeLength, size, allOnes};
  return true;
}

// An unsigned integer element; longer than eight bytes reads as 0.
uint64_t UnsignedValue(std::string_view body) {
  if (body.size() > 8) return 0;
  uint64_t value = 0;
  for (const char c : body) value = value << 8 | static_cast<unsigned char>(c);
  return value;
}

// Calls visit(id, body) for each child in `bytes` until it returns false. A child of unknown
// size runs to the end of its parent; one that runs past it, or a broken header, ends the walk.
template <typename Visit>
void ForEachChild(std::string_view bytes, Visit&& visit) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    Header header;
    if (!ParseHeader(bytes.substr(pos), &header)) return;
    const size_t start = pos + header.length;
    const size_t room = bytes.size() - start;
    if (!header.unknownSize && header.size > room) return;
    const size_t size = header.unknownSize ? room : static_cast<size_t>(header.size);
    if (!visit(header.id, bytes.substr(start, size))) return;
    pos = start + size;
  }
}

struct Atom {
  uint64_t startNs;
  std::string_view name;
};

bool IsDefaultEdition(std::string_view edition) {
  bool isDefault = false;
  ForEachChild(edition, [&](uint32_t id, std::string_view body) {
    if (id == kEditionFlagDefault) isDefault = UnsignedValue(body) != 0;
    return true;
  });
  return isDefault;
}

// The body of the default edition, else of the first; empty when there is none.
std::string_view ChosenEdition(std::string_view chapters) {
  std::string_view chosen;
  ForEachChild(chapters, [&](uint32_t id, std::string_view body) {
    if (id != kEditionEntry) return true;
    if (IsDefaultEdition(body)) {
      chosen = body;
      return false;
    }
    if (chosen.data() == nullptr) chosen = body;
    return true;
  });
  return chosen;
}

// The atoms of `parent` and those nested in them, in the file's order; a hidden or disabled
// atom takes the atoms inside it along.
void CollectAtoms(std::string_view parent, int depth, std::vector<Atom>* atoms) {
  if (depth > kMaxAtomDepth) return;
  ForEachChild(parent, [&](uint32_t id, std::string_view atom) {
    if (atoms->size() >= kMaxAtoms) return false;
    if (id != kChapterAtom) return true;
    bool hasStart = false, hidden = false, enabled = true, displaySeen = false;
    uint64_t start = 0;
    std::string_view name;
    ForEachChild(atom, [&](uint32_t field, std::string_view body) {
      if (field == kChapterTimeStart) {
        hasStart = true;
        start = UnsignedValue(body);
      } else if (field == kChapterFlagHidden) {
        hidden = UnsignedValue(body) != 0;
      } else if (field == kChapterFlagEnabled) {
        enabled = UnsignedValue(body) != 0;
      } else if (field == kChapterDisplay && !displaySeen) {
        displaySeen = true;
        ForEachChild(body, [&](uint32_t part, std::string_view text) {
          if (part != kChapString) return true;
          name = text;
          return false;
        });
      }
      return true;
    });
    if (hidden || !enabled) return true;
    if (hasStart) atoms->push_back({start, name});
    CollectAtoms(atom, depth + 1, atoms);
    return true;
  });
}

bool ChaptersFromElement(std::string_view chapters, ChapterSet* out) {
  std::vector<Atom> atoms;
  CollectAtoms(ChosenEdition(chapters), 0, &atoms);
  std::stable_sort(atoms.begin(), atoms.end(), [](const Atom& a, const Atom& b) { return a.startNs < b.startNs; });
  ChapterSet found;
  for (const Atom& atom : atoms) {
    const uint64_t ms = atom.startNs / 1000000 + (atom.startNs % 1000000 >= 500000 ? 1 : 0);
    if (!AddChapter(&found, static_cast<int64_t>(ms), atom.name)) break;
  }
  if (found.Empty()) return false;
  *out = std::move(found);
  return true;
}

// What the tags say of the file as a whole, the first non-empty value of each kind. Matroska
// names the album "TITLE" at the album level (50, also the level of a tag whose Targets give
// none) and its artist "ARTIST" at that level; ffmpeg writes the album as "ALBUM" and an album
// artist as "ALBUM_ARTIST" there. "ARTIST" at the track level (30) speaks for a file holding one
// song. Tags aimed at a chapter, an edition or an attachment say nothing of the whole; nested
// SimpleTags are attributes of their parent and are not looked at.
struct FileTags {
  std::string title, album, artist, trackArtist, albumArtist;

  std::string Album() const { return title.empty() ? album : title; }
  std::string Artist() const { return !artist.empty() ? artist : !trackArtist.empty() ? trackArtist : albumArtist; }
};

void ReadTag(std::string_view tag, FileTags* tags) {
  uint64_t level = kAlbumLevel;
  bool ofAPart = false;
  ForEachChild(tag, [&](uint32_t id, std::string_view targets) {
    if (id != kTargets) return true;
    ForEachChild(targets, [&](uint32_t field, std::string_view body) {
      if (field == kTargetTypeValue) level = UnsignedValue(body);
      if ((field == kTagChapterUid || field == kTagEditionUid || field == kTagAttachmentUid) &&
          UnsignedValue(body) != 0)
        ofAPart = true;
      return true;
    });
    return false;
  });
  if (ofAPart || (level != kAlbumLevel && level != kTrackLevel)) return;
  ForEachChild(tag, [&](uint32_t id, std::string_view simpleTag) {
    if (id != kSimpleTag) return true;
    std::string_view name, value;
    ForEachChild(simpleTag, [&](uint32_t field, std::string_view body) {
      if (field == kTagName && name.data() == nullptr) name = body;
      if (field == kTagString && value.data() == nullptr) value = body;
      return true;
    });
    std::string* slot = nullptr;
    if (EqualIgnoringCase(name, "ARTIST")) slot = level == kAlbumLevel ? &tags->artist : &tags->trackArtist;
    if (level == kAlbumLevel && EqualIgnoringCase(name, "TITLE")) slot = &tags->title;
    if (level == kAlbumLevel && EqualIgnoringCase(name, "ALBUM")) slot = &tags->album;
    if (level == kAlbumLevel && EqualIgnoringCase(name, "ALBUM_ARTIST")) slot = &tags->albumArtist;
    if (slot != nullptr && slot->empty()) *slot = CleanName(value);
    return true;
  });
}

FileTags TagsFromElement(std::string_view element) {
  FileTags tags;
  ForEachChild(element, [&](uint32_t id, std::string_view tag) {
    if (id == kTag) ReadTag(tag, &tags);
    return true;
  });
  return tags;
}

// Reads what the top-level elements before the first cluster and the SeekHeads say, and nothing
// else: the clusters are never walked, since a recording of many hours has tens of thousands
// of them and each would cost a read (on a network share, a round trip) at the song change.
// Tools that put the chapters or tags after the clusters name them in a SeekHead.
class MatroskaReader {
 public:
  explicit MatroskaReader(ByteSource& source) : in_(source, kMaxChapterReadBytes) {}

  // The chapters, with album and artist from the tags; false when there are no chapters, whatever
  // the tags hold.
  bool Read(ChapterSet* out) {
    out_ = out;
    Header ebml;
    uint64_t pos = 0;
    if (!HeaderAt(pos, in_.Size(), true, &ebml) || ebml.id != kEbmlHeader) return false;
    pos += ebml.length + ebml.size;
    // The segment, perhaps after Void elements.
    Header segment;
    for (int i = 0;; ++i) {
      if (i == kMaxElementsBeforeSegment || !HeaderAt(pos, in_.Size(), true, &segment)) return false;
      if (segment.id == kSegment) break;
      pos += segment.length + segment.size;
    }
    segmentStart_ = pos + segment.length;
    segmentEnd_ = segmentStart_ + segment.size;
    pos = segmentStart_;
    // The elements before the first cluster, which mostly lie within one read-ahead; then what
    // the SeekHeads met there name, further SeekHeads' targets after the first's.
    while (pos < segmentEnd_ && !Done()) {
      Header header;
      if (!HeaderAt(pos, segmentEnd_, false, &header) || header.id == kCluster) break;
      Visit(header.id, pos, header);
      pos += header.length + header.size;
    }
    for (size_t i = 0; i < named_.size() && !Done(); ++i) {
      const auto [id, at] = named_[i];
      Header header;
      if (HeaderAt(at, segmentEnd_, false, &header) && header.id == id) Visit(id, at, header);
    }
    if (!haveChapters_) return false;
    ReadTags();
    out->album = tags_.Album();
    out->artist = tags_.Artist();
    return true;
  }

 private:
  bool Done() const { return haveChapters_ && !tagsAt_.empty(); }

  // The Chapters or SeekHead whose header `header` is at `at` is read; a Tags element is only
  // noted, as tags without chapters give nothing.
  void Visit(uint32_t id, uint64_t at, const Header& header) {
    if (id == kChapters && !haveChapters_) haveChapters_ = ReadChapters(at + header.length, header.size);
    if (id == kTags) NoteTags(at);
    if (id == kSeekHead) ReadSeekHead(at, header);
  }

  void NoteTags(uint64_t at) {
    if (tagsAt_.size() < kMaxTagsCandidates && std::find(tagsAt_.begin(), tagsAt_.end(), at) == tagsAt_.end())
      tagsAt_.push_back(at);
  }

  // The header at `pos` of an element inside [.., end). A size past `end` is damage, except for
  // the outermost elements (`clamp`) of a file cut short; an unknown size runs to `end`.
  bool HeaderAt(uint64_t pos, uint64_t end, bool clamp, Header* out) {
    if (++headers_ > kMaxHeaders || pos >= end) return false;
    char bytes[12];
    const auto count = static_cast<size_t>(std::min<uint64_t>(sizeof bytes, end - pos));
    if (!in_.ReadAt(pos, bytes, count) || !ParseHeader(std::string_view(bytes, count), out)) return false;
    const uint64_t room = end - pos - out->length;
    if (out->unknownSize || (clamp && out->size > room)) out->size = room;
    return out->size <= room;
  }

  bool ReadChapters(uint64_t at, uint64_t size) {
    std::string bytes;
    return size <= kMaxChaptersBytes && in_.ReadBytes(at, size, &bytes) && ChaptersFromElement(bytes, out_);
  }

  // A file has one Tags element: the first noted that is one, in the bounds, is read, and
  // whatever it holds, no other is.
  void ReadTags() {
    for (const uint64_t at : tagsAt_) {
      Header header;
      if (!HeaderAt(at, segmentEnd_, false, &header) || header.id != kTags || header.size > kMaxTagsBytes) continue;
      std::string bytes;
      if (in_.ReadBytes(at + header.length, header.size, &bytes)) tags_ = TagsFromElement(bytes);
      return;
    }
  }

  // Notes the Chapters, Tags and further SeekHeads a SeekHead names; each SeekHead is read once.
  void ReadSeekHead(uint64_t at, const Header& header) {
    if (std::find(seekHeadsRead_.begin(), seekHeadsRead_.end(), at) != seekHeadsRead_.end()) return;
    seekHeadsRead_.push_back(at);
    std::string bytes;
    if (seekHeadsRead_.size() > kMaxSeekHeads || header.size > kMaxSeekHeadBytes ||
        !in_.ReadBytes(at + header.length, header.size, &bytes))
      return;
    ForEachChild(bytes, [&](uint32_t id, std::string_view seek) {
      if (id != kSeek) return true;
      uint64_t target = 0, position = UINT64_MAX;
      ForEachChild(seek, [&](uint32_t field, std::string_view body) {
        if (field == kSeekId) target = UnsignedValue(body);
        if (field == kSeekPosition && body.size() <= 8) position = UnsignedValue(body);
        return true;
      });
      if (position >= segmentEnd_ - segmentStart_) return true;
      if (target == kTags) NoteTags(segmentStart_ + position);
      if ((target == kChapters || target == kSeekHead) && named_.size() < kMaxNamed)
        named_.emplace_back(static_cast<uint32_t>(target), segmentStart_ + position);
      return true;
    });
  }

  BoundedSource in_;
  ChapterSet* out_ = nullptr;
  uint64_t segmentStart_ = 0;
  uint64_t segmentEnd_ = 0;
  int headers_ = 0;
  std::vector<uint64_t> seekHeadsRead_;
  std::vector<std::pair<uint32_t, uint64_t>> named_;  // Chapters and SeekHeads the SeekHeads name
  bool haveChapters_ = false;
  std::vector<uint64_t> tagsAt_;  // where Tags elements were seen or named, in that order
  FileTags tags_;
};

}  // namespace

bool ReadMatroskaChapters(ByteSource& source, ChapterSet* out) { return MatroskaReader(source).Read(out); }

}  // namespace tarnix
