#include "import/matroska_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "import/ebml.h"

namespace tarnix {
namespace {

// Bounds on what is read whole; the elements themselves are no larger in any tool's files.
constexpr uint64_t kMaxEbmlHeaderBytes = 4096;
constexpr uint64_t kMaxInfoBytes = 1024 * 1024;
constexpr uint64_t kMaxSeekHeadBytes = 256 * 1024;
constexpr size_t kMaxSeekHeads = 8;
constexpr int kMaxElementsBeforeSegment = 16;

double FloatValue(std::string_view body) {
  if (body.size() == 4) {
    const auto bits = static_cast<uint32_t>(EbmlUnsigned(body));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  if (body.size() == 8) {
    const uint64_t bits = EbmlUnsigned(body);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  return 0;
}

class LayoutReader {
 public:
  LayoutReader(ByteSource& in, MatroskaLayout* out, EmbedResult* failure) : in_(in), out_(*out), failure_(*failure) {}

  bool Read() {
    MkvElement ebml;
    if (Header(0, in_.Size(), &ebml) != kHeader || ebml.id != mkv::kEbmlHeader)
      return readFailed_ ? Failed() : Fail(EmbedStatus::kNotThisFormat, "not a Matroska or WebM file");
    std::string body;
    if (ebml.End() > in_.Size()) return Fail(EmbedStatus::kDamaged, "the file is cut short in its EBML header");
    if (ebml.size > kMaxEbmlHeaderBytes) return Fail(EmbedStatus::kUnsupported, "an EBML header of unusual size");
    if (!Body(ebml, &body)) return false;
    std::string docType = "matroska";  // what a header without a DocType means
    ForEachEbmlChild(body, [&](uint32_t id, std::string_view value) {
      if (id == mkv::kDocType) docType = std::string(value.substr(0, value.find('\0')));
      return id != mkv::kDocType;
    });
    if (docType != "matroska" && docType != "webm")
      return Fail(EmbedStatus::kNotThisFormat, "an EBML file that is not Matroska or WebM");
    out_.webm = docType == "webm";
    return FindSegment(ebml.End()) && CheckAfterSegment() && WalkSegment() && ReadInfo() && ReadSeekHeads();
  }

 private:
  enum Got { kHeader, kBroken, kUnreadable };

  bool Fail(EmbedStatus status, std::string reason) {
    failure_ = EmbedResult{status, std::move(reason), ""};
    return false;
  }
  bool Failed() { return Fail(EmbedStatus::kReadFailed, "the file could not be read"); }

  // The header of the element at `pos` inside [.., end); its body may run past `end`.
  Got Header(uint64_t pos, uint64_t end, MkvElement* out, bool* unknownSize = nullptr) {
    if (pos >= end) return kBroken;
    char bytes[12];
    const auto count = static_cast<size_t>(std::min<uint64_t>(sizeof bytes, end - pos));
    if (!in_.ReadAt(pos, bytes, count)) {
      readFailed_ = true;
      return kUnreadable;
    }
    EbmlHeader header;
    if (!ParseEbmlHeader(std::string_view(bytes, count), &header)) return kBroken;
    *out = MkvElement{header.id, pos, header.length, header.size};
    if (unknownSize != nullptr) *unknownSize = header.unknownSize;
    return header.unknownSize && unknownSize == nullptr ? kBroken : kHeader;
  }

  bool Body(const MkvElement& element, std::string* body) {
    return in_.ReadString(element.at + element.headerLength, static_cast<size_t>(element.size), body) || Failed();
  }

  // The Segment, perhaps after Void elements, as the chapter reader finds it.
  bool FindSegment(uint64_t pos) {
    for (int i = 0; i < kMaxElementsBeforeSegment; ++i) {
      MkvElement element;
      bool unknownSize = false;
      const Got got = Header(pos, in_.Size(), &element, &unknownSize);
      if (got == kUnreadable) return Failed();
      if (got == kBroken || (unknownSize && element.id != mkv::kSegment)) break;
      if (element.id == mkv::kSegment) {
        out_.segment = element;
        out_.segmentUnknownSize = unknownSize;
        out_.dataStart = element.at + element.headerLength;
        out_.dataEnd = unknownSize ? in_.Size() : element.End();
        if (!unknownSize && element.End() > in_.Size()) return Fail(EmbedStatus::kDamaged, "the file is cut short");
        return true;
      }
      pos = element.End();
    }
    return Fail(EmbedStatus::kDamaged, "no Matroska Segment after the EBML header");
  }

  // What follows a Segment of known size: another Segment is a form the writer leaves alone;
  // anything else is copied as it is.
  bool CheckAfterSegment() {
    uint64_t pos = out_.dataEnd;
    while (pos < in_.Size()) {
      MkvElement element;
      bool unknownSize = false;
      const Got got = Header(pos, in_.Size(), &element, &unknownSize);
      if (got == kUnreadable) return Failed();
      if (got == kBroken) break;
      if (element.id == mkv::kSegment) return Fail(EmbedStatus::kUnsupported, "a file of several Matroska Segments");
      if (unknownSize) break;
      pos = element.End();
    }
    return true;
  }

  bool WalkSegment() {
    uint64_t pos = out_.dataStart;
    out_.walkedTo = out_.dataEnd;
    while (pos < out_.dataEnd) {
      MkvElement element;
      bool unknownSize = false;
      const Got got = Header(pos, out_.dataEnd, &element, &unknownSize);
      if (got == kUnreadable) return Failed();
      if (got == kBroken) return Fail(EmbedStatus::kDamaged, "a damaged element in the Matroska Segment");
      if (element.id == mkv::kSegment || element.id == mkv::kEbmlHeader)
        return Fail(EmbedStatus::kUnsupported, "a file of several Matroska Segments");
      if (unknownSize && element.id == mkv::kCluster) {
        out_.walkedTo = pos;
        break;
      }
      if (unknownSize) return Fail(EmbedStatus::kUnsupported, "an element of unknown size that is not a cluster");
      if (element.size > out_.dataEnd - pos - element.headerLength)
        return Fail(EmbedStatus::kDamaged, "an element runs past the end of the Matroska Segment");
      out_.elements.push_back(element);
      pos = element.End();
    }
    const auto cluster = std::find_if(out_.elements.begin(), out_.elements.end(),
                                      [](const MkvElement& e) { return e.id == mkv::kCluster; });
    out_.firstCluster = static_cast<size_t>(cluster - out_.elements.begin());
    return true;
  }

  bool ReadInfo() {
    for (const MkvElement& element : out_.elements) {
      if (element.id != mkv::kInfo) continue;
      std::string body;
      if (element.size > kMaxInfoBytes) return true;
      if (!Body(element, &body)) return false;
      uint64_t scale = 1000000;
      double duration = 0;
      ForEachEbmlChild(body, [&](uint32_t id, std::string_view value) {
        if (id == mkv::kTimestampScale) scale = EbmlUnsigned(value);
        if (id == mkv::kDuration) duration = FloatValue(value);
        return true;
      });
      const double ns = duration * static_cast<double>(scale);
      if (std::isfinite(ns) && ns >= 1 && ns < 9e18) out_.durationNs = static_cast<uint64_t>(std::llround(ns));
      return true;
    }
    return true;
  }

  // The SeekHeads walked, then those and the Chapters they name past the walk.
  bool ReadSeekHeads() {
    for (const MkvElement& element : out_.elements) {
      if (element.id == mkv::kSeekHead && !AddSeekHead(element)) return false;
    }
    for (size_t i = 0; i < out_.seekHeads.size(); ++i) {
      std::vector<std::pair<uint32_t, uint64_t>> named;
      ForEachEbmlChild(out_.seekHeads[i].body, [&](uint32_t id, std::string_view seek) {
        if (id != mkv::kSeek) return true;
        uint64_t target = 0, position = UINT64_MAX;
        ForEachEbmlChild(seek, [&](uint32_t field, std::string_view value) {
          if (field == mkv::kSeekId) target = EbmlUnsigned(value);
          if (field == mkv::kSeekPosition && value.size() <= 8) position = EbmlUnsigned(value);
          return true;
        });
        if ((target == mkv::kChapters || target == mkv::kSeekHead) && position < out_.dataEnd - out_.dataStart &&
            out_.walkedTo - out_.dataStart <= position)
          named.emplace_back(static_cast<uint32_t>(target), out_.dataStart + position);
        return true;
      });
      for (const auto& entry : named) {
        const uint32_t id = entry.first;
        const uint64_t at = entry.second;
        MkvElement element;
        const Got got = Header(at, out_.dataEnd, &element);
        if (got == kUnreadable) return Failed();
        if (got != kHeader || element.id != id || element.size > out_.dataEnd - at - element.headerLength) continue;
        if (id == mkv::kSeekHead && !AddSeekHead(element)) return false;
        const auto same = [&](const MkvElement& e) { return e.at == at; };
        if (id == mkv::kChapters && std::none_of(out_.chaptersBeyond.begin(), out_.chaptersBeyond.end(), same))
          out_.chaptersBeyond.push_back(element);
      }
    }
    return true;
  }

  bool AddSeekHead(const MkvElement& element) {
    const auto same = [&](const MkvSeekHead& s) { return s.element.at == element.at; };
    if (out_.seekHeads.size() >= kMaxSeekHeads || element.size > kMaxSeekHeadBytes ||
        std::any_of(out_.seekHeads.begin(), out_.seekHeads.end(), same))
      return true;
    MkvSeekHead seekHead{element, {}};
    if (!Body(element, &seekHead.body)) return false;
    out_.seekHeads.push_back(std::move(seekHead));
    return true;
  }

  ByteSource& in_;
  MatroskaLayout& out_;
  EmbedResult& failure_;
  bool readFailed_ = false;
};

}  // namespace

bool ReadMatroskaLayout(ByteSource& source, MatroskaLayout* out, EmbedResult* failure) {
  *out = MatroskaLayout{};
  return LayoutReader(source, out, failure).Read();
}

}  // namespace tarnix
