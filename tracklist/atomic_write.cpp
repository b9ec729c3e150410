#include "tracklist/atomic_write.h"

#include "tracklist/platform.h"

namespace tarnix {

bool WriteFileReplacing(const TextString& path, std::string_view bytes) {
  if (path.IsEmpty()) return false;
  const TextString temporary = path + ".tmp";
  platform::File file(temporary, "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  const bool closed = file.Close();
  if (!written || !closed || !platform::ReplaceExisting(temporary, path)) {
    platform::RemoveFile(temporary);
    return false;
  }
  return true;
}

}  // namespace tarnix
