#pragma once
// FileSource: a ByteSource over a file on disk, opened through the platform seam, with 64-bit
// offsets so a reader can look at the end of a file of several gigabytes.

#include "import/byte_source.h"
#include "tracklist/platform.h"

namespace tarnix {

class FileSource : public ByteSource {
 public:
  explicit FileSource(const TextString& path);
  bool IsOpen() const { return static_cast<bool>(file_); }
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* out, size_t count) override;

 private:
  platform::File file_;
  uint64_t size_ = 0;
};

}  // namespace tarnix
