#include "import/matroska_chapter_writer.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "import/ebml.h"
#include "import/matroska_chapters.h"
#include "import/matroska_layout.h"
#include "import/patched_file.h"
#include "import/utf8.h"

namespace tarnix {
namespace {

// A file holds at most two SeekHeads; the second one is often at its end.
constexpr size_t kMaxSeekHeads = 2;

constexpr uint32_t kEditionEntry = 0x45B9;
constexpr uint32_t kEditionUid = 0x45BC;
constexpr uint32_t kEditionFlagHidden = 0x45BD;
constexpr uint32_t kEditionFlagDefault = 0x45DB;
constexpr uint32_t kChapterAtom = 0xB6;
constexpr uint32_t kChapterUid = 0x73C4;
constexpr uint32_t kChapterTimeStart = 0x91;
constexpr uint32_t kChapterTimeEnd = 0x92;
constexpr uint32_t kChapterFlagHidden = 0x98;
constexpr uint32_t kChapterFlagEnabled = 0x4598;
constexpr uint32_t kChapterDisplay = 0x80;
constexpr uint32_t kChapString = 0x85;
constexpr uint32_t kChapLanguage = 0x437C;

uint64_t Fnv(std::string_view bytes, uint64_t hash = 14695981039346656037ull) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

uint64_t Ns(int64_t ms) { return static_cast<uint64_t>(std::clamp<int64_t>(ms, 0, INT64_MAX / 1000000)) * 1000000; }

// The body of the new Chapters element: one visible default edition, an atom per chapter. Chapter
// times are nanoseconds whatever the file's TimestampScale. The language is the ISO 639-2 "und"
// every Matroska reader knows; ChapLanguageBCP47 belongs to a later version of the format than
// many files declare, and "und" is what it would say too.
std::string ChaptersBody(const ChaptersToEmbed& list, uint64_t durationNs, bool webm) {
  const std::vector<Chapter>& chapters = list.chapters;
  if (chapters.empty()) return "";
  const uint64_t lastEnd = durationNs > 0 ? durationNs : Ns(list.lengthMs);
  std::set<uint64_t> uids;
  std::string atoms;
  for (size_t i = 0; i < chapters.size(); ++i) {
    const bool last = i + 1 == chapters.size();
    const uint64_t start = Ns(chapters[i].timeMs);
    const uint64_t end = last ? lastEnd : std::max(start, Ns(chapters[i + 1].timeMs));
    // From the chapter's place, time and name, so that the same list gives the same file.
    uint64_t uid = Fnv(chapters[i].name, Fnv(BigEndian(i, 8) + BigEndian(start, 8)));
    while (uid == 0 || !uids.insert(uid).second) ++uid;
    std::string atom = EbmlUnsignedElement(kChapterUid, uid) + EbmlUnsignedElement(kChapterTimeStart, start);
    if (!last || end > start) atom += EbmlUnsignedElement(kChapterTimeEnd, end);
    if (!webm) atom += EbmlUnsignedElement(kChapterFlagHidden, 0) + EbmlUnsignedElement(kChapterFlagEnabled, 1);
    atom += EbmlElement(kChapterDisplay,
                        EbmlElement(kChapString, chapters[i].name) + EbmlElement(kChapLanguage, std::string("und")));
    atoms += EbmlElement(kChapterAtom, atom);
  }
  std::string edition;
  if (!webm) {
    const uint64_t uid = std::max<uint64_t>(Fnv(atoms), 1);
    edition = EbmlUnsignedElement(kEditionUid, uid) + EbmlUnsignedElement(kEditionFlagHidden, 0) +
              EbmlUnsignedElement(kEditionFlagDefault, 1);
  }
  return EbmlElement(kEditionEntry, edition + atoms);
}

int IdLength(uint32_t id) { return id > 0xFFFFFF ? 4 : id > 0xFFFF ? 3 : id > 0xFF ? 2 : 1; }
int SizeWidthOf(uint32_t id, std::string_view whole, std::string_view body) {
  return static_cast<int>(whole.size() - body.size()) - IdLength(id);
}

// Calls visit(id, body, whole) for each child, `whole` with its header; gives back what follows
// the last whole child (the bytes of a broken one), to be kept as they are.
template <typename Visit>
std::string_view ForEachWholeChild(std::string_view bytes, Visit&& visit) {
  const char* next = bytes.data();
  ForEachEbmlChild(bytes, [&](uint32_t id, std::string_view body) {
    const char* end = body.data() + body.size();
    visit(id, body, std::string_view(next, static_cast<size_t>(end - next)));
    next = end;
    return true;
  });
  return bytes.substr(static_cast<size_t>(next - bytes.data()));
}

std::string VoidOf(size_t total) {
  std::string bytes = EbmlVoidHeader(total);
  return bytes + std::string(total - bytes.size(), '\0');
}

bool NamesChapters(std::string_view seek) {
  bool names = false;
  ForEachEbmlChild(seek, [&](uint32_t id, std::string_view body) {
    if (id == mkv::kSeekId && EbmlUnsigned(body) == mkv::kChapters) names = true;
    return true;
  });
  return names;
}

bool HasChaptersEntry(const MkvSeekHead& seekHead) {
  bool has = false;
  ForEachEbmlChild(seekHead.body, [&](uint32_t id, std::string_view body) {
    has = has || (id == mkv::kSeek && NamesChapters(body));
    return true;
  });
  return has;
}

// A Seek entry pointing at `position`, its other children and size field widths as they were;
// the position as wide as before, or wider when it needs more.
std::string Repointed(std::string_view whole, std::string_view seek, uint64_t position) {
  std::string body;
  const std::string_view rest =
      ForEachWholeChild(seek, [&](uint32_t id, std::string_view value, std::string_view child) {
        if (id != mkv::kSeekPosition) {
          body += child;
          return;
        }
        const int width = std::min(8, std::max(static_cast<int>(value.size()), UnsignedWidth(position)));
        body += EbmlElement(mkv::kSeekPosition, BigEndian(position, width), SizeWidthOf(id, child, value));
      });
  body += rest;
  return EbmlElement(mkv::kSeek, body, SizeWidthOf(mkv::kSeek, whole, seek));
}

struct NewSeekHead {
  std::string body;
  int width = 1;  // of its size field
  bool namesChapters = false;
};

// `seekHead` with its Chapters entries pointing at `position`, or (no position) each turned into
// a Void of its size, so that it keeps its length; an entry added when `add` and it has none.
// A CRC-32 it starts with is computed anew.
NewSeekHead RebuildSeekHead(const MkvSeekHead& seekHead, std::optional<uint64_t> position, bool add) {
  NewSeekHead out;
  out.width = static_cast<int>(seekHead.element.headerLength) - IdLength(mkv::kSeekHead);
  bool first = true, crc = false;
  const std::string_view rest =
      ForEachWholeChild(seekHead.body, [&](uint32_t id, std::string_view body, std::string_view whole) {
        if (first && id == kEbmlCrc32Id && body.size() == 4) {
          crc = true;
        } else if (id == mkv::kSeek && NamesChapters(body)) {
          out.body += position ? Repointed(whole, body, *position) : VoidOf(whole.size());
          out.namesChapters = out.namesChapters || position.has_value();
        } else {
          out.body += whole;
        }
        first = false;
      });
  out.body += rest;
  if (add && position && !out.namesChapters) {
    out.body += EbmlElement(mkv::kSeek, EbmlElement(mkv::kSeekId, BigEndian(mkv::kChapters, 4)) +
                                            EbmlElement(mkv::kSeekPosition, BigEndian(*position, 8)));
    out.namesChapters = true;
  }
  if (crc) out.body = EbmlElement(kEbmlCrc32Id, EbmlCrc32(out.body)) + out.body;
  return out;
}

struct Piece {
  uint32_t id;
  std::string body;
  int width;  // of its size field, at least
};

// `pieces` laid out from `at` over `length` bytes, the rest a Void; none when they don't fit. One
// byte left over cannot be a Void (the smallest has two), so the last piece's size field takes it.
std::optional<Patch> Fill(uint64_t at, uint64_t length, std::vector<Piece> pieces) {
  const auto laidOut = [&] {
    std::string bytes;
    for (const Piece& piece : pieces) bytes += EbmlElement(piece.id, piece.body, piece.width);
    return bytes;
  };
  std::string bytes = laidOut();
  if (bytes.size() + 1 == length) {
    Piece& last = pieces.back();
    last.width = std::max(last.width, EbmlSizeWidth(last.body.size())) + 1;
    if (last.width > 8) return std::nullopt;
    bytes = laidOut();
  }
  if (bytes.size() > length || bytes.size() + 1 == length) return std::nullopt;
  Patch patch{at, length, bytes, 0};
  if (bytes.size() < length) {
    patch.bytes += EbmlVoidHeader(length - bytes.size());
    patch.zeros = length - patch.bytes.size();
  }
  return patch;
}

bool SameChapters(const std::vector<Chapter>& found, const std::vector<Chapter>& wanted) {
  if (found.size() != std::min(wanted.size(), kMaxImportedChapters)) return false;
  for (size_t i = 0; i < found.size(); ++i) {
    if (std::llabs(found[i].timeMs - wanted[i].timeMs) > 1 || found[i].name != CleanName(wanted[i].name)) return false;
  }
  return true;
}

class Writer {
 public:
  Writer(ByteSource& in, const ChaptersToEmbed& list, ByteSink& out) : in_(in), list_(list), out_(out) {}

  EmbedResult Write() {
    EmbedResult failure;
    if (!ReadMatroskaLayout(in_, &l_, &failure)) return failure;
    const std::string body = ChaptersBody(list_, l_.durationNs, l_.webm);
    if (!body.empty()) Place(body);
    VoidOldChapters();
    PointSeekHeads();
    if (growth_ != 0 && !l_.segmentUnknownSize) {
      const int width = static_cast<int>(l_.segment.headerLength) - IdLength(mkv::kSegment);
      const uint64_t size = l_.segment.size + static_cast<uint64_t>(growth_);
      if (size > EbmlMaxSize(width))
        return {EmbedStatus::kUnsupported, "the Matroska Segment's size field is too narrow for the new chapters", ""};
      patches_.push_back(
          {l_.segment.at + IdLength(mkv::kSegment), static_cast<uint64_t>(width), EbmlSize(size, width)});
    }
    std::stable_sort(patches_.begin(), patches_.end(), [](const Patch& a, const Patch& b) { return a.at < b.at; });
    for (size_t i = 1; i < patches_.size(); ++i) {
      if (patches_[i].at < patches_[i - 1].at + patches_[i - 1].length)
        return {EmbedStatus::kDamaged, "elements of the Matroska file overlap", ""};
    }
    PatchedFile file(in_, patches_);
    ChapterSet found;
    const bool read = ReadMatroskaChapters(file, &found);
    if (file.ReadFailed()) return {EmbedStatus::kReadFailed, "the file could not be read", ""};
    // Chapters after the audio that no index names are found by MKVToolNix only: most players
    // look for them before the audio or through the index, so such a file is not written.
    if (!SameChapters(read ? found.chapters : std::vector<Chapter>{}, list_.chapters))
      return {EmbedStatus::kUnsupported, "players would not find chapters written into this Matroska file", ""};
    switch (file.WriteTo(out_)) {
      case PatchedFile::Streamed::kDone:
        return {EmbedStatus::kWritten, "", ""};
      case PatchedFile::Streamed::kReadFailed:
        return {EmbedStatus::kReadFailed, "the file could not be read", ""};
      case PatchedFile::Streamed::kWriteFailed:
        break;
    }
    return {EmbedStatus::kWriteFailed, "the new file could not be written", ""};
  }

 private:
  // An element and the Voids right after it, which may be laid out anew; `tail` when nothing
  // follows them in the Segment, so that they may grow.
  struct Run {
    uint64_t at, length;
    size_t last;  // index of its last element
    bool tail;
  };
  Run RunAt(size_t i) const {
    size_t last = i;
    while (last + 1 < l_.elements.size() && l_.elements[last + 1].id == kEbmlVoidId) ++last;
    const uint64_t end = l_.elements[last].End();
    return {l_.elements[i].at, end - l_.elements[i].at, last,
            last + 1 == l_.elements.size() && end == l_.dataEnd && l_.walkedTo == l_.dataEnd};
  }

  // Whether the new Chapters lies where readers that stop at the first cluster don't look.
  bool AfterClusters() const {
    const uint64_t clusters = l_.firstCluster < l_.elements.size() ? l_.elements[l_.firstCluster].at : l_.walkedTo;
    return position_ && l_.dataStart + *position_ >= clusters;
  }

  void Placed(const Patch& patch, uint64_t at) {
    growth_ = static_cast<int64_t>(patch.bytes.size() + patch.zeros) - static_cast<int64_t>(patch.length);
    position_ = at - l_.dataStart;
    patches_.push_back(patch);
  }

  // Where an old Chapters and the Voids after it leave room (at the end of the Segment, always);
  // else in a Void before the clusters; else at the end of the Segment.
  void Place(const std::string& body) {
    for (size_t i = 0; i < l_.elements.size(); ++i) {
      if (l_.elements[i].id != mkv::kChapters) continue;
      const Run run = RunAt(i);
      const auto patch = run.tail ? std::optional<Patch>(Patch{run.at, run.length, EbmlElement(mkv::kChapters, body)})
                                  : Fill(run.at, run.length, {{mkv::kChapters, body, 1}});
      if (!patch) continue;
      reused_ = i;
      return Placed(*patch, run.at);
    }
    for (size_t i = 0; i < l_.firstCluster; ++i) {
      const uint32_t id = l_.elements[i].id;
      if (id == mkv::kSeekHead && !l_.seekHeads.empty() && l_.seekHeads[0].element.at == l_.elements[i].at &&
          PlaceAfterSeekHead(i, body))
        return;
      const Run run = RunAt(i);
      if (id == kEbmlVoidId) {
        if (const auto patch = Fill(run.at, run.length, {{mkv::kChapters, body, 1}})) return Placed(*patch, run.at);
      }
      // The Voids after a SeekHead are left for its entries; those after a Chapters were tried.
      if (id == kEbmlVoidId || id == mkv::kSeekHead || id == mkv::kChapters) i = run.last;
    }
    Placed(Patch{l_.dataEnd, 0, EbmlElement(mkv::kChapters, body)}, l_.dataEnd);
  }

  // The first SeekHead, then the new Chapters, in the SeekHead and the Voids after it: with an
  // entry for the Chapters if there is room, else with its old Chapters entries made Voids.
  bool PlaceAfterSeekHead(size_t i, const std::string& body) {
    const Run run = RunAt(i);
    const MkvSeekHead& seekHead = l_.seekHeads[0];
    for (const bool entry : {true, false}) {
      // The SeekHead's length depends on the position it names, which depends on that length.
      uint64_t position = run.at + seekHead.element.Total() - l_.dataStart;
      NewSeekHead rebuilt;
      for (int round = 0; round < 4; ++round) {
        rebuilt = entry ? RebuildSeekHead(seekHead, position, true) : RebuildSeekHead(seekHead, std::nullopt, false);
        const uint64_t next = run.at + EbmlElement(mkv::kSeekHead, rebuilt.body, rebuilt.width).size() - l_.dataStart;
        if (next == position) break;
        position = next;
      }
      const uint64_t length = EbmlElement(mkv::kSeekHead, rebuilt.body, rebuilt.width).size();
      if (run.at + length - l_.dataStart != position) continue;
      const auto patch =
          Fill(run.at, run.length, {{mkv::kSeekHead, rebuilt.body, rebuilt.width}, {mkv::kChapters, body, 1}});
      if (!patch) continue;
      indexed_ = rebuilt.namesChapters;
      seekHeadDone_ = true;
      growth_ = 0;
      position_ = position;
      patches_.push_back(*patch);
      return true;
    }
    return false;
  }

  void VoidOldChapters() {
    std::vector<MkvElement> old = l_.chaptersBeyond;
    for (size_t i = 0; i < l_.elements.size(); ++i) {
      if (l_.elements[i].id == mkv::kChapters && i != reused_) old.push_back(l_.elements[i]);
    }
    for (const MkvElement& element : old) {
      Patch patch{element.at, element.Total(), EbmlVoidHeader(element.Total())};
      patch.zeros = element.Total() - patch.bytes.size();
      patches_.push_back(patch);
    }
  }

  // Every SeekHead's Chapters entries point at the new Chapters, or become Voids when there is
  // none or no room for a wider position; the first SeekHead walked gets an entry when none has
  // one and the Voids after it leave room.
  void PointSeekHeads() {
    const bool hasEntry = std::any_of(l_.seekHeads.begin(), l_.seekHeads.end(), HasChaptersEntry);
    for (size_t k = seekHeadDone_ ? 1 : 0; k < l_.seekHeads.size(); ++k) {
      const MkvSeekHead& seekHead = l_.seekHeads[k];
      const auto walked = std::find_if(l_.elements.begin(), l_.elements.end(),
                                       [&](const MkvElement& e) { return e.at == seekHead.element.at; });
      std::vector<NewSeekHead> tries;
      if (position_) tries.push_back(RebuildSeekHead(seekHead, position_, k == 0 && !hasEntry));
      tries.push_back(RebuildSeekHead(seekHead, std::nullopt, false));
      for (const NewSeekHead& rebuilt : tries) {
        const std::string element = EbmlElement(mkv::kSeekHead, rebuilt.body, rebuilt.width);
        std::optional<Patch> patch;
        if (element.size() == seekHead.element.Total()) {
          patch = Patch{seekHead.element.at, seekHead.element.Total(), element};
        } else if (walked != l_.elements.end()) {
          const Run run = RunAt(static_cast<size_t>(walked - l_.elements.begin()));
          patch = Fill(run.at, run.length, {{mkv::kSeekHead, rebuilt.body, rebuilt.width}});
        }
        if (!patch) continue;
        indexed_ = indexed_ || rebuilt.namesChapters;
        if (rebuilt.body != seekHead.body || element.size() != seekHead.element.Total()) patches_.push_back(*patch);
        break;
      }
    }
    if (position_ && !indexed_ && AfterClusters() && l_.seekHeads.size() < kMaxSeekHeads) AddSeekHead();
  }

  // A SeekHead of its own for Chapters after the clusters that no SeekHead could name, in a Void
  // before the clusters or where an old Chapters was.
  void AddSeekHead() {
    const std::string seek = EbmlElement(mkv::kSeek, EbmlElement(mkv::kSeekId, BigEndian(mkv::kChapters, 4)) +
                                                         EbmlElement(mkv::kSeekPosition, BigEndian(*position_, 8)));
    for (size_t i = 0; i < l_.firstCluster; ++i) {
      const uint32_t id = l_.elements[i].id;
      if (id != kEbmlVoidId && id != mkv::kChapters) continue;
      const Run run = RunAt(i);
      if (const auto patch = Fill(run.at, run.length, {{mkv::kSeekHead, seek, 1}})) {
        // It takes the place of the Void an old Chapters was to become.
        patches_.erase(std::remove_if(patches_.begin(), patches_.end(), [&](const Patch& p) { return p.at == run.at; }),
                       patches_.end());
        patches_.push_back(*patch);
        indexed_ = true;
        return;
      }
      i = run.last;
    }
  }

  ByteSource& in_;
  const ChaptersToEmbed& list_;
  ByteSink& out_;
  MatroskaLayout l_;
  std::vector<Patch> patches_;
  std::optional<uint64_t> position_;  // of the new Chapters, from the Segment's body
  size_t reused_ = SIZE_MAX;          // the old Chapters whose place it takes
  int64_t growth_ = 0;                // of the Segment
  bool seekHeadDone_ = false;         // the first SeekHead was laid out with the Chapters
  bool indexed_ = false;              // a SeekHead names the new Chapters
};

}  // namespace

EmbedResult WriteMatroskaChapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out) {
  return Writer(original, chapters, out).Write();
}

}  // namespace tarnix
