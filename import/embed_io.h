#pragma once
// Reading and writing for the FLAC and Ogg chapter writers: reads that tell a file cut short
// (damaged) from a source that fails, and a sink that gathers the many small writes of
// rebuilt headers and pages into large ones and remembers whether one failed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "import/chapter_embedding.h"

namespace tarnix {

inline EmbedResult Refusal(EmbedStatus status, std::string reason) {
  return EmbedResult{status, std::move(reason), {}};
}

// Reads `count` bytes at `offset` into `out`. When the range runs past the end of the source,
// false with `result` kDamaged for `damagedReason`; when the source fails, false with kReadFailed.
bool ReadForEmbed(ByteSource& source, uint64_t offset, uint64_t count, std::string* out, const char* damagedReason,
                  EmbedResult* result);

class EmbedSink : public ByteSink {
 public:
  static constexpr size_t kGatherBytes = 1 << 20;

  explicit EmbedSink(ByteSink& to) : to_(to) {}
  bool Write(const void* bytes, size_t count) override;
  using ByteSink::Write;
  // Hands on what was gathered; false when this or an earlier write failed.
  bool Flush();
  bool Failed() const { return failed_; }

 private:
  ByteSink& to_;
  std::string gathered_;
  bool failed_ = false;
};

// Copies `count` bytes at `offset` of `from` into `to`; on failure false with `result`
// kReadFailed or kWriteFailed (the range is known to lie inside the source).
bool CopyForEmbed(ByteSource& from, uint64_t offset, uint64_t count, EmbedSink& to, EmbedResult* result);

// The result once everything went into `to`: kWritten when the last bytes were taken.
EmbedResult FinishEmbed(EmbedSink& to, std::string note = {});

}  // namespace tarnix
