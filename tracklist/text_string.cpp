#include "tracklist/text_string.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <new>

namespace tarnix {

namespace {

// One allocation = share count byte + characters + NUL. The empty string points at this
// buffer's second byte; it is never counted and never freed.
char g_empty_buffer[2] = {0, 0};
char* const kEmpty = g_empty_buffer + 1;

constexpr unsigned char kMaxShares = 255;

unsigned char& ShareByte(char* data) { return reinterpret_cast<unsigned char*>(data)[-1]; }

int FoldAscii(int c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

bool SameCharsIgnoringCase(const char* a, const char* b, int n) {
  for (int i = 0; i < n; ++i) {
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

int CheckedLength(size_t n) {
  if (n > static_cast<size_t>(INT_MAX - 64)) throw std::bad_alloc();
  return static_cast<int>(n);
}

// Allocation size for n characters: the smallest multiple of the growth step that holds the
// share count, the characters and the NUL.
int AllocationFor(int n) {
  const int64_t bytes = int64_t{TextString::kGrowth} * ((int64_t{n} + 33) / TextString::kGrowth);
  if (bytes > INT_MAX) throw std::bad_alloc();
  return static_cast<int>(bytes);
}

}  // namespace

TextString::TextString() : length_(0), capacity_(0), data_(kEmpty) {}

TextString::TextString(const TextString& other) : length_(0), capacity_(0), data_(kEmpty) { AttachShared(other); }

TextString::TextString(TextString&& other) noexcept
    : length_(other.length_), capacity_(other.capacity_), data_(other.data_) {
  other.length_ = 0;
  other.capacity_ = 0;
  other.data_ = kEmpty;
}

TextString::TextString(const char* text) : length_(0), capacity_(0), data_(kEmpty) {
  if (text) Append(text, CheckedLength(std::strlen(text)));
}

TextString::TextString(int count, const char* text) : length_(0), capacity_(0), data_(kEmpty) {
  if (text && count > 0) Append(text, count);
}

TextString::~TextString() { Release(); }

TextString& TextString::operator=(const TextString& other) {
  if (this != &other && data_ != other.data_) {
    Release();
    AttachShared(other);
  }
  return *this;
}

TextString& TextString::operator=(TextString&& other) noexcept {
  if (this != &other) {
    Release();
    length_ = other.length_;
    capacity_ = other.capacity_;
    data_ = other.data_;
    other.length_ = 0;
    other.capacity_ = 0;
    other.data_ = kEmpty;
  }
  return *this;
}

TextString& TextString::operator=(const char* text) {
  // The text may live in this string's own buffer: build the new value first.
  TextString fresh(text);
  *this = std::move(fresh);
  return *this;
}

void TextString::Release() {
  if (data_ != kEmpty) {
    unsigned char& count = ShareByte(data_);
    if (count <= 1) {
      delete[](data_ - 1);
    } else {
      --count;
    }
  }
  data_ = kEmpty;
  length_ = 0;
  capacity_ = 0;
}

void TextString::AttachShared(const TextString& other) {
  if (other.data_ == kEmpty) return;
  if (ShareByte(other.data_) < kMaxShares) {
    ++ShareByte(other.data_);
    data_ = other.data_;
    length_ = other.length_;
    capacity_ = 0;  // a sharer never writes in place
    return;
  }
  Append(other.data_, other.length_);
}

int TextString::ShareCount() const { return data_ == kEmpty ? 0 : ShareByte(data_); }

void TextString::Reserve(int n) {
  if (n < 0) n = 0;
  if (capacity_ >= n && n > 0 && data_ != kEmpty && ShareByte(data_) == 1) return;
  // Never drop characters: a request below the current length still keeps them all.
  const int keep = length_;
  const int bytes = AllocationFor(n > keep ? n : keep);
  char* block = new char[static_cast<size_t>(bytes)];
  block[0] = 1;
  char* fresh = block + 1;
  std::memcpy(fresh, data_, static_cast<size_t>(keep));
  fresh[keep] = '\0';
  Release();
  data_ = fresh;
  length_ = keep;
  capacity_ = bytes - 2;
}

void TextString::SetLength(int n) {
  // A buffer shared with copies is theirs too: shortening this string takes one of its own.
  if (data_ != kEmpty && ShareByte(data_) > 1) Reserve(length_);
  if (n <= 0) {
    if (capacity_ == 0) {
      Release();
    } else {
      length_ = 0;
      data_[0] = '\0';
    }
    return;
  }
  if (capacity_ == 0) return;  // no writable buffer: nothing a filler could have written
  if (n > capacity_) n = capacity_;
  length_ = n;
  data_[n] = '\0';
}

void TextString::Clear() { Release(); }

bool TextString::operator==(const TextString& other) const {
  if (length_ != other.length_) return false;
  if (data_ == other.data_) return true;
  return std::memcmp(data_, other.data_, static_cast<size_t>(length_)) == 0;
}

bool TextString::operator==(const char* text) const {
  if (!text) return length_ == 0;
  const size_t n = std::strlen(text);
  if (n != static_cast<size_t>(length_)) return false;
  return std::memcmp(data_, text, n) == 0;
}

bool TextString::EqualsIgnoringCase(const TextString& other) const {
  if (length_ != other.length_) return false;
  if (data_ == other.data_) return true;
  return SameCharsIgnoringCase(data_, other.data_, length_);
}

bool TextString::EqualsIgnoringCase(const char* text) const {
  if (!text) return length_ == 0;
  const size_t n = std::strlen(text);
  if (n != static_cast<size_t>(length_)) return false;
  return SameCharsIgnoringCase(data_, text, length_);
}

TextString& TextString::Append(const TextString& other) {
  if (other.length_ == 0) return *this;
  if (length_ == 0 && capacity_ == 0) {
    AttachShared(other);
    return *this;
  }
  return Append(other.data_, other.length_);
}

TextString& TextString::Append(const char* text) {
  if (!text) return *this;
  return Append(text, CheckedLength(std::strlen(text)));
}

TextString& TextString::Append(const char* text, int count) {
  if (!text || count <= 0) return *this;
  count = static_cast<int>(strnlen(text, static_cast<size_t>(count)));
  if (count == 0) return *this;
  // Appending a piece of this string's own buffer: that buffer may be freed by Reserve.
  const auto at = reinterpret_cast<uintptr_t>(text);
  const auto own = reinterpret_cast<uintptr_t>(data_);
  if (data_ != kEmpty && at >= own && at <= own + static_cast<uintptr_t>(length_)) {
    TextString copy(count, text);
    copy.Reserve(count);  // own the characters before this buffer goes away
    return Append(copy.data_, count);
  }
  if (int64_t{length_} + count > INT_MAX - 64) throw std::bad_alloc();
  const int need = length_ + count;
  if (need > capacity_ || ShareByte(data_) != 1 || data_ == kEmpty) {
    // Grow geometrically so that repeated appends stay linear.
    int want = need;
    if (capacity_ > 0 && need > capacity_) {
      const int64_t doubled = int64_t{capacity_} * 2;
      if (doubled > want && doubled < INT_MAX - 64) want = static_cast<int>(doubled);
    }
    Reserve(want);
  }
  std::memcpy(data_ + length_, text, static_cast<size_t>(count));
  length_ = need;
  data_[length_] = '\0';
  return *this;
}

TextString& TextString::operator+=(char c) {
  if (c == '\0') return *this;
  return Append(&c, 1);
}

TextString TextString::Repeat(int count) const {
  TextString result;
  if (count <= 0 || length_ == 0) return result;
  if (int64_t{length_} * count > INT_MAX - 64) throw std::bad_alloc();
  result.Reserve(length_ * count);
  for (int i = 0; i < count; ++i) result.Append(data_, length_);
  return result;
}

TextString TextString::Left(int n) const {
  if (n <= 0) return TextString();
  if (n >= length_) return *this;
  return TextString(n, data_);
}

TextString TextString::Right(int n) const {
  if (n <= 0) return TextString();
  if (n >= length_) return *this;
  return TextString(n, data_ + length_ - n);
}

TextString TextString::Mid(int pos, int n) const {
  if (pos < 0) pos = 0;
  if (pos >= length_) return TextString();
  if (pos == 0 && (n < 0 || n >= length_)) return *this;
  const int rest = length_ - pos;
  if (n < 0 || n > rest) n = rest;
  return TextString(n, data_ + pos);
}

namespace {

template <typename Same>
int FindFrom(const char* data, int length, const char* text, int start, Same same) {
  if (!text || text[0] == '\0') return 0;
  if (start < 0) start = 0;
  const size_t n = std::strlen(text);
  if (n > static_cast<size_t>(length) || start > length - static_cast<int>(n)) return -1;
  const int last = length - static_cast<int>(n);
  for (int pos = start; pos <= last; ++pos) {
    if (same(data + pos, text, static_cast<int>(n))) return pos;
  }
  return -1;
}

bool SameChars(const char* a, const char* b, int n) { return std::memcmp(a, b, static_cast<size_t>(n)) == 0; }

}  // namespace

int TextString::Find(const char* text, int start) const { return FindFrom(data_, length_, text, start, SameChars); }

int TextString::FindIgnoringCase(const char* text, int start) const {
  return FindFrom(data_, length_, text, start, SameCharsIgnoringCase);
}

void TextString::ToUpper() {
  if (length_ == 0) return;
  Reserve(length_);
  for (int i = 0; i < length_; ++i) {
    const char c = data_[i];
    if (c >= 'a' && c <= 'z') data_[i] = static_cast<char>(c - 'a' + 'A');
  }
}

namespace {

int LastSeparator(const char* data, int length) {
  for (int i = length - 1; i >= 0; --i) {
    if (data[i] == ':' || data[i] == '\\') return i;
  }
  return -1;
}

int LastDot(const char* data, int from, int length) {
  for (int i = length - 1; i >= from; --i) {
    if (data[i] == '.') return i;
  }
  return -1;
}

}  // namespace

TextString TextString::FileNamePart() const {
  const int sep = LastSeparator(data_, length_);
  if (sep < 0) return *this;
  return Mid(sep + 1);
}

TextString TextString::DirectoryPart() const {
  const int sep = LastSeparator(data_, length_);
  if (sep < 0) return TextString();
  return Left(sep);
}

TextString TextString::WithoutExtension() const {
  const int dot = LastDot(data_, 0, length_);
  if (dot < 0) return TextString();
  return Left(dot);
}

TextString TextString::UpperExtension() const {
  const int dot = LastDot(data_, LastSeparator(data_, length_) + 1, length_);
  if (dot < 0) return TextString();
  TextString ext = Mid(dot + 1);
  ext.ToUpper();
  return ext;
}

int TextString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int r = FormatV(format, args);
  va_end(args);
  return r;
}

int TextString::FormatV(const char* format, va_list args) {
  if (!format) {
    Clear();
    return 0;
  }
  // The arguments may be this string's own characters: format into a fresh string.
  TextString out;
  out.Reserve(kGrowth);
  for (;;) {
    va_list attempt;
    va_copy(attempt, args);
    const int r = std::vsnprintf(out.data_, static_cast<size_t>(out.capacity_), format, attempt);
    va_end(attempt);
    if (r >= 0 && r < out.capacity_ - 1) {
      out.length_ = r;
      out.data_[r] = '\0';
      break;
    }
    // Too small: the formatter told the size it needs, or (older runtimes) only that it
    // failed; either way grow geometrically rather than one step at a time.
    const int old = out.capacity_;
    int64_t want = int64_t{old} * 2;
    if (r >= 0 && int64_t{r} + 2 > want) want = int64_t{r} + 2;
    if (want > INT_MAX - 64) throw std::bad_alloc();
    out.Release();
    out.Reserve(static_cast<int>(want));
  }
  *this = std::move(out);
  return length_;
}

bool TextString::ReadLine(std::FILE* file) {
  if (capacity_ == 0 || ShareByte(data_) != 1) Release();  // the old line need not be copied
  length_ = 0;
  Reserve(kGrowth);
  data_[0] = '\0';
  bool read_any = false;
  for (;;) {
    const int room = capacity_ - length_;  // characters that still fit
    char* at = data_ + length_;
    // fgets writes its NUL at at[room] when it fills the room; a sentinel there tells a
    // full buffer from a short line even when the line holds NUL bytes.
    at[room] = '\x01';
    if (!file || !std::fgets(at, room + 1, file)) {
      at[0] = '\0';
      if (read_any) break;
      return false;
    }
    read_any = true;
    const bool full = at[room] == '\0' && at[room - 1] != '\n';
    if (!full) {
      length_ += static_cast<int>(std::strlen(at));
      break;
    }
    length_ += room;
    // Long lines double the buffer instead of adding a step at a time.
    const int64_t want = int64_t{capacity_} * 2;
    if (want > INT_MAX - 64) throw std::bad_alloc();
    Reserve(static_cast<int>(want));
  }
  // A NUL byte inside the line ends it.
  length_ = static_cast<int>(strnlen(data_, static_cast<size_t>(length_)));
  while (length_ > 0 && (data_[length_ - 1] == '\n' || data_[length_ - 1] == '\r')) --length_;
  data_[length_] = '\0';
  return true;
}

TextString operator+(const TextString& a, const TextString& b) {
  TextString result(a);
  result.Append(b);
  return result;
}

TextString operator+(const TextString& a, const char* b) {
  TextString result(a);
  result.Append(b);
  return result;
}

TextString operator+(const char* a, const TextString& b) {
  TextString result(a);
  result.Append(b);
  return result;
}

}  // namespace tarnix
