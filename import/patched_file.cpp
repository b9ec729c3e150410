#include "import/patched_file.h"

#include <algorithm>
#include <cstring>

namespace tarnix {
namespace {

// Notes whether the sink beneath refused bytes, so a failed copy can tell a write fault from a read fault.
class NotingSink : public ByteSink {
 public:
  explicit NotingSink(ByteSink& sink) : sink_(sink) {}
  bool Write(const void* bytes, size_t count) override {
    if (sink_.Write(bytes, count)) return true;
    failed = true;
    return false;
  }
  bool failed = false;

 private:
  ByteSink& sink_;
};

constexpr size_t kZeroPiece = 64 * 1024;

}  // namespace

PatchedFile::PatchedFile(ByteSource& original, const std::vector<Patch>& patches) : original_(original) {
  uint64_t from = 0;
  const auto add = [&](Span span) {
    if (span.length == 0) return;
    span.at = size_;
    size_ += span.length;
    spans_.push_back(span);
  };
  for (const Patch& patch : patches) {
    add(Span{0, patch.at - from, nullptr, false, from});
    add(Span{0, patch.bytes.size(), &patch.bytes, false, 0});
    add(Span{0, patch.zeros, nullptr, true, 0});
    from = patch.at + patch.length;
  }
  add(Span{0, original.Size() - from, nullptr, false, from});
}

bool PatchedFile::ReadAt(uint64_t offset, void* out, size_t count) {
  if (offset > size_ || count > size_ - offset) return false;
  auto* to = static_cast<char*>(out);
  auto span = std::upper_bound(spans_.begin(), spans_.end(), offset,
                               [](uint64_t value, const Span& s) { return value < s.at + s.length; });
  while (count > 0 && span != spans_.end()) {
    const uint64_t inside = offset - span->at;
    const auto take = static_cast<size_t>(std::min<uint64_t>(count, span->length - inside));
    if (span->zeros) {
      std::memset(to, 0, take);
    } else if (span->bytes != nullptr) {
      std::memcpy(to, span->bytes->data() + inside, take);
    } else if (!original_.ReadAt(span->from + inside, to, take)) {
      readFailed_ = true;
      return false;
    }
    to += take;
    offset += take;
    count -= take;
    ++span;
  }
  Charge(static_cast<uint64_t>(to - static_cast<char*>(out)));
  return count == 0;
}

PatchedFile::Streamed PatchedFile::WriteTo(ByteSink& sink) {
  NotingSink out(sink);
  static const char kZeros[kZeroPiece] = {};
  for (const Span& span : spans_) {
    bool ok = true;
    if (span.bytes != nullptr) {
      ok = out.Write(span.bytes->data(), span.bytes->size());
    } else if (span.zeros) {
      for (uint64_t left = span.length; ok && left > 0; left -= std::min<uint64_t>(left, kZeroPiece))
        ok = out.Write(kZeros, static_cast<size_t>(std::min<uint64_t>(left, kZeroPiece)));
    } else {
      ok = CopyRange(original_, span.from, span.length, out);
    }
    if (!ok) return out.failed ? Streamed::kWriteFailed : Streamed::kReadFailed;
  }
  return Streamed::kDone;
}

}  // namespace tarnix
