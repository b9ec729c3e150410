#pragma once
// BoundedSource: a ByteSource that stops answering once a byte budget is spent, so a reader led
// by size fields in a file can never read (or allocate for) more than the budget, whatever the
// file claims. The budget counts what the source beneath actually took (its Spent(), read-ahead
// included), so a file source's fills are paid for too, and at least the bytes asked through it;
// the last read may overrun it by one fill. Budgets nest: a reader that wraps a bounded source
// shares the outer budget. Also the byte-order helpers the chapter readers share.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "import/byte_source.h"

namespace tarnix {

// What reading the chapters of one file may cost at most, in bytes actually read.
constexpr uint64_t kMaxChapterReadBytes = 16 * 1024 * 1024;

class BoundedSource : public ByteSource {
 public:
  // Over another bounded source, the budget is at most what that one has left, so a reader can
  // size its reads by Remaining().
  BoundedSource(ByteSource& source, uint64_t budget) : source_(source), start_(source.Spent().bytes), budget_(budget) {
    if (const auto* outer = dynamic_cast<const BoundedSource*>(&source))
      budget_ = std::min(budget_, outer->Remaining());
  }
  uint64_t Size() const override { return source_.Size(); }
  bool ReadAt(uint64_t offset, void* out, size_t count) override {
    if (count > Remaining() || offset > Size() || count > Size() - offset) return false;
    asked_ += count;
    return source_.ReadAt(offset, out, count);
  }
  Cost Spent() const override { return source_.Spent(); }
  uint64_t Remaining() const {
    const uint64_t spent = std::max(asked_, source_.Spent().bytes - start_);
    return spent >= budget_ ? 0 : budget_ - spent;
  }

  // Reads `count` bytes at `offset` into `out`, checking the range and the budget before the
  // string grows, so a bogus size never becomes an allocation.
  bool ReadBytes(uint64_t offset, uint64_t count, std::string* out) {
    if (count > Remaining() || offset > Size() || count > Size() - offset) return false;
    return ReadString(offset, static_cast<size_t>(count), out);
  }

 private:
  ByteSource& source_;
  uint64_t start_;  // what the source had spent before this budget began
  uint64_t budget_;
  uint64_t asked_ = 0;
};

inline uint32_t Be16(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  return uint32_t{b[0]} << 8 | b[1];
}
inline uint32_t Be24(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  return uint32_t{b[0]} << 16 | uint32_t{b[1]} << 8 | b[2];
}
inline uint32_t Be32(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}
inline uint64_t Be64(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  return uint64_t{Be32(b)} << 32 | Be32(b + 4);
}
inline uint32_t Le32(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  return uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
}

}  // namespace tarnix
