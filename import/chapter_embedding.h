#pragma once
// Writing a list's chapters into a recording. Each format's writer reads the original through a
// ByteSource and streams the whole new file into a ByteSink; it never writes into the original,
// so whatever fails on the way, the original is still there byte for byte. Putting the new file
// in the old one's place (after it was read back and its chapters compared) is the caller's job.
//
// Every writer keeps what is not chapters exactly: the audio bytes, every other tag or comment
// and its order, pictures, unknown frames and boxes. What a writer does not fully understand
// where it must change the file, it refuses (kUnsupported) instead of guessing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/byte_source.h"
#include "import/chapter.h"

namespace tarnix {

// Where a writer puts the new file: a temporary file beside the original, memory in tests. The
// sink counts what it took, so a caller can show the progress of a large file from it.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Appends `count` bytes; false when they could not all be written (a full disk, a fault).
  virtual bool Write(const void* bytes, size_t count) = 0;
  bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
};

class MemorySink : public ByteSink {
 public:
  bool Write(const void* bytes, size_t count) override {
    bytes_.append(static_cast<const char*>(bytes), count);
    return true;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Copies `count` bytes at `offset` of `from` into `to`, in pieces of at most kCopyPieceBytes;
// false when a read or a write fails.
constexpr size_t kCopyPieceBytes = 1 << 20;
bool CopyRange(ByteSource& from, uint64_t offset, uint64_t count, ByteSink& to);

// The chapters to write, made from a track's subtracks.
struct ChaptersToEmbed {
  std::vector<Chapter> chapters;  // sorted by time, each time >= 0; names UTF-8, may be empty
  // The recording's length in milliseconds as the player knows it (0 when it does not): the end
  // of the last chapter where a format stores ends and the file itself gives no duration.
  int64_t lengthMs = 0;
  // The track's name: names a chapter a format needs at 0 when the first one starts later.
  std::string trackName;
};

enum class EmbedStatus {
  kWritten,        // the whole new file went into the sink
  kNotThisFormat,  // the writer does not recognise the file (another writer may)
  kDamaged,        // the file is malformed where the writer must read or change it
  kUnsupported,    // a form the writer will not guess at (say which in `reason`)
  kReadFailed,     // the source could not be read
  kWriteFailed,    // the sink refused bytes
};

struct EmbedResult {
  EmbedStatus status = EmbedStatus::kNotThisFormat;
  // Why it was not written, for the listener: English, short, UTF-8 ("the ID3v2 tag is
  // unsynchronised"). Empty when written.
  std::string reason;
  // Written, with something the listener should know ("more than 255 chapters: only the
  // QuickTime chapter track holds them").
  std::string note;
};

}  // namespace tarnix
