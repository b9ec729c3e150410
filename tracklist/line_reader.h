#pragma once
// LineReader: the .trk reader's fast path through a file. It hands out the same lines as
// TextString::ReadLine (the line break removed, a NUL byte ending the line, trailing CR
// and LF stripped, a last line without a break still a line, each NUL-terminated) but reads
// the file in large blocks and hands out views into its own buffer instead of copying lines.
// Like text mode, it takes a Ctrl-Z byte as the end of the file.

#include <cstddef>
#include <cstdio>
#include <memory>

namespace tarnix {

class LineReader {
 public:
  static constexpr size_t kBlock = 16 * 1024;
  static constexpr char kEndOfFileByte = 0x1A;

  // `block` is the read size; tests use tiny blocks to put line breaks at every boundary.
  explicit LineReader(std::FILE* file, size_t block = kBlock);

  // The next line, valid until the following call; false at the end of the file. A line too
  // long for an int length throws std::bad_alloc, as the string type does.
  bool Next(const char** line, int* length);

 private:
  bool Refill();

  std::FILE* file_;
  size_t block_;
  size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  size_t begin_ = 0;    // first byte of the line being looked for
  size_t scanned_ = 0;  // bytes from begin_ already known to hold no line break
  size_t end_ = 0;      // one past the last byte read
  bool at_end_ = false;
};

}  // namespace tarnix
