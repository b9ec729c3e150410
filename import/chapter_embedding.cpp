#include "import/chapter_embedding.h"

#include <algorithm>

namespace tarnix {

bool CopyRange(ByteSource& from, uint64_t offset, uint64_t count, ByteSink& to) {
  std::string piece;
  while (count > 0) {
    const size_t size = static_cast<size_t>(std::min<uint64_t>(count, kCopyPieceBytes));
    if (!from.ReadString(offset, size, &piece) || !to.Write(piece)) return false;
    offset += size;
    count -= size;
  }
  return true;
}

}  // namespace tarnix
