#pragma once
// The text of a cue sheet: sheets come in UTF-8, UTF-16 or whatever code page the ripping
// system used, and only a byte-order mark says which for sure.

#include <functional>
#include <string>
#include <string_view>

namespace tarnix {

// Whether a file of this name (UTF-8, no folder) lies beside the sheet.
using CueFileCheck = std::function<bool(std::string_view fileName)>;

// The code pages tried, in this order, for a sheet whose FILE names name no file when read in
// the system's code page.
constexpr unsigned kCueCodePages[] = {1250, 1251, 1252, 1253, 932, 936, 949, 950};

// The sheet as UTF-8. A byte-order mark decides (UTF-8, UTF-16 LE or BE); else a NUL byte as the
// first or second byte (but not both) says UTF-16 of that order without a mark; else a sheet that is
// valid UTF-8 as a whole is UTF-8; else it is read in the system's code page, unless `exists`
// (when given) finds none of the files its first 99 FILE lines name that way but does find one
// of them in the reading of one of kCueCodePages: the first such reading is taken. Broken sequences
// arrive as U+FFFD.
std::string DecodeCueSheet(std::string_view bytes, const CueFileCheck& exists);

}  // namespace tarnix
