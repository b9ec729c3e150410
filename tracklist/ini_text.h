#pragma once
// Setting values in the text of an ini file, so that the plug-in's settings are written the same
// way as its other files: the whole file replaced in one step, never half-written.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnix {

using IniValues = std::vector<std::pair<std::string, std::string>>;

// `text` with every key of `values` set in `section` (names compared without regard to case or
// surrounding blanks). Other sections, keys, comments and line ends stay as they were; a key or
// section that is missing is added at the end of its section or of the text, with CR LF.
std::string WithIniValues(std::string_view text, std::string_view section, const IniValues& values);

// Whether the text is in the wide (UTF-16) form that only the system's own calls can edit.
bool IsWideIniText(std::string_view text);

}  // namespace tarnix
