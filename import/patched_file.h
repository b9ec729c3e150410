#pragma once
// A new file described as the original with some byte ranges replaced: what a writer that
// changes a few elements of a large file needs. It can be read (to check the new file before a
// byte of it is written) and streamed into a sink, the unchanged ranges copied from the original
// piece by piece, so a file of many gigabytes is never held in memory.

#include <cstdint>
#include <string>
#include <vector>

#include "import/byte_source.h"
#include "import/chapter_embedding.h"

namespace tarnix {

struct Patch {
  uint64_t at = 0;      // in the original
  uint64_t length = 0;  // of the original bytes replaced
  std::string bytes;    // written in their place,
  uint64_t zeros = 0;   // then this many zero bytes (the body of a Void)
};

class PatchedFile : public ByteSource {
 public:
  // `patches` in the original's order, none overlapping another or running past its end; they
  // are read where they are, so they must outlive the file.
  PatchedFile(ByteSource& original, const std::vector<Patch>& patches);

  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* out, size_t count) override;

  // Whether a read of the original failed (a read past the new file's end does not count).
  bool ReadFailed() const { return readFailed_; }

  enum class Streamed { kDone, kReadFailed, kWriteFailed };
  Streamed WriteTo(ByteSink& sink);

 private:
  // A run of the new file: copied from the original at `from`, a patch's bytes from `from`, or
  // zeros.
  struct Span {
    uint64_t at = 0;  // in the new file
    uint64_t length = 0;
    const std::string* bytes = nullptr;
    bool zeros = false;
    uint64_t from = 0;
  };

  ByteSource& original_;
  std::vector<Span> spans_;
  uint64_t size_ = 0;
  bool readFailed_ = false;
};

}  // namespace tarnix
