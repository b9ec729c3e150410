#pragma once
// A source and a sink that fail part-way, for the writers' tests of reads and writes that fail.

#include <cstdint>
#include <string_view>

#include "import/byte_source.h"
#include "import/chapter_embedding.h"

namespace tarnix::testing {

// Fails every read that reaches `failFrom` or beyond.
class FailingSource : public MemorySource {
 public:
  FailingSource(std::string_view bytes, uint64_t failFrom) : MemorySource(bytes), failFrom_(failFrom) {}
  bool ReadAt(uint64_t offset, void* out, size_t count) override {
    return offset + count <= failFrom_ && MemorySource::ReadAt(offset, out, count);
  }

 private:
  uint64_t failFrom_;
};

// Keeps what it takes until it holds `room` bytes; a write that would go past that fails.
class FailingSink : public MemorySink {
 public:
  explicit FailingSink(size_t room) : room_(room) {}
  bool Write(const void* bytes, size_t count) override {
    return Bytes().size() + count <= room_ && MemorySink::Write(bytes, count);
  }

 private:
  size_t room_;
};

}  // namespace tarnix::testing
