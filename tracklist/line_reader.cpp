#include "tracklist/line_reader.h"

#include <climits>
#include <cstring>
#include <new>
#include <utility>

namespace tarnix {

LineReader::LineReader(std::FILE* file, size_t block)
    : file_(file), block_(block > 0 ? block : 1), capacity_(block_ + 1), buffer_(new char[capacity_]) {
  at_end_ = file_ == nullptr;
}

LineReader::LineReader(std::string_view bytes)
    : file_(nullptr), block_(kBlock), capacity_(bytes.size() + 1), buffer_(new char[capacity_]) {
  if (!bytes.empty()) std::memcpy(buffer_.get(), bytes.data(), bytes.size());
  end_ = bytes.size();
  Settle();
  end_ = blanks_ = ready_;  // all there is: a Ctrl-Z with only blanks behind it ends the text
  at_end_ = true;
}

namespace {

// What may follow a Ctrl-Z byte that ends a file: blanks, line breaks, more Ctrl-Z bytes.
bool IsTail(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == LineReader::kEndOfFileByte;
}

}  // namespace

void LineReader::Settle() {
  const char* const data = buffer_.get();
  for (;;) {
    if (ready_ == blanks_) {
      const void* stop = std::memchr(data + ready_, kEndOfFileByte, end_ - ready_);
      if (!stop) {
        ready_ = blanks_ = end_;
        return;
      }
      ready_ = static_cast<size_t>(static_cast<const char*>(stop) - data);
      blanks_ = ready_ + 1;
    }
    while (blanks_ < end_ && IsTail(data[blanks_])) ++blanks_;
    if (blanks_ == end_) return;  // the end of the file, unless more than blanks is still to come
    ready_ = blanks_;             // text follows: that Ctrl-Z was a byte of its line
  }
}

bool LineReader::Refill() {
  if (at_end_) return false;
  // Keep only the unfinished line; a line longer than the buffer doubles it, so that a very
  // long line costs linear time.
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    ready_ -= begin_;
    blanks_ -= begin_;
    begin_ = 0;
  }
  // One byte always stays free behind the data for the NUL of a last line without a break.
  const size_t least_read = block_ / 2 > 0 ? block_ / 2 : 1;
  if (capacity_ - end_ - 1 < least_read) {
    const size_t grown = capacity_ * 2;
    if (grown > static_cast<size_t>(INT_MAX) - 64) throw std::bad_alloc();
    std::unique_ptr<char[]> bigger(new char[grown]);
    std::memcpy(bigger.get(), buffer_.get(), end_);
    buffer_ = std::move(bigger);
    capacity_ = grown;
  }
  const size_t got = std::fread(buffer_.get() + end_, 1, capacity_ - end_ - 1, file_);
  if (got == 0) {
    if (std::ferror(file_)) throw ReadFailure();
    // A Ctrl-Z with only blanks behind it ends the file, as the Windows runtime's text mode
    // reads it: editors of the DOS era and "copy /a" leave one behind the last line.
    end_ = blanks_ = ready_;
    at_end_ = true;
    return false;
  }
  end_ += got;
  Settle();
  return true;
}

bool LineReader::Next(const char** line, int* length) {
  for (;;) {
    char* start = buffer_.get() + begin_;
    const size_t unscanned = ready_ - begin_ - scanned_;
    const void* found = unscanned > 0 ? std::memchr(start + scanned_, '\n', unscanned) : nullptr;
    size_t size;
    if (found) {
      size = static_cast<size_t>(static_cast<const char*>(found) - start);
      begin_ += size + 1;
    } else {
      scanned_ = ready_ - begin_;
      if (Refill()) continue;
      start = buffer_.get() + begin_;  // the unfinished line may have moved
      if (end_ == begin_) return false;
      size = end_ - begin_;
      begin_ = end_;
    }
    scanned_ = 0;
    if (size > static_cast<size_t>(INT_MAX) - 64) throw std::bad_alloc();
    size = strnlen(start, size);
    while (size > 0 && (start[size - 1] == '\r' || start[size - 1] == '\n')) --size;
    start[size] = '\0';  // the callers read numbers up to the first non-digit
    *line = start;
    *length = static_cast<int>(size);
    return true;
  }
}

}  // namespace tarnix
