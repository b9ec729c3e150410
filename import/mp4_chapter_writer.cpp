#include "import/mp4_chapter_writer.h"

#include <algorithm>
#include <initializer_list>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "import/bounded_source.h"
#include "import/mp4_box_tree.h"
#include "import/mp4_chapter_track.h"

namespace tarnix {
namespace {

constexpr uint64_t kMax32 = 0xFFFFFFFFu;
// Boxes read in one file: far more than any real file has, few enough that a file of tiny
// boxes is refused quickly.
constexpr int kMaxBoxes = 200000;
// The small boxes read whole (headers, references); a chunk offset table may be large.
constexpr uint64_t kMaxSmallBox = 64 * 1024;
constexpr uint64_t kMaxTableBytes = uint64_t{256} << 20;
constexpr size_t kMaxTracks = 64;
// Free space left behind the new movie box when the media must move anyway, so that the next
// change of the chapters or tags need not move it again.
constexpr uint64_t kSpareBytes = 4096;
// Chapter times are written in 32-bit millisecond counts.
constexpr int64_t kMaxChapterMs = 0x7FFFFFFF;

const std::vector<uint32_t> kContainers = {Mp4Type("moov"), Mp4Type("trak"), Mp4Type("tref"), Mp4Type("mdia"),
                                           Mp4Type("minf"), Mp4Type("stbl"), Mp4Type("udta"), Mp4Type("dinf")};

EmbedResult Result(EmbedStatus status, std::string reason = {}) {
  EmbedResult result;
  result.status = status;
  result.reason = std::move(reason);
  return result;
}

EmbedResult FromRead(Mp4Read read, const char* damage) {
  if (read == Mp4Read::kReadFailed) return Result(EmbedStatus::kReadFailed, "the file could not be read");
  if (read == Mp4Read::kDamaged) return Result(EmbedStatus::kDamaged, damage);
  return Result(EmbedStatus::kWritten);
}

bool Failed(const EmbedResult& result) { return result.status != EmbedStatus::kWritten; }

bool IsFree(uint32_t type) { return type == Mp4Type("free") || type == Mp4Type("skip"); }

// A chunk offset table ("stco" or "co64") of a track.
struct ChunkTable {
  std::vector<uint64_t> offsets;
  bool wide = false;
};

struct Track {
  uint32_t id = 0;
  uint32_t handler = 0;
  std::vector<uint32_t> chapterRefs;
  std::vector<ChunkTable> tables;
  bool externalData = false;  // a data reference names another file
  bool removed = false;       // an old chapter track
};

struct MovieHeader {
  int version = 0;
  uint64_t created = 0, modified = 0, duration = 0;
  uint32_t timescale = 0;
  size_t nextIdAt = 0;
  uint32_t nextTrackId = 0;
};

class Mp4ChapterWriter {
 public:
  Mp4ChapterWriter(ByteSource& in, const ChaptersToEmbed& chapters, ByteSink& out)
      : in_(in), chapters_(chapters), out_(out) {}

  EmbedResult Run() {
    EmbedResult result = ScanTopLevel();
    if (!Failed(result)) result = ReadMovie();
    if (!Failed(result)) result = ReadTracks();
    if (!Failed(result)) result = PlanChapters();
    if (!Failed(result)) result = ChangeMovie();
    if (!Failed(result)) result = ChooseRegion();
    if (!Failed(result)) result = LayOut();
    if (!Failed(result)) result = Write();
    if (!Failed(result) && timing_.chapters.size() > kMaxNeroChapters) {
      result.note = "more than 255 chapters: only the QuickTime chapter track holds them";
    }
    return result;
  }

 private:
  EmbedResult ScanTopLevel() {
    const uint64_t size = in_.Size();
    int boxes = 0;
    for (uint64_t at = 0; at < size;) {
      if (++boxes > kMaxBoxes) return Result(EmbedStatus::kUnsupported, "the file has too many boxes");
      Mp4BoxHeader box;
      const Mp4Read read = ReadMp4BoxHeader(in_, at, size, &box);
      if (read != Mp4Read::kOk) return FromRead(read, "a box runs past the end of the file");
      if (box.type == Mp4Type("moof"))
        return Result(EmbedStatus::kUnsupported, "fragmented MP4 files are not supported");
      if (box.type == Mp4Type("moov")) {
        if (moovIndex_ != kNone) return Result(EmbedStatus::kUnsupported, "the file has more than one movie box");
        moovIndex_ = top_.size();
      }
      top_.push_back(box);
      at = box.end;
    }
    if (moovIndex_ == kNone) return Result(EmbedStatus::kDamaged, "the file has no movie box (moov)");
    return Result(EmbedStatus::kWritten);
  }

  EmbedResult ReadMovie() {
    int budget = kMaxBoxes;
    Mp4Read read = ReadMp4Tree(in_, top_[moovIndex_], kContainers, &budget, &moov_);
    if (read != Mp4Read::kOk) return FromRead(read, "a box in the movie box does not fit");
    if (moov_.Child(Mp4Type("cmov"))) return Result(EmbedStatus::kUnsupported, "the movie box is compressed");
    if (moov_.Child(Mp4Type("mvex")))
      return Result(EmbedStatus::kUnsupported, "fragmented MP4 files are not supported");
    Mp4Node* mvhd = moov_.Child(Mp4Type("mvhd"));
    if (!mvhd) return Result(EmbedStatus::kDamaged, "the movie box has no movie header");
    read = LoadMp4Payload(in_, mvhd, kMaxSmallBox);
    if (read != Mp4Read::kOk) return FromRead(read, "the movie header is damaged");
    const std::string& p = mvhd->payload;
    header_.version = p.empty() ? 0 : p[0];
    const bool v1 = header_.version == 1;
    if (p.size() < (v1 ? 112u : 100u)) return Result(EmbedStatus::kDamaged, "the movie header is damaged");
    const int timeBytes = v1 ? 8 : 4;
    auto number = [&](size_t at, int bytes) { return bytes == 8 ? Be64(p.data() + at) : Be32(p.data() + at); };
    header_.created = number(4, timeBytes);
    header_.modified = number(4 + timeBytes, timeBytes);
    header_.timescale = Be32(p.data() + 4 + 2 * timeBytes);
    header_.duration = number(8 + 2 * timeBytes, timeBytes);
    header_.nextIdAt = v1 ? 108 : 96;
    header_.nextTrackId = Be32(p.data() + header_.nextIdAt);
    return Result(EmbedStatus::kWritten);
  }

  EmbedResult ReadTracks() {
    for (auto& child : moov_.children) {
      if (child.type != Mp4Type("trak")) continue;
      Track track;
      const EmbedResult result = ReadTrack(&child, &track);
      if (Failed(result)) return result;
      tracks_.push_back(std::move(track));
    }
    // Readers look at a bounded number of tracks (ours, 64); the chapter track comes last.
    if (tracks_.size() >= kMaxTracks) return Result(EmbedStatus::kUnsupported, "the file has too many tracks");
    if (std::none_of(tracks_.begin(), tracks_.end(), [](const Track& t) { return t.handler == Mp4Type("soun"); })) {
      return Result(EmbedStatus::kUnsupported, "the file has no audio track");
    }
    // The text tracks another track names as its chapters are the old chapter tracks.
    for (const auto& track : tracks_) {
      for (const uint32_t id : track.chapterRefs) {
        for (auto& named : tracks_) {
          if (named.id == id && (named.handler == Mp4Type("text") || named.handler == Mp4Type("sbtl"))) {
            named.removed = true;
          }
        }
      }
    }
    return Result(EmbedStatus::kWritten);
  }

  // Loads a small box of a track and hands its payload to `use`.
  EmbedResult Small(Mp4Node* node, std::string* payload, size_t minimum) {
    const Mp4Read read = LoadMp4Payload(in_, node, kMaxSmallBox);
    if (read != Mp4Read::kOk) return FromRead(read, "a track header is damaged");
    if (node->payload.size() < minimum) return Result(EmbedStatus::kDamaged, "a track header is damaged");
    *payload = node->payload;
    return Result(EmbedStatus::kWritten);
  }

  // Boxes a track has once: a second one leaves open which one a player reads.
  static bool Doubled(const Mp4Node& node) {
    for (const uint32_t wanted : {Mp4Type("tkhd"), Mp4Type("tref"), Mp4Type("mdia"), Mp4Type("mdhd"), Mp4Type("hdlr"),
                                  Mp4Type("minf"), Mp4Type("dinf"), Mp4Type("stbl")}) {
      if (std::count_if(node.children.begin(), node.children.end(),
                        [&](const Mp4Node& child) { return child.type == wanted; }) > 1) {
        return true;
      }
    }
    return false;
  }

  EmbedResult ReadTrack(Mp4Node* trak, Track* track) {
    Mp4Node* mdia = trak->Child(Mp4Type("mdia"));
    Mp4Node* minf = mdia ? mdia->Child(Mp4Type("minf")) : nullptr;
    if (Doubled(*trak) || (mdia && Doubled(*mdia)) || (minf && Doubled(*minf))) {
      return Result(EmbedStatus::kDamaged, "a track has two boxes of a kind it has once");
    }
    std::string p;
    Mp4Node* tkhd = trak->Child(Mp4Type("tkhd"));
    if (!tkhd) return Result(EmbedStatus::kDamaged, "a track has no header");
    EmbedResult result = Small(tkhd, &p, 24);
    if (Failed(result)) return result;
    track->id = Be32(p.data() + (p[0] == 1 ? 20 : 12));
    if (Mp4Node* tref = trak->Child(Mp4Type("tref"))) {
      for (auto& ref : tref->children) {
        if (ref.type != Mp4Type("chap")) continue;
        if (Failed(result = Small(&ref, &p, 0))) return result;
        for (size_t i = 0; i + 4 <= p.size(); i += 4) track->chapterRefs.push_back(Be32(p.data() + i));
      }
    }
    if (!mdia) return Result(EmbedStatus::kWritten);
    if (Mp4Node* hdlr = mdia->Child(Mp4Type("hdlr"))) {
      if (Failed(result = Small(hdlr, &p, 12))) return result;
      track->handler = Be32(p.data() + 8);
    }
    if (!minf) return Result(EmbedStatus::kWritten);
    if (Mp4Node* dinf = minf->Child(Mp4Type("dinf"))) {
      if (Mp4Node* dref = dinf->Child(Mp4Type("dref"))) {
        if (Failed(result = Small(dref, &p, 8))) return result;
        // Each entry is a box whose flags say 1 when the data is in this file. The walk counts in
        // 64 bits: an entry size near 4 GB added to a 32-bit offset wraps it back into the box.
        for (uint64_t at = 8; at + 12 <= p.size(); at += std::max<uint32_t>(Be32(&p[static_cast<size_t>(at)]), 12)) {
          if ((Be32(&p[static_cast<size_t>(at) + 8]) & 1) == 0) track->externalData = true;
        }
      }
    }
    if (Mp4Node* stbl = minf->Child(Mp4Type("stbl"))) {
      for (auto& box : stbl->children) {
        if (box.type != Mp4Type("stco") && box.type != Mp4Type("co64")) continue;
        ChunkTable table;
        if (Failed(result = ReadChunkTable(&box, &table))) return result;
        track->tables.push_back(std::move(table));
      }
    }
    return Result(EmbedStatus::kWritten);
  }

  EmbedResult ReadChunkTable(Mp4Node* box, ChunkTable* table) {
    if (box->source.end - box->source.data > kMaxTableBytes) {
      return Result(EmbedStatus::kUnsupported, "a chunk offset table is too large");
    }
    const Mp4Read read = LoadMp4Payload(in_, box, kMaxTableBytes);
    if (read != Mp4Read::kOk) return FromRead(read, "a chunk offset table is damaged");
    const std::string& p = box->payload;
    table->wide = box->type == Mp4Type("co64");
    const size_t entry = table->wide ? 8 : 4;
    if (p.size() < 8 || Be32(p.data() + 4) > (p.size() - 8) / entry) {
      return Result(EmbedStatus::kDamaged, "a chunk offset table is damaged");
    }
    const uint32_t count = Be32(p.data() + 4);
    table->offsets.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
      const char* at = p.data() + 8 + i * entry;
      table->offsets.push_back(table->wide ? Be64(at) : Be32(at));
    }
    return Result(EmbedStatus::kWritten);
  }

  // The chapters as the track holds them: the first at 0 (named after the track when the list
  // starts later), each lasting until the next, the last until the end of the movie.
  EmbedResult PlanChapters() {
    int64_t previous = 0;
    for (const auto& chapter : chapters_.chapters) {
      if (chapter.timeMs < previous || chapter.timeMs > kMaxChapterMs) {
        return Result(EmbedStatus::kUnsupported, "the chapter times are out of order or out of range");
      }
      previous = chapter.timeMs;
    }
    if (chapters_.chapters.empty()) return Result(EmbedStatus::kWritten);
    if (chapters_.chapters.front().timeMs > 0) timing_.chapters.push_back({0, chapters_.trackName});
    timing_.chapters.insert(timing_.chapters.end(), chapters_.chapters.begin(), chapters_.chapters.end());
    int64_t end = chapters_.lengthMs > 0 ? chapters_.lengthMs : 0;
    const bool knownDuration = header_.timescale > 0 && header_.duration > 0 &&
                               header_.duration != (header_.version == 1 ? ~uint64_t{0} : kMax32);
    if (knownDuration) {
      const uint64_t scale = header_.timescale;
      const uint64_t seconds = header_.duration / scale;
      end = seconds > kMax32 ? static_cast<int64_t>(kMax32)
                             : static_cast<int64_t>(seconds * 1000 + header_.duration % scale * 1000 / scale);
    }
    for (size_t i = 0; i < timing_.chapters.size(); ++i) {
      const int64_t start = timing_.chapters[i].timeMs;
      const int64_t next = i + 1 < timing_.chapters.size() ? timing_.chapters[i + 1].timeMs : std::max(end, start + 1);
      timing_.durationsMs.push_back(static_cast<uint32_t>(std::min<int64_t>(next - start, kMax32)));
    }
    samples_ = Mp4ChapterSamples(timing_.chapters, &sampleSizes_);
    return Result(EmbedStatus::kWritten);
  }

  bool Writing() const { return !timing_.chapters.empty(); }

  bool IsKept(uint32_t id) const {
    return std::any_of(tracks_.begin(), tracks_.end(), [&](const Track& t) { return !t.removed && t.id == id; });
  }

  EmbedResult ChangeMovie() {
    uint32_t highest = 0;
    for (const auto& track : tracks_) highest = std::max(highest, track.id);
    if (Writing()) {
      if (highest == kMax32 || header_.nextTrackId == kMax32) {
        return Result(EmbedStatus::kUnsupported, "the file has no track number left for chapters");
      }
      newTrackId_ = std::max(header_.nextTrackId, highest + 1);
      std::string id;
      AppendBe(&id, newTrackId_ + 1, 4);
      moov_.Child(Mp4Type("mvhd"))->payload.replace(header_.nextIdAt, 4, id);
    }
    ChangeReferences();
    ChangeNeroList();
    // The old chapter tracks go; the new one comes after the last track that stays.
    size_t track = 0;
    auto& children = moov_.children;
    for (size_t i = 0; i < children.size();) {
      if (children[i].type == Mp4Type("trak") && tracks_[track++].removed) {
        children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
        continue;
      }
      if (children[i].type == Mp4Type("trak")) newTrakAt_ = i + 1;
      ++i;
    }
    if (Writing()) {
      children.insert(children.begin() + static_cast<std::ptrdiff_t>(newTrakAt_), Mp4Node());
    }
    return Result(EmbedStatus::kWritten);
  }

  // Each track's "tref/chap": the old chapter tracks and tracks that are gone leave it; the
  // first audio track, and every track that named chapters, names the new one first.
  void ChangeReferences() {
    bool firstAudio = true;
    size_t index = 0;
    for (auto& trak : moov_.children) {
      if (trak.type != Mp4Type("trak")) continue;
      const Track& track = tracks_[index++];
      if (track.removed) continue;
      std::vector<uint32_t> refs;
      for (const uint32_t id : track.chapterRefs) {
        if (IsKept(id) && std::find(refs.begin(), refs.end(), id) == refs.end()) refs.push_back(id);
      }
      if (Writing() && (!track.chapterRefs.empty() || (firstAudio && track.handler == Mp4Type("soun")))) {
        refs.insert(refs.begin(), newTrackId_);
      }
      if (track.handler == Mp4Type("soun")) firstAudio = false;
      if (refs != track.chapterRefs) SetChapterRefs(&trak, refs);
    }
  }

  static void SetChapterRefs(Mp4Node* trak, const std::vector<uint32_t>& refs) {
    std::string payload;
    for (const uint32_t id : refs) AppendBe(&payload, id, 4);
    Mp4Node* tref = trak->Child(Mp4Type("tref"));
    if (!tref) {
      auto at = trak->children.begin();
      if (!trak->children.empty() && trak->children.front().type == Mp4Type("tkhd")) ++at;
      tref = &*trak->children.insert(at, Mp4Node::Container(Mp4Type("tref"), {}));
    }
    auto& refsOf = tref->children;
    const auto first =
        std::find_if(refsOf.begin(), refsOf.end(), [](const Mp4Node& n) { return n.type == Mp4Type("chap"); });
    if (!refs.empty()) {
      if (first != refsOf.end()) {
        *first = Mp4Node::Bytes(Mp4Type("chap"), payload);
      } else {
        refsOf.push_back(Mp4Node::Bytes(Mp4Type("chap"), payload));
      }
    }
    // Any other "chap" (or the only one, when no reference is left) goes.
    bool keptOne = false;
    refsOf.erase(std::remove_if(refsOf.begin(), refsOf.end(),
                                [&](const Mp4Node& n) {
                                  if (n.type != Mp4Type("chap")) return false;
                                  if (!refs.empty() && !keptOne) return !(keptOne = true);
                                  return true;
                                }),
                 refsOf.end());
    if (refsOf.empty() && tref->payload.empty()) {
      trak->children.erase(trak->children.begin() + (tref - trak->children.data()));
    }
  }

  // "moov/udta/chpl": the old lists go; the new one takes the first one's place, or ends the
  // first "udta" (made when there is none).
  void ChangeNeroList() {
    const bool writeList = Writing() && timing_.chapters.size() <= kMaxNeroChapters;
    Mp4Node* first = nullptr;
    size_t firstAt = 0;
    for (auto& udta : moov_.children) {
      if (udta.type != Mp4Type("udta")) continue;
      auto& list = udta.children;
      for (size_t i = 0; i < list.size();) {
        if (list[i].type != Mp4Type("chpl")) {
          ++i;
          continue;
        }
        if (!first) {
          first = &udta;
          firstAt = i;
        }
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    if (!writeList) return;
    if (!first) {
      first = moov_.Child(Mp4Type("udta"));
      if (!first) {
        moov_.children.push_back(Mp4Node::Container(Mp4Type("udta"), {}));
        first = &moov_.children.back();
      }
      firstAt = first->children.size();
    }
    first->children.insert(first->children.begin() + static_cast<std::ptrdiff_t>(firstAt),
                           Mp4NeroChapters(timing_.chapters));
  }

  // Which top-level boxes beside the movie box the new movie box and its chapter texts may take:
  // free space, and a media box that holds only old chapter samples.
  EmbedResult ChooseRegion() {
    auto holds = [&](const Mp4BoxHeader& box, bool removed) {
      for (const auto& track : tracks_) {
        if (track.removed != removed) continue;
        for (const auto& table : track.tables) {
          for (const uint64_t at : table.offsets) {
            if (at >= box.at && at < box.end) return true;
          }
        }
      }
      return false;
    };
    auto usable = [&](const Mp4BoxHeader& box) {
      return IsFree(box.type) || (box.type == Mp4Type("mdat") && holds(box, true) && !holds(box, false));
    };
    size_t first = moovIndex_, last = moovIndex_;
    while (first > 0 && usable(top_[first - 1])) --first;
    while (last + 1 < top_.size() && usable(top_[last + 1])) ++last;
    regionStart_ = top_[first].at;
    regionEnd_ = top_[last].end;
    Mp4BoxHeader region;
    region.at = regionStart_;
    region.end = regionEnd_;
    if (holds(region, false)) {
      return Result(EmbedStatus::kUnsupported, "media data lies inside the movie box or the free space beside it");
    }
    return Result(EmbedStatus::kWritten);
  }

  // Where everything goes: the new movie box, its chapter texts, the free space after them and
  // how far what follows moves. The sizes depend on one another (an offset table that becomes
  // 64-bit grows the movie box, which moves the media further), so this repeats until they
  // settle; tables only ever widen, so it does within a few rounds.
  EmbedResult LayOut() {
    uint64_t samplesAt = 0;
    for (int round = 0; round < 16; ++round) {
      const uint64_t tablesShift = shift_;
      PutChunkTables();
      if (Writing()) {
        Mp4ChapterTrackPlace place;
        place.trackId = newTrackId_;
        place.movieTimescale = header_.timescale > 0 ? header_.timescale : 1000;
        place.created = header_.created;
        place.modified = header_.modified;
        place.samplesAt = samplesAt;
        moov_.children[newTrakAt_] = Mp4ChapterTrak(timing_, sampleSizes_, place);
      }
      const uint64_t moovSize = moov_.Size();
      const uint64_t needed = moovSize + (Writing() ? 8 + samples_.size() : 0);
      const uint64_t room = regionEnd_ - regionStart_;
      if (regionEnd_ == in_.Size()) {
        padding_ = 0;  // nothing follows: the file just ends sooner or later
        shift_ = 0;
      } else if (needed == room || needed + 8 <= room) {
        padding_ = room - needed;
        shift_ = 0;
      } else {
        padding_ = kSpareBytes;
        shift_ = needed + padding_ - room;
      }
      bool settled = shift_ == tablesShift && (regionStart_ + moovSize + 8 == samplesAt || !Writing());
      samplesAt = regionStart_ + moovSize + 8;
      for (auto& track : tracks_) {
        for (auto& table : track.tables) {
          if (table.wide || track.removed) continue;
          for (const uint64_t at : table.offsets) {
            if (Moved(at) > kMax32) {
              table.wide = true;
              settled = false;
              break;
            }
          }
        }
      }
      if (settled) {
        for (const auto& track : tracks_) {
          if (!track.removed && track.externalData && shift_ > 0) {
            return Result(EmbedStatus::kUnsupported, "a track's media lies in another file");
          }
        }
        return Result(EmbedStatus::kWritten);
      }
    }
    return Result(EmbedStatus::kUnsupported, "the new layout of the file did not settle");
  }

  uint64_t Moved(uint64_t at) const { return at >= regionEnd_ ? at + shift_ : at; }

  // Writes each kept track's chunk offsets, moved, into its table boxes.
  void PutChunkTables() {
    auto track = tracks_.begin();
    for (size_t i = 0; i < moov_.children.size(); ++i) {
      Mp4Node& trak = moov_.children[i];
      if (trak.type != Mp4Type("trak") || (Writing() && i == newTrakAt_)) continue;
      while (track->removed) ++track;  // the kept tracks are the traks left, in their order
      const Track& kept = *track++;
      Mp4Node* stbl = FindPath(&trak, {Mp4Type("mdia"), Mp4Type("minf"), Mp4Type("stbl")});
      if (!stbl) continue;
      auto table = kept.tables.begin();
      for (auto& box : stbl->children) {
        if (box.type != Mp4Type("stco") && box.type != Mp4Type("co64")) continue;
        const ChunkTable& offsets = *table++;
        box.type = offsets.wide ? Mp4Type("co64") : Mp4Type("stco");
        box.payload.resize(4);  // version and flags stay
        AppendBe(&box.payload, offsets.offsets.size(), 4);
        for (const uint64_t at : offsets.offsets) AppendBe(&box.payload, Moved(at), offsets.wide ? 8 : 4);
      }
    }
  }

  static Mp4Node* FindPath(Mp4Node* node, std::initializer_list<uint32_t> path) {
    for (const uint32_t type : path) {
      if (!node) return nullptr;
      node = node->Child(type);
    }
    return node;
  }

  EmbedResult Write() {
    bool readFailed = false;
    std::string head;
    if (Writing()) {
      AppendBe(&head, 8 + samples_.size(), 4);
      AppendBe(&head, Mp4Type("mdat"), 4);
      head += samples_;
    }
    const bool written = CopyMp4Bytes(in_, 0, regionStart_, out_, &readFailed) &&
                         WriteMp4Node(in_, moov_, out_, &readFailed) && (head.empty() || out_.Write(head)) &&
                         WriteFree(padding_) && CopyMp4Bytes(in_, regionEnd_, in_.Size(), out_, &readFailed);
    if (written) return Result(EmbedStatus::kWritten);
    if (readFailed) return Result(EmbedStatus::kReadFailed, "the file could not be read");
    return Result(EmbedStatus::kWriteFailed, "the new file could not be written");
  }

  bool WriteFree(uint64_t size) {
    if (size == 0) return true;
    std::string header;
    if (size > kMax32) {
      AppendBe(&header, 1, 4);
      AppendBe(&header, Mp4Type("free"), 4);
      AppendBe(&header, size, 8);
    } else {
      AppendBe(&header, size, 4);
      AppendBe(&header, Mp4Type("free"), 4);
    }
    if (!out_.Write(header)) return false;
    const std::string zeros(static_cast<size_t>(std::min<uint64_t>(size, kCopyPieceBytes)), '\0');
    for (uint64_t left = size - header.size(); left > 0;) {
      const size_t count = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
      if (!out_.Write(zeros.data(), count)) return false;
      left -= count;
    }
    return true;
  }

  static constexpr size_t kNone = ~size_t{0};

  ByteSource& in_;
  const ChaptersToEmbed& chapters_;
  ByteSink& out_;
  std::vector<Mp4BoxHeader> top_;
  size_t moovIndex_ = kNone;
  Mp4Node moov_;
  MovieHeader header_;
  std::vector<Track> tracks_;
  Mp4ChapterTiming timing_;
  std::string samples_;
  std::vector<uint32_t> sampleSizes_;
  uint32_t newTrackId_ = 0;
  size_t newTrakAt_ = 0;
  uint64_t regionStart_ = 0, regionEnd_ = 0;
  uint64_t padding_ = 0, shift_ = 0;
};

bool LooksLikeMp4(ByteSource& source) {
  char head[8];
  if (source.Size() < 8 || !source.ReadAt(0, head, 8)) return false;
  const std::string_view type(head + 4, 4);
  return type == "ftyp" || type == "moov";
}

}  // namespace

EmbedResult WriteMp4Chapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& out) {
  if (!LooksLikeMp4(original)) return Result(EmbedStatus::kNotThisFormat);
  try {
    return Mp4ChapterWriter(original, chapters, out).Run();
  } catch (const std::bad_alloc&) {
    return Result(EmbedStatus::kUnsupported, "the file's movie box is too large to change in memory");
  }
}

}  // namespace tarnix
