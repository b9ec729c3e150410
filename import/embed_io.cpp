#include "import/embed_io.h"

#include <utility>

namespace tarnix {

bool ReadForEmbed(ByteSource& source, uint64_t offset, uint64_t count, std::string* out, const char* damagedReason,
                  EmbedResult* result) {
  if (offset > source.Size() || count > source.Size() - offset) {
    *result = Refusal(EmbedStatus::kDamaged, damagedReason);
    return false;
  }
  if (!source.ReadString(offset, static_cast<size_t>(count), out)) {
    *result = Refusal(EmbedStatus::kReadFailed, "the file could not be read");
    return false;
  }
  return true;
}

bool EmbedSink::Write(const void* bytes, size_t count) {
  if (failed_) return false;
  if (gathered_.size() + count > kGatherBytes) {
    if (!Flush()) return false;
    if (count >= kGatherBytes) {
      failed_ = !to_.Write(bytes, count);
      return !failed_;
    }
  }
  gathered_.append(static_cast<const char*>(bytes), count);
  return true;
}

bool EmbedSink::Flush() {
  if (!failed_ && !gathered_.empty()) failed_ = !to_.Write(gathered_);
  gathered_.clear();
  return !failed_;
}

bool CopyForEmbed(ByteSource& from, uint64_t offset, uint64_t count, EmbedSink& to, EmbedResult* result) {
  if (CopyRange(from, offset, count, to)) return true;
  *result = to.Failed() ? Refusal(EmbedStatus::kWriteFailed, "the new file could not be written")
                        : Refusal(EmbedStatus::kReadFailed, "the file could not be read");
  return false;
}

EmbedResult FinishEmbed(EmbedSink& to, std::string note) {
  if (!to.Flush()) return Refusal(EmbedStatus::kWriteFailed, "the new file could not be written");
  return EmbedResult{EmbedStatus::kWritten, {}, std::move(note)};
}

}  // namespace tarnix
