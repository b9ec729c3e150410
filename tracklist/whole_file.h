#pragma once
// Reading a small file whole: a cue sheet, a chapter file, the index, a kept edit.

#include <cstdint>
#include <string>

#include "tracklist/text_string.h"

namespace tarnix {

// The whole file in `bytes`. False, `bytes` empty, when it can't be opened or read or is larger
// than `maxBytes`; an empty file is read (true, no bytes).
bool ReadWholeFile(const TextString& path, uint64_t maxBytes, std::string* bytes);

}  // namespace tarnix
