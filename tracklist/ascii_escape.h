#pragma once
// An ASCII-safe spelling of a UTF-8 text for files that are read in the system's code page
// (plugin.ini) or that keep a text on one line (the recovery files' list path): every byte
// outside printable ASCII, and '%' itself, becomes "%XX".

#include <string>
#include <string_view>

namespace tarnix {

std::string EscapeToAscii(std::string_view utf8);
// False for a text that is not such a spelling: a bad escape, a raw byte outside printable ASCII,
// or bytes that are not valid UTF-8 once unescaped.
bool UnescapeFromAscii(std::string_view ascii, std::string* utf8);

}  // namespace tarnix
