#pragma once
// ByteSource: bounded, positioned reads from a file or a buffer, so the chapter readers can
// seek over audio data instead of reading through it, and tests and fuzzers need no disk. Each
// source counts what reading has cost it, so a budget can bound the bytes actually taken from a
// disk or a network share, read-ahead included, and tests and benchmarks can count the reads.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnix {

class ByteSource {
 public:
  // The reads made of what lies beneath a source (a file, memory) and the bytes they took.
  struct Cost {
    uint64_t reads = 0;
    uint64_t bytes = 0;
  };

  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads exactly `count` bytes at `offset` into `out`; false (and `out` unspecified) when the
  // range runs past the end or the read fails.
  virtual bool ReadAt(uint64_t offset, void* out, size_t count) = 0;
  // What reading through this source has cost so far.
  virtual Cost Spent() const { return spent_; }

  // Reads `count` bytes at `offset` into a string; false when they are not all there.
  bool ReadString(uint64_t offset, size_t count, std::string* out) {
    out->resize(count);
    return count == 0 || ReadAt(offset, &(*out)[0], count);
  }

 protected:
  // A source calls this for each read it makes of what lies beneath it.
  void Charge(uint64_t bytes) {
    ++spent_.reads;
    spent_.bytes += bytes;
  }

 private:
  Cost spent_;
};

// A source over bytes already in memory (tests, fuzzers, embedded data). Does not copy.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(uint64_t offset, void* out, size_t count) override {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
    if (count == 0) return true;
    bytes_.copy(static_cast<char*>(out), count, static_cast<size_t>(offset));
    Charge(count);
    return true;
  }

 private:
  std::string_view bytes_;
};

}  // namespace tarnix
