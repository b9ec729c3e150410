#pragma once
// The one conversion of a UTF-8 path into the wide path that the Win32 file calls are given.

#include <string>

#include "tracklist/text_string.h"

namespace tarnix::platform {

// `path` in UTF-16, made full and put in the long form when it reaches the classic limit, so
// that every file call works as far as the system allows.
std::wstring SystemPath(const TextString& path);

}  // namespace tarnix::platform
