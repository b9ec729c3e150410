#include "import/file_source.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tarnix {

FileSource::FileSource(const TextString& path) : file_(path, "rb") {
  if (!file_) return;
  // Before any other use of the stream, as setvbuf must be.
  const int64_t size = std::setvbuf(file_.get(), nullptr, _IONBF, 0) == 0 ? platform::FileSizeOf(file_.get()) : -1;
  if (size < 0) {
    file_.Close();
    return;
  }
  size_ = static_cast<uint64_t>(size);
}

bool FileSource::Fetch(uint64_t offset, void* out, size_t count) {
  Charge(count);
  return platform::SeekFile(file_.get(), offset) && std::fread(out, 1, count, file_.get()) == count;
}

bool FileSource::ReadAt(uint64_t offset, void* out, size_t count) {
  if (!file_ || offset > size_ || count > size_ - offset) return false;
  if (count == 0) return true;
  if (offset >= aheadAt_ && offset - aheadAt_ <= ahead_.size() && count <= ahead_.size() - (offset - aheadAt_)) {
    std::memcpy(out, ahead_.data() + (offset - aheadAt_), count);
    return true;
  }
  if (count >= kReadAhead) return Fetch(offset, out, count);
  ahead_.resize(static_cast<size_t>(std::min<uint64_t>(kReadAhead, size_ - offset)));
  if (!Fetch(offset, &ahead_[0], ahead_.size())) {
    ahead_.clear();
    return false;
  }
  aheadAt_ = offset;
  std::memcpy(out, ahead_.data(), count);
  return true;
}

}  // namespace tarnix
