#pragma once
// LineReader: the .trk reader's fast path through a file. It hands out the same lines as
// TextString::ReadLine (the line break removed, a NUL byte ending the line, trailing CR
// and LF stripped, a last line without a break still a line, each NUL-terminated) but reads
// the file in large blocks and hands out views into its own buffer instead of copying lines.
// A Ctrl-Z byte ends the file only where editors of the DOS era and "copy /a" put it: with
// nothing but blanks (and more Ctrl-Z bytes) behind it. Anywhere else it is a byte of its line
// like any other, so a name that holds one (earlier versions wrote it as they got it) is read
// whole and the lines after it are not lost.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string_view>

namespace tarnix {

class LineReader {
 public:
  // The file failed to read before its end (a device or a network share failed): the lines
  // handed out so far are not all of it.
  class ReadFailure : public std::runtime_error {
   public:
    ReadFailure() : std::runtime_error("Read failure") {}
  };

  static constexpr size_t kBlock = 16 * 1024;
  static constexpr char kEndOfFileByte = 0x1A;

  // `block` is the read size; tests use tiny blocks to put line breaks at every boundary.
  explicit LineReader(std::FILE* file, size_t block = kBlock);
  // The lines of bytes already in memory (a kept edit), by the same rules; they are copied.
  explicit LineReader(std::string_view bytes);

  // The next line, valid until the following call; false at the end of the file. A line too
  // long for an int length throws std::bad_alloc, as the string type does; a failed read throws
  // ReadFailure.
  bool Next(const char** line, int* length);

 private:
  bool Refill();
  // Moves ready_ over the bytes read that are known to be lines, stopping at a Ctrl-Z byte
  // that only blanks follow so far.
  void Settle();

  std::FILE* file_;
  size_t block_;
  size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  size_t begin_ = 0;    // first byte of the line being looked for
  size_t scanned_ = 0;  // bytes from begin_ already known to hold no line break
  size_t ready_ = 0;    // one past the last byte known to belong to the lines
  size_t blanks_ = 0;   // with ready_ < end_: the bytes from ready_ to here are a Ctrl-Z and blanks
  size_t end_ = 0;      // one past the last byte read
  bool at_end_ = false;
};

}  // namespace tarnix
