#include "tracklist/whole_file.h"

#include <cstdio>

#include "tracklist/platform.h"

namespace tarnix {

bool ReadWholeFile(const TextString& path, uint64_t maxBytes, std::string* bytes) {
  bytes->clear();
  platform::File file(path, "rb");
  if (!file) return false;
  const int64_t size = platform::FileSizeOf(file.get());
  if (size < 0 || static_cast<uint64_t>(size) > maxBytes || !platform::SeekFile(file.get(), 0)) return false;
  bytes->resize(static_cast<size_t>(size));
  if (size == 0 || std::fread(&(*bytes)[0], 1, bytes->size(), file.get()) == bytes->size()) return true;
  bytes->clear();
  return false;
}

}  // namespace tarnix
