#pragma once
// Windows' file calls refuse a path of 260 units or more (248 for a folder) unless it is given
// in the "\\?\" form, which the system passes on without its usual normalisation. A list near
// that limit still has to be saved: its temporary and recovery files add to its name.

#include <string>
#include <string_view>

namespace tarnix {

// Paths this long or longer are given to the system in the long form. Below it every call
// takes the path as it is (a folder's limit is the lower one).
constexpr size_t kClassicPathLimit = 248;

// `fullPath` (a full, normalised path: "C:\..." or "\\server\share\...") in the form the file
// calls take past the classic limit: "\\?\C:\..." or "\\?\UNC\server\share\...", with "\" between
// the names. A short path, one already in a "\\?\" or "\\.\" form, and anything that is not
// a full path come back as they are.
std::wstring LongPathForm(std::wstring_view fullPath);

}  // namespace tarnix
