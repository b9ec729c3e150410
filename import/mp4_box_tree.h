#pragma once
// The boxes of an MP4 file as the chapter writer changes them: a tree of the boxes it must look
// into (the movie box and its tracks), whose other boxes stay where they are in the source and
// are copied from there byte for byte when the tree is written. Only the boxes the writer
// changes or makes hold their bytes in memory, so a movie box with large sample tables costs
// little more than its chunk offset tables.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/byte_source.h"
#include "import/chapter_embedding.h"

namespace tarnix {

constexpr uint32_t Mp4Type(const char (&s)[5]) {
  return uint32_t{static_cast<unsigned char>(s[0])} << 24 | uint32_t{static_cast<unsigned char>(s[1])} << 16 |
         uint32_t{static_cast<unsigned char>(s[2])} << 8 | static_cast<unsigned char>(s[3]);
}

// Appends `value` big-endian in `bytes` bytes.
void AppendBe(std::string* out, uint64_t value, int bytes);

// Where a box lies: its header at `at`, its payload from `data` to `end`.
struct Mp4BoxHeader {
  uint32_t type = 0;
  uint64_t at = 0;
  uint64_t data = 0;
  uint64_t end = 0;
  bool toEnd = false;  // the size field was 0: the box runs to the end of what holds it
};

enum class Mp4Read { kOk, kDamaged, kReadFailed };

// Reads the header of the box at `at` inside a parent that ends at `limit`; kDamaged when it
// does not fit there.
Mp4Read ReadMp4BoxHeader(ByteSource& source, uint64_t at, uint64_t limit, Mp4BoxHeader* box);

struct Mp4Node {
  enum class Kind { kSource, kBytes, kContainer };
  Kind kind = Kind::kSource;
  uint32_t type = 0;
  bool wideHeader = false;  // a 64-bit size, kept where the source had one
  Mp4BoxHeader source;      // kSource: the box in the source, copied whole
  std::string payload;      // kBytes: what follows the header
  std::vector<Mp4Node> children;

  static Mp4Node Bytes(uint32_t type, std::string payload);
  static Mp4Node Container(uint32_t type, std::vector<Mp4Node> children);

  uint64_t Size() const;  // header included
  uint64_t PayloadSize() const;
  // The first child of this type, or null.
  Mp4Node* Child(uint32_t type);
  const Mp4Node* Child(uint32_t type) const;
};

// Reads the box at `box` into a node: the containers among `descend` (plain boxes of boxes)
// become nodes with children, recursively down to a bounded depth; everything else, and any
// container nested deeper, stays in the source. At most `*budget` boxes are read: a tree of
// millions of tiny boxes is refused as damaged.
Mp4Read ReadMp4Tree(ByteSource& source, const Mp4BoxHeader& box, const std::vector<uint32_t>& descend, int* budget,
                    Mp4Node* out);

// Turns a kSource node into a kBytes one holding its payload (at most `maxBytes`).
Mp4Read LoadMp4Payload(ByteSource& source, Mp4Node* node, uint64_t maxBytes);

// Copies the source's bytes [from, to) into `out`; false when reading or writing fails
// (`*readFailed` says which).
bool CopyMp4Bytes(ByteSource& source, uint64_t from, uint64_t to, ByteSink& out, bool* readFailed);

// Writes the node, its header with the size the tree now has. false when reading or writing
// fails (`*readFailed` says which).
bool WriteMp4Node(ByteSource& source, const Mp4Node& node, ByteSink& out, bool* readFailed);

}  // namespace tarnix
