#pragma once
// Writing a whole file so that nothing half-written is ever left under its name.

#include <string_view>

#include "tracklist/text_string.h"

namespace tarnix {

// Writes `bytes` to "<path>.tmp", checks the write and the close, then replaces `path` with it
// in one step, waiting out another program's short hold on the file (replacing_write.h). On any
// failure the old file stays as it was, the temporary file is removed and the result is false;
// LastWriteResult tells why.
bool WriteFileReplacing(const TextString& path, std::string_view bytes);

}  // namespace tarnix
