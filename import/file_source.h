#pragma once
// FileSource: a ByteSource over a file on disk, opened through the platform seam, with 64-bit
// offsets so a reader can look at the end of a file of several gigabytes.
//
// The stream is unbuffered and the source keeps its own read-ahead, so every read of the file is
// one it counts (Spent()): a stdio buffer would quietly fill 4 KB for each 12-byte header a
// reader looks at, which a budget of the bytes asked for never sees. A small read fills
// kReadAhead bytes from where it starts, so the headers and small elements that follow one
// another cost one read of the file, which on a network share is one round trip.

#include <string>

#include "import/byte_source.h"
#include "tracklist/platform.h"

namespace tarnix {

class FileSource : public ByteSource {
 public:
  static constexpr size_t kReadAhead = 4096;

  explicit FileSource(const TextString& path);
  bool IsOpen() const { return static_cast<bool>(file_); }
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* out, size_t count) override;

 private:
  // One read of the file, counted.
  bool Fetch(uint64_t offset, void* out, size_t count);

  platform::File file_;
  uint64_t size_ = 0;
  std::string ahead_;  // the bytes at aheadAt_ the last small read brought in
  uint64_t aheadAt_ = 0;
};

}  // namespace tarnix
