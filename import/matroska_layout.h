#pragma once
// Where the parts of a Matroska or WebM file lie, as the chapter writer needs to know before it
// changes anything: the EBML header and its DocType, the one Segment, the Segment's top-level
// elements (clusters by their headers only: their contents are never read), the SeekHeads and
// the duration Info gives. The Segment's elements are walked by their sizes, so everything is
// seen up to the first cluster of unknown size, whose end only its contents tell; past it, only
// the Chapters and SeekHeads a SeekHead names are found.

#include <cstdint>
#include <string>
#include <vector>

#include "import/byte_source.h"
#include "import/chapter_embedding.h"

namespace tarnix {

namespace mkv {
constexpr uint32_t kEbmlHeader = 0x1A45DFA3;
constexpr uint32_t kDocType = 0x4282;
constexpr uint32_t kSegment = 0x18538067;
constexpr uint32_t kSeekHead = 0x114D9B74;
constexpr uint32_t kSeek = 0x4DBB;
constexpr uint32_t kSeekId = 0x53AB;
constexpr uint32_t kSeekPosition = 0x53AC;
constexpr uint32_t kInfo = 0x1549A966;
constexpr uint32_t kTimestampScale = 0x2AD7B1;
constexpr uint32_t kDuration = 0x4489;
constexpr uint32_t kCluster = 0x1F43B675;
constexpr uint32_t kChapters = 0x1043A770;
}  // namespace mkv

struct MkvElement {
  uint32_t id = 0;
  uint64_t at = 0;            // of its header, from the file's start
  uint64_t headerLength = 0;  // of its id and size field
  uint64_t size = 0;          // of its body
  uint64_t Total() const { return headerLength + size; }
  uint64_t End() const { return at + Total(); }
};

struct MkvSeekHead {
  MkvElement element;
  std::string body;
};

struct MatroskaLayout {
  bool webm = false;
  MkvElement segment;  // its size is the body's; meaningless when unknownSize
  bool segmentUnknownSize = false;
  uint64_t dataStart = 0;  // the Segment's first body byte: SeekHead positions count from here
  uint64_t dataEnd = 0;    // the end of its body; the file's end for a Segment of unknown size
  // The Segment's top-level elements in the file's order, up to walkedTo: dataEnd, or the start
  // of the first cluster of unknown size.
  std::vector<MkvElement> elements;
  uint64_t walkedTo = 0;
  size_t firstCluster = 0;  // index in elements; elements.size() when none was walked
  // Chapters elements a SeekHead names past walkedTo.
  std::vector<MkvElement> chaptersBeyond;
  // Every SeekHead walked or named, with its body.
  std::vector<MkvSeekHead> seekHeads;
  uint64_t durationNs = 0;  // Info's Duration in nanoseconds; 0 when Info gives none
};

// True with `out` filled; else false with the refusal in `failure`: kNotThisFormat without the
// EBML header of a Matroska or WebM file, kDamaged for sizes that run past their parent or a
// file cut short, kUnsupported for several Segments or an element of unknown size other than a
// cluster, kReadFailed.
bool ReadMatroskaLayout(ByteSource& source, MatroskaLayout* out, EmbedResult* failure);

}  // namespace tarnix
