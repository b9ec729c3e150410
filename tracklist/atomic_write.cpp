#include "tracklist/atomic_write.h"

#include "tracklist/replacing_write.h"

namespace tarnix {

bool WriteFileReplacing(const TextString& path, std::string_view bytes) { return WriteReplacing(path, bytes).Ok(); }

}  // namespace tarnix
