#include "import/file_source.h"

namespace tarnix {

FileSource::FileSource(const TextString& path) : file_(path, "rb") {
  if (!file_) return;
  const int64_t size = platform::FileSizeOf(file_.get());
  if (size < 0) {
    file_.Close();
    return;
  }
  size_ = static_cast<uint64_t>(size);
}

bool FileSource::ReadAt(uint64_t offset, void* out, size_t count) {
  if (!file_ || offset > size_ || count > size_ - offset) return false;
  if (count == 0) return true;
  if (!platform::SeekFile(file_.get(), offset)) return false;
  return std::fread(out, 1, count, file_.get()) == count;
}

}  // namespace tarnix
